// open_probe.exe PROGRAM [ARGS...]: starts tornix.exe (PROGRAM) with the
// arguments, as Explorer's "Open with" or a shortcut does, and reports what
// the user sees once it has settled, in UTF-8, one line each:
//   window: shown                  the converter window is on the screen
//   message: TEXT                  a message box over it (then closed)
//   input: TEXT                    the input box's text (CR LF as \n)
//   exit: N                        the program's exit status, once closed
// Used by tests/wine/release-test.sh on the installed and unzipped programs.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kInputId = 1000;  // IDC_INPUT

struct Search {
    DWORD process;
    HWND dialog = nullptr;
    HWND box = nullptr;  // a message box of the process
};

BOOL CALLBACK FindWindows(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process || !::IsWindowVisible(hwnd)) return TRUE;
    if (::GetDlgItem(hwnd, kInputId) != nullptr) {
        search->dialog = hwnd;
    } else if (::GetDlgItem(hwnd, IDOK) != nullptr) {
        search->box = hwnd;
    }
    return TRUE;
}

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(text.size()) * 3, '\0');
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                             static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    std::string lines;
    for (char c : out) {
        if (c != '\r') lines += c;
    }
    return lines;
}

// A control's text, asked of its window (GetWindowText does not ask a
// window of another process).
std::size_t TextLength(HWND hwnd) {
    return static_cast<std::size_t>(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

std::wstring Text(HWND hwnd) {
    std::wstring text(TextLength(hwnd) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

BOOL CALLBACK FindBoxText(HWND child, LPARAM param) {
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    auto* text = reinterpret_cast<std::wstring*>(param);
    if (lstrcmpiW(className, L"Static") == 0 && TextLength(child) > 0) {
        *text = Text(child);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: open_probe.exe PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    for (int i = 2; i < argc; ++i) commandLine += L" \"" + std::wstring(argv[i]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "open_probe: cannot start the program (error %lu)\n", ::GetLastError());
        return 1;
    }
    // The window, then a message box or a filled input box; or two quiet
    // seconds after the window appeared.
    Search search{info.dwProcessId};
    DWORD shownAt = 0;
    for (DWORD waited = 0; waited < 20000; waited += 50) {
        search.dialog = search.box = nullptr;
        ::EnumWindows(&FindWindows, reinterpret_cast<LPARAM>(&search));
        if (search.dialog != nullptr && shownAt == 0) shownAt = waited;
        if (search.box != nullptr && search.dialog != nullptr) break;
        if (search.dialog != nullptr && TextLength(::GetDlgItem(search.dialog, kInputId)) > 0) break;
        if (shownAt != 0 && waited - shownAt >= 2000) break;
        ::Sleep(50);
    }
    if (search.dialog == nullptr) {
        std::printf("window: none\n");
        ::TerminateProcess(info.hProcess, 1);
        return 1;
    }
    std::printf("window: shown\n");
    if (search.box != nullptr) {
        std::wstring text;
        ::EnumChildWindows(search.box, &FindBoxText, reinterpret_cast<LPARAM>(&text));
        std::printf("message: %s\n", Utf8(text).c_str());
        ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
        ::Sleep(300);
    }
    std::printf("input: %s\n", Utf8(Text(::GetDlgItem(search.dialog, kInputId))).c_str());
    ::PostMessageW(search.dialog, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        std::printf("exit: none (still running)\n");
        ::TerminateProcess(info.hProcess, 1);
        return 1;
    }
    DWORD status = 0;
    ::GetExitCodeProcess(info.hProcess, &status);
    std::printf("exit: %lu\n", status);
    return 0;
}
