// What a window back end provides for one open dialog. The dialogs never see
// this: CDialog forwards to it. Each back end (Qt, Win32, the test fake)
// implements it together with the functions in backend.h.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "text/gbk_string.h"
#include "ui/framework/afx.h"

namespace tornix {

// The window's system menu: items appended at its end; choosing an item sends
// WM_SYSCOMMAND with the item's id.
class SystemMenu {
public:
    virtual ~SystemMenu() = default;
    virtual void AppendSeparator() = 0;
    virtual void AppendItem(unsigned id, const GbkString& text) = 0;
};

// A device context for painting the window, valid until destroyed.
class PaintContext {
public:
    virtual ~PaintContext() = default;
    virtual std::intptr_t Handle() const = 0;
    virtual void DrawIcon(int x, int y, IconHandle icon) = 0;
};

// A drop-down list that a chooser shows below its file types, with a label
// before it (a save chooser's encoding). Without items none is shown.
struct FileChooserChoice {
    GbkString label;  // & before its access key, as in 编码(&E):
    std::vector<GbkString> items;
    int selected = 0;  // the item chosen when the chooser opens
};

struct FileChooserRequest {
    bool save = false;
    GbkString filter;            // "name|patterns|name|patterns||"
    GbkString defaultExtension;  // only its first three characters count
    GbkString initialName;
    unsigned flags = 0;  // OFN_*
    FileChooserChoice choice;
};

// What the user confirmed: the file, and the item left chosen in the
// request's choice (its `selected` when it had none).
struct FileChooserAnswer {
    std::filesystem::path path;
    int choice = 0;
};

class DialogHost {
public:
    virtual ~DialogHost() = default;

    // A control's whole text; line breaks as CR LF.
    virtual GbkString GetItemText(unsigned id) const = 0;
    virtual void SetItemText(unsigned id, const GbkString& text) = 0;

    // Modal, owned by this window; a null caption shows the application's name.
    virtual int ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) = 0;
    // The chosen file (a full path), or nothing when the user cancels.
    virtual std::optional<FileChooserAnswer> ShowFileChooser(const FileChooserRequest& request) = 0;

    virtual void End(int result) = 0;
    virtual SystemMenu* GetSystemMenu() = 0;  // null when the window has none
    virtual void SetIcon(IconHandle icon, bool big) = 0;
    virtual bool IsIconic() const = 0;
    virtual ClientRect GetClientRect() const = 0;
    virtual std::unique_ptr<PaintContext> BeginPaint() = 0;
    virtual std::intptr_t SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
    // Queues the message for the window: it is handled once the window runs
    // its loop (shown) and the events before it are done.
    virtual void PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
    // The platform's default processing of the message being handled.
    virtual std::intptr_t Default() = 0;
};

}  // namespace tornix
