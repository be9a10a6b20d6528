// The open and save choosers: Qt's own file dialog (the same on every
// desktop), driven by a FileChooserRequest.
#pragma once

#include <filesystem>
#include <optional>

#include "ui/framework/dialog_host.h"

class QFileDialog;
class QWidget;

namespace tornix::qt {

// Sets up `chooser` for `request`: the filter entries with the first one
// selected and matched without regard to case, the extension for a name
// typed without one, and the overwrite question when the flags ask for it.
void ConfigureFileChooser(QFileDialog& chooser, const FileChooserRequest& request);

// Shows the chooser modally over `owner`; the chosen full path, or nothing
// when the user cancels.
std::optional<std::filesystem::path> RunFileChooser(QWidget* owner, const FileChooserRequest& request);

}  // namespace tornix::qt
