// Puts tornix.exe's converter window into the state the README shows, for
// scripts/screenshots-windows.sh: a sample text converted to full width, or
// the About box open over it. Prints the converter window's rectangle ("x y
// width height", in the virtual desktop's pixels), which holds both. A
// Windows program:
//
//   i686-w64-mingw32-g++ -O2 -static -municode scripts/windows-shot-driver.cpp -o driver.exe
//   wine driver.exe convert|about
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kCaption[] = L"Qelvar Ver. 1.0713";
const wchar_t kSample[] = L"Tornix 全角/半角转换示例:\r\nHello, World!   1+1=2.\r\n文件 C:/Temp/a.txt, 价格 $100~200";
constexpr int kInput = 1000, kToFull = 1005;  // IDC_INPUT, IDC_TO_FULL
constexpr WPARAM kAboutCommand = 0x0010;      // IDM_ABOUT

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
    ::Sleep(500);  // the last paint
    RECT rect{};
    ::GetWindowRect(converter, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}
