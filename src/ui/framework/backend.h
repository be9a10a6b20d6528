// Functions that the linked window back end defines. Exactly one back end is
// linked into each program: Qt, Win32, or the scripted fake of the tests.
#pragma once

#include "text/gbk_string.h"
#include "ui/framework/afx.h"

namespace tornix {

class CDialog;

// Creates the window of `dialog` from template `templateId`, owned by `owner`
// (may be null), runs it modally and returns the ending code, or -1 when the
// window cannot be created. Calls dialog.OnInitDialog() once the controls exist.
int RunDialogModal(CDialog& dialog, unsigned templateId, CDialog* owner);

// The icon group `id` of the program's resources; null when missing.
IconHandle LoadIconResource(unsigned id);

int GetSystemMetrics(int index);

// The name shown as the caption of a message box that has none of its own:
// the executable's file name without folder and extension.
GbkString ApplicationName();

}  // namespace tornix
