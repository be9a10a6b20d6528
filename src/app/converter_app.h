// CConverterApp: the program's application object. Its start-up runs the
// converter window modally; when the window closes, the program ends.
#pragma once

#include <filesystem>
#include <vector>

#include "ui/framework/win_app.h"

namespace tornix {

class CConverterApp : public CWinApp {
public:
    // Runs the converter window until it ends; returns false so that the
    // program then exits.
    bool InitInstance() override;

    // The arguments of the command line, each a file: the window opens with
    // the first loaded, as the first of several dropped files is; the others
    // are left alone.
    std::vector<std::filesystem::path> m_commandLineFiles;
};

}  // namespace tornix
