// The window back end's free functions for Qt.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>

#include "res/dialog_templates.h"
#include "ui/framework/backend.h"
#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/dialog_window.h"
#include "ui/framework/qt/icon_images.h"

namespace tornix {

namespace {

constexpr int kIconSize = 32;

bool HaveGuiApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

int RunDialogModal(CDialog& dialog, unsigned templateId, CDialog* owner) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    if (dialogTemplate == nullptr || !HaveGuiApplication()) return -1;
    auto* ownerWindow = owner ? dynamic_cast<qt::DialogWindow*>(owner->Host()) : nullptr;
    qt::DialogWindow window(dialog, *dialogTemplate, ownerWindow);
    return window.Run();
}

IconHandle LoadIconResource(unsigned id) {
    if (id != IDI_MAIN || !HaveGuiApplication()) return nullptr;
    // Kept for the whole run: windows and labels refer to it by handle.
    static const QIcon* const icon = [] {
        auto* images = new QIcon;
        for (const qt::IconImage& image : qt::kIconImages) {
            QPixmap pixmap;
            pixmap.loadFromData(image.png, static_cast<uint>(image.size), "PNG");
            images->addPixmap(pixmap);
        }
        return images;
    }();
    return icon;
}

int GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? kIconSize : 0;
}

GbkString ApplicationName() {
    if (QCoreApplication::instance()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (!name.isEmpty()) return qt::FromQString(name);
    }
    return GbkString("tornix");
}

}  // namespace tornix
