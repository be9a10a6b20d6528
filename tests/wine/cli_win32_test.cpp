// tornix-convert.exe as a Windows program runs it: file names that the ANSI
// code page cannot spell, and -o onto a file that another program holds open.
// (tests/wine/cli-compare.sh compares its output with the Linux program's.)
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tornix {
namespace {

namespace fs = std::filesystem;

const wchar_t kProgram[] = L"" TORNIX_CONVERT_PROGRAM;

struct Outcome {
    DWORD status = 0xFFFFFFFF;
    std::string err;
};

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

// Runs tornix-convert.exe with `arguments`, no standard input, standard
// output discarded; gives its exit status and what it wrote to standard error.
Outcome RunConvert(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE errRead = nullptr, errWrite = nullptr;
    if (!::CreatePipe(&errRead, &errWrite, &inherit, 0)) return {};
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = errWrite;
    std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (::CreateProcessW(kProgram, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::CloseHandle(errWrite);
        errWrite = nullptr;
        outcome.err = ReadAll(errRead);
        ::WaitForSingleObject(process.hProcess, 60000);
        ::GetExitCodeProcess(process.hProcess, &outcome.status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {errRead, errWrite, nul}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    return outcome;
}

class ConvertProgram : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        m_folder = fs::path(base) / (L"tornix-cli-" + std::to_wstring(::GetCurrentProcessId()));
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    fs::path Put(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
        return m_folder / name;
    }
    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }
    int Entries() const {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder)) ++count;
        return count;
    }

    fs::path m_folder;
};

// Neither 😀 nor the Korean 한 exist in code page 936, the ANSI code page here.
TEST_F(ConvertProgram, ReadsAndWritesFilesNamedOutsideTheAnsiCodePage) {
    const fs::path input = Put(L"\U0001F600 \uD55C.txt", "Hi!\r\n");
    const fs::path output = m_folder / L"\u8F93\u51FA \U0001F600.txt";  // 输出 😀.txt
    const Outcome run = RunConvert(L"--to-full -o " + Quoted(output) + L" " + Quoted(input));
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(Bytes(output), "\xA3\xC8\xA3\xE9\xA3\xA1\r\n");
}

// cmd leaves wildcards to the program: -i 批量\*.txt converts the .txt files
// of the folder, Chinese names and all, and nothing else; -r walks it.
TEST_F(ConvertProgram, InPlaceExpandsWildcardsAndWalksFolders) {
    fs::create_directories(m_folder / L"\u6279\u91CF" / L"\u5B50");  // 批量\子
    const fs::path first = Put(L"\u6279\u91CF\\\u7532.txt", "a");    // 甲.txt
    const fs::path second = Put(L"\u6279\u91CF\\\u4E59.txt", "b");   // 乙.txt
    const fs::path other = Put(L"\u6279\u91CF\\\u4E19.md", "c");     // 丙.md
    const fs::path below = Put(L"\u6279\u91CF\\\u5B50\\d.txt", "d");
    Outcome run = RunConvert(L"--to-full -e gbk -i " + Quoted(m_folder / L"\u6279\u91CF" / L"*.txt"));
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(Bytes(first), "\xA3\xE1");
    EXPECT_EQ(Bytes(second), "\xA3\xE2");
    EXPECT_EQ(Bytes(other), "c");
    EXPECT_EQ(Bytes(below), "d");
    run = RunConvert(L"--to-full -e gbk -i -r --include *.txt " + Quoted(m_folder / L"\u6279\u91CF"));
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(Bytes(below), "\xA3\xE4");
    EXPECT_EQ(Bytes(other), "c");
    EXPECT_NE(run.err.find("1 converted, 2 unchanged, 0 skipped, 0 failed"), std::string::npos) << run.err;
}

struct HeldOpenCase {
    const char* name;
    DWORD share;    // how the other program shares the file
    bool replaced;  // whether the file is replaced (where the system allows it)
};

class ConvertProgramHeldOpen : public ConvertProgram, public ::testing::WithParamInterface<HeldOpenCase> {};

// An -o file that another program has open is replaced only where that
// program lets it go; otherwise it keeps its content, the program says why
// and ends with status 1, and no temporary file stays behind.
TEST_P(ConvertProgramHeldOpen, ReplacesTheFileOrLeavesItAsItWas) {
    const fs::path input = Put(L"in.txt", "abc");
    const fs::path output = Put(L"\u6587\u672C.txt", "old content");  // 文本.txt
    const HANDLE other =
        ::CreateFileW(output.c_str(), GENERIC_READ, GetParam().share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const Outcome run = RunConvert(L"--to-full -o " + Quoted(output) + L" " + Quoted(input));
    ::CloseHandle(other);
    // Some systems (Wine among them) refuse to rename over a file that is open
    // at all, whatever it shares.
    if (run.status == 0 && GetParam().replaced) {
        EXPECT_EQ(Bytes(output), "\xA3\xE1\xA3\xE2\xA3\xE3");
    } else {
        EXPECT_EQ(run.status, 1u);
        EXPECT_EQ(Bytes(output), "old content");
        EXPECT_EQ(run.err.rfind("tornix-convert: cannot write '", 0), 0u) << run.err;
    }
    EXPECT_EQ(Entries(), 2) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Win32, ConvertProgramHeldOpen,
    ::testing::Values(HeldOpenCase{"SharingReads", FILE_SHARE_READ, false},
                      HeldOpenCase{"SharingReadsAndWrites", FILE_SHARE_READ | FILE_SHARE_WRITE, false},
                      HeldOpenCase{"SharingAll", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tornix
