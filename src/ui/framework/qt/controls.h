// Widgets and window flags from a dialog template.
#pragma once

#include <QWidget>

#include "res/dialog_templates.h"

namespace tornix::qt {

// The widget for one control, unplaced: an EditBox, a QPushButton or a
// QLabel (text or icon). Its focus policy follows WS_TABSTOP.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);

// Whether Tab stops at the control.
bool IsTabStop(const ControlTemplate& control);

// The window flags for a dialog's style bits: title bar, window menu and
// close box, a minimize box only with WS_MINIMIZEBOX, never a maximize box
// without WS_MAXIMIZEBOX. An owned window is a dialog of its owner; one
// without an owner is a main window with its own task-bar entry.
Qt::WindowFlags WindowFlagsFor(const DialogTemplate& dialog, bool owned);

}  // namespace tornix::qt
