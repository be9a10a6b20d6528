// CFileDialog: the open and save choosers. DoModal returns IDOK when the user
// confirmed a file; GetPathName then gives its full path, and
// GetSelectedChoice the item left chosen in a drop-down list that AddChoice
// put in the chooser (a save chooser's encoding).
#pragma once

#include <filesystem>
#include <vector>

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

    // A drop-down list below the file types: `label` (with & before its
    // access key) and `items`, the one at `selected` chosen at first.
    void AddChoice(const char* label, std::vector<GbkString> items, int selected);

    int DoModal();
    const std::filesystem::path& GetPathName() const { return m_path; }
    // The item chosen when the user confirmed; before that, the first chosen.
    int GetSelectedChoice() const { return m_choice; }

private:
    FileChooserRequest m_request;
    CDialog* m_parent;
    std::filesystem::path m_path;
    int m_choice = 0;
};

}  // namespace tornix
