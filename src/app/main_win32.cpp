// The Windows entry point: the one application object and its start-up. The
// object is constructed during static initialisation; its start-up runs the
// converter window, and the process ends when that returns. The command line
// is ignored.
#include <windows.h>

#include "app/converter_app.h"

namespace {

tornix::CConverterApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    tornix::CWinApp* app = tornix::AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}
