#include "ui/framework/dialog.h"

#include <new>

#include "ui/framework/backend.h"
#include "ui/framework/win_app.h"

namespace tornix {

namespace {

// 内存不足，操作已取消！
constexpr const char* kOutOfMemory =
    "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3\xA3\xAC\xB2\xD9\xD7\xF7\xD2\xD1\xC8\xA1\xCF\xFB\xA3\xA1";

unsigned LowWord(std::uintptr_t value) {
    return static_cast<unsigned>(value & 0xFFFF);
}
unsigned HighWord(std::uintptr_t value) {
    return static_cast<unsigned>((value >> 16) & 0xFFFF);
}

bool Matches(const MessageMapEntry& entry, unsigned message, std::uintptr_t wParam) {
    if (entry.message != message) return false;
    if (message != WM_COMMAND) return true;
    return entry.id == LowWord(wParam) && entry.code == HighWord(wParam);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, unsigned controlId, GbkString& value) {
    DialogHost* host = pDX->m_pDlgWnd->Host();
    if (host == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = host->GetItemText(controlId);
    } else {
        host->SetItemText(controlId, value);
    }
}

CPaintDC::CPaintDC(CDialog* dialog) : m_context(dialog->Host()->BeginPaint()) {}

std::intptr_t CPaintDC::GetSafeHdc() const {
    return m_context ? m_context->Handle() : 0;
}

void CPaintDC::DrawIcon(int x, int y, IconHandle icon) {
    if (m_context) m_context->DrawIcon(x, y, icon);
}

CDialog::CDialog(unsigned templateId, CDialog* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    CDialog* owner = m_pParentWnd;
    if (owner == nullptr && AfxGetApp() != nullptr) owner = AfxGetApp()->m_pMainWnd;
    if (owner == this) owner = nullptr;
    return RunDialogModal(*this, m_templateId, owner);
}

void CDialog::EndDialog(int result) {
    if (m_host) m_host->End(result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return true;
}

int CDialog::MessageBox(const char* text, const char* caption, unsigned type) {
    if (m_host == nullptr) return 0;
    const GbkString captionText(caption ? caption : "");
    return m_host->ShowMessageBox(GbkString(text), caption ? &captionText : nullptr, type);
}

SystemMenu* CDialog::GetSystemMenu() {
    return m_host ? m_host->GetSystemMenu() : nullptr;
}

void CDialog::SetIcon(IconHandle icon, bool big) {
    if (m_host) m_host->SetIcon(icon, big);
}

bool CDialog::IsIconic() const {
    return m_host && m_host->IsIconic();
}

ClientRect CDialog::GetClientRect() const {
    return m_host ? m_host->GetClientRect() : ClientRect{};
}

std::intptr_t CDialog::SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    return m_host ? m_host->SendMessage(message, wParam, lParam) : 0;
}

void CDialog::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    if (m_host) m_host->PostMessage(message, wParam, lParam);
}

std::intptr_t CDialog::Default() {
    return m_host ? m_host->Default() : 0;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::AcceptsDroppedFiles() const {
    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        if (map.entries[i].message == WM_DROPFILES) return true;
    }
    return false;
}

bool CDialog::OnWndMsg(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result) {
    try {
        return Dispatch(message, wParam, lParam, result);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return true;
    }
}

void CDialog::ReportOutOfMemory() {
    MessageBox(kOutOfMemory, "");
}

bool CDialog::Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result) {
    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        const MessageMapEntry& entry = map.entries[i];
        if (!Matches(entry, message, wParam)) continue;
        if (const auto* command = std::get_if<CommandHandler>(&entry.handler)) {
            (this->**command)();
        } else if (const auto* sysCommand = std::get_if<SysCommandHandler>(&entry.handler)) {
            (this->**sysCommand)(static_cast<unsigned>(wParam), lParam);
        } else if (const auto* dragIcon = std::get_if<DragIconHandler>(&entry.handler)) {
            const IconHandle icon = (this->**dragIcon)();
            if (result) *result = reinterpret_cast<std::intptr_t>(icon);
        } else if (const auto* drop = std::get_if<DropFilesHandler>(&entry.handler)) {
            const auto* files = reinterpret_cast<const DroppedFiles*>(wParam);
            if (files != nullptr && !files->empty()) (this->**drop)(*files);
        }
        return true;
    }
    // The base dialog's own commands.
    if (message == WM_COMMAND && HighWord(wParam) == BN_CLICKED) {
        if (LowWord(wParam) == IDOK) return OnOK(), true;
        if (LowWord(wParam) == IDCANCEL) return OnCancel(), true;
    }
    return false;
}

}  // namespace tornix
