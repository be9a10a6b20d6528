// The Windows program's entry point. The application object is constructed
// during static initialisation; its start-up runs the converter window, and
// the process ends when that returns. The command line is ignored.
#include <windows.h>

#include "ui/framework/win_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    tornix::CWinApp* app = tornix::AfxGetApp();
    if (app == nullptr) return 1;
    app->InitInstance();
    return 0;
}
