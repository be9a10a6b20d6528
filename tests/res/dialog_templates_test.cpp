// The dialog templates against the layout the program is drawn with: every
// control's id, kind, place, size and style bits (written here as the plain
// numbers a resource editor shows), and the texts the user sees.
#include "res/dialog_templates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/hex.h"

namespace tornix {
namespace {

using testing::Hex;

struct Row {
    int id;
    ControlKind kind;
    const char* text;  // GBK; nullptr where the text is ours to word
    int x, y, cx, cy;
    std::uint32_t style, exStyle;
};

struct TemplateCase {
    const char* name;
    unsigned id;
    const char* caption;  // GBK
    int cx, cy;
    std::uint32_t style, exStyle;
    std::vector<Row> rows;
};

const TemplateCase kConverter{
    "Converter",
    IDD_CONVERTER,
    "Qelvar Ver. 1.0713",
    449,
    342,
    0x90CA00C0,
    0x00040000,
    {
        {IDC_INPUT, ControlKind::kEdit, "", 7, 23, 435, 126, 0x50211084, 0x00020000},
        {IDC_LOAD, ControlKind::kPushButton, "\xB6\xC1\xC8\xA1...", 392, 7, 50, 14, 0x50018000, 0},  // 读取...
        // 全角 -〉 半角, with U+3009 as the arrow
        {IDC_TO_HALF, ControlKind::kPushButton, "\xC8\xAB\xBD\xC7 -\xA1\xB5 \xB0\xEB\xBD\xC7", 107, 161, 78, 19,
         0x50018000, 0},
        {IDC_TO_FULL, ControlKind::kPushButton, "\xB0\xEB\xBD\xC7 -\xA1\xB5 \xC8\xAB\xBD\xC7", 222, 161, 78, 19,
         0x50018000, 0},
        {IDC_SAVE_AS, ControlKind::kPushButton, "\xC1\xED\xB4\xE6\xCE\xAA...", 392, 190, 50, 14, 0x50018000, 0},
        {IDC_OUTPUT, ControlKind::kEdit, "", 7, 206, 435, 126, 0x50210884, 0x00020000},
        // 要转换的文本：
        {-1, ControlKind::kLabel, "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xA3\xBA", 7, 10, 154, 8, 0x50020000,
         0},
        {-1, ControlKind::kLabel, "\xCA\xE4\xB3\xF6\xBD\xE1\xB9\xFB\xA3\xBA", 7, 193, 154, 8, 0x50020000,
         0},  // 输出结果：
        {-1, ControlKind::kLabel, nullptr, 323, 173, 119, 8, 0x50020000, 0},
        {-1, ControlKind::kLabel, nullptr, 323, 163, 104, 8, 0x50020000, 0},
    },
};

const TemplateCase kAbout{
    "About",
    IDD_ABOUT,
    "\xB9\xD8\xD3\xDA",  // 关于
    235,
    55,
    0x80C800C0,
    0,
    {
        {-1, ControlKind::kIcon, "", 11, 17, 20, 20, 0x50000003, 0},
        {-1, ControlKind::kLabel, "Qelvar Ver.1.0713", 40, 10, 119, 8, 0x50020080, 0},
        {-1, ControlKind::kLabel, nullptr, 40, 25, 119, 8, 0x50020000, 0},
        {IDOK, ControlKind::kPushButton, "\xC8\xB7\xB6\xA8", 178, 7, 50, 14, 0x50030001, 0},  // 确定
    },
};

class DialogTemplateTest : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(DialogTemplateTest, WindowMatchesLayout) {
    const TemplateCase& c = GetParam();
    const DialogTemplate* dialog = FindDialogTemplate(c.id);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Hex(dialog->caption), Hex(c.caption));
    EXPECT_EQ(dialog->x, 0) << "position 0, 0 lets the window open centred";
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, c.cx);
    EXPECT_EQ(dialog->cy, c.cy);
    EXPECT_EQ(dialog->style, c.style);
    EXPECT_EQ(dialog->exStyle, c.exStyle);
    EXPECT_EQ(Hex(dialog->fontName), Hex("\xCB\xCE\xCC\xE5")) << "宋体";
    EXPECT_EQ(dialog->fontPointSize, 9);
    EXPECT_EQ(dialog->languageId, 0x0804u);
}

TEST_P(DialogTemplateTest, ControlsMatchLayoutInTabOrder) {
    const TemplateCase& c = GetParam();
    const DialogTemplate* dialog = FindDialogTemplate(c.id);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->controlCount, c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const Row& want = c.rows[i];
        const ControlTemplate& got = dialog->controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.kind, want.kind);
        if (want.text) {
            EXPECT_EQ(Hex(got.text), Hex(want.text));
        }
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, want.exStyle);
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest, ::testing::Values(kConverter, kAbout),
                         [](const auto& info) { return std::string(info.param.name); });

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
