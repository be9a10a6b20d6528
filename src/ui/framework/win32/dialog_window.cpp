#include "ui/framework/win32/dialog_window.h"

#include <shellapi.h>

#include <string>

#include "ui/framework/backend.h"
#include "ui/framework/win32/file_chooser.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix::win32 {
namespace {

struct RunContext {
    CDialog& dialog;
    bool centre;
    std::unique_ptr<DialogWindow> host;
};

class WindowPaint : public PaintContext {
public:
    explicit WindowPaint(HWND hwnd) : m_hwnd(hwnd) { ::BeginPaint(m_hwnd, &m_paint); }
    ~WindowPaint() override { ::EndPaint(m_hwnd, &m_paint); }
    std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(m_paint.hdc); }
    void DrawIcon(int x, int y, IconHandle icon) override {
        ::DrawIcon(m_paint.hdc, x, y, static_cast<HICON>(const_cast<void*>(icon)));
    }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
};

// Centres `hwnd` over its owner when the owner is shown, otherwise on the
// work area of its screen, and keeps it inside that work area.
void Centre(HWND hwnd) {
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT around = area;
    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = (around.left + around.right) / 2 - width / 2;
    LONG y = (around.top + around.bottom) / 2 - height / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Edit boxes take as much text as the user types or pastes, not only the
// dialog manager's default of 32767 characters.
BOOL CALLBACK LiftEditLimit(HWND child, LPARAM) {
    wchar_t className[16] = {};
    if (::GetClassNameW(child, className, 16) > 0 && ::lstrcmpiW(className, L"Edit") == 0) {
        ::SendMessageW(child, EM_SETLIMITTEXT, 0, 0);
    }
    return TRUE;
}

}  // namespace

void WindowMenu::AppendSeparator() {
    ::AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
}

void WindowMenu::AppendItem(unsigned id, const GbkString& text) {
    ::AppendMenuW(m_menu, MF_STRING, id, ToWide(text.view()).c_str());
}

int DialogWindow::RunModal(CDialog& dialog, unsigned templateId, bool centre, HWND owner) {
    RunContext context{dialog, centre, nullptr};
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                                             &DialogProc, reinterpret_cast<LPARAM>(&context));
    dialog.AttachHost(nullptr);
    return static_cast<int>(result);
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* context = reinterpret_cast<RunContext*>(lParam);
        context->host.reset(new DialogWindow(context->dialog, hwnd, context->centre));
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(context->host.get()));
        return context->host->InitDialog();
    }
    auto* host = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (host == nullptr) return FALSE;
    if (host->m_skipNextCall) {
        // The dialog manager asks again while Default() runs: let it go on.
        host->m_skipNextCall = false;
        return FALSE;
    }
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    return host->Route(message, wParam, lParam);
}

INT_PTR DialogWindow::InitDialog() {
    m_dialog.AttachHost(this);
    ::EnumChildWindows(m_hwnd, &LiftEditLimit, 0);
    if (m_dialog.AcceptsDroppedFiles()) ::DragAcceptFiles(m_hwnd, TRUE);
    m_current.push_back({WM_INITDIALOG, 0, 0});
    const bool focusFirst = m_dialog.OnInitDialog();
    m_current.pop_back();
    if (m_centre) Centre(m_hwnd);
    return focusFirst ? TRUE : FALSE;
}

INT_PTR DialogWindow::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
        case WM_SYSCOMMAND:
        case WM_QUERYDRAGICON:
        case WM_COMMAND:
            break;
        case WM_DROPFILES:
            return DropFiles(wParam);
        case WM_HELP:
            // F1: the framework's Help command.
            message = WM_COMMAND;
            wParam = MAKEWPARAM(ID_HELP, 0);
            lParam = 0;
            break;
        default:
            return FALSE;
    }
    std::intptr_t result = 0;
    m_current.push_back({message, wParam, lParam});
    const bool handled = m_dialog.OnWndMsg(message, wParam, lParam, &result);
    m_current.pop_back();
    if (!handled) return FALSE;
    if (message == WM_QUERYDRAGICON) return result;  // returned as it is, not through DWLP_MSGRESULT
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// The dropped files' names, taken before the system's record of them is
// freed, go to the dialog as the framework's WM_DROPFILES.
INT_PTR DialogWindow::DropFiles(WPARAM wParam) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    DroppedFiles files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        files.emplace_back(name);
    }
    ::DragFinish(drop);
    if (files.empty()) return TRUE;
    std::intptr_t result = 0;
    if (!m_dialog.OnWndMsg(WM_DROPFILES, reinterpret_cast<std::uintptr_t>(&files), 0, &result)) return FALSE;
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 0);
    return TRUE;
}

std::intptr_t DialogWindow::Default() {
    if (m_current.empty()) return 0;
    const Message current = m_current.back();
    // The dialog manager first hands the message to DialogProc; that one call
    // answers "not handled" so that the manager's own processing runs.
    m_skipNextCall = true;
    const LRESULT result = ::DefDlgProcW(m_hwnd, current.message, current.wParam, current.lParam);
    m_skipNextCall = false;
    return result;
}

GbkString DialogWindow::GetItemText(unsigned id) const {
    const HWND item = ::GetDlgItem(m_hwnd, static_cast<int>(id));
    if (item == nullptr) return GbkString();
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    const int length = ::GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return FromWide(text);
}

void DialogWindow::SetItemText(unsigned id, const GbkString& text) {
    ::SetDlgItemTextW(m_hwnd, static_cast<int>(id), ToWide(text.view()).c_str());
}

int DialogWindow::ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) {
    const std::wstring title = ToWide(caption ? caption->view() : ApplicationName().view());
    return ::MessageBoxW(m_hwnd, ToWide(text.view()).c_str(), title.c_str(), type);
}

std::optional<FileChooserAnswer> DialogWindow::ShowFileChooser(const FileChooserRequest& request) {
    return ChooseFile(m_hwnd, request);
}

void DialogWindow::End(int result) {
    ::EndDialog(m_hwnd, result);
}

SystemMenu* DialogWindow::GetSystemMenu() {
    const HMENU menu = ::GetSystemMenu(m_hwnd, FALSE);
    if (menu == nullptr) return nullptr;
    m_menu = std::make_unique<WindowMenu>(menu);
    return m_menu.get();
}

void DialogWindow::SetIcon(IconHandle icon, bool big) {
    ::SendMessageW(m_hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(const_cast<void*>(icon)));
}

bool DialogWindow::IsIconic() const {
    return ::IsIconic(m_hwnd) != FALSE;
}

ClientRect DialogWindow::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hwnd, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::unique_ptr<PaintContext> DialogWindow::BeginPaint() {
    return std::make_unique<WindowPaint>(m_hwnd);
}

std::intptr_t DialogWindow::SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    return ::SendMessageW(m_hwnd, message, static_cast<WPARAM>(wParam), lParam);
}

void DialogWindow::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    ::PostMessageW(m_hwnd, message, static_cast<WPARAM>(wParam), lParam);
}

}  // namespace tornix::win32
