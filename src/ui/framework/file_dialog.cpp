#include "ui/framework/file_dialog.h"

#include "ui/framework/dialog.h"

namespace tornix {

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName, unsigned flags,
                         const char* filter, CDialog* parent)
    : m_parent(parent) {
    m_request.save = !openFileDialog;
    m_request.defaultExtension = defaultExtension;
    m_request.initialName = fileName;
    m_request.flags = flags;
    m_request.filter = filter;
}

void CFileDialog::AddChoice(const char* label, std::vector<GbkString> items, int selected) {
    m_request.choice.label = label;
    m_request.choice.items = std::move(items);
    m_request.choice.selected = selected;
    m_choice = selected;
}

int CFileDialog::DoModal() {
    if (m_parent == nullptr || m_parent->Host() == nullptr) return IDCANCEL;
    auto chosen = m_parent->Host()->ShowFileChooser(m_request);
    if (!chosen) return IDCANCEL;
    m_path = std::move(chosen->path);
    m_choice = chosen->choice;
    return IDOK;
}

}  // namespace tornix
