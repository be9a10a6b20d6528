// generate_rc: writes the resource script of the Windows program's dialogs and
// string table from the data in dialog_templates.cpp and string_table.cpp, so
// that the data stays the one source of both and the module carries real
// RT_DIALOG and RT_STRING resources. It runs on the build machine (a host
// program even in a cross build; see src/res/CMakeLists.txt):
//
//   generate_rc OUTPUT.rc
//
// The script is code page 936 text, as a resource editor writes it for a
// Chinese (PRC) program, with symbolic ids from resource.h and symbolic style
// bits where the data's bits have names.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace tornix {
namespace {

struct Name {
    std::uint32_t value;
    const char* name;
};

#define TORNIX_NAMED(symbol)                        \
    Name {                                          \
        static_cast<std::uint32_t>(symbol), #symbol \
    }

// Identifiers by the names resource.h gives them.
const std::vector<Name> kIdNames = {
    TORNIX_NAMED(IDD_ABOUT),   TORNIX_NAMED(IDS_ABOUT_MENU), TORNIX_NAMED(IDD_CONVERTER), TORNIX_NAMED(IDI_MAIN),
    TORNIX_NAMED(IDC_INPUT),   TORNIX_NAMED(IDC_LOAD),       TORNIX_NAMED(IDC_OUTPUT),    TORNIX_NAMED(IDC_SAVE_AS),
    TORNIX_NAMED(IDC_TO_HALF), TORNIX_NAMED(IDC_TO_FULL),    TORNIX_NAMED(IDOK),          TORNIX_NAMED(IDCANCEL),
};

// Style bits by name; a bit's name depends on what it styles.
const std::vector<Name> kWindowStyles = {
    TORNIX_NAMED(WS_POPUP),   TORNIX_NAMED(WS_CHILD),   TORNIX_NAMED(WS_VISIBLE), TORNIX_NAMED(WS_CAPTION),
    TORNIX_NAMED(WS_VSCROLL), TORNIX_NAMED(WS_HSCROLL), TORNIX_NAMED(WS_SYSMENU), TORNIX_NAMED(WS_THICKFRAME),
};
const std::vector<Name> kDialogStyles = {
    TORNIX_NAMED(WS_MINIMIZEBOX),
    TORNIX_NAMED(WS_MAXIMIZEBOX),
    TORNIX_NAMED(DS_MODALFRAME),
    TORNIX_NAMED(DS_SETFONT),
};
const std::vector<Name> kControlStyles = {TORNIX_NAMED(WS_GROUP), TORNIX_NAMED(WS_TABSTOP)};
const std::vector<Name> kEditStyles = {
    TORNIX_NAMED(ES_MULTILINE), TORNIX_NAMED(ES_AUTOVSCROLL), TORNIX_NAMED(ES_AUTOHSCROLL),
    TORNIX_NAMED(ES_READONLY),  TORNIX_NAMED(ES_WANTRETURN),
};
const std::vector<Name> kButtonStyles = {TORNIX_NAMED(BS_DEFPUSHBUTTON), TORNIX_NAMED(BS_FLAT)};
const std::vector<Name> kStaticStyles = {TORNIX_NAMED(SS_ICON), TORNIX_NAMED(SS_NOPREFIX)};
const std::vector<Name> kExStyles = {TORNIX_NAMED(WS_EX_STATICEDGE), TORNIX_NAMED(WS_EX_APPWINDOW)};

#undef TORNIX_NAMED

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string IdName(int id) {
    if (id == kNoControlId) return "IDC_STATIC";
    for (const Name& name : kIdNames) {
        if (name.value == static_cast<std::uint32_t>(id)) return name.name;
    }
    return std::to_string(id);
}

// `bits` as named flags joined by |, with any bits that have no name as one
// number; "0" for none.
std::string Flags(std::uint32_t bits, const std::vector<std::vector<Name>>& tables) {
    std::string text;
    for (const auto& table : tables) {
        for (const Name& name : table) {
            if (name.value == 0 || (bits & name.value) != name.value) continue;
            text += (text.empty() ? "" : " | ") + std::string(name.name);
            bits &= ~name.value;
        }
    }
    if (bits != 0 || text.empty()) text += (text.empty() ? "" : " | ") + Hex(bits);
    return text;
}

// A quoted string of code page 936 bytes. The resource compilers read a
// trail byte of 0x22 or 0x5C as a quote or an escape, so such a character
// cannot be written; `ok` becomes false.
std::string Quoted(const char* gbk, bool& ok) {
    std::string text = "\"";
    for (const char* p = gbk; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x81 && byte <= 0xFE && p[1] != '\0') {
            const auto trail = static_cast<unsigned char>(p[1]);
            if (trail == '"' || trail == '\\') ok = false;
            text += *p;
            text += *++p;
        } else if (byte == '"') {
            text += "\"\"";
        } else if (byte == '\\') {
            text += "\\\\";
        } else {
            text += *p;
        }
    }
    return text + "\"";
}

std::vector<std::vector<Name>> ControlStyleNames(ControlKind kind) {
    switch (kind) {
        case ControlKind::kEdit:
            return {kWindowStyles, kControlStyles, kEditStyles};
        case ControlKind::kPushButton:
            return {kWindowStyles, kControlStyles, kButtonStyles};
        case ControlKind::kLabel:
        case ControlKind::kIcon:
            break;
    }
    return {kWindowStyles, kControlStyles, kStaticStyles};
}

// The control statement a resource editor writes for a control, and the
// style bits that the statement sets by itself (WS_CHILD and WS_VISIBLE
// included). Each statement gives the control its class as the predefined
// ordinal (Button, Edit, Static).
struct Statement {
    const char* keyword;
    std::uint32_t implied;
    bool hasText;
};

Statement StatementFor(const ControlTemplate& control) {
    constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case ControlKind::kEdit:
            return {"EDITTEXT", kChild | WS_BORDER | WS_TABSTOP, false};  // ES_LEFT is 0
        case ControlKind::kPushButton:
            if ((control.style & BS_DEFPUSHBUTTON) != 0) {
                return {"DEFPUSHBUTTON", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, true};
            }
            return {"PUSHBUTTON", kChild | WS_TABSTOP, true};  // BS_PUSHBUTTON is 0
        case ControlKind::kLabel:
            return {"LTEXT", kChild | WS_GROUP, true};  // SS_LEFT is 0
        case ControlKind::kIcon:
            break;
    }
    // Not ICON, whose width and height windres drops: CONTROL with the Static
    // class's ordinal, which keeps every field.
    return {"CONTROL", kChild, true};
}

// STATEMENT [text,] id, x, y, cx, cy, style[, exStyle] (CONTROL: text, id,
// class, style, x, y, cx, cy[, exStyle]). The style names the
// control's bits, and turns off with NOT those that the statement may set and
// the control lacks.
void WriteControl(std::ostream& out, const ControlTemplate& control, bool& ok) {
    const Statement statement = StatementFor(control);
    out << "    " << statement.keyword << " ";
    if (control.kind == ControlKind::kIcon) {
        out << IdName(static_cast<int>(control.iconId)) << ", ";
    } else if (statement.hasText) {
        out << Quoted(control.text, ok) << ", ";
    }
    const std::vector<std::vector<Name>> names = ControlStyleNames(control.kind);
    // Every bit of the control is named, also those that the statement sets
    // itself: the compilers do not agree on which those are once a style is
    // given.
    const std::uint32_t added = control.style & ~static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE);
    std::string style = added != 0 ? Flags(added, names) : std::string();
    std::uint32_t removed = statement.implied & ~control.style;
    std::vector<std::vector<Name>> removable = names;
    removable.push_back({Name{WS_BORDER, "WS_BORDER"}});
    for (const auto& table : removable) {
        for (const Name& name : table) {
            if (name.value == 0 || (removed & name.value) != name.value) continue;
            style += (style.empty() ? "NOT " : " | NOT ") + std::string(name.name);
            removed &= ~name.value;
        }
    }
    if (removed != 0) style += (style.empty() ? "NOT " : " | NOT ") + Hex(removed);
    if (style.empty()) style = "0";
    const std::string place = std::to_string(control.x) + ", " + std::to_string(control.y) + ", " +
                              std::to_string(control.cx) + ", " + std::to_string(control.cy);
    out << IdName(control.id) << ", ";
    if (control.kind == ControlKind::kIcon) {
        out << "0x82 /* Static */, " << style << ", " << place;  // CONTROL: class and style first
    } else {
        out << place << ", " << style;
    }
    if (control.exStyle != 0) out << ", " << Flags(control.exStyle, {kExStyles});
    out << "\n";
}

void WriteDialog(std::ostream& out, const DialogTemplate& dialog, bool& ok) {
    out << "LANGUAGE " << Hex(dialog.languageId & 0x3FF) << ", " << Hex(dialog.languageId >> 10) << "\n";
    out << IdName(static_cast<int>(dialog.id)) << (dialog.extended ? " DIALOGEX " : " DIALOG ") << dialog.x << ", "
        << dialog.y << ", " << dialog.cx << ", " << dialog.cy << "\n";
    out << "STYLE " << Flags(dialog.style, {kWindowStyles, kDialogStyles}) << "\n";
    if (dialog.exStyle != 0) out << "EXSTYLE " << Flags(dialog.exStyle, {kExStyles}) << "\n";
    out << "CAPTION " << Quoted(dialog.caption, ok) << "\n";
    if ((dialog.style & DS_SETFONT) != 0) {
        out << "FONT " << dialog.fontPointSize << ", " << Quoted(dialog.fontName, ok);
        if (dialog.extended) {
            out << ", " << dialog.fontWeight << ", " << (dialog.fontItalic ? 1 : 0) << ", " << Hex(dialog.fontCharset);
        }
        out << "\n";
    }
    out << "BEGIN\n";
    for (std::size_t i = 0; i < dialog.controlCount; ++i) WriteControl(out, dialog.controls[i], ok);
    out << "END\n\n";
}

void WriteStringTable(std::ostream& out, unsigned languageId, bool& ok) {
    out << "LANGUAGE " << Hex(languageId & 0x3FF) << ", " << Hex(languageId >> 10) << "\n";
    out << "STRINGTABLE\nBEGIN\n";
    for (const ResourceString* entry = StringTableBegin(); entry != StringTableEnd(); ++entry) {
        out << "    " << IdName(static_cast<int>(entry->id)) << " " << Quoted(entry->text, ok) << "\n";
    }
    out << "END\n";
}

std::string ResourceScript(bool& ok) {
    std::ostringstream out;
    out << "// The dialogs and the string table of tornix.exe. Generated at build time by\n"
           "// src/res/generator/generate_rc.cpp from src/res/dialog_templates.cpp and\n"
           "// src/res/string_table.cpp: edit those, not this file.\n"
           "#pragma code_page(936)\n\n"
           "#include <windows.h>\n\n"
           "#include \"resource.h\"\n\n"
           "#ifndef IDC_STATIC\n#define IDC_STATIC (-1)\n#endif\n\n";
    unsigned languageId = 0;
    for (const unsigned id : {IDD_CONVERTER, IDD_ABOUT}) {
        const DialogTemplate* dialog = FindDialogTemplate(id);
        if (dialog == nullptr) {
            ok = false;
            continue;
        }
        WriteDialog(out, *dialog, ok);
        languageId = dialog->languageId;
    }
    WriteStringTable(out, languageId, ok);
    return out.str();
}

}  // namespace
}  // namespace tornix

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate_rc OUTPUT.rc\n";
        return 2;
    }
    bool ok = true;
    const std::string script = tornix::ResourceScript(ok);
    if (!ok) {
        std::cerr << "generate_rc: a template is missing, or a text has a character whose second byte is a quote "
                     "or a backslash\n";
        return 1;
    }
    std::ofstream file(argv[1], std::ios::binary);
    file << script;
    file.close();
    if (!file) {
        std::cerr << "generate_rc: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
