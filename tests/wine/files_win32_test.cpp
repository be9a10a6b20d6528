// The text file layer on Windows: the probe's share modes, wide (Chinese)
// paths, and the safe save when another program holds the target open.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/pending_files.h"
#include "files/text_file.h"

namespace tornix {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        m_path = fs::path(base) /
                 (L"tornix-files-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(s_next++));
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& Path() const { return m_path; }

private:
    static inline int s_next = 0;
    fs::path m_path;
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Another program's open handle on a file, for as long as it lives.
class OtherHandle {
public:
    OtherHandle(const fs::path& path, DWORD access, DWORD share)
        : m_handle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OtherHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

int CountEntries(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
}

const wchar_t kChineseName[] = L"\u6587\u672C \u6D4B\u8BD5.txt";  // 文本 测试.txt

struct ProbeCase {
    const char* name;
    DWORD otherAccess;  // 0: nobody else has the file open
    DWORD otherShare;
    bool expected;
};

class ProbeTest : public ::testing::TestWithParam<ProbeCase> {};

// The probe and the read share the file with programs that write it (a log
// being written loads); only one that lets nobody read it refuses them.
TEST_P(ProbeTest, SharesTheFileWithReadersAndWriters) {
    const ProbeCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    WriteBytes(file, "abc");
    std::unique_ptr<OtherHandle> other;
    if (c.otherAccess != 0) {
        other = std::make_unique<OtherHandle>(file, c.otherAccess, c.otherShare);
        ASSERT_TRUE(other->IsOpen());
    }
    EXPECT_EQ(FileExists(file), c.expected);
    EXPECT_EQ(ReadTextFile(file).ok(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, ProbeTest,
    ::testing::Values(ProbeCase{"NobodyElse", 0, 0, true},
                      ProbeCase{"OtherReaderSharingReads", GENERIC_READ, FILE_SHARE_READ, true},
                      ProbeCase{"OtherReaderSharingAll", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
                      ProbeCase{"OtherWriterSharingAll", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
                      ProbeCase{"OtherWriterSharingReads", GENERIC_WRITE, FILE_SHARE_READ, true},
                      ProbeCase{"OtherReaderSharingNothing", GENERIC_READ, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Probe, RefusesMissingFilesAndFolders) {
    TempFolder folder;
    EXPECT_FALSE(FileExists(folder.Path() / L"missing.txt"));
    EXPECT_FALSE(FileExists(folder.Path()));
    EXPECT_FALSE(FileExists(folder.Path() / L"no folder" / L"a.txt"));
}

TEST(Win32Probe, LeavesNoHandleOpen) {
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    WriteBytes(file, "abc");
    ASSERT_TRUE(FileExists(file));
    // An open handle without delete sharing would make this fail.
    EXPECT_TRUE(::DeleteFileW(file.c_str())) << ::GetLastError();
}

TEST(Win32ReadTextFile, ReadsAFileWithAChinesePath) {
    TempFolder folder;
    const fs::path sub = folder.Path() / L"\u6587\u4EF6\u5939";  // 文件夹
    fs::create_directories(sub);
    WriteBytes(sub / kChineseName, "\xC8\xAB\xBD\xC7\na\r\nb");
    const ReadResult result = ReadTextFile(sub / kChineseName);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.text.view(), "\xC8\xAB\xBD\xC7\r\na\r\nb\r\n");
}

TEST(Win32ReadTextFile, RefusesAFolder) {
    TempFolder folder;
    EXPECT_EQ(ReadTextFile(folder.Path()).status, ReadStatus::kCannotOpen);
}

TEST(Win32WriteTextFile, WritesANewFileByteForByte) {
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    const std::string bytes = "\xA3\xC1\xA1\xA1x\r\ny\r\n\x81";  // no CR is added before LF
    ASSERT_EQ(WriteTextFile(file, GbkString(std::string_view(bytes))).status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(CountEntries(folder.Path()), 1) << "a temporary file was left behind";
}

TEST(Win32WriteTextFile, ReplacesTheWholeOfAnExistingFile) {
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    WriteBytes(file, std::string(1000, 'o'));
    ASSERT_EQ(WriteTextFile(file, GbkString("new")).status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(Win32WriteTextFile, KeepsTheHiddenAttributeOfTheFileItReplaces) {
    TempFolder folder;
    const fs::path file = folder.Path() / L"hidden.txt";
    WriteBytes(file, "old");
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(WriteTextFile(file, GbkString("new")).status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_NE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(Win32WriteTextFile, CannotCreateInAMissingFolderOrOverAFolder) {
    TempFolder folder;
    EXPECT_EQ(WriteTextFile(folder.Path() / L"missing" / L"a.txt", GbkString("x")).status, WriteStatus::kCannotCreate);
    fs::create_directories(folder.Path() / L"sub");
    EXPECT_EQ(WriteTextFile(folder.Path() / L"sub", GbkString("x")).status, WriteStatus::kCannotCreate);
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(Win32WriteTextFile, CannotCreateOverAReadOnlyFile) {
    TempFolder folder;
    const fs::path file = folder.Path() / L"read-only.txt";
    WriteBytes(file, "old");
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteTextFile(file, GbkString("new")).status, WriteStatus::kCannotCreate);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(file), "old");
}

// Saving through a symbolic link replaces the file it leads to; the link stays.
TEST(Win32WriteTextFile, SavesThroughASymbolicLinkKeepingTheLink) {
    TempFolder folder;
    const fs::path file = folder.Path() / L"\u76EE\u6807.txt";  // 目标.txt
    const fs::path link = folder.Path() / L"link.txt";
    WriteBytes(file, "old");
    if (!::CreateSymbolicLinkW(link.c_str(), file.c_str(), 0) ||
        ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no symbolic links made here (Wine makes none; tests/wine/cli-compare.sh saves through a "
                        "Unix link)";
    }
    ASSERT_EQ(WriteTextFile(link, GbkString("new")).status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_NE(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u) << "the link became a file";
    EXPECT_EQ(CountEntries(folder.Path()), 2);
}

// A file with a second name keeps it: it is rewritten where it is, and its
// backup goes once the new content is in.
TEST(Win32WriteTextFile, KeepsTheOtherNameOfAHardLinkedFile) {
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    const fs::path other = folder.Path() / L"other.txt";
    WriteBytes(file, "old content");
    ASSERT_TRUE(::CreateHardLinkW(other.c_str(), file.c_str(), nullptr)) << ::GetLastError();
    ASSERT_EQ(WriteTextFile(file, GbkString("new")).status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(other), "new");
    EXPECT_EQ(CountEntries(folder.Path()), 2) << "the backup stayed";
}

// Paths longer than MAX_PATH (260) are saved and read, with the temporary
// file beside them.
TEST(Win32WriteTextFile, SavesAndReadsBeyondMaxPath) {
    TempFolder folder;
    const auto extended = [](const fs::path& path) { return L"\\\\?\\" + path.native(); };
    std::vector<fs::path> made;  // removed here: std::filesystem cannot reach so deep
    fs::path deep = folder.Path();
    while (deep.native().size() < 300) {
        deep /= std::wstring(40, L'\u6587');  // 文文…
        ASSERT_TRUE(::CreateDirectoryW(extended(deep).c_str(), nullptr)) << ::GetLastError();
        made.push_back(deep);
    }
    const fs::path file = deep / L"a.txt";
    EXPECT_EQ(WriteTextFile(file, GbkString("long")).status, WriteStatus::kOk);
    const WriteResult again = WriteTextFile(file, GbkString("longer"));
    EXPECT_EQ(again.status, WriteStatus::kOk) << "over the first: error " << again.error;
    const ReadResult read = ReadTextFile(file);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.text.view(), "longer\r\n");
    EXPECT_TRUE(::DeleteFileW(extended(file).c_str())) << "no file was made";
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        EXPECT_TRUE(::RemoveDirectoryW(extended(*it).c_str())) << "something stayed beside the file";
    }
}

struct HeldOpenCase {
    const char* name;
    DWORD otherAccess;
    DWORD otherShare;
    WriteStatus expected;  // kOk: may also fail, as long as nothing is lost
};

class HeldOpenTest : public ::testing::TestWithParam<HeldOpenCase> {};

// Whatever the other program allows, the old content survives a save that
// cannot go through, and no temporary file stays behind.
TEST_P(HeldOpenTest, KeepsTheOldContentWhenTheSaveCannotReplaceIt) {
    const HeldOpenCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    WriteBytes(file, "old content");
    WriteStatus status;
    {
        OtherHandle other(file, c.otherAccess, c.otherShare);
        ASSERT_TRUE(other.IsOpen());
        status = WriteTextFile(file, GbkString("new")).status;
    }
    if (c.expected == WriteStatus::kOk && status == WriteStatus::kWriteFailed) {
        // Some systems refuse to rename over a file that is open at all.
        EXPECT_EQ(ReadBytes(file), "old content");
    } else {
        EXPECT_EQ(status, c.expected);
        EXPECT_EQ(ReadBytes(file), status == WriteStatus::kOk ? "new" : "old content");
    }
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

INSTANTIATE_TEST_SUITE_P(Win32, HeldOpenTest,
                         ::testing::Values(
                             // Open without letting others write: the save cannot start.
                             HeldOpenCase{"ReaderSharingReads", GENERIC_READ, FILE_SHARE_READ,
                                          WriteStatus::kCannotCreate},
                             HeldOpenCase{"WriterSharingNothing", GENERIC_WRITE, 0, WriteStatus::kCannotCreate},
                             // Writes allowed but not deleting or renaming: the new file cannot
                             // take the old one's place.
                             HeldOpenCase{"ReaderSharingReadsAndWrites", GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, WriteStatus::kWriteFailed},
                             // Everything allowed: the save goes through.
                             HeldOpenCase{"ReaderSharingAll", GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, WriteStatus::kOk}),
                         [](const auto& info) { return std::string(info.param.name); });

// The console control handler's cleanup removes a save's temporary file while
// the save still has it open; what a crash left is removed by the next save of
// the same file, while another save's file, still open, is not.
TEST(Win32SafeFileWriter, TemporaryFilesGoOnTerminationAndAfterACrash) {
    TempFolder folder;
    const fs::path file = folder.Path() / kChineseName;
    WriteBytes(file, "old content");
    {
        SafeFileWriter interrupted(file);
        ASSERT_EQ(interrupted.Open(), WriteStatus::kOk);
        ASSERT_TRUE(interrupted.Write("new"));
        ASSERT_EQ(CountEntries(folder.Path()), 2);
        RemovePendingFiles();
        EXPECT_EQ(interrupted.Commit(), WriteStatus::kWriteFailed) << "the temporary file was still there";
    }
    EXPECT_EQ(ReadBytes(file), "old content");
    EXPECT_EQ(CountEntries(folder.Path()), 1);

    // Last written an hour ago; an attributes-only handle is refused by no share mode.
    const auto backdate = [](const fs::path& path) {
        const HANDLE handle =
            ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path;
        FILETIME time{};
        ::GetSystemTimeAsFileTime(&time);
        ULARGE_INTEGER ticks{};
        ticks.LowPart = time.dwLowDateTime;
        ticks.HighPart = time.dwHighDateTime;
        ticks.QuadPart -= 3600ULL * 10000000ULL;
        time.dwLowDateTime = ticks.LowPart;
        time.dwHighDateTime = ticks.HighPart;
        EXPECT_TRUE(::SetFileTime(handle, nullptr, nullptr, &time));
        ::CloseHandle(handle);
    };
    const fs::path leftover = folder.Path() / (L"." + file.filename().wstring() + L".tornix-0123456789ab.tmp");
    WriteBytes(leftover, "left by a crash");
    SafeFileWriter live(file);
    ASSERT_EQ(live.Open(), WriteStatus::kOk);
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        if (entry.path() != file) backdate(entry.path());
    }
    EXPECT_EQ(WriteTextFile(file, GbkString("saved")).status, WriteStatus::kOk);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(CountEntries(folder.Path()), 2) << "the file and the live save's temporary file";
    EXPECT_EQ(live.Commit(), WriteStatus::kOk);
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

// Ctrl+C waits while a step that must not be cut off is under way (a file
// rewritten in place), then removes the pending temporary files and ends the
// program as Ctrl+C does.
TEST(Win32Termination, CtrlCWaitsForADeferralThenEndsTheProgram) {
    TempFolder folder;
    std::wstring commandLine = L"\"" TORNIX_CONSOLE_EVENT_PROBE "\" \"" + folder.Path().wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                 nullptr, &startup, &process))
        << ::GetLastError();
    // Its exit status is the system's to give (Wine gives 0); what it did shows.
    ::WaitForSingleObject(process.hProcess, 20000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(ReadBytes(folder.Path() / L"step.txt"), "finished") << "the step was cut off, or the program went on";
    EXPECT_EQ(CountEntries(folder.Path()), 1) << "the pending temporary file stayed";
}

}  // namespace
}  // namespace tornix
