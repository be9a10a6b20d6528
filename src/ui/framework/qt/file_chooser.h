// The open and save choosers: Qt's own file dialog (the same on every
// desktop), driven by a FileChooserRequest.
#pragma once

#include <filesystem>
#include <optional>

#include "ui/framework/dialog_host.h"

class QFileDialog;
class QWidget;

namespace tornix::qt {

// The object names of a request's choice: its label and its drop-down list.
inline constexpr const char* kChoiceLabelName = "tornixChoiceLabel";
inline constexpr const char* kChoiceListName = "tornixChoiceList";

// Sets up `chooser` for `request`: the filter entries with the first one
// selected and matched without regard to case, the extension for a name
// typed without one, the overwrite question when the flags ask for it, and
// the request's choice as a labelled drop-down list below the file types.
void ConfigureFileChooser(QFileDialog& chooser, const FileChooserRequest& request);

// Shows the chooser modally over `owner`; the chosen full path and item of
// the choice, or nothing when the user cancels.
std::optional<FileChooserAnswer> RunFileChooser(QWidget* owner, const FileChooserRequest& request);

}  // namespace tornix::qt
