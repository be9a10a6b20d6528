// The system's open and save choosers: with a request's choice the ones of
// item_chooser.h, else (and where those cannot be made) GetOpenFileNameW and
// GetSaveFileNameW.
#pragma once

#include "ui/framework/win32/win32_api.h"

#include <filesystem>
#include <optional>
#include <string>

#include "ui/framework/dialog_host.h"

namespace tornix::win32 {

// The chooser's filter: "name|patterns|...||" with each | turned into a NUL,
// ending in two NULs.
std::wstring ChooserFilter(const GbkString& filter);

// The default extension: the first three characters of the request's text.
std::wstring ChooserDefaultExtension(const GbkString& defaultExtension);

// Shows the chooser owned by `owner`; the chosen full path, or nothing when
// the user cancels.
std::optional<FileChooserAnswer> ChooseFile(HWND owner, const FileChooserRequest& request);

}  // namespace tornix::win32
