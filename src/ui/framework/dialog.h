// CDialog: the base of the program's dialogs — run modally, end with a code,
// initialise, exchange data between controls and fields, and route messages
// through the derived class's message map.
#pragma once

#include <cstdint>

#include "text/gbk_string.h"
#include "ui/framework/afx.h"
#include "ui/framework/dialog_host.h"
#include "ui/framework/message_map.h"

namespace tornix {

class CDialog;

// The direction and target of one data exchange.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* const m_pDlgWnd;
    const bool m_bSaveAndValidate;  // true: controls to fields; false: fields to controls
};

// Binds an edit control's whole text to a field (line breaks as CR LF).
void DDX_Text(CDataExchange* pDX, unsigned controlId, GbkString& value);

// A painting context for the time of one WM_PAINT; ends painting when destroyed.
class CPaintDC {
public:
    explicit CPaintDC(CDialog* dialog);
    std::intptr_t GetSafeHdc() const;
    void DrawIcon(int x, int y, IconHandle icon);

private:
    std::unique_ptr<PaintContext> m_context;
};

class CDialog {
public:
    CDialog(unsigned templateId, CDialog* parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window, runs it modally until it ends and returns the ending
    // code: IDOK, IDCANCEL, or -1 when the window cannot be created.
    int DoModal();
    void EndDialog(int result);

    // true: each field takes its control's text; false: each control takes
    // its field's text. Runs DoDataExchange.
    bool UpdateData(bool saveAndValidate = true);

    // Modal message box owned by this dialog; a null caption shows the
    // application's name.
    int MessageBox(const char* text, const char* caption = nullptr, unsigned type = MB_OK);
    // The message that ends a command that ran out of memory: 内存不足，操作已取消！
    // with the empty caption.
    void ReportOutOfMemory();

    // The window's menu, to append to; null when the window has none.
    SystemMenu* GetSystemMenu();
    void SetIcon(IconHandle icon, bool big);
    bool IsIconic() const;
    ClientRect GetClientRect() const;
    std::intptr_t SendMessage(unsigned message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    // Handled later, once the window is shown (from OnInitDialog: after it).
    void PostMessage(unsigned message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    std::intptr_t Default();

    virtual bool OnInitDialog();

    // Called by the back end for every message the window receives. Returns
    // true when a handler took it; false leaves it to the platform. A handler
    // that runs out of memory ends with a message and the program goes on.
    bool OnWndMsg(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result);

    // For the back end: attach and detach the open window.
    void AttachHost(DialogHost* host) { m_host = host; }
    // Whether the window takes files dropped onto it (its message map
    // handles WM_DROPFILES).
    bool AcceptsDroppedFiles() const;
    DialogHost* Host() const { return m_host; }

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    virtual MessageMap GetMessageMap() const { return {nullptr, 0}; }
    // The base dialog's OK and Cancel: Cancel ends the dialog; OK first takes
    // the controls' texts into the fields.
    virtual void OnOK();
    virtual void OnCancel();

private:
    bool Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result);

    unsigned m_templateId;
    CDialog* m_pParentWnd;
    DialogHost* m_host = nullptr;
};

}  // namespace tornix
