// CWinApp: the application object. The one instance registers itself; the
// program's entry point calls InitInstance and ends when it returns.
#pragma once

namespace tornix {

class CDialog;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up; returning false ends the program.
    virtual bool InitInstance() { return false; }

    // The main window: the owner of dialogs run without an explicit parent.
    CDialog* m_pMainWnd = nullptr;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();

}  // namespace tornix
