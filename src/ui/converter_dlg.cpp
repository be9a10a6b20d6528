#include "ui/converter_dlg.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "convert/width.h"
#include "files/file_system.h"
#include "files/memory_headroom.h"
#include "files/text_file.h"
#include "files/wtf8.h"
#include "text/display_codec.h"
#include "ui/about_dlg.h"
#include "ui/framework/backend.h"
#include "ui/framework/file_dialog.h"

namespace tornix {

namespace {

// 要转换的文本内容不能为空！
constexpr const char* kEmptyInput =
    "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5\xA3\xA1";

// 文件不存在！
constexpr const char* kFileMissing = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xA1";
// 读取文件失败！
constexpr const char* kReadFailed = "\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xA1";
// 文件中含有空字符，不能作为文本读取！
constexpr const char* kFileHasNul =
    "\xCE\xC4\xBC\xFE\xD6\xD0\xBA\xAC\xD3\xD0\xBF\xD5\xD7\xD6\xB7\xFB\xA3\xAC\xB2\xBB\xC4\xDC\xD7\xF7\xCE\xAA"
    "\xCE\xC4\xB1\xBE\xB6\xC1\xC8\xA1\xA3\xA1";
// 输出结果为空！操作取消！
constexpr const char* kOutputEmpty =
    "\xCA\xE4\xB3\xF6\xBD\xE1\xB9\xFB\xCE\xAA\xBF\xD5\xA3\xA1\xB2\xD9\xD7\xF7\xC8\xA1\xCF\xFB\xA3\xA1";
// 创建文件失败。
constexpr const char* kCreateFailed = "\xB4\xB4\xBD\xA8\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3";
// 写入文件失败。
constexpr const char* kWriteFailed = "\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3";

// What a save that failed tells besides 创建文件失败。 / 写入文件失败。:
// 上次保存这个文件时被中断，它原来的内容保存在：
constexpr const char* kBackupExists =
    "\xC9\xCF\xB4\xCE\xB1\xA3\xB4\xE6\xD5\xE2\xB8\xF6\xCE\xC4\xBC\xFE\xCA\xB1\xB1\xBB\xD6\xD0\xB6\xCF\xA3\xAC\xCB\xFC"
    "\xD4\xAD\xC0\xB4\xB5\xC4\xC4\xDA\xC8\xDD\xB1\xA3\xB4\xE6\xD4\xDA\xA3\xBA";
// 请先恢复或删除这个备份，再保存。
constexpr const char* kRemoveBackupFirst =
    "\xC7\xEB\xCF\xC8\xBB\xD6\xB8\xB4\xBB\xF2\xC9\xBE\xB3\xFD\xD5\xE2\xB8\xF6\xB1\xB8\xB7\xDD\xA3\xAC\xD4\xD9\xB1\xA3"
    "\xB4\xE6\xA1\xA3";
// 写入文件失败。文件原来的内容保存在：
constexpr const char* kOldContentKept =
    "\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3\xCE\xC4\xBC\xFE\xD4\xAD\xC0\xB4\xB5\xC4\xC4\xDA\xC8\xDD"
    "\xB1\xA3\xB4\xE6\xD4\xDA\xA3\xBA";
// 创建文件失败。这是其他用户在共享文件夹里建立的链接，不能通过它保存。
constexpr const char* kUnsafeLink =
    "\xB4\xB4\xBD\xA8\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3\xD5\xE2\xCA\xC7\xC6\xE4\xCB\xFB\xD3\xC3\xBB\xA7\xD4\xDA"
    "\xB9\xB2\xCF\xED\xCE\xC4\xBC\xFE\xBC\xD0\xC0\xEF\xBD\xA8\xC1\xA2\xB5\xC4\xC1\xB4\xBD\xD3\xA3\xAC\xB2\xBB\xC4\xDC"
    "\xCD\xA8\xB9\xFD\xCB\xFC\xB1\xA3\xB4\xE6\xA1\xA3";
// 写入文件失败。另一个程序正在写入这个文件。
constexpr const char* kFileBusy =
    "\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA1\xA3\xC1\xED\xD2\xBB\xB8\xF6\xB3\xCC\xD0\xF2\xD5\xFD\xD4\xDA"
    "\xD0\xB4\xC8\xEB\xD5\xE2\xB8\xF6\xCE\xC4\xBC\xFE\xA1\xA3";
// 临时文件夹不能使用：
constexpr const char* kTemporaryFolderUnusable =
    "\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE\xBC\xD0\xB2\xBB\xC4\xDC\xCA\xB9\xD3\xC3\xA3\xBA";

// 编码(&E):
constexpr const char* kEncodingLabel = "\xB1\xE0\xC2\xEB(&E):";
// 自动检测, the open chooser's row for the rule (text/encoding.h)
constexpr const char* kDetectedRow = "\xD7\xD4\xB6\xAF\xBC\xEC\xB2\xE2";

// What a save that the encoding's lack of a character stopped says, around
// the encoding's title, the line, the character and its code point:
// Big5 编码中没有第 3 行的“这”（U+8FD9），文件没有保存。请选择其他编码。
constexpr const char* kLacksBeforeLine = " \xB1\xE0\xC2\xEB\xD6\xD0\xC3\xBB\xD3\xD0\xB5\xDA ";
constexpr const char* kLacksBeforeCharacter = " \xD0\xD0\xB5\xC4\xA1\xB0";
constexpr const char* kLacksBeforeCodePoint = "\xA1\xB1\xA3\xA8U+";
constexpr const char* kLacksEnd =
    "\xA3\xA9\xA3\xAC\xCE\xC4\xBC\xFE\xC3\xBB\xD3\xD0\xB1\xA3\xB4\xE6\xA1\xA3\xC7\xEB\xD1\xA1\xD4\xF1\xC6\xE4\xCB\xFB"
    "\xB1\xE0\xC2\xEB\xA1\xA3";

// The rows of the open chooser's encoding list: the rule's, then each
// character set's in the order of OpenChoices (nothing: the rule's).
std::vector<std::optional<Charset>> OpenRows() {
    std::vector<std::optional<Charset>> rows{std::nullopt};
    for (const CharsetRecord* record : OpenChoices()) rows.emplace_back(record->charset);
    return rows;
}

// A row of Save As's encoding list.
struct SaveRow {
    const char* name;
    FileEncoding encoding;
};

// The rows Save As offers after a file in `loaded` was read: the save choices
// of every character set's record (text/encoding.h), in their order, with
// those offered only after a file in them was loaded at the end.
std::vector<SaveRow> OfferedRows(FileEncoding loaded) {
    std::vector<SaveRow> rows;
    for (const SaveOffer offer : {SaveOffer::kAlways, SaveOffer::kAfterLoading}) {
        for (const CharsetRecord* record : Charsets()) {
            if (record->offer != offer || (offer == SaveOffer::kAfterLoading && record->charset != loaded.charset)) {
                continue;
            }
            for (const SaveChoice& choice : record->saveChoices) {
                if (choice.name != nullptr) rows.push_back({choice.name, {record->charset, choice.byteOrderMark}});
            }
        }
    }
    return rows;
}

// The offered row that writes `wanted`; else the first in its character set
// (a UTF-16 file named without its mark is saved with it); else the first
// (GBK).
int OfferedIndexOf(FileEncoding wanted, const std::vector<SaveRow>& rows) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].encoding == wanted) return static_cast<int>(row);
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].encoding.charset == wanted.charset) return static_cast<int>(row);
    }
    return 0;
}

// A path as the program's text, for a message.
GbkString PathText(const std::filesystem::path& path) {
    return GbkString(EncodeFromDisplay(Utf16FromWtf8(fs_os::Utf8FromPath(path))));
}

// The message for a save that `charset` lacking a character stopped.
GbkString UnencodableText(Charset charset, const Unencodable& lacked) {
    char codePoint[16];
    std::snprintf(codePoint, sizeof codePoint, "%04X", static_cast<unsigned>(lacked.codePoint));
    GbkString text(std::string_view(RecordOf(charset).title));
    text += kLacksBeforeLine;
    text += std::to_string(lacked.line).c_str();
    text += kLacksBeforeCharacter;
    text += GbkString(CharacterText(lacked));  // nothing for an unpaired surrogate
    text += kLacksBeforeCodePoint;
    text += codePoint;
    text += kLacksEnd;
    return text;
}

// The message for a save that failed.
GbkString SaveFailureText(const WriteResult& result) {
    GbkString text(result.status == WriteStatus::kCannotCreate ? kCreateFailed : kWriteFailed);
    switch (result.problem) {
        case SaveProblem::kNone:
            break;
        case SaveProblem::kUnsafeLink:
            text = kUnsafeLink;
            break;
        case SaveProblem::kBackupExists:
            text = kBackupExists;
            text += "\r\n";
            text += PathText(result.problemPath);
            text += "\r\n";
            text += kRemoveBackupFirst;
            break;
        case SaveProblem::kBackupKept:
            text = kOldContentKept;
            text += "\r\n";
            text += PathText(result.problemPath);
            break;
        case SaveProblem::kBusy:
            text = kFileBusy;
            break;
        case SaveProblem::kTemporaryFolder:
            text += kTemporaryFolderUnusable;
            text += "\r\n";
            text += PathText(result.problemPath);
            break;
    }
    return text;
}

// Memory the window takes for each byte of a file it loads: the text, the
// box's copy and its layout. Measured with scripts/bench-load.sh (25 and 50
// MiB files, address space as RLIMIT_AS counts it): 5.4 bytes a byte to load
// and show, 9.4 to load, convert to full width and show both; a file is loaded
// when there is room for that and a quarter more.
constexpr std::uint64_t kMemoryPerFileByte = 12;

}  // namespace

CConverterDlg::CConverterDlg(CDialog* parent)
    : CDialog(IDD_CONVERTER, parent), m_strOutput(""), m_strInput(""), m_hIcon(LoadIconResource(IDI_MAIN)) {}

void CConverterDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_OUTPUT, m_strOutput);
    DDX_Text(pDX, IDC_INPUT, m_strInput);
}

MessageMap CConverterDlg::GetMessageMap() const {
    static const MessageMapEntry kEntries[] = {
        MapSysCommand(&CConverterDlg::OnSysCommand),       MapPaint(&CConverterDlg::OnPaint),
        MapQueryDragIcon(&CConverterDlg::OnQueryDragIcon), MapClicked(IDC_LOAD, &CConverterDlg::OnLoad),
        MapClicked(IDC_TO_HALF, &CConverterDlg::OnToHalf), MapClicked(IDC_TO_FULL, &CConverterDlg::OnToFull),
        MapClicked(IDC_SAVE_AS, &CConverterDlg::OnSaveAs), MapCommand(ID_HELP, &CConverterDlg::OnHelp),
        MapDropFiles(&CConverterDlg::OnDropFiles),         MapCommand(ID_FILE_OPEN, &CConverterDlg::OnFileOpen),
    };
    return {kEntries, std::size(kEntries)};
}

bool CConverterDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (SystemMenu* menu = GetSystemMenu()) {
        GbkString aboutMenu;
        aboutMenu.LoadStringA(IDS_ABOUT_MENU);
        if (!aboutMenu.IsEmpty()) {
            menu->AppendSeparator();
            menu->AppendItem(IDM_ABOUT, aboutMenu);
        }
    }
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    if (m_startFile) PostMessage(WM_COMMAND, ID_FILE_OPEN);
    return true;  // the focus goes to the first control, the input box
}

bool CConverterDlg::ValidateInput() {
    UpdateData(true);
    m_strInput.TrimLeft();
    m_strInput.TrimRight();
    if (m_strInput.IsEmpty()) {
        MessageBox(kEmptyInput, "", MB_OK);
        return false;
    }
    return true;
}

void CConverterDlg::OnToHalf() {
    if (!ValidateInput()) return;
    m_strOutput = ToHalfWidth(m_strInput);
    UpdateData(false);
}

void CConverterDlg::OnToFull() {
    if (!ValidateInput()) return;
    m_strOutput = ToFullWidth(m_strInput);
    UpdateData(false);
}

void CConverterDlg::OnLoad() {
    CFileDialog chooser(true, kDefaultExtension, "", OFN_PATHMUSTEXIST, kFileFilter, this);
    const std::vector<std::optional<Charset>> rows = OpenRows();
    std::vector<GbkString> names;
    names.reserve(rows.size());
    for (const std::optional<Charset>& row : rows) {
        names.emplace_back(row ? GbkString(RecordOf(*row).openChoice) : GbkString(kDetectedRow));
    }
    chooser.AddChoice(kEncodingLabel, std::move(names), 0);
    if (chooser.DoModal() != IDOK) return;
    const auto row = static_cast<std::size_t>(chooser.GetSelectedChoice());
    LoadFile(chooser.GetPathName(), row < rows.size() ? rows[row] : std::nullopt);
}

void CConverterDlg::LoadFile(const std::filesystem::path& path, std::optional<Charset> named) {
    if (!FileExists(path)) {
        MessageBox(kFileMissing, "", MB_OK);
        return;
    }
    ReadResult read = ReadTextFile(path, MemoryHeadroom() / kMemoryPerFileByte, named);
    switch (read.status) {
        case ReadStatus::kOk:
            break;
        case ReadStatus::kTooLarge:
            ReportOutOfMemory();
            return;
        case ReadStatus::kContainsNul:
            MessageBox(kFileHasNul, "", MB_OK);
            return;
        case ReadStatus::kCannotOpen:
        case ReadStatus::kReadError:
            MessageBox(kReadFailed, "", MB_OK);
            return;
    }
    m_strInput = std::move(read.text);
    m_fileEncoding = read.encoding;
    UpdateData(false);
}

void CConverterDlg::OnDropFiles(const DroppedFiles& files) {
    LoadFile(files.front());
}

void CConverterDlg::OnFileOpen() {
    if (!m_startFile) return;
    const std::filesystem::path path = std::move(*m_startFile);
    m_startFile.reset();
    LoadFile(path);
}

void CConverterDlg::OnSaveAs() {
    UpdateData(true);
    if (m_strOutput.IsEmpty()) {
        MessageBox(kOutputEmpty, "", MB_OK);
        return;
    }
    CFileDialog chooser(false, kDefaultExtension, "", OFN_OVERWRITEPROMPT, kFileFilter, this);
    const std::vector<SaveRow> rows = OfferedRows(m_fileEncoding);
    std::vector<GbkString> names;
    names.reserve(rows.size());
    for (const SaveRow& row : rows) names.emplace_back(row.name);
    chooser.AddChoice(kEncodingLabel, std::move(names), OfferedIndexOf(m_fileEncoding, rows));
    if (chooser.DoModal() != IDOK) return;
    const auto row = static_cast<std::size_t>(chooser.GetSelectedChoice());
    const FileEncoding encoding = row < rows.size() ? rows[row].encoding : m_fileEncoding;
    const WriteResult saved = WriteTextFile(chooser.GetPathName(), m_strOutput, encoding);
    if (saved.ok()) return;
    const GbkString message =
        saved.unencodable ? UnencodableText(encoding.charset, *saved.unencodable) : SaveFailureText(saved);
    MessageBox(message.GetString(), nullptr, MB_OK);  // titled with the application's name
}

void CConverterDlg::OnSysCommand(unsigned id, std::intptr_t) {
    if ((id & 0xFFF0) == IDM_ABOUT) {
        ShowAbout();
    } else {
        Default();
    }
}

void CConverterDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    const ClientRect rect = GetClientRect();
    const int x = (rect.Width() - iconWidth + 1) / 2;
    const int y = (rect.Height() - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

IconHandle CConverterDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CConverterDlg::OnHelp() {
    ShowAbout();
}

void CConverterDlg::ShowAbout() {
    CAboutDlg about;
    about.DoModal();
}

}  // namespace tornix
