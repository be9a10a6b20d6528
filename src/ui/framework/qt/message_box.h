// The program's message box, laid out as a Windows message box without an
// icon: modal, owned by a window, the given text as it is from the left
// margin, one button "确定" centred below it, and a blank title bar for an
// empty title. Ctrl+C copies the box as Windows does:
//
//   ---------------------------
//   <title>
//   ---------------------------
//   <text>
//   ---------------------------
//   确定
//   ---------------------------
//
// (the button's text followed by three spaces).
#pragma once

#include <QString>

class QWidget;

namespace tornix::qt {

// The objectName of the box, for finding it among the top-level widgets.
inline constexpr const char* kMessageBoxName = "tornixMessageBox";

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title);

}  // namespace tornix::qt
