// Load and Save As through the real window, choosers and message boxes: a
// file goes in through the open chooser, is converted, and comes out through
// the save chooser byte for byte as expected.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/width.h"
#include "gui_test_support.h"
#include "support/encoding_vectors.h"
#include "support/hex.h"
#include "support/sanitizers.h"
#include "support/scratch_dir.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/file_chooser.h"

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
    // `before` acts on the chooser first.
    bool ClickAndChoose(DialogWindow& window, int button, const std::string& name,
                        const std::function<void(QFileDialog&)>& before = {}) {
        return WithModal([&] { QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(button)), Qt::LeftButton); },
                         [&](QWidget* widget) {
                             auto* chooser = qobject_cast<QFileDialog*>(widget);
                             ASSERT_NE(chooser, nullptr);
                             if (before) before(*chooser);
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

using testing::EncodingVector;
using testing::EncodingVectorBytes;
using testing::kEncodingVectors;

class EncodingVectorTest : public FileCommandsTest, public ::testing::WithParamInterface<EncodingVector> {};

// The encoding list of the save chooser: the item chosen, then `pick` chosen
// in it (nothing: left as it is).
std::function<void(QFileDialog&)> ExpectChosenAndPick(const EncodingVector& chosen, const EncodingVector* pick) {
    return [&chosen, pick](QFileDialog& chooser) {
        auto* list = chooser.findChild<QComboBox*>(qt::kChoiceListName);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->currentText(), QString::fromUtf8(chosen.choiceUtf8));
        if (pick) list->setCurrentIndex(list->findText(QString::fromUtf8(pick->choiceUtf8)));
    };
}

// The open chooser's encoding list, 自动检测 chosen, and the vector's encoding
// picked in it where the rule does not read it.
std::function<void(QFileDialog&)> PickWhenOpening(const EncodingVector& vector) {
    return [&vector](QFileDialog& chooser) {
        auto* list = chooser.findChild<QComboBox*>(qt::kChoiceListName);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->currentText(), QString::fromUtf8("自动检测"));
        if (vector.open != nullptr) list->setCurrentIndex(list->findText(QString::fromUtf8(vector.open)));
    };
}

// A file written by another tool, loaded through the open chooser, converted
// to full width and saved with the save chooser as it opens (the file's
// encoding chosen), then converted to half width and saved in the next
// encoding of the list, picked there: what the definition gives, byte for byte.
TEST_P(EncodingVectorTest, SavedInTheFilesEncodingOrThePickedOne) {
    const EncodingVector& loaded = GetParam();
    const EncodingVector& picked = testing::PickedAfter(loaded);
    scratch.Put("in.txt", EncodingVectorBytes(loaded.file, testing::kVectorText));
    RunDialog(dialog, [&](DialogWindow& window) {
        ASSERT_TRUE(ClickAndChoose(window, IDC_LOAD, "in.txt", PickWhenOpening(loaded)));
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_TO_FULL)), Qt::LeftButton);
        ASSERT_TRUE(ClickAndChoose(window, IDC_SAVE_AS, "full.txt", ExpectChosenAndPick(loaded, nullptr)));
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_TO_HALF)), Qt::LeftButton);
        ASSERT_TRUE(ClickAndChoose(window, IDC_SAVE_AS, "half.txt", ExpectChosenAndPick(loaded, &picked)));
    });
    EXPECT_EQ(Hex(ReadBytes(folder / "full.txt")), Hex(EncodingVectorBytes(loaded.file, testing::kVectorToFull)));
    EXPECT_EQ(Hex(ReadBytes(folder / "half.txt")), Hex(EncodingVectorBytes(picked.file, testing::kVectorToHalf)));
}

INSTANTIATE_TEST_SUITE_P(Files, EncodingVectorTest, ::testing::ValuesIn(kEncodingVectors),
                         [](const auto& info) { return std::string(info.param.testName); });

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

// Saving as Big5 a text with a character that Big5 lacks: the message box
// names it and its line, titled with the program's name, and the file stays.
TEST_F(FileCommandsTest, SaveAsBig5OfACharacterItLacksIsRefused) {
    scratch.Put("big5.txt", "\xC1\x63\xC5\xE9");  // 繁體
    const fs::path saved = scratch.Put("saved.txt", "previous");
    RunDialog(dialog, [&](DialogWindow& window) {
        ASSERT_TRUE(ClickAndChoose(window, IDC_LOAD, "big5.txt", PickWhenOpening(testing::kEncodingVectors[6])));
        EXPECT_EQ(window.GetItemText(IDC_INPUT).view(), "\xB7\xB1\xF3\x77\r\n");
        window.SetItemText(IDC_INPUT, GbkString("\xB7\xB1\xF3\x77 \x94\x39\xFC\x36"));  // 繁體 😀
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_TO_HALF)), Qt::LeftButton);
        bool opened = false;
        const auto seen = ExpectMessageBox(
            [&] {
                ClickAndChoose(window, IDC_SAVE_AS, "saved2.txt", [](QFileDialog& chooser) {
                    auto* list = chooser.findChild<QComboBox*>(qt::kChoiceListName);
                    ASSERT_NE(list, nullptr);
                    EXPECT_EQ(list->currentText(), QStringLiteral("Big5"));
                });
            },
            &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text,
                  QString::fromUtf8("Big5 编码中没有第 1 行的“😀”（U+1F600），文件没有保存。请选择其他编码。"));
        EXPECT_EQ(seen.title, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    });
    EXPECT_FALSE(fs::exists(folder / "saved2.txt"));
    EXPECT_EQ(ReadBytes(saved), "previous");
}

// The address space this process uses now, in bytes.
std::uint64_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// A file the window could not hold (about ten times its size) in the memory
// the program may still take, here under an address-space limit as `ulimit
// -v` sets it: refused before it is read with the out-of-memory message, and
// the window goes on and loads a small file.
TEST_F(FileCommandsTest, FileTooLargeForMemoryIsRefusedAndTheWindowGoesOn) {
    if (testing::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    scratch.Put("LARGE.TXT", std::string(std::size_t{24} << 20, 'a'));
    scratch.Put("SMALL.TXT", "small\r\n");
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &original), 0);
    RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, GbkString("typed"));
        rlimit limited = original;
        limited.rlim_cur = AddressSpaceInUse() + (std::uint64_t{128} << 20);
        ASSERT_EQ(::setrlimit(RLIMIT_AS, &limited), 0);
        bool opened = false;
        const auto seen = ExpectMessageBox([&] { ClickAndChoose(window, IDC_LOAD, "LARGE.TXT"); }, &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text, QString::fromUtf8("内存不足，操作已取消！"));
        EXPECT_EQ(seen.title, QString());
        EXPECT_EQ(std::string(window.GetItemText(IDC_INPUT).view()), "typed");
        ASSERT_TRUE(ClickAndChoose(window, IDC_LOAD, "SMALL.TXT"));
        EXPECT_EQ(std::string(window.GetItemText(IDC_INPUT).view()), "small\r\n");
        ::setrlimit(RLIMIT_AS, &original);
    });
    ::setrlimit(RLIMIT_AS, &original);
}

// The Qt program ended by SIGINT, SIGTERM or SIGHUP in the middle of a save:
// it ends by that signal and leaves the file as it was, with no temporary
// file beside it.
TEST_F(FileCommandsTest, TerminationSignalDuringSaveLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const fs::path target = scratch.Put("saved.txt", "previous");
        int output[2];
        ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        std::string program = INTERRUPTED_SAVE_PROBE;
        std::string file = target.string();
        char* argv[] = {program.data(), file.data(), nullptr};
        pid_t probe = 0;
        const int spawned = ::posix_spawn(&probe, program.c_str(), &actions, nullptr, argv, environ);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(output[1]);
        ASSERT_EQ(spawned, 0);
        char line[16] = {};
        const ssize_t got = ::read(output[0], line, sizeof line - 1);  // "saving" once the save is under way
        ::close(output[0]);
        const std::vector<std::string> during = scratch.Names({"saved.txt"});
        ::kill(probe, signal);
        int status = 0;
        ::waitpid(probe, &status, 0);
        EXPECT_EQ(std::string(line, got > 0 ? static_cast<std::size_t>(got) : 0), "saving\n");
        EXPECT_EQ(during.size(), 1u) << "no temporary file while saving";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_EQ(ReadBytes(target), "previous");
        EXPECT_EQ(scratch.Names({"saved.txt"}), std::vector<std::string>{}) << "signal " << signal;
    }
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

// Where in the window a file is dropped.
enum class DropTarget { kInputBox, kOutputBox, kLabel, kButton, kWindow };

struct DropCase {
    const char* name;
    DropTarget target;
};
void PrintTo(const DropCase& c, std::ostream* out) {
    *out << c.name;
}

// Drags `files` (or, with none, a plain text) over `target` and drops them there,
// as the platform delivers a drag; returns whether the drop was taken.
bool Drop(QWidget* target, const std::vector<fs::path>& files, const QString& text = {}) {
    auto* data = new QMimeData;  // owned by the drag, as in a real one
    QList<QUrl> urls;
    for (const fs::path& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    if (!urls.isEmpty()) data->setUrls(urls);
    data->setText(text.isEmpty() && !urls.isEmpty() ? urls.first().toString() : text);
    const QPoint at = target->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
    delete data;
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

QWidget* DropTargetIn(DialogWindow& window, DropTarget target) {
    switch (target) {
        case DropTarget::kInputBox:
            return qobject_cast<QPlainTextEdit*>(window.Control(IDC_INPUT))->viewport();
        case DropTarget::kOutputBox:
            return qobject_cast<QPlainTextEdit*>(window.Control(IDC_OUTPUT))->viewport();
        case DropTarget::kLabel:
            return window.findChildren<QLabel*>().value(0);
        case DropTarget::kButton:
            return window.Control(IDC_TO_FULL);
        case DropTarget::kWindow:
            break;
    }
    return &window;
}

class DropTest : public FileCommandsTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, DroppedFileLoadsAsIfChosen) {
    const fs::path file = scratch.Put("dropped.txt", "\xD6\xD0\xCE\xC4 abc\n");  // 中文 abc
    RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, GbkString("1"));
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_TO_FULL)), Qt::LeftButton);
        EXPECT_TRUE(Drop(DropTargetIn(window, GetParam().target), {file}));
        ASSERT_TRUE(testing::WaitFor([&] { return window.GetItemText(IDC_INPUT).view() != "1"; }));
        EXPECT_EQ(Hex(std::string(window.GetItemText(IDC_INPUT).view())), Hex("\xD6\xD0\xCE\xC4 abc\r\n"));
        EXPECT_EQ(Hex(std::string(window.GetItemText(IDC_OUTPUT).view())), Hex("\xA3\xB1")) << "the output stays";
    });
}

INSTANTIATE_TEST_SUITE_P(Cases, DropTest,
                         ::testing::Values(DropCase{"OnInputBox", DropTarget::kInputBox},
                                           DropCase{"OnOutputBox", DropTarget::kOutputBox},
                                           DropCase{"OnLabel", DropTarget::kLabel},
                                           DropCase{"OnButton", DropTarget::kButton},
                                           DropCase{"OnWindow", DropTarget::kWindow}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, DropOfFolderReportsMissingFileAndOfSeveralLoadsFirst) {
    const fs::path first = scratch.Put("1.txt", "one");
    const fs::path second = scratch.Put("2.txt", "two");
    RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, GbkString("typed"));
        bool opened = false;
        const auto seen = ExpectMessageBox([&] { Drop(&window, {folder}); }, &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text, QString::fromUtf8("文件不存在！"));
        EXPECT_EQ(std::string(window.GetItemText(IDC_INPUT).view()), "typed");

        Drop(&window, {first, second});
        ASSERT_TRUE(testing::WaitFor([&] { return window.GetItemText(IDC_INPUT).view() != "typed"; }));
        EXPECT_EQ(std::string(window.GetItemText(IDC_INPUT).view()), "one\r\n");
    });
}

TEST_F(FileCommandsTest, DraggedTextGoesIntoInputBoxNotTheWindow) {
    RunDialog(dialog, [&](DialogWindow& window) {
        auto* input = qobject_cast<QPlainTextEdit*>(window.Control(IDC_INPUT));
        EXPECT_FALSE(Drop(&window, {}, QStringLiteral("text"))) << "the window takes files only";
        Drop(input->viewport(), {}, QStringLiteral("text"));
        EXPECT_EQ(input->toPlainText(), QStringLiteral("text"));
    });
}

}  // namespace
}  // namespace tornix
