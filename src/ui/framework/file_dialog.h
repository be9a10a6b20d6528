// CFileDialog: the open and save choosers. DoModal returns IDOK when the user
// confirmed a file; GetPathName then gives its full path.
#pragma once

#include <filesystem>

#include "text/gbk_string.h"
#include "ui/framework/dialog_host.h"

namespace tornix {

class CDialog;

class CFileDialog {
public:
    // `filter` is "name|patterns|...||"; of `defaultExtension` only the first
    // three characters are used, for a name typed without an extension.
    CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName, unsigned flags,
                const char* filter, CDialog* parent);

    int DoModal();
    const std::filesystem::path& GetPathName() const { return m_path; }

private:
    FileChooserRequest m_request;
    CDialog* m_parent;
    std::filesystem::path m_path;
};

}  // namespace tornix
