// Turns a dialog template of the program's resources into the in-memory
// template that the dialog manager creates a window from: an extended one
// (DLGTEMPLATEEX) or a standard one (DLGTEMPLATE), as the template says. The
// layout is read from the shared template data, so there is one source of it.
#pragma once

#include <cstdint>
#include <vector>

#include "res/dialog_templates.h"

namespace tornix::win32 {

// 16-bit words; the first is DWORD-aligned by the vector's allocation.
using TemplateWords = std::vector<std::uint16_t>;

TemplateWords BuildDialogTemplate(const DialogTemplate& dialog);

}  // namespace tornix::win32
