// Resource identifiers shared by the dialogs, the string table and the Win32
// resource script. Plain macros so that the resource compiler can read them.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_CONVERTER 102
#define IDI_MAIN 128

#define IDM_ABOUT 0x0010

#define IDC_INPUT 1000
#define IDC_LOAD 1001
#define IDC_OUTPUT 1002
#define IDC_SAVE_AS 1003
#define IDC_TO_HALF 1004
#define IDC_TO_FULL 1005
