// Basic types and constants of the dialog framework. The numeric values are
// those of the Win32 API, so that the Win32 back end passes them through and the
// dialogs read the same on every platform. Each is guarded so that a back end
// that includes <windows.h> first keeps the system's own definitions.
#pragma once

#include <cstdint>

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
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif

// The framework's Help command (F1).
#ifndef ID_HELP
#define ID_HELP 0xE146
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

namespace tornix {

// An icon as the back end knows it; null when none was loaded.
using IconHandle = const void*;

struct ClientRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

}  // namespace tornix
