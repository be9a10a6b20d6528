#include "ui/converter_dlg.h"

#include <cstdint>
#include <iterator>
#include <vector>

#include "convert/width.h"
#include "files/memory_headroom.h"
#include "files/text_file.h"
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

// 编码(&E):
constexpr const char* kEncodingLabel = "\xB1\xE0\xC2\xEB(&E):";

// The encodings Save As offers, named as Notepad names them in its save
// chooser (GBK for what Notepad calls ANSI on Chinese Windows). GB18030, the
// last row, is offered only after a GB18030 file was loaded, so that it can
// be saved as it came.
struct SaveEncoding {
    const char* name;
    FileEncoding encoding;
};
constexpr SaveEncoding kSaveEncodings[] = {
    {"GBK", {Charset::kGbk, false}},
    {"UTF-8", {Charset::kUtf8, false}},
    {"\xB4\xF8\xD3\xD0 BOM \xB5\xC4 UTF-8", {Charset::kUtf8, true}},  // 带有 BOM 的 UTF-8
    {"UTF-16 LE", {Charset::kUtf16Le, true}},
    {"UTF-16 BE", {Charset::kUtf16Be, true}},
    {"GB18030", {Charset::kGb18030, true}},
};
constexpr std::size_t kAlwaysOffered = std::size(kSaveEncodings) - 1;

// The rows offered after a file in `loaded` was read.
std::size_t OfferedCount(FileEncoding loaded) {
    return loaded.charset == Charset::kGb18030 ? std::size(kSaveEncodings) : kAlwaysOffered;
}

// The offered row that writes `wanted`; the first (GBK) when none does.
int OfferedIndexOf(FileEncoding wanted, std::size_t offered) {
    for (std::size_t row = 0; row < offered; ++row) {
        if (kSaveEncodings[row].encoding == wanted) return static_cast<int>(row);
    }
    return 0;
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

    if (SystemMenu* menu = GetSystemMenu(false)) {
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
    if (chooser.DoModal() != IDOK) return;
    LoadFile(chooser.GetPathName());
}

void CConverterDlg::LoadFile(const std::filesystem::path& path) {
    if (!FileExists(path)) {
        MessageBox(kFileMissing, "", MB_OK);
        return;
    }
    ReadResult read = ReadTextFile(path, MemoryHeadroom() / kMemoryPerFileByte);
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
    const std::size_t offered = OfferedCount(m_fileEncoding);
    std::vector<GbkString> names;
    for (std::size_t row = 0; row < offered; ++row) names.emplace_back(kSaveEncodings[row].name);
    chooser.AddChoice(kEncodingLabel, std::move(names), OfferedIndexOf(m_fileEncoding, offered));
    if (chooser.DoModal() != IDOK) return;
    const auto row = static_cast<std::size_t>(chooser.GetSelectedChoice());
    const FileEncoding encoding = row < offered ? kSaveEncodings[row].encoding : m_fileEncoding;
    switch (WriteTextFile(chooser.GetPathName(), m_strOutput, encoding)) {
        case WriteStatus::kOk:
            return;
        case WriteStatus::kCannotCreate:
            MessageBox(kCreateFailed, nullptr, MB_OK);  // titled with the application's name
            return;
        case WriteStatus::kWriteFailed:
            MessageBox(kWriteFailed, nullptr, MB_OK);
            return;
    }
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
