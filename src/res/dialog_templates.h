// The program's two dialog templates as data: every control with its id,
// kind, text, position and size in dialog units and its style bits. Every
// window layer builds its windows from these tables, the Win32 resource
// script included. Texts are code page 936 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/resource.h"

#include "res/win32_constants.h"

namespace tornix {

// The id of a control that the program never addresses (labels, the icon).
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    kEdit,        // edit box
    kPushButton,  // push button
    kLabel,       // static text, left-aligned
    kIcon,        // static icon; `iconId` names the icon group
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
