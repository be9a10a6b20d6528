// The constants of the Win32 API that the dialog templates and the dialog
// framework use, with the API's values, so that the templates and the dialogs
// read the same on every platform and the Win32 back end passes them through.
//
// Each is guarded: in the Win32 back end <windows.h> always comes first (it is
// the back end's precompiled header), and the system's own definitions stay.
#pragma once

// Dialog results.
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

// Message box type: one OK button, no icon.
#ifndef MB_OK
#define MB_OK 0x00000000u
#endif

// Window messages that the dialogs route through their message maps.
#ifndef WM_PAINT
#define WM_PAINT 0x000F
#endif
#ifndef WM_ICONERASEBKGND
#define WM_ICONERASEBKGND 0x0027
#endif
#ifndef WM_QUERYDRAGICON
#define WM_QUERYDRAGICON 0x0037
#endif
#ifndef WM_COMMAND
#define WM_COMMAND 0x0111
#endif
#ifndef WM_SYSCOMMAND
#define WM_SYSCOMMAND 0x0112
#endif
#ifndef WM_DROPFILES
#define WM_DROPFILES 0x0233
#endif
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif

// The framework's Help command (F1).
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// The framework's Open command: a file named on the command line is opened by
// it once the window is shown.
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN 0xE101
#endif

// Menu item kinds for AppendMenu.
#ifndef MF_STRING
#define MF_STRING 0x0000u
#endif
#ifndef MF_SEPARATOR
#define MF_SEPARATOR 0x0800u
#endif

// WM_SETICON sizes.
#ifndef ICON_SMALL
#define ICON_SMALL 0
#endif
#ifndef ICON_BIG
#define ICON_BIG 1
#endif

// System metrics used for the minimised window's icon.
#ifndef SM_CXICON
#define SM_CXICON 11
#endif
#ifndef SM_CYICON
#define SM_CYICON 12
#endif

// File chooser flags.
#ifndef OFN_OVERWRITEPROMPT
#define OFN_OVERWRITEPROMPT 0x00000002u
#endif
#ifndef OFN_PATHMUSTEXIST
#define OFN_PATHMUSTEXIST 0x00000800u
#endif

// Window, dialog and control style bits.
#ifndef WS_POPUP
#define WS_POPUP 0x80000000u
#endif
#ifndef WS_CHILD
#define WS_CHILD 0x40000000u
#endif
#ifndef WS_VISIBLE
#define WS_VISIBLE 0x10000000u
#endif
#ifndef WS_CAPTION
#define WS_CAPTION 0x00C00000u
#endif
#ifndef WS_BORDER
#define WS_BORDER 0x00800000u
#endif
#ifndef WS_VSCROLL
#define WS_VSCROLL 0x00200000u
#endif
#ifndef WS_HSCROLL
#define WS_HSCROLL 0x00100000u
#endif
#ifndef WS_SYSMENU
#define WS_SYSMENU 0x00080000u
#endif
#ifndef WS_THICKFRAME
#define WS_THICKFRAME 0x00040000u
#endif
#ifndef WS_GROUP
#define WS_GROUP 0x00020000u
#endif
#ifndef WS_TABSTOP
#define WS_TABSTOP 0x00010000u
#endif
#ifndef WS_MINIMIZEBOX
#define WS_MINIMIZEBOX 0x00020000u
#endif
#ifndef WS_MAXIMIZEBOX
#define WS_MAXIMIZEBOX 0x00010000u
#endif
#ifndef DS_SETFONT
#define DS_SETFONT 0x40u
#endif
#ifndef DS_MODALFRAME
#define DS_MODALFRAME 0x80u
#endif
#ifndef WS_EX_STATICEDGE
#define WS_EX_STATICEDGE 0x00020000u
#endif
#ifndef WS_EX_APPWINDOW
#define WS_EX_APPWINDOW 0x00040000u
#endif
#ifndef ES_MULTILINE
#define ES_MULTILINE 0x0004u
#endif
#ifndef ES_AUTOVSCROLL
#define ES_AUTOVSCROLL 0x0040u
#endif
#ifndef ES_AUTOHSCROLL
#define ES_AUTOHSCROLL 0x0080u
#endif
#ifndef ES_READONLY
#define ES_READONLY 0x0800u
#endif
#ifndef ES_WANTRETURN
#define ES_WANTRETURN 0x1000u
#endif
#ifndef BS_DEFPUSHBUTTON
#define BS_DEFPUSHBUTTON 0x0001u
#endif
#ifndef BS_FLAT
#define BS_FLAT 0x8000u
#endif
#ifndef SS_ICON
#define SS_ICON 0x0003u
#endif
#ifndef SS_NOPREFIX
#define SS_NOPREFIX 0x0080u
#endif
