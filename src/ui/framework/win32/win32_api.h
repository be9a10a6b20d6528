// <windows.h> for the Win32 back end. Included before any framework header:
// the framework's constants then keep the system's own definitions. The
// system's A/W macros that share a name with framework members are removed, so
// that CDialog::MessageBox and DialogHost::SendMessage keep their names; the
// back end calls the W functions by their full names.
#pragma once

#include <windows.h>

#include <commdlg.h>

#undef MessageBox
#undef SendMessage
