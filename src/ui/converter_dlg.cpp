#include "ui/converter_dlg.h"

#include <iterator>

#include "convert/width.h"
#include "ui/about_dlg.h"
#include "ui/framework/backend.h"

namespace tornix {

namespace {

// 要转换的文本内容不能为空！
constexpr const char* kEmptyInput =
    "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5\xA3\xA1";

}  // namespace

CConverterDlg::CConverterDlg(CDialog* parent)
    : CDialog(IDD_CONVERTER, parent), m_strOutput(""), m_strInput(""), m_hIcon(LoadIconResource(IDI_MAIN)) {}

void CConverterDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_OUTPUT, m_strOutput);
    DDX_Text(pDX, IDC_INPUT, m_strInput);
}

MessageMap CConverterDlg::GetMessageMap() const {
    static const MessageMapEntry kEntries[] = {
        MapSysCommand(&CConverterDlg::OnSysCommand),
        MapPaint(&CConverterDlg::OnPaint),
        MapQueryDragIcon(&CConverterDlg::OnQueryDragIcon),
        MapClicked(IDC_TO_HALF, &CConverterDlg::OnToHalf),
        MapClicked(IDC_TO_FULL, &CConverterDlg::OnToFull),
        MapCommand(ID_HELP, &CConverterDlg::OnHelp),
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

IconHandle CConverterDlg::OnQueryDragIcon() { return m_hIcon; }

void CConverterDlg::OnHelp() { ShowAbout(); }

void CConverterDlg::ShowAbout() {
    CAboutDlg about;
    about.DoModal();
}

}  // namespace tornix
