// CConverterApp: the program's application object. Its start-up runs the
// converter window modally; when the window closes, the program ends.
#pragma once

#include "ui/framework/win_app.h"

namespace tornix {

class CConverterApp : public CWinApp {
public:
    // Runs the converter window until it ends; returns false so that the
    // program then exits.
    bool InitInstance() override;
};

}  // namespace tornix
