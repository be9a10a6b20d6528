#include "app/converter_app.h"

#include "ui/converter_dlg.h"

namespace tornix {

bool CConverterApp::InitInstance() {
    CConverterDlg dlg;
    if (!m_commandLineFiles.empty()) dlg.m_startFile = m_commandLineFiles.front();
    m_pMainWnd = &dlg;
    dlg.DoModal();  // IDOK, IDCANCEL or -1: the program ends either way
    m_pMainWnd = nullptr;
    return false;
}

}  // namespace tornix
