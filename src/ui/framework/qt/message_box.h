// The program's message box: modal, owned by a window, no icon, one button
// "确定", the given text as it is.
#pragma once

#include <QString>

class QWidget;

namespace tornix::qt {

// The objectName of the box, for finding it among the top-level widgets.
inline constexpr const char* kMessageBoxName = "tornixMessageBox";

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title);

}  // namespace tornix::qt
