// The Windows entry point: the one application object and its start-up. The
// object is constructed during static initialisation; its start-up runs the
// converter window, and the process ends when that returns. The command line
// is ignored.
#include <windows.h>

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
    tornix::CWinApp* app = tornix::AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}
