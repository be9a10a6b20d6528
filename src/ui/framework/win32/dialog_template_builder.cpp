#include "ui/framework/win32/dialog_template_builder.h"

#include <string>

#include "ui/framework/win32/wide_text.h"

namespace tornix::win32 {
namespace {

// The dialog manager's predefined control classes, by ordinal.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT

class Writer {
public:
    explicit Writer(TemplateWords& words) : m_words(words) {}

    void Word(std::uint32_t value) { m_words.push_back(static_cast<std::uint16_t>(value)); }
    void DWord(std::uint32_t value) {
        Word(value & 0xFFFF);
        Word(value >> 16);
    }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Text(const char* gbk) {
        for (const wchar_t unit : ToWide(gbk)) Word(static_cast<std::uint16_t>(unit));
        Word(0);
    }
    void Ordinal(std::uint16_t value) {
        Word(kOrdinalMark);
        Word(value);
    }
    // Each control starts on a DWORD boundary of the template.
    void AlignToDWord() {
        if (m_words.size() % 2 != 0) Word(0);
    }

private:
    TemplateWords& m_words;
};

std::uint16_t ClassOrdinal(ControlKind kind) {
    switch (kind) {
        case ControlKind::kEdit:
            return kEditClass;
        case ControlKind::kPushButton:
            return kButtonClass;
        case ControlKind::kLabel:
        case ControlKind::kIcon:
            break;
    }
    return kStaticClass;
}

// The style fields of a dialog or a control: the extended forms put a helpID
// and the extended style first, the plain forms the style first.
void WriteStyles(Writer& out, bool extended, std::uint32_t style, std::uint32_t exStyle) {
    if (extended) {
        out.DWord(0);  // helpID
        out.DWord(exStyle);
        out.DWord(style);
    } else {
        out.DWord(style);
        out.DWord(exStyle);
    }
}

void WriteHeader(Writer& out, const DialogTemplate& dialog) {
    if (dialog.extended) {
        out.Word(1);       // dlgVer
        out.Word(0xFFFF);  // signature of the extended form
    }
    WriteStyles(out, dialog.extended, dialog.style, dialog.exStyle);
    out.Word(static_cast<std::uint32_t>(dialog.controlCount));
    out.Short(dialog.x);
    out.Short(dialog.y);
    out.Short(dialog.cx);
    out.Short(dialog.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog manager's own window class
    out.Text(dialog.caption);
    if ((dialog.style & kSetFont) == 0) return;
    out.Word(static_cast<std::uint32_t>(dialog.fontPointSize));
    if (dialog.extended) {
        out.Word(static_cast<std::uint32_t>(dialog.fontWeight));
        out.Word((dialog.fontItalic ? 1u : 0u) | static_cast<std::uint32_t>(dialog.fontCharset) << 8);
    }
    out.Text(dialog.fontName);
}

void WriteControl(Writer& out, const ControlTemplate& control, bool extended) {
    out.AlignToDWord();
    WriteStyles(out, extended, control.style, control.exStyle);
    out.Short(control.x);
    out.Short(control.y);
    out.Short(control.cx);
    out.Short(control.cy);
    if (extended) {
        out.DWord(static_cast<std::uint32_t>(control.id));
    } else {
        out.Word(static_cast<std::uint16_t>(control.id));
    }
    out.Ordinal(ClassOrdinal(control.kind));
    if (control.kind == ControlKind::kIcon) {
        out.Ordinal(static_cast<std::uint16_t>(control.iconId));  // the icon resource
    } else {
        out.Text(control.text);
    }
    out.Word(0);  // no creation data
}

}  // namespace

TemplateWords BuildDialogTemplate(const DialogTemplate& dialog) {
    TemplateWords words;
    Writer out(words);
    WriteHeader(out, dialog);
    for (std::size_t i = 0; i < dialog.controlCount; ++i) WriteControl(out, dialog.controls[i], dialog.extended);
    return words;
}

}  // namespace tornix::win32
