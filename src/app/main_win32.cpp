// The Windows entry point: the one application object and its start-up. The
// object is constructed during static initialisation; its start-up runs the
// converter window, and the process ends when that returns. Every argument of
// the command line is a file to open, read as UTF-16 whatever the ANSI code
// page.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include "app/converter_app.h"
#include "text/display_codec.h"

namespace {

tornix::CConverterApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!tornix::DisplayCodecAvailable()) {
        MessageBoxW(nullptr, L"缺少代码页 936 和 GB18030 的字符转换器，无法显示中文文本。", nullptr,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    int count = 0;
    if (LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) theApp.m_commandLineFiles.emplace_back(args[i]);
        LocalFree(args);
    }
    tornix::CWinApp* app = tornix::AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}
