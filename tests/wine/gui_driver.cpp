#include "gui_driver.h"

namespace tornix::gui {
namespace {

// Long enough for a slow Wine start on a loaded machine; only a hang reaches it.
constexpr DWORD kPatienceMs = 60000;
constexpr DWORD kPollMs = 20;

struct Search {
    HWND owner;
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

bool IsDialogBox(HWND window) {
    return ClassName(window) == L"#32770" && ::IsWindowVisible(window);
}

BOOL CALLBACK MatchOwned(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (window != search->owner && ::GetWindow(window, GW_OWNER) == search->owner && IsDialogBox(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (search->processId != 0 && processId != search->processId) return TRUE;
    if (IsDialogBox(window) && WindowText(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindow(const std::function<HWND()>& found) {
    for (DWORD waited = 0; waited < kPatienceMs; waited += kPollMs) {
        if (HWND window = found()) return window;
        ::Sleep(kPollMs);
    }
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& condition) {
    return WaitForWindow([&] { return condition() ? ::GetDesktopWindow() : nullptr; }) != nullptr;
}

HWND FindOwnedDialog(HWND owner) {
    Search search{owner, 0, nullptr, nullptr};
    ::EnumWindows(&MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindThreadDialog(DWORD threadId, const std::wstring& caption) {
    Search search{nullptr, 0, &caption, nullptr};
    ::EnumThreadWindows(threadId, &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessDialog(DWORD processId, const std::wstring& caption) {
    Search search{nullptr, processId, &caption, nullptr};
    ::EnumWindows(&MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window) {
    // Asked of the window itself: GetWindowText does not ask a control of
    // another process.
    const auto size = static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1;
    std::wstring text(size, L'\0');
    const auto length = static_cast<int>(
        ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text.data())));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    const int length = ::GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

UiThread::UiThread(std::function<void()> body) : m_body(std::move(body)) {
    m_thread = ::CreateThread(nullptr, 0, &Run, this, 0, &m_id);
}

UiThread::~UiThread() {
    if (m_thread != nullptr) {
        Join();
        ::CloseHandle(m_thread);
    }
}

bool UiThread::Join() {
    return ::WaitForSingleObject(m_thread, kPatienceMs) == WAIT_OBJECT_0;
}

DWORD WINAPI UiThread::Run(void* self) {
    static_cast<UiThread*>(self)->m_body();
    return 0;
}

}  // namespace tornix::gui
