// Puts tornix.exe's converter window into the state the README shows, for
// scripts/screenshots-windows.sh: a sample text converted to full width, the
// About box open over it, the save chooser open over it, or the open chooser
// with its encoding list dropped down and Big5 picked in it. Prints the
// rectangle ("x y width height", in the virtual desktop's pixels) that holds
// the converter window and what is open over it. A Windows program:
//
//   i686-w64-mingw32-g++ -O2 -static -municode scripts/windows-shot-driver.cpp -o driver.exe
//   wine driver.exe convert|about|save|open
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kCaption[] = L"Qelvar Ver. 1.0713";
const wchar_t kSample[] = L"Tornix 全角/半角转换示例:\r\nHello, World!   1+1=2.\r\n文件 C:/Temp/a.txt, 价格 $100~200";
constexpr int kInput = 1000, kLoad = 1001, kSaveAs = 1003, kToFull = 1005;  // IDC_INPUT, IDC_LOAD, ...
constexpr WPARAM kAboutCommand = 0x0010;                                    // IDM_ABOUT

// The visible dialog box owned by `owner`.
HWND OwnedBy(HWND owner) {
    for (int i = 0; i < 300; ++i) {
        for (HWND window = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window != nullptr;
             window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)) {
            if (::GetWindow(window, GW_OWNER) == owner && ::IsWindowVisible(window)) return window;
        }
        ::Sleep(100);
    }
    return nullptr;
}

BOOL CALLBACK FindEncodingList(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wcscmp(name, L"ComboBox") == 0 &&
        ::SendMessageW(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Big5")) >= 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Drops down the chooser's encoding list with Big5 picked; adds the list's
// rectangle to `rect`.
void ShowEncodingList(HWND chooser, RECT& rect) {
    HWND list = nullptr;
    ::EnumChildWindows(chooser, &FindEncodingList, reinterpret_cast<LPARAM>(&list));
    if (list == nullptr) return;
    const auto big5 =
        ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Big5"));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(big5), 0);
    ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    RECT dropped{};
    if (::GetComboBoxInfo(list, &info) && ::GetWindowRect(info.hwndList, &dropped)) {
        ::UnionRect(&rect, &rect, &dropped);
    }
}

HWND WaitFor(const wchar_t* caption) {
    for (int i = 0; i < 300; ++i) {
        if (HWND window = ::FindWindowW(L"#32770", caption)) {
            if (::IsWindowVisible(window)) return window;
        }
        ::Sleep(100);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const HWND converter = WaitFor(kCaption);
    if (converter == nullptr) return 1;
    if (std::wcscmp(argv[1], L"about") == 0) {
        ::PostMessageW(converter, WM_SYSCOMMAND, kAboutCommand, 0);
        if (WaitFor(L"关于") == nullptr) return 1;
    } else {
        ::SendMessageW(::GetDlgItem(converter, kInput), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSample));
        ::SendMessageW(::GetDlgItem(converter, kToFull), BM_CLICK, 0, 0);
    }
    RECT rect{};
    ::GetWindowRect(converter, &rect);
    const bool open = std::wcscmp(argv[1], L"open") == 0;
    if (open || std::wcscmp(argv[1], L"save") == 0) {
        ::PostMessageW(::GetDlgItem(converter, open ? kLoad : kSaveAs), BM_CLICK, 0, 0);
        const HWND chooser = OwnedBy(converter);
        if (chooser == nullptr) return 1;
        RECT chooserRect{};
        ::GetWindowRect(chooser, &chooserRect);
        ::UnionRect(&rect, &rect, &chooserRect);
        if (open) {
            ::Sleep(500);  // the chooser lays out its controls
            ShowEncodingList(chooser, rect);
        }
    }
    ::Sleep(500);  // the last paint
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}
