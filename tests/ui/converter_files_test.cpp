// Load and Save As through the fake back end, on real files in a scratch folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "fake/fake_backend.h"
#include "support/encoding_vectors.h"
#include "support/hex.h"
#include "support/io_faults.h"
#include "support/scratch_dir.h"
#include "text/display_codec.h"
#include "ui/about_dlg.h"
#include "ui/converter_dlg.h"

namespace tornix {
namespace {

namespace fs = std::filesystem;
using fake::FakeWindow;
using testing::EncodingVector;
using testing::EncodingVectorBytes;
using testing::Hex;
using testing::kEncodingVectors;

// The messages, as GBK bytes.
const std::string kFileMissing = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xA1";         // 文件不存在！
const std::string kReadFailed = "\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xA1";  // 读取文件失败！
const std::string kFileHasNul =  // 文件中含有空字符，不能作为文本读取！
    "\xCE\xC4\xBC\xFE\xD6\xD0\xBA\xAC\xD3\xD0\xBF\xD5\xD7\xD6\xB7\xFB\xA3\xAC\xB2\xBB\xC4\xDC\xD7\xF7\xCE\xAA"
    "\xCE\xC4\xB1\xBE\xB6\xC1\xC8\xA1\xA3\xA1";
const std::string kOutputEmpty =  // 输出结果为空！操作取消！
    "\xCA\xE4\xB3\xF6\xBD\xE1\xB9\xFB\xCE\xAA\xBF\xD5\xA3\xA1\xB2\xD9\xD7\xF7\xC8\xA1\xCF\xFB\xA3\xA1";
const std::string kCreateFailed = "\xB4\xB4\xBD\xA8\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3";  // 创建文件失败。
const std::string kWriteFailed = "\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3";   // 写入文件失败。

// The ways of loading a file: 读取... and the file chosen, the file dropped
// onto the window, or the file named on the command line as the window opens.
// All must do exactly the same.
enum class LoadWay { kChooser, kDrop, kCommandLine };

std::string WayName(LoadWay way) {
    return way == LoadWay::kChooser ? "Chooser" : way == LoadWay::kDrop ? "Drop" : "CommandLine";
}
void PrintTo(LoadWay way, std::ostream* out) {
    *out << WayName(way);
}

class FileCommandsTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::string& bytes) { return m_scratch.Put(name, bytes); }
    static std::string Read(const fs::path& path) { return testing::ReadBytes(path); }
    void Load(LoadWay way, const fs::path& path) {
        if (way == LoadWay::kDrop) {
            window.DropFiles({path});
        } else if (way == LoadWay::kCommandLine) {
            dialog.m_startFile = path;
            const auto messagesBefore = window.messageBoxes.size();
            window.Reopen();
            EXPECT_EQ(window.messageBoxes.size(), messagesBefore) << "read only once the window is shown";
            window.RunPosted();
            EXPECT_FALSE(dialog.m_startFile) << "loaded once";
        } else {
            window.chooserAnswers.push_back(path);
            window.Click(IDC_LOAD);
        }
    }
    void ExpectOneMessage(const std::string& text, std::optional<std::string> caption) {
        ASSERT_EQ(window.messageBoxes.size(), 1u);
        EXPECT_EQ(window.messageBoxes[0].text, text);
        EXPECT_EQ(window.messageBoxes[0].caption, caption);
        EXPECT_EQ(window.messageBoxes[0].type, MB_OK);
    }

    testing::ScratchDir m_scratch;
    const fs::path& m_folder = m_scratch.path();
    CConverterDlg dialog;
    FakeWindow window{dialog};
};

TEST_F(FileCommandsTest, ChoosersAskWithFilterExtensionAndFlags) {
    window.Type(IDC_OUTPUT, "x");
    window.Click(IDC_LOAD);
    window.Click(IDC_SAVE_AS);
    ASSERT_EQ(window.choosers.size(), 2u);
    EXPECT_FALSE(window.choosers[0].save);
    EXPECT_EQ(window.choosers[0].flags, OFN_PATHMUSTEXIST);
    EXPECT_TRUE(window.choosers[1].save);
    EXPECT_EQ(window.choosers[1].flags, OFN_OVERWRITEPROMPT);
    for (const FileChooserRequest& request : window.choosers) {
        EXPECT_EQ(request.filter.view(), kFileFilter);
        EXPECT_EQ(request.defaultExtension.view().substr(0, 3), "TXT");
        EXPECT_TRUE(request.initialName.IsEmpty());
    }
    EXPECT_TRUE(window.messageBoxes.empty()) << "cancelling a chooser is silent";
}

class LoadTest : public FileCommandsTest, public ::testing::WithParamInterface<LoadWay> {};

TEST_P(LoadTest, ReplacesTypedTextAndKeepsOutput) {
    window.Type(IDC_INPUT, "1");
    window.Click(IDC_TO_FULL);
    window.Type(IDC_INPUT, "typed");
    Load(GetParam(), Write("a.txt", "a\nb\r\nc"));
    EXPECT_TRUE(window.messageBoxes.empty());
    EXPECT_EQ(window.Text(IDC_INPUT), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(window.Text(IDC_OUTPUT), "\xA3\xB1");
}

INSTANTIATE_TEST_SUITE_P(Ways, LoadTest, ::testing::Values(LoadWay::kChooser, LoadWay::kDrop, LoadWay::kCommandLine),
                         [](const auto& info) { return WayName(info.param); });

TEST_F(FileCommandsTest, DropOfSeveralFilesLoadsTheFirst) {
    CAboutDlg about;
    EXPECT_FALSE(FakeWindow(about).acceptsDroppedFiles);
    EXPECT_TRUE(window.acceptsDroppedFiles);
    window.DropFiles({Write("first.txt", "1"), Write("second.txt", "2"), m_folder / "missing.txt"});
    EXPECT_TRUE(window.messageBoxes.empty());
    EXPECT_EQ(window.Text(IDC_INPUT), "1\r\n");
    EXPECT_TRUE(window.choosers.empty()) << "a drop asks for no file";
}

TEST_F(FileCommandsTest, LoadOfEmptyFileClearsInput) {
    window.Type(IDC_INPUT, "1");
    window.Click(IDC_TO_FULL);
    window.chooserAnswers.push_back(Write("empty.txt", ""));
    window.Click(IDC_LOAD);
    EXPECT_EQ(window.Text(IDC_INPUT), "");
    EXPECT_EQ(window.Text(IDC_OUTPUT), "\xA3\xB1");
}

struct LoadFailure {
    const char* name;
    std::string message;
};
void PrintTo(const LoadFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class LoadFailureTest : public FileCommandsTest,
                        public ::testing::WithParamInterface<std::tuple<LoadFailure, LoadWay>> {};

TEST_P(LoadFailureTest, ReportsAndChangesNothing) {
    const LoadFailure& failure = std::get<0>(GetParam());
    const std::string which = failure.name;
    fs::path path;
    if (which == "Missing") path = m_folder / "missing.txt";
    if (which == "Folder") path = m_folder;
    if (which == "NulByte") path = Write("utf16.txt", std::string("a\0b\0", 4));
    if (which == "NulInUtf16")
        path = Write("nul.txt", std::string("\xFF\xFE"
                                            "a\0\0\0",
                                            6));
    if (which == "ReadError") path = "/proc/self/mem";  // opens, then every read fails
    if (which == "FifoWithoutWriter") {
        path = m_folder / "fifo";
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
    if (which == "Device") path = "/dev/zero";
    window.Type(IDC_INPUT, "typed");
    const LoadWay way = std::get<1>(GetParam());
    Load(way, path);
    ExpectOneMessage(failure.message, "");
    // A window opened with a file it cannot read stays empty.
    EXPECT_EQ(window.Text(IDC_INPUT), way == LoadWay::kCommandLine ? "" : "typed");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadFailureTest,
    ::testing::Combine(::testing::Values(LoadFailure{"Missing", kFileMissing}, LoadFailure{"Folder", kFileMissing},
                                         LoadFailure{"NulByte", kFileHasNul}, LoadFailure{"NulInUtf16", kFileHasNul},
                                         LoadFailure{"ReadError", kReadFailed},
                                         LoadFailure{"FifoWithoutWriter", kReadFailed},
                                         LoadFailure{"Device", kReadFailed}),
                       ::testing::Values(LoadWay::kChooser, LoadWay::kDrop, LoadWay::kCommandLine)),
    [](const auto& info) { return std::string(std::get<0>(info.param).name) + WayName(std::get<1>(info.param)); });

TEST_F(FileCommandsTest, SaveAsWithEmptyOutputShowsNoChooser) {
    window.Type(IDC_INPUT, "not saved");
    window.chooserAnswers.push_back(m_folder / "out.txt");
    window.Click(IDC_SAVE_AS);
    ExpectOneMessage(kOutputEmpty, "");
    EXPECT_TRUE(window.choosers.empty());
    EXPECT_FALSE(fs::exists(m_folder / "out.txt"));
}

TEST_F(FileCommandsTest, SaveAsReplacesExistingFileWithOutputBytes) {
    const fs::path target = Write("out.txt", "old content that is longer");
    window.Type(IDC_INPUT, "a\r\n/b");
    window.Click(IDC_TO_FULL);
    window.chooserAnswers.push_back(target);
    window.Click(IDC_SAVE_AS);
    EXPECT_TRUE(window.messageBoxes.empty());
    EXPECT_EQ(Hex(Read(target)), Hex("\xA3\xE1\r\n\xA3\xAF\xA3\xE2"));
}

// A missing folder; a FIFO without a reader or a device, which a save cannot
// replace (and must not wait on).
TEST_F(FileCommandsTest, SaveAsWhereNoFileCanBeMadeReportsWithApplicationName) {
    ASSERT_EQ(::mkfifo((m_folder / "fifo").c_str(), 0600), 0);
    for (const fs::path& target : {m_folder / "no" / "such" / "out.txt", m_folder / "fifo", fs::path("/dev/null")}) {
        window.messageBoxes.clear();
        window.Type(IDC_OUTPUT, "result");
        window.chooserAnswers.push_back(target);
        window.Click(IDC_SAVE_AS);
        ExpectOneMessage(kCreateFailed, std::nullopt);
    }
    EXPECT_TRUE(fs::is_fifo(m_folder / "fifo"));
}

// A backup that a cut-off rewrite left beside the file stops the next save,
// and the message says where the old content is.
TEST_F(FileCommandsTest, SaveAsOverAFileWithABackupOfACutOffSaveNamesTheBackup) {
    const fs::path target = Write("out.txt", "torn");
    const fs::path backup = Write("out.txt.tornix-backup", "old content");
    window.Type(IDC_OUTPUT, "result");
    window.chooserAnswers.push_back(target);
    window.Click(IDC_SAVE_AS);
    // 上次保存这个文件时被中断，它原来的内容保存在： … 请先恢复或删除这个备份，再保存。
    ExpectOneMessage(EncodeFromDisplay(u"上次保存这个文件时被中断，它原来的内容保存在：\r\n") + backup.string() +
                         EncodeFromDisplay(u"\r\n请先恢复或删除这个备份，再保存。"),
                     std::nullopt);
    EXPECT_EQ(Read(target), "torn");
    EXPECT_EQ(Read(backup), "old content");
}

// In code page 936 and in an encoding the text is encoded to piece by piece.
TEST_F(FileCommandsTest, SaveAsOnFullDiskReportsAndKeepsPreviousFile) {
    for (const char* encoding : {"GBK", "UTF-16 LE"}) {
        SCOPED_TRACE(encoding);
        window.messageBoxes.clear();
        const fs::path target = Write("out.txt", "previous");
        window.Type(IDC_INPUT, "abcdef");
        window.Click(IDC_TO_FULL);
        window.chooserAnswers.push_back(target);
        window.choicePicks.push_back(encoding);
        {
            testing::WriteFaults faults;
            faults.failAfterBytes = 3;
            testing::ScopedWriteFaults full(faults);
            window.Click(IDC_SAVE_AS);
        }
        ExpectOneMessage(kWriteFailed, std::nullopt);
        EXPECT_EQ(Read(target), "previous");
        EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1)
            << "no temporary file left";
    }
}

// A file with bytes that are not valid GBK loads, converts and saves with
// every byte the conversion does not change intact.
TEST_F(FileCommandsTest, InvalidBytesSurviveLoadConvertSave) {
    const std::string original = "a\x80\xFF \x81\r\n\xA3\xC1\xFE\x7F z\xA1";
    window.chooserAnswers.push_back(Write("odd.txt", original));
    window.Click(IDC_LOAD);
    window.Click(IDC_TO_HALF);
    window.chooserAnswers.push_back(m_folder / "saved.txt");
    window.Click(IDC_SAVE_AS);
    // 0xA3 0xC1 becomes A. The final line break was CR LF after a lone lead
    // byte; that CR is the lead's second byte, so the trim drops only the LF.
    EXPECT_EQ(Hex(Read(m_folder / "saved.txt")), Hex("a\x80\xFF \x81\r\nA\xFE\x7F z\xA1\r"));
}

// 编码(&E):
const std::string kEncodingLabel = "\xB1\xE0\xC2\xEB(&E):";

std::vector<std::string> ChoiceItems(const FileChooserRequest& request) {
    std::vector<std::string> items;
    for (const GbkString& item : request.choice.items) items.emplace_back(item.view());
    return items;
}

// 自动检测, GBK, Big5, UTF-8, UTF-16 LE, UTF-16 BE, GB18030
const std::vector<std::string> kOpenItems = {
    "\xD7\xD4\xB6\xAF\xBC\xEC\xB2\xE2", "GBK", "Big5", "UTF-8", "UTF-16 LE", "UTF-16 BE", "GB18030"};

// The open chooser's encoding list, 自动检测 chosen, and the save chooser's,
// by the file last loaded: GBK before any and after a code page 936 file; a
// failed load changes nothing; GB18030 and Big5 are offered only after a file
// in them; an encoding picked when opening is the one chosen, also where the
// file lacks the mark its save rows have.
TEST_F(FileCommandsTest, SaveChooserChoosesTheLastLoadedFilesEncoding) {
    const std::vector<std::string> usual = {kEncodingVectors[0].choice, kEncodingVectors[1].choice,
                                            kEncodingVectors[2].choice, kEncodingVectors[3].choice,
                                            kEncodingVectors[4].choice};
    std::vector<std::string> withGb18030 = usual;
    withGb18030.emplace_back("GB18030");
    std::vector<std::string> withBig5 = usual;
    withBig5.emplace_back("Big5");
    struct Step {
        const char* load;  // nothing: no load before this save
        const char* pick;  // in the open chooser's list; nothing: left at 自动检测
        std::vector<std::string> items;
        int chosen;
    };
    const Step steps[] = {
        {nullptr, nullptr, usual, 0},
        {"\xFE\xFF\x4E\x2D", nullptr, usual, 4},  // 中 in UTF-16 BE
        {"missing", "Big5", usual, 4},            // a failed load
        {"\xEF\xBB\xBF", nullptr, usual, 2},      // UTF-8 with its mark, and nothing else
        {"\x84\x31\x95\x33z", nullptr, withGb18030, 5},
        {"\xE4\xB8\xAD", nullptr, usual, 1},  // 中 in UTF-8
        {"\xA4\xA4", "Big5", withBig5, 5},    // 中 in Big5
        {"a", "UTF-16 LE", usual, 3},         // no mark, saved with it
        {"\xE4\xB8\xAD", "GBK", usual, 0},
        {"plain", nullptr, usual, 0},
    };
    window.Type(IDC_OUTPUT, "x");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.load ? Hex(step.load) : "nothing loaded");
        window.choosers.clear();
        if (step.load != nullptr) {
            window.chooserAnswers.push_back(std::string(step.load) == "missing" ? m_folder / "missing.txt"
                                                                                : Write("in.txt", step.load));
            if (step.pick != nullptr) window.choicePicks.emplace_back(step.pick);
            window.Click(IDC_LOAD);
            ASSERT_EQ(window.choosers.size(), 1u);
            const FileChooserRequest& open = window.choosers[0];
            EXPECT_EQ(open.choice.label.view(), kEncodingLabel);
            EXPECT_EQ(ChoiceItems(open), kOpenItems);
            EXPECT_EQ(open.choice.selected, 0);
        }
        window.messageBoxes.clear();
        window.Type(IDC_OUTPUT, "x");
        window.Click(IDC_SAVE_AS);
        ASSERT_FALSE(window.choosers.empty());
        const FileChooserRequest& save = window.choosers.back();
        EXPECT_EQ(save.choice.label.view(), kEncodingLabel);
        EXPECT_EQ(ChoiceItems(save), step.items);
        EXPECT_EQ(save.choice.selected, step.chosen);
    }
}

std::string VectorName(const ::testing::TestParamInfo<EncodingVector>& info) {
    return info.param.testName;
}

class EncodingVectorTest : public FileCommandsTest, public ::testing::WithParamInterface<EncodingVector> {};

// A file written by another tool, loaded, converted either way and saved with
// the chooser as it opens: the bytes the definition gives, in the file's
// encoding with its mark.
TEST_P(EncodingVectorTest, ConvertedAndSavedInTheFilesEncoding) {
    const EncodingVector& vector = GetParam();
    const fs::path file = Write("in.txt", EncodingVectorBytes(vector.file, testing::kVectorText));
    for (const auto& [button, expected] :
         {std::pair(IDC_TO_HALF, testing::kVectorToHalf), std::pair(IDC_TO_FULL, testing::kVectorToFull)}) {
        window.chooserAnswers.push_back(file);
        if (vector.open != nullptr) window.choicePicks.emplace_back(vector.open);
        window.Click(IDC_LOAD);
        window.Click(button);
        window.chooserAnswers.push_back(m_folder / "out.txt");
        window.Click(IDC_SAVE_AS);
        EXPECT_TRUE(window.messageBoxes.empty());
        EXPECT_EQ(Hex(Read(m_folder / "out.txt")), Hex(EncodingVectorBytes(vector.file, expected))) << expected;
    }
}

// The same text saved in each other encoding the chooser offers, picked there.
TEST_P(EncodingVectorTest, SavedInTheEncodingPickedInTheChooser) {
    const EncodingVector& loaded = GetParam();
    window.chooserAnswers.push_back(Write("in.txt", EncodingVectorBytes(loaded.file, testing::kVectorText)));
    if (loaded.open != nullptr) window.choicePicks.emplace_back(loaded.open);
    window.Click(IDC_LOAD);
    window.Click(IDC_TO_HALF);
    for (const EncodingVector& picked : kEncodingVectors) {
        if (testing::SavedVector(loaded, picked.choice) != &picked) continue;  // not offered, or another text
        const fs::path out = m_folder / (std::string(picked.file) + ".txt");
        window.chooserAnswers.push_back(out);
        window.choicePicks.push_back(picked.choice);
        window.Click(IDC_SAVE_AS);
        EXPECT_EQ(Hex(Read(out)), Hex(EncodingVectorBytes(picked.file, testing::kVectorToHalf))) << picked.file;
    }
    EXPECT_TRUE(window.messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, EncodingVectorTest, ::testing::ValuesIn(kEncodingVectors), VectorName);

// Files at the edges of their encodings, or read in one they are not in,
// loaded and saved back (全角 -> 半角 changes none of them): every byte
// survives, in the encoding they were read in.
TEST_F(FileCommandsTest, BytesOfNoCharacterSurviveLoadAndSave) {
    struct Case {
        const char* name;
        std::string file;
        const char* open = nullptr;  // picked in the open chooser
    };
    const Case cases[] = {
        {"Utf16LeOddLastByte", std::string("\xFF\xFE"
                                           "a\0b\0"
                                           "c",
                                           7)},
        {"Utf16BeLoneHighSurrogate", std::string("\xFE\xFF"
                                                 "\xD8\x3D"
                                                 "\0z",
                                                 6)},
        {"Utf16LeLoneLowSurrogateLast", std::string("\xFF\xFE"
                                                    "a\0"
                                                    "\x00\xDC",
                                                    6)},
        {"Utf8CutShort", "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8"},
        {"Gb18030ByteOfNoCharacter",
         "\x84\x31\x95\x33"
         "a\xFFz"},
        {"Big5LoneLeadAtTheEnd", "\xA4\xA4\xA4", "Big5"},
        // ＡＢ 中文, € and 0xFF in code page 936, read as Big5: A3 C1 and A3 C2 are no
        // Big5 codes, A3 80 neither; the rest pair up otherwise
        {"CodePage936ReadAsBig5", "\xA3\xC1\xA3\xC2 \xD6\xD0\xCE\xC4\r\n\xA3\x80\xFF", "Big5"},
        // 中 and ｚ in UTF-8, read as Big5
        {"Utf8ReadAsBig5", "\xE4\xB8\xAD\xEF\xBD\x9Az", "Big5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.chooserAnswers.push_back(Write("in.txt", c.file));
        if (c.open != nullptr) window.choicePicks.emplace_back(c.open);
        window.Click(IDC_LOAD);
        window.Click(IDC_TO_HALF);
        window.chooserAnswers.push_back(m_folder / "out.txt");
        window.Click(IDC_SAVE_AS);
        EXPECT_EQ(Hex(Read(m_folder / "out.txt")), Hex(c.file));
    }
    EXPECT_TRUE(window.messageBoxes.empty());
}

// A text with a character that Big5 lacks is not saved as Big5: one message
// names the first such character and its line, the file stays as it was and
// no temporary file is left; the same text saves in an encoding picked instead.
TEST_F(FileCommandsTest, SaveAsBig5RefusesACharacterItLacks) {
    struct Case {
        const char* name;
        std::string input;  // typed (code page 936) after a Big5 file was loaded
        unsigned button;
        std::u16string message;
    };
    const Case cases[] = {
        {"SimplifiedOnly", "\xD6\xD0\r\n\xD5\xE2", IDC_TO_HALF,  // 中 CR LF 这
         u"Big5 编码中没有第 2 行的“这”（U+8FD9），文件没有保存。请选择其他编码。"},
        {"Emoji", "ab\x94\x39\xFC\x36", IDC_TO_HALF,  // ab😀
         u"Big5 编码中没有第 1 行的“😀”（U+1F600），文件没有保存。请选择其他编码。"},
        {"QuotationMarkMadeFullWidth", "x\r\n\r\nsay \"hi\"", IDC_TO_FULL,
         u"Big5 编码中没有第 3 行的“＂”（U+FF02），文件没有保存。请选择其他编码。"},
    };
    window.chooserAnswers.push_back(Write("big5.txt", "\xA4\xA4"));  // 中
    window.choicePicks.emplace_back("Big5");
    window.Click(IDC_LOAD);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.messageBoxes.clear();
        const fs::path target = Write("out.txt", "previous");
        window.Type(IDC_INPUT, c.input);
        window.Click(c.button);
        window.chooserAnswers.push_back(target);
        window.Click(IDC_SAVE_AS);
        EXPECT_EQ(window.choosers.back().choice.items[window.choosers.back().choice.selected].view(), "Big5");
        ExpectOneMessage(EncodeFromDisplay(c.message), std::nullopt);
        EXPECT_EQ(Read(target), "previous");
        EXPECT_EQ(m_scratch.Names({"big5.txt", "out.txt"}), std::vector<std::string>{}) << "a temporary file left";
        window.chooserAnswers.push_back(target);
        window.choicePicks.emplace_back("UTF-8");
        window.Click(IDC_SAVE_AS);
        EXPECT_EQ(window.messageBoxes.size(), 1u) << "saved as UTF-8";
        EXPECT_NE(Read(target), "previous");
    }
}

// A file that is only a byte-order mark is an empty text.
TEST_F(FileCommandsTest, FileOfOnlyAByteOrderMarkIsEmpty) {
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\x84\x31\x95\x33"}) {
        window.Type(IDC_INPUT, "typed");
        window.chooserAnswers.push_back(Write("mark.txt", mark));
        window.Click(IDC_LOAD);
        EXPECT_EQ(window.Text(IDC_INPUT), "") << Hex(mark);
    }
    EXPECT_TRUE(window.messageBoxes.empty());
}

}  // namespace
}  // namespace tornix
