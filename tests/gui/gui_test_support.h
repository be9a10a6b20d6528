// Helpers for driving the real Qt windows in tests: run a dialog with a test
// body inside its modal loop, and handle the modal windows (message boxes,
// choosers, the About box, menus) that an action opens.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "ui/framework/dialog.h"
#include "ui/framework/qt/dialog_window.h"

class QWidget;

namespace tornix::testing {

// Runs `dialog` modally as the application's main window and calls `body`
// with its window once it is shown and active. If the body leaves the window
// open, it is then ended with IDCANCEL. Returns the dialog's ending code.
int RunDialog(CDialog& dialog, const std::function<void(qt::DialogWindow&)>& body);

// Processes events until `done` holds, for at most a few seconds; returns
// whether it holds.
bool WaitFor(const std::function<bool()>& done);

// Calls `action`, which is expected to open a modal window, and calls
// `inspect` with it once it is visible. Whatever `inspect` leaves open is
// closed afterwards. With `className`, only a window of that class counts
// (others that open first are left to the action). Returns false if nothing
// opened.
bool WithModal(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect,
               const char* className = nullptr);

// The same for a popup menu.
bool WithPopup(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect);

// What a message box showed.
struct MessageBoxSeen {
    QString title;
    QString text;
    QStringList buttons;
    bool hasIcon = false;
    QWidget* owner = nullptr;
    QSize size;
    QRect textPlace;        // the text's extent, in the box
    QRect buttonPlace;      // the first button, in the box
    Qt::WindowFlags flags;  // the title bar's buttons
    QString copied;         // what Ctrl+C put on the clipboard
};

// Calls `action` and dismisses the one message box it opens with its button
// (after pressing Ctrl+C in it); returns false in `opened` if none opened.
MessageBoxSeen ExpectMessageBox(const std::function<void()>& action, bool* opened = nullptr);

// GBK bytes of UTF-8 text, for building expected values from readable text.
std::string Gbk(const char* utf8);

}  // namespace tornix::testing
