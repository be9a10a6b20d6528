// Load and Save As through the system's own choosers: what the chooser offers,
// and what the window does with the file the user picks or drops on it.
#include "gui_driver.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/encoding_vectors.h"
#include "ui/converter_dlg.h"
#include "ui/framework/win_app.h"

namespace tornix::gui {
namespace {

namespace fs = std::filesystem;

// The older chooser's box for the file's name (its dialog template's id).
constexpr int kFileName = 0x47C;  // cmb13

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring ComboItem(HWND combo, int index) {
    const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The windows inside `parent`, at any depth.
std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The box for the file's name: the older chooser's by its id, the newer one's
// as its only edit box of its own.
HWND FileNameBox(HWND chooser) {
    if (HWND box = ::GetDlgItem(chooser, kFileName)) return box;
    for (HWND window : Descendants(chooser)) {
        if (ClassName(window) == L"Edit" && ::GetParent(window) == chooser) return window;
    }
    return nullptr;
}

// The chooser's drop-down list that offers `item`.
HWND ListOffering(HWND chooser, const std::wstring& item) {
    for (HWND window : Descendants(chooser)) {
        if (ClassName(window) == L"ComboBox" && ::SendMessageW(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>(item.c_str())) != CB_ERR) {
            return window;
        }
    }
    return nullptr;
}

// A chooser's encoding list, and its file types.
HWND EncodingList(HWND chooser) {
    return ListOffering(chooser, L"GBK");
}
HWND FileTypes(HWND chooser) {
    return ListOffering(chooser, L"所有文件(*.*)");
}

std::vector<std::wstring> Items(HWND list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < ::SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) items.push_back(ComboItem(list, i));
    return items;
}

std::wstring Selected(HWND list) {
    return ComboItem(list, static_cast<int>(::SendMessageW(list, CB_GETCURSEL, 0, 0)));
}

// Picks `item` in `list` as a user does.
void Pick(HWND list, const std::wstring& item) {
    const auto index =
        ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

// The label of a list in the chooser.
bool HasLabel(HWND chooser, const std::wstring& label) {
    const std::vector<HWND> inside = Descendants(chooser);
    return std::any_of(inside.begin(), inside.end(), [&](HWND w) { return WindowText(w) == label; });
}

std::wstring Wide(const char* utf8) {
    std::wstring text(std::strlen(utf8), L'\0');
    text.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), static_cast<int>(text.size()) + 1) - 1));
    return text;
}

class ChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        // A folder per test: the chooser makes the chosen folder the current
        // one, which then cannot be removed until another is chosen.
        static int next = 0;
        m_folder = fs::path(base) /
                   (L"tornix-chooser-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(next++));
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
        fs::create_directories(m_folder);
        m_ui = std::make_unique<UiThread>([this] {
            CConverterDlg dialog;
            AfxGetApp()->m_pMainWnd = &dialog;  // the program's one application object
            dialog.DoModal();
            AfxGetApp()->m_pMainWnd = nullptr;
        });
        m_dialog = WaitForWindow([this] { return FindThreadDialog(m_ui->Id(), L"Qelvar Ver. 1.0713"); });
        ASSERT_NE(m_dialog, nullptr);
    }

    void TearDown() override {
        if (!m_ui) return;
        while (HWND box = FindOwnedDialog(m_dialog)) {
            ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            WaitUntil([box] { return !::IsWindow(box); });
        }
        if (::IsWindow(m_dialog)) ::PostMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(m_ui->Join());
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    HWND ClickAndWaitForBox(int id) const {
        ::PostMessageW(Item(id), BM_CLICK, 0, 0);
        return WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    }
    // Types a name into the chooser and confirms it; returns once it closed.
    bool Choose(HWND chooser, const std::wstring& name) const {
        ::SendMessageW(FileNameBox(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageW(::GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
        return WaitUntil([chooser] { return !::IsWindow(chooser); });
    }

    fs::path m_folder;
    std::unique_ptr<UiThread> m_ui;
    HWND m_dialog = nullptr;
};

TEST_F(ChooserTest, LoadOffersTheTwoFileTypesAndReadsTheChosenFile) {
    const fs::path file = m_folder / L"输入.txt";
    std::ofstream(file, std::ios::binary) << "\xC8\xAB\xBD\xC7\na\r\nb";  // 全角 LF a CR LF b
    ::SendMessageW(Item(IDC_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    ::SendMessageW(Item(IDC_TO_FULL), BM_CLICK, 0, 0);

    const HWND chooser = ClickAndWaitForBox(IDC_LOAD);
    ASSERT_NE(chooser, nullptr) << "no open chooser";
    const HWND types = FileTypes(chooser);
    ASSERT_NE(types, nullptr) << "no file types";
    EXPECT_EQ(Items(types), (std::vector<std::wstring>{L"文本文件(*.txt;*.html;*.htm)", L"所有文件(*.*)"}));
    EXPECT_EQ(Selected(types), L"文本文件(*.txt;*.html;*.htm)");
    const HWND encodings = EncodingList(chooser);
    ASSERT_NE(encodings, nullptr) << "no encoding list";
    EXPECT_TRUE(HasLabel(chooser, L"编码(&E):"));
    EXPECT_EQ(Items(encodings), (std::vector<std::wstring>{L"自动检测", L"GBK", L"Big5", L"UTF-8", L"UTF-16 LE",
                                                           L"UTF-16 BE", L"GB18030"}));
    EXPECT_EQ(Selected(encodings), L"自动检测");

    ASSERT_TRUE(Choose(chooser, file.wstring()));
    ASSERT_TRUE(WaitUntil([this] { return !Text(IDC_INPUT).empty(); }));
    EXPECT_EQ(Text(IDC_INPUT), L"全角\r\na\r\nb\r\n");
    EXPECT_EQ(Text(IDC_OUTPUT), L"ｘ") << "Load changed the output";
}

// A log that another program is writing loads as far as it has got.
TEST_F(ChooserTest, LoadOfAFileHeldOpenForWritingReadsIt) {
    const fs::path file = m_folder / L"busy.txt";
    std::ofstream(file, std::ios::binary) << "abc";
    const HANDLE writer = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const HWND chooser = ClickAndWaitForBox(IDC_LOAD);
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(Choose(chooser, file.wstring()));
    const bool loaded = WaitUntil([this] { return !Text(IDC_INPUT).empty(); });
    ::CloseHandle(writer);
    ASSERT_TRUE(loaded) << "the file was not read";
    EXPECT_EQ(Text(IDC_INPUT), L"abc\r\n");
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr) << "a message after the load";
}

TEST_F(ChooserTest, SaveAsGivesANameWithoutExtensionTheExtensionTxt) {
    ::SendMessageW(Item(IDC_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    ::SendMessageW(Item(IDC_TO_FULL), BM_CLICK, 0, 0);
    ASSERT_EQ(Text(IDC_OUTPUT), L"ａｂｃ");

    const HWND chooser = ClickAndWaitForBox(IDC_SAVE_AS);
    ASSERT_NE(chooser, nullptr) << "no save chooser";
    ASSERT_TRUE(Choose(chooser, (m_folder / L"结果").wstring()));
    const fs::path saved = m_folder / L"结果.TXT";
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(saved).size() == 6; })) << "nothing saved as 结果.TXT";
    EXPECT_EQ(ReadBytes(saved), "\xA3\xE1\xA3\xE2\xA3\xE3");  // ａｂｃ
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr) << "a message after a successful save";
}

// The chooser asks before an existing file is chosen; a file that cannot be
// written then gives the message titled with the program's name.
TEST_F(ChooserTest, SaveAsOverAReadOnlyFileAsksFirstAndThenReportsTheFailure) {
    const fs::path file = m_folder / L"只读.txt";
    std::ofstream(file, std::ios::binary) << "old";
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    ::SendMessageW(Item(IDC_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    ::SendMessageW(Item(IDC_TO_FULL), BM_CLICK, 0, 0);

    const HWND chooser = ClickAndWaitForBox(IDC_SAVE_AS);
    ASSERT_NE(chooser, nullptr);
    ::SendMessageW(FileNameBox(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    ::PostMessageW(::GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
    const HWND question = WaitForWindow([chooser] { return FindOwnedDialog(chooser); });
    ASSERT_NE(question, nullptr) << "no question before replacing the file";
    ::PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([chooser] { return !::IsWindow(chooser); }));

    const HWND box = WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(WindowText(box), L"wine_gui_test");
    bool found = false;
    for (HWND child : Children(box)) found = found || WindowText(child) == L"创建文件失败。";
    EXPECT_TRUE(found);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(file), "old");
}

// Posts WM_DROPFILES for `files`, as the shell does when the user drops them
// on the window; the window frees the record.
void DropFiles(HWND window, const std::vector<fs::path>& files) {
    std::wstring names;
    for (const fs::path& file : files) names += file.wstring() + L'\0';
    names += L'\0';
    const HGLOBAL record = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(record));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(header + 1));
    ::GlobalUnlock(record);
    ::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(record), 0);
}

TEST_F(ChooserTest, DroppedFilesLoadTheFirstAsTheChooserWould) {
    EXPECT_TRUE(::GetWindowLongPtrW(m_dialog, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const fs::path first = m_folder / L"拖放.txt";
    std::ofstream(first, std::ios::binary) << "\xC8\xAB\xBD\xC7\na";  // 全角 LF a
    const fs::path second = m_folder / L"second.txt";
    std::ofstream(second, std::ios::binary) << "second";
    ::SendMessageW(Item(IDC_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));

    DropFiles(m_dialog, {m_folder});
    const HWND box = WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    ASSERT_NE(box, nullptr) << "no message for a dropped folder";
    bool found = false;
    for (HWND child : Children(box)) found = found || WindowText(child) == L"文件不存在！";
    EXPECT_TRUE(found);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([box] { return !::IsWindow(box); }));
    EXPECT_EQ(Text(IDC_INPUT), L"typed");

    DropFiles(m_dialog, {first, second});
    ASSERT_TRUE(WaitUntil([this] { return Text(IDC_INPUT) != L"typed"; }));
    EXPECT_EQ(Text(IDC_INPUT), L"全角\r\na\r\n");
}

using testing::EncodingVector;
using testing::kEncodingVectors;

class EncodingVectorTest : public ChooserTest, public ::testing::WithParamInterface<EncodingVector> {
protected:
    // Loads a vector: dropped on the window, or where the rule does not read
    // it, chosen with its encoding picked in the open chooser's list.
    void Load(const fs::path& file, const EncodingVector& vector) {
        if (vector.open == nullptr) {
            DropFiles(m_dialog, {file});
        } else {
            const HWND chooser = ClickAndWaitForBox(IDC_LOAD);
            ASSERT_NE(chooser, nullptr) << "no open chooser";
            const HWND list = EncodingList(chooser);
            ASSERT_NE(list, nullptr) << "no encoding list";
            Pick(list, Wide(vector.open));
            ASSERT_TRUE(Choose(chooser, file.wstring()));
        }
        ASSERT_TRUE(WaitUntil([this] { return !Text(IDC_INPUT).empty(); }));
    }

    // Opens the save chooser, checks its encoding list (the label, the items,
    // `chosen` chosen), picks `pick` in it as a user does (nothing: leaves
    // it) and saves as `name`; returns the file's bytes once they are there.
    std::string SaveAs(const std::wstring& name, const EncodingVector& chosen, const EncodingVector* pick) {
        const HWND chooser = ClickAndWaitForBox(IDC_SAVE_AS);
        EXPECT_NE(chooser, nullptr) << "no save chooser";
        const HWND list = chooser ? EncodingList(chooser) : nullptr;
        EXPECT_NE(list, nullptr) << "no encoding list";
        if (list == nullptr) return "";
        EXPECT_TRUE(HasLabel(chooser, L"编码(&E):"));
        std::vector<std::wstring> expected;  // the rows always offered, then the loaded file's own
        for (const EncodingVector& vector : kEncodingVectors) {
            if (*vector.text == '\0' && vector.offeredAlways) expected.push_back(Wide(vector.choiceUtf8));
        }
        if (!GetParam().offeredAlways) expected.push_back(Wide(GetParam().choiceUtf8));
        EXPECT_EQ(Items(list), expected);
        EXPECT_EQ(Selected(list), Wide(chosen.choiceUtf8));
        if (pick != nullptr) Pick(list, Wide(pick->choiceUtf8));
        const fs::path path = m_folder / name;
        EXPECT_TRUE(Choose(chooser, path.wstring()));
        WaitUntil([&] { return fs::exists(path) && FindOwnedDialog(m_dialog) == nullptr; });
        return ReadBytes(path);
    }
};

// A file written by another tool, dropped on the window (or chosen with its
// encoding picked in the open chooser), converted to full width and saved
// with the save chooser as it opens (the file's encoding chosen), then
// converted to half width and saved in another encoding picked in the
// chooser's list: what the definition gives, byte for byte.
TEST_P(EncodingVectorTest, SavedInTheFilesEncodingOrThePickedOne) {
    const EncodingVector& loaded = GetParam();
    const EncodingVector& picked = testing::PickedAfter(loaded);
    const fs::path file = m_folder / L"in.txt";
    std::ofstream(file, std::ios::binary) << testing::EncodingVectorBytes(loaded.file, testing::kVectorText);
    Load(file, loaded);
    ::SendMessageW(Item(IDC_TO_FULL), BM_CLICK, 0, 0);
    EXPECT_EQ(SaveAs(L"full.txt", loaded, nullptr), testing::EncodingVectorBytes(loaded.file, testing::kVectorToFull));
    ::SendMessageW(Item(IDC_TO_HALF), BM_CLICK, 0, 0);
    EXPECT_EQ(SaveAs(L"half.txt", loaded, &picked), testing::EncodingVectorBytes(picked.file, testing::kVectorToHalf));
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr) << "a message after a successful save";
}

INSTANTIATE_TEST_SUITE_P(Files, EncodingVectorTest, ::testing::ValuesIn(kEncodingVectors),
                         [](const auto& info) { return std::string(info.param.testName); });

}  // namespace
}  // namespace tornix::gui
