// The converter dialog's commands and window set-up, driven through the fake
// back end as a user would: type into the boxes, click, read the boxes.
#include "ui/converter_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_backend.h"
#include "support/hex.h"

namespace tornix {
namespace {

using fake::FakeWindow;
using testing::Hex;

// 要转换的文本内容不能为空！
const std::string kEmptyInput =
    "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5\xA3\xA1";
// 内存不足，操作已取消！
const std::string kOutOfMemory =
    "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3\xA3\xAC\xB2\xD9\xD7\xF7\xD2\xD1\xC8\xA1\xCF\xFB\xA3\xA1";

class ConverterDlgTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Modals() = {}; }
    CConverterDlg dialog;
    FakeWindow window{dialog};
};

struct RefusalCase {
    const char* name;
    unsigned button;
    std::string input;
};

class EmptyInputTest : public ConverterDlgTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(EmptyInputTest, RefusedWithMessageAndNothingChanges) {
    window.Type(IDC_INPUT, GetParam().input);
    window.Type(IDC_OUTPUT, "previous result");
    window.Click(GetParam().button);

    ASSERT_EQ(window.messageBoxes.size(), 1u);
    EXPECT_EQ(window.messageBoxes[0].text, kEmptyInput);
    ASSERT_TRUE(window.messageBoxes[0].caption.has_value()) << "the caption must be empty, not the application's name";
    EXPECT_EQ(*window.messageBoxes[0].caption, "");
    EXPECT_EQ(window.messageBoxes[0].type, MB_OK);
    EXPECT_EQ(window.Text(IDC_INPUT), GetParam().input);
    EXPECT_EQ(window.Text(IDC_OUTPUT), "previous result");
}

INSTANTIATE_TEST_SUITE_P(Cases, EmptyInputTest,
                         ::testing::Values(RefusalCase{"NothingToHalf", IDC_TO_HALF, ""},
                                           RefusalCase{"SpacesTabsBreaksToHalf", IDC_TO_HALF, "  \t\r\n \r\n"},
                                           RefusalCase{"SpacesTabsBreaksToFull", IDC_TO_FULL, " \t \r\n\v\f"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConversionCase {
    const char* name;
    unsigned button;
    std::string input, shownInput, output;
};

class ConversionTest : public ConverterDlgTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ConversionTest, TrimsInputAndShowsResult) {
    const ConversionCase& c = GetParam();
    window.Type(IDC_INPUT, c.input);
    window.Click(c.button);
    EXPECT_TRUE(window.messageBoxes.empty());
    EXPECT_EQ(Hex(window.Text(IDC_INPUT)), Hex(c.shownInput));
    EXPECT_EQ(Hex(window.Text(IDC_OUTPUT)), Hex(c.output));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConversionTest,
    ::testing::Values(
        // ａｂｃ
        ConversionCase{"SpacesAroundToFull", IDC_TO_FULL, "  abc  ", "abc", "\xA3\xE1\xA3\xE2\xA3\xE3"},
        ConversionCase{"LineBreaksAroundToHalf", IDC_TO_HALF, "\r\n\xA3\xE1\xA1\xA3\r\n\r\n", "\xA3\xE1\xA1\xA3", "a."},
        // Inner line breaks and the ideographic space at the ends stay.
        ConversionCase{"InnerBreaksKept", IDC_TO_HALF, "\xA1\xA1x\r\ny\xA1\xA1\r\n", "\xA1\xA1x\r\ny\xA1\xA1",
                       "   x\r\ny   "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterDlgTest, ConvertingAgainIgnoresTheOldOutput) {
    window.Type(IDC_INPUT, "ab");
    window.Click(IDC_TO_FULL);
    window.Type(IDC_OUTPUT, "typed over the output");
    window.Click(IDC_TO_FULL);
    EXPECT_EQ(window.Text(IDC_OUTPUT), "\xA3\xE1\xA3\xE2");
}

TEST_F(ConverterDlgTest, OutputKeptUntilNextSuccessfulConversion) {
    window.Type(IDC_INPUT, "1");
    window.Click(IDC_TO_FULL);
    window.Type(IDC_INPUT, "   ");
    window.Click(IDC_TO_HALF);
    EXPECT_EQ(window.Text(IDC_OUTPUT), "\xA3\xB1");
    EXPECT_EQ(window.Text(IDC_INPUT), "   ") << "a refusal does not refresh the boxes";
}

TEST_F(ConverterDlgTest, TransfersRunOutputFirstThenInput) {
    window.Type(IDC_INPUT, "x");
    window.Click(IDC_TO_HALF);
    const std::vector<std::string> expected = {"get 1002", "get 1000", "set 1002", "set 1000"};
    EXPECT_EQ(window.transfers, expected);
}

TEST_F(ConverterDlgTest, OutOfMemoryEndsTheCommandWithAMessage) {
    window.Type(IDC_INPUT, "abc");
    window.Type(IDC_OUTPUT, "old");
    window.failNextRead = true;
    window.Click(IDC_TO_FULL);
    ASSERT_EQ(window.messageBoxes.size(), 1u);
    EXPECT_EQ(window.messageBoxes[0].text, kOutOfMemory);
    EXPECT_EQ(window.Text(IDC_INPUT), "abc");
    EXPECT_EQ(window.Text(IDC_OUTPUT), "old");

    window.Click(IDC_TO_FULL);  // the program goes on
    EXPECT_EQ(window.Text(IDC_OUTPUT), "\xA3\xE1\xA3\xE2\xA3\xE3");
}

TEST_F(ConverterDlgTest, SetUpAddsAboutEntryAndBothIcons) {
    ASSERT_EQ(window.menu.items.size(), 2u);
    EXPECT_TRUE(window.menu.items[0].separator);
    EXPECT_EQ(window.menu.items[1].id, static_cast<unsigned>(IDM_ABOUT));
    EXPECT_EQ(window.menu.items[1].text, "\xB9\xD8\xD3\xDA(&A)...");  // 关于(&A)...
    ASSERT_EQ(window.iconsSet.size(), 2u);
    EXPECT_EQ(window.iconsSet[0], std::make_pair(dialog.m_hIcon, true));
    EXPECT_EQ(window.iconsSet[1], std::make_pair(dialog.m_hIcon, false));
    EXPECT_NE(dialog.m_hIcon, nullptr);
}

TEST(ConverterDlgSetUp, NoSystemMenuNoEntry) {
    CConverterDlg dialog;
    FakeWindow window(dialog, /*withSystemMenu=*/false);
    EXPECT_TRUE(window.menu.items.empty());
    EXPECT_EQ(window.iconsSet.size(), 2u);
}

TEST_F(ConverterDlgTest, AboutOpensFromMenuIdsAndHelp) {
    window.SysCommand(IDM_ABOUT);
    window.SysCommand(0x0015);  // the low four bits are ignored
    window.Help();
    EXPECT_EQ(fake::Modals().templates, (std::vector<unsigned>{IDD_ABOUT, IDD_ABOUT, IDD_ABOUT}));
    EXPECT_EQ(window.defaultCalls, 0);

    window.SysCommand(0xF020);  // minimise: the platform's business
    EXPECT_EQ(fake::Modals().templates.size(), 3u);
    EXPECT_EQ(window.defaultCalls, 1);
}

TEST_F(ConverterDlgTest, MinimisedWindowPaintsCentredIcon) {
    EXPECT_FALSE(window.Paint()) << "a normal window is painted by the platform";
    EXPECT_TRUE(window.iconsDrawn.empty());

    window.iconic = true;
    window.clientRect = {0, 0, 161, 90};
    EXPECT_TRUE(window.Paint());
    EXPECT_EQ(window.sentMessages, std::vector<unsigned>{WM_ICONERASEBKGND});
    ASSERT_EQ(window.iconsDrawn.size(), 1u);
    EXPECT_EQ(window.iconsDrawn[0], std::make_pair((161 - 32 + 1) / 2, (90 - 32 + 1) / 2));
    EXPECT_EQ(window.QueryDragIcon(), reinterpret_cast<std::intptr_t>(dialog.m_hIcon));
}

TEST_F(ConverterDlgTest, EscEndsTheDialog) {
    window.Click(IDCANCEL);
    EXPECT_EQ(window.endCode, IDCANCEL);
}

}  // namespace
}  // namespace tornix
