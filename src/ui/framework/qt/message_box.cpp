#include "ui/framework/qt/message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace tornix::qt {

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title) {
    QMessageBox box(owner);
    box.setObjectName(QString::fromLatin1(kMessageBoxName));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(title);
    if (owner) box.setFont(owner->font());
    QPushButton* ok = box.addButton(QString::fromUtf8("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

}  // namespace tornix::qt
