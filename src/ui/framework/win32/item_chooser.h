// The system's save chooser as Windows Vista and later draw it (the common
// item dialog, IFileSaveDialog), with a request's choice in it: a labelled
// drop-down list below the file types (IFileDialogCustomize), as Notepad
// offers its encodings. GetSaveFileNameW can add controls only through a hook,
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

// Shows the save chooser for `request` owned by `owner`; on kChosen, `answer`
// holds the file's full path and the item left chosen in the list.
ItemChooserResult ChooseSaveFile(HWND owner, const FileChooserRequest& request, FileChooserAnswer& answer);

}  // namespace tornix::win32
