// Drives a dialog of the program the way a user's input does, with window
// messages from the test's own thread. The dialog runs modally on a second
// thread, as it runs on the program's only thread; windows are waited for,
// never assumed.
#pragma once

#include "ui/framework/win32/win32_api.h"

#include <functional>
#include <string>
#include <vector>

namespace tornix::gui {

// Waits (up to a generous limit, so that a hang fails instead of blocking the
// run) until `found` returns a window; returns it, or null.
HWND WaitForWindow(const std::function<HWND()>& found);
// Waits until `condition` holds; false when it never did.
bool WaitUntil(const std::function<bool()>& condition);

// A visible dialog box owned by `owner` (a message box or the About box).
HWND FindOwnedDialog(HWND owner);
// The top-level dialog boxes of one thread or process with this caption.
HWND FindThreadDialog(DWORD threadId, const std::wstring& caption);
HWND FindProcessDialog(DWORD processId, const std::wstring& caption);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The children of `parent` in creation order, which is the tab order.
std::vector<HWND> Children(HWND parent);

// Runs `body` on a new thread with its own message queue; Join waits for it.
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    DWORD Id() const { return m_id; }
    bool Join();  // false when the thread did not end in time

private:
    static DWORD WINAPI Run(void* self);
    std::function<void()> m_body;
    HANDLE m_thread = nullptr;
    DWORD m_id = 0;
};

}  // namespace tornix::gui
