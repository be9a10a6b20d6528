// The system's open and save choosers as Windows Vista and later draw them
// (the common item dialog, IFileOpenDialog and IFileSaveDialog), with a
// request's choice in them: a labelled drop-down list beside the Open or Save
// button (IFileDialogCustomize), as Notepad offers its encodings.
// GetOpenFileNameW and GetSaveFileNameW can add controls only through a hook,
// which turns the chooser back into the old Windows XP one.
#pragma once

#include "ui/framework/win32/win32_api.h"

#include "ui/framework/dialog_host.h"

namespace tornix::win32 {

enum class ItemChooserResult {
    kChosen,
    kCancelled,
    kUnavailable,  // the chooser could not be made here: nothing was shown
};

// Shows the open or save chooser for `request` owned by `owner`; on kChosen,
// `answer` holds the file's full path and the item left chosen in the list.
ItemChooserResult ChooseFileWithChoice(HWND owner, const FileChooserRequest& request, FileChooserAnswer& answer);

}  // namespace tornix::win32
