// The dialog templates as the user reads them: the windows' captions, the
// controls in tab order with their texts, and the font. Where the controls
// stand is checked in pixels on the windows themselves (tests/gui/), and the
// Windows resources against this data field by field
// (tests/wine/module_resources_test.cpp).
#include "res/dialog_templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hex.h"
#include "text/transcode.h"

namespace tornix {
namespace {

using testing::Hex;

std::string Utf8Of(const char* gbk) {
    return EncodeText(gbk, {Charset::kUtf8, false});
}

struct Seen {
    int id;
    ControlKind kind;
    std::string text;  // UTF-8
};

struct TemplateCase {
    const char* name;
    unsigned id;
    std::string caption;  // UTF-8
    std::vector<Seen> controls;
};

const TemplateCase kCases[] = {
    {"Converter",
     IDD_CONVERTER,
     "Qelvar Ver. 1.0713",
     {
         {IDC_INPUT, ControlKind::kEdit, ""},
         {IDC_LOAD, ControlKind::kPushButton, "读取..."},
         {IDC_TO_HALF, ControlKind::kPushButton, "全角 -〉 半角"},  // U+3009 as the arrow
         {IDC_TO_FULL, ControlKind::kPushButton, "半角 -〉 全角"},
         {IDC_SAVE_AS, ControlKind::kPushButton, "另存为..."},
         {IDC_OUTPUT, ControlKind::kEdit, ""},
         {kNoControlId, ControlKind::kLabel, "要转换的文本："},
         {kNoControlId, ControlKind::kLabel, "输出结果："},
         {kNoControlId, ControlKind::kLabel, "读写 GBK、UTF-8、UTF-16 文本"},
         {kNoControlId, ControlKind::kLabel, "Tornix 全角/半角转换"},
     }},
    {"About",
     IDD_ABOUT,
     "关于",
     {
         {kNoControlId, ControlKind::kIcon, ""},
         {kNoControlId, ControlKind::kLabel, "Qelvar Ver.1.0713"},
         {kNoControlId, ControlKind::kLabel, "全角/半角文本转换工具"},
         {IDOK, ControlKind::kPushButton, "确定"},
     }},
};

TEST(DialogTemplates, WindowsReadAsTheUserSeesThemInTabOrder) {
    for (const TemplateCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const DialogTemplate* dialog = FindDialogTemplate(c.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Utf8Of(dialog->caption), c.caption);
        EXPECT_EQ(Utf8Of(dialog->fontName), "宋体");
        EXPECT_EQ(dialog->fontPointSize, 9);
        EXPECT_EQ(dialog->languageId, 0x0804u) << "Chinese (PRC)";
        EXPECT_EQ(dialog->x, 0) << "position 0, 0 lets the window open centred";
        EXPECT_EQ(dialog->y, 0);
        ASSERT_EQ(dialog->controlCount, c.controls.size());
        for (std::size_t i = 0; i < c.controls.size(); ++i) {
            const ControlTemplate& control = dialog->controls[i];
            SCOPED_TRACE("control #" + std::to_string(i + 1));
            EXPECT_EQ(control.id, c.controls[i].id);
            EXPECT_EQ(control.kind, c.controls[i].kind);
            EXPECT_EQ(Utf8Of(control.text), c.controls[i].text);
        }
    }
}

// The labels whose wording is ours must fit their boxes in a 9 pt CJK font
// (12 px characters, 6 px ASCII): at most width * 1.5 px.
TEST(DialogTemplates, OwnLabelsFitTheirBoxes) {
    for (unsigned id : {IDD_CONVERTER, IDD_ABOUT}) {
        const DialogTemplate* dialog = FindDialogTemplate(id);
        for (std::size_t i = 0; i < dialog->controlCount; ++i) {
            const ControlTemplate& control = dialog->controls[i];
            if (control.kind != ControlKind::kLabel) continue;
            const std::string text = control.text;
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size() * 6, static_cast<std::size_t>(control.cx) * 3 / 2) << "label " << Hex(text);
        }
    }
}

TEST(DialogTemplates, ConverterHasNoDefaultButtonAndNoOkButton) {
    const DialogTemplate* dialog = FindDialogTemplate(IDD_CONVERTER);
    for (std::size_t i = 0; i < dialog->controlCount; ++i) {
        EXPECT_EQ(dialog->controls[i].style & BS_DEFPUSHBUTTON, 0u) << "control #" << i + 1;
        EXPECT_NE(dialog->controls[i].id, IDOK);
    }
}

TEST(DialogTemplates, UnknownTemplateIsNotFound) {
    EXPECT_EQ(FindDialogTemplate(101), nullptr);
}

}  // namespace
}  // namespace tornix
