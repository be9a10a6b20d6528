// A scripted window back end for tests: control texts live in memory, message
// boxes and choosers are recorded, and choosers answer from a script. Linked by
// tests only, in place of a real window back end.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/framework/dialog.h"
#include "ui/framework/dialog_host.h"

namespace tornix::fake {

struct MessageBoxRecord {
    std::string text;
    std::optional<std::string> caption;  // nothing: the application's name
    unsigned type;
};

class FakeMenu : public SystemMenu {
public:
    struct Item {
        bool separator;
        unsigned id;
        std::string text;
    };
    void AppendSeparator() override { items.push_back({true, 0, {}}); }
    void AppendItem(unsigned id, const GbkString& text) override {
        items.push_back({false, id, std::string(text.view())});
    }
    std::vector<Item> items;
};

// One open dialog window. Creating it attaches it to the dialog and runs the
// dialog's OnInitDialog, as a real back end does once the controls exist.
class FakeWindow : public DialogHost {
public:
    explicit FakeWindow(CDialog& dialog, bool withSystemMenu = true);
    ~FakeWindow() override;

    // What a user does.
    void Type(unsigned id, std::string_view text) { m_texts[id] = std::string(text); }
    void Click(unsigned id);
    void SysCommand(unsigned id);
    void Help();
    // Files dropped onto the window, as a real back end sends them.
    void DropFiles(const DroppedFiles& files);
    bool Paint();  // false when the dialog left WM_PAINT to the platform
    std::intptr_t QueryDragIcon();
    // The window opens again for the same dialog, as at the program's start
    // (OnInitDialog), its texts as they were.
    void Reopen() { m_dialog.OnInitDialog(); }
    // The window's loop runs: the posted messages are handled, in order.
    void RunPosted();

    // What a user sees.
    std::string Text(unsigned id) const;

    // Scripts: answers of the next choosers (nothing = cancelled); the items
    // the user picks in the next confirmed choosers' drop-down lists, by their
    // text (an item the chooser lacks cancels it; none: left as offered); and
    // a control read that runs out of memory.
    std::deque<std::optional<std::filesystem::path>> chooserAnswers;
    std::deque<std::string> choicePicks;
    mutable bool failNextRead = false;
    bool iconic = false;
    ClientRect clientRect{0, 0, 160, 90};

    // Records.
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<FileChooserRequest> choosers;
    mutable std::vector<std::string> transfers;  // "get 1002", "set 1000", ... in order
    std::vector<std::pair<IconHandle, bool>> iconsSet;
    std::vector<std::pair<int, int>> iconsDrawn;
    std::vector<unsigned> sentMessages;
    int defaultCalls = 0;
    std::optional<int> endCode;
    FakeMenu menu;
    bool hasSystemMenu;
    bool acceptsDroppedFiles = false;  // asked of the dialog when the window opened

    // DialogHost
    GbkString GetItemText(unsigned id) const override;
    void SetItemText(unsigned id, const GbkString& text) override;
    int ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) override;
    std::optional<FileChooserAnswer> ShowFileChooser(const FileChooserRequest& request) override;
    void End(int result) override { endCode = result; }
    SystemMenu* GetSystemMenu() override { return hasSystemMenu ? &menu : nullptr; }
    void SetIcon(IconHandle icon, bool big) override { iconsSet.emplace_back(icon, big); }
    bool IsIconic() const override { return iconic; }
    ClientRect GetClientRect() const override { return clientRect; }
    std::unique_ptr<PaintContext> BeginPaint() override;
    std::intptr_t SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    void PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Default() override { return ++defaultCalls, 0; }

private:
    CDialog& m_dialog;
    std::map<unsigned, std::string> m_texts;
    struct Posted {
        unsigned message;
        std::intptr_t wParam, lParam;
    };
    std::deque<Posted> m_posted;
};

// Dialogs run modally through the fake (the About box) are recorded here and
// end at once with `nextResult`.
struct ModalLog {
    std::vector<unsigned> templates;
    int nextResult = IDOK;
};
ModalLog& Modals();

// The fake's icon and metrics.
inline constexpr int kIconSize = 32;
IconHandle FakeIcon();

}  // namespace tornix::fake
