#include "ui/framework/qt/controls.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "ui/framework/afx.h"
#include "ui/framework/backend.h"
#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/edit_box.h"

namespace tornix::qt {

namespace {

QWidget* CreateButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(ToQString(control.text), parent);
    button->setAutoDefault(false);
    button->setDefault((control.style & BS_DEFPUSHBUTTON) != 0);
    return button;
}

QWidget* CreateLabel(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(ToQString(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// An icon control takes the size of the system's icon, whatever the
// template's size says.
QWidget* CreateIcon(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    const int size = GetSystemMetrics(SM_CXICON);
    if (const auto* icon = static_cast<const QIcon*>(LoadIconResource(control.iconId))) {
        label->setPixmap(icon->pixmap(size, size));
    }
    label->setFixedSize(size, size);
    return label;
}

}  // namespace

bool IsTabStop(const ControlTemplate& control) {
    return (control.style & WS_TABSTOP) != 0;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::kEdit:
            widget = new EditBox(control, parent);
            break;
        case ControlKind::kPushButton:
            widget = CreateButton(control, parent);
            break;
        case ControlKind::kLabel:
            widget = CreateLabel(control, parent);
            break;
        case ControlKind::kIcon:
            widget = CreateIcon(control, parent);
            break;
    }
    const bool takesFocus = control.kind == ControlKind::kEdit || control.kind == ControlKind::kPushButton;
    widget->setFocusPolicy(!takesFocus ? Qt::NoFocus : IsTabStop(control) ? Qt::StrongFocus : Qt::ClickFocus);
    widget->setVisible((control.style & WS_VISIBLE) != 0);
    return widget;
}

Qt::WindowFlags WindowFlagsFor(const DialogTemplate& dialog, bool owned) {
    Qt::WindowFlags flags = (owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint;
    if ((dialog.style & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
    if (dialog.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (dialog.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

}  // namespace tornix::qt
