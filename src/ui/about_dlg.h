// CAboutDlg: the About box, built from IDD_ABOUT; its one button ends it.
#pragma once

#include "res/resource.h"
#include "ui/framework/dialog.h"

namespace tornix {

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUT) {}
};

}  // namespace tornix
