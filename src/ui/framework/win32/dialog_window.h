// The Win32 back end's window of one dialog: a real dialog box created by the
// dialog manager from the module's dialog resource. It carries the dialog's messages
// to CDialog::OnWndMsg and everything else to the dialog manager's defaults.
#pragma once

#include "ui/framework/win32/win32_api.h"

#include <vector>

#include "ui/framework/dialog.h"
#include "ui/framework/dialog_host.h"

namespace tornix::win32 {

class WindowMenu : public SystemMenu {
public:
    explicit WindowMenu(HMENU menu) : m_menu(menu) {}
    void AppendSeparator() override;
    void AppendItem(unsigned id, const GbkString& text) override;

private:
    HMENU m_menu;
};

class DialogWindow : public DialogHost {
public:
    // Runs `dialog` modally from the module's dialog resource `templateId`,
    // owned by `owner`; returns the ending code or -1.
    static int RunModal(CDialog& dialog, unsigned templateId, bool centre, HWND owner);

    HWND Hwnd() const { return m_hwnd; }

    GbkString GetItemText(unsigned id) const override;
    void SetItemText(unsigned id, const GbkString& text) override;
    int ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) override;
    std::optional<FileChooserAnswer> ShowFileChooser(const FileChooserRequest& request) override;
    void End(int result) override;
    SystemMenu* GetSystemMenu() override;
    void SetIcon(IconHandle icon, bool big) override;
    bool IsIconic() const override;
    ClientRect GetClientRect() const override;
    std::unique_ptr<PaintContext> BeginPaint() override;
    std::intptr_t SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    void PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Default() override;

private:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    DialogWindow(CDialog& dialog, HWND hwnd, bool centre) : m_dialog(dialog), m_hwnd(hwnd), m_centre(centre) {}

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR InitDialog();
    INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR DropFiles(WPARAM wParam);  // an HDROP

    CDialog& m_dialog;
    HWND m_hwnd;
    bool m_centre;
    std::vector<Message> m_current;  // the messages being handled, innermost last
    bool m_skipNextCall = false;     // the dialog manager's call back during Default()
    std::unique_ptr<WindowMenu> m_menu;
};

}  // namespace tornix::win32
