// tornix.exe itself: its resources (version record, icon group) and a run of
// the program from start to Esc.
#include "gui_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace tornix::gui {
namespace {

const wchar_t kProgram[] = L"" TORNIX_PROGRAM;

std::vector<unsigned char> VersionRecord() {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(kProgram, &ignored);
    std::vector<unsigned char> record(size);
    if (size == 0 || !::GetFileVersionInfoW(kProgram, 0, size, record.data())) record.clear();
    return record;
}

std::wstring VersionString(std::vector<unsigned char>& record, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\080404B0\\" + name;
    if (!::VerQueryValueW(record.data(), path.c_str(), &value, &length) || value == nullptr) return L"<missing>";
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

struct VersionField {
    const wchar_t* name;
    const wchar_t* value;
};

class VersionRecordTest : public ::testing::TestWithParam<VersionField> {};

TEST_P(VersionRecordTest, HasTheField) {
    std::vector<unsigned char> record = VersionRecord();
    ASSERT_FALSE(record.empty()) << "tornix.exe has no version record";
    EXPECT_EQ(VersionString(record, GetParam().name), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, VersionRecordTest,
    ::testing::Values(VersionField{L"CompanyName", L""},
                      VersionField{L"FileDescription", L"tornix Microsoft 基础类应用程序"},
                      VersionField{L"FileVersion", L"1, 0, 0, 1"}, VersionField{L"InternalName", L"tornix"},
                      VersionField{L"LegalTrademarks", L""}, VersionField{L"OriginalFilename", L"tornix.EXE"},
                      VersionField{L"ProductName", L"tornix 应用程序"}, VersionField{L"ProductVersion", L"1, 0, 0, 1"}),
    [](const auto& info) { return std::string(info.param.name, info.param.name + wcslen(info.param.name)); });

TEST(VersionRecord, FixedPartAndTranslation) {
    std::vector<unsigned char> record = VersionRecord();
    ASSERT_FALSE(record.empty());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);

    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0804);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramResourcesTest, IconGroupHasThreeSizesInFullColour) {
    const HMODULE module = ::LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEW(IDI_MAIN),
                                          MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_NE(found, nullptr) << "no Chinese (PRC) icon group 128";
    const auto* group = static_cast<const WORD*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group[2], 3);  // image count after reserved and type
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group + 3);
    std::vector<int> sizes;
    for (int i = 0; i < 3; ++i) {
        sizes.push_back(entries[i].width == 0 ? 256 : entries[i].width);
        EXPECT_EQ(entries[i].bitCount, 32) << "image " << i;
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
    ::FreeLibrary(module);
}

// The program starts with its window, converts, and ends on Esc.
TEST(ProgramRunTest, OpensConvertsAndEndsOnEscape) {
    std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(kProgram, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process))
        << ::GetLastError();
    const HWND window = WaitForWindow([&] { return FindProcessDialog(process.dwProcessId, L"Qelvar Ver. 1.0713"); });
    EXPECT_NE(window, nullptr) << "tornix.exe showed no window";
    if (window != nullptr) {
        const HWND input = ::GetDlgItem(window, IDC_INPUT);
        const std::wstring typed = L" 1+1=2. ";
        ::SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        ::SendMessageW(::GetDlgItem(window, IDC_TO_FULL), BM_CLICK, 0, 0);
        EXPECT_EQ(WindowText(::GetDlgItem(window, IDC_OUTPUT)), L"１＋１＝２。");
        EXPECT_EQ(WindowText(input), L"1+1=2.");
        ::PostMessageW(input, WM_KEYDOWN, VK_ESCAPE, 1);
    }
    const bool ended = ::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "tornix.exe did not end on Esc";
    if (!ended) ::TerminateProcess(process.hProcess, 1);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace tornix::gui
