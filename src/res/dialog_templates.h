// The program's two dialog templates as data: every control with its id,
// kind, text, position and size in dialog units and its style bits. Every
// window layer builds its windows from these tables, the Win32 resource
// script included. Texts are code page 936 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/resource.h"

// The OK button's id.
#ifndef IDOK
#define IDOK 1
#endif

// Window, dialog and control style bits, with the values of the Win32 API.
// Guarded so that a back end that includes <windows.h> first keeps its own.
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

namespace tornix {

// The id of a control that the program never addresses (labels, the icon).
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    Edit,        // edit box
    PushButton,  // push button
    Label,       // static text, left-aligned
    Icon,        // static icon; `iconId` names the icon group
};

struct ControlTemplate {
    int id;  // kNoControlId for labels and the icon
    ControlKind kind;
    const char* text;  // code page 936; empty for edit boxes and the icon
    int x, y, cx, cy;  // dialog units
    std::uint32_t style;
    std::uint32_t exStyle;
    unsigned iconId;  // Icon only, else 0
};

struct DialogTemplate {
    unsigned id;
    bool extended;  // extended (DIALOGEX) or standard (DIALOG) template
    const char* caption;
    int x, y, cx, cy;  // dialog units; x = y = 0: centred by the window layer
    std::uint32_t style;
    std::uint32_t exStyle;
    const char* fontName;  // code page 936
    int fontPointSize;
    int fontWeight;  // 0: the default
    bool fontItalic;
    int fontCharset;
    const ControlTemplate* controls;  // in template order, which is the tab order
    std::size_t controlCount;
    unsigned languageId;  // 0x0804, Chinese (PRC)
};

// The template with this id (IDD_CONVERTER or IDD_ABOUT), or nullptr.
const DialogTemplate* FindDialogTemplate(unsigned id);

}  // namespace tornix
