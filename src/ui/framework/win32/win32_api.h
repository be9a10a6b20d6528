// <windows.h> for the Win32 back end, its precompiled header: it comes before
// any framework header, so the shared Win32 constants (res/win32_constants.h)
// keep the system's own definitions. The
// system's A/W macros that share a name with framework members are removed, so
// that CDialog::MessageBox and DialogHost::SendMessage keep their names; the
// back end calls the W functions by their full names.
#pragma once

#include <windows.h>

#include <commdlg.h>

#undef MessageBox
#undef SendMessage
