// Load and Save As through the real window, choosers and message boxes: a
// file goes in through the open chooser, is converted, and comes out through
// the save chooser byte for byte as expected.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>

#include "convert/width.h"
#include "gui_test_support.h"
#include "support/hex.h"
#include "support/scratch_dir.h"
#include "ui/converter_dlg.h"

namespace tornix {
namespace {

namespace fs = std::filesystem;
using qt::DialogWindow;
using testing::ExpectMessageBox;
using testing::Hex;
using testing::ReadBytes;
using testing::RunDialog;
using testing::WithModal;

class FileCommandsTest : public ::testing::Test {
protected:
    // Clicks `button` and answers the chooser it opens by typing `name` in
    // the test's folder; returns whether a chooser opened.
    bool ClickAndChoose(DialogWindow& window, int button, const std::string& name) {
        return WithModal([&] { QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(button)), Qt::LeftButton); },
                         [&](QWidget* widget) {
                             auto* chooser = qobject_cast<QFileDialog*>(widget);
                             ASSERT_NE(chooser, nullptr);
                             chooser->setDirectory(QString::fromStdString(folder.string()));
                             auto* edit = chooser->findChild<QLineEdit*>("fileNameEdit");
                             ASSERT_NE(edit, nullptr);
                             edit->setText(QString::fromStdString(name));
                             QTest::keyClick(edit, Qt::Key_Return);
                         });
    }

    testing::ScratchDir scratch;
    const fs::path& folder = scratch.path();
    CConverterDlg dialog;
};

struct RoundTripCase {
    const char* name;
    std::string file;
    int button;
};

class LoadConvertSaveTest : public FileCommandsTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(LoadConvertSaveTest, SavedBytesAreTheConvertedFile) {
    const RoundTripCase& c = GetParam();
    scratch.Put("NOTES.TXT", c.file);
    RunDialog(dialog, [&](DialogWindow& window) {
        ASSERT_TRUE(ClickAndChoose(window, IDC_LOAD, "NOTES"));
        EXPECT_EQ(Hex(std::string(window.GetItemText(IDC_INPUT).view())), Hex(c.file));
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(c.button)), Qt::LeftButton);
        ASSERT_TRUE(ClickAndChoose(window, IDC_SAVE_AS, "result"));
    });
    GbkString expected(c.file);
    expected.TrimLeft();
    expected.TrimRight();
    expected = c.button == IDC_TO_FULL ? ToFullWidth(expected) : ToHalfWidth(expected);
    ASSERT_TRUE(fs::exists(folder / "result.TXT")) << "a name typed without extension gets .TXT";
    EXPECT_EQ(Hex(ReadBytes(folder / "result.TXT")), Hex(std::string(expected.view())));
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadConvertSaveTest,
                         ::testing::Values(
                             // 中文 and ASCII
                             RoundTripCase{"ToFull", "abc 123.\r\n\xD6\xD0\xCE\xC4 x/y\r\n", IDC_TO_FULL},
                             // ＡＢＣ　１２３
                             RoundTripCase{"ToHalf", "\xA3\xC1\xA3\xC2\xA3\xC3\xA1\xA1\xA3\xB1\xA3\xB2\xA3\xB3\r\n",
                                           IDC_TO_HALF},
                             // A stray 0x80 and 0xFF, and a lone lead byte before a line break.
                             RoundTripCase{"BytesOutsideCodePage", "\x80 a\x81\r\nb\xFF c\r\n", IDC_TO_FULL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, LoadOfMissingFileReportsIt) {
    RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, GbkString("typed"));
        bool opened = false;
        const auto seen = ExpectMessageBox([&] { ClickAndChoose(window, IDC_LOAD, "gone.txt"); }, &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text, QString::fromUtf8("文件不存在！"));
        EXPECT_EQ(seen.title, QString());
        EXPECT_EQ(std::string(window.GetItemText(IDC_INPUT).view()), "typed");
    });
}

TEST_F(FileCommandsTest, SaveAsWithEmptyOutputShowsNoChooser) {
    RunDialog(dialog, [&](DialogWindow& window) {
        bool opened = false;
        const auto seen = ExpectMessageBox(
            [&] { QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_SAVE_AS)), Qt::LeftButton); },
            &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text, QString::fromUtf8("输出结果为空！操作取消！"));
        EXPECT_EQ(seen.title, QString());
    });
}

}  // namespace
}  // namespace tornix
