// The start of the Qt program, shared by tornix and its start-up probe.
#pragma once

#include <functional>

class QApplication;

namespace tornix {

// Creates the QApplication (the command line is not passed on), makes Qt's
// own texts and formats Chinese, calls `prepare` if given, and runs the
// application object's start-up. Returns the process's exit status.
int RunQtProgram(char* programPath, const std::function<void(QApplication&)>& prepare = {});

}  // namespace tornix
