#include "ui/framework/qt/message_box.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/framework/qt/dialog_units.h"
#include "ui/framework/qt/window_title.h"

namespace tornix::qt {

namespace {

// Margins, the gap between text and button, and the button, in dialog units
// of the box's font (as the dialog templates are).
constexpr int kMarginX = 8;
constexpr int kMarginTop = 9;
constexpr int kMarginBottom = 7;
constexpr int kTextToButton = 10;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

// What Ctrl+C puts on the clipboard, as Windows words it.
QString MessageBoxCopyText(const QString& title, const QString& text, const QStringList& buttons) {
    const QString rule = QStringLiteral("---------------------------\n");
    QString copy = rule + title + QLatin1Char('\n') + rule + text + QLatin1Char('\n') + rule;
    for (const QString& button : buttons) copy += button + QStringLiteral("   ");
    return copy + QLatin1Char('\n') + rule;
}

class MessageBox : public QMessageBox {
public:
    MessageBox(QWidget* owner, const QString& text, const QString& title);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LayOut();
};

MessageBox::MessageBox(QWidget* owner, const QString& text, const QString& title) : QMessageBox(owner) {
    setObjectName(QString::fromLatin1(kMessageBoxName));
    // A title bar with the close box only, as a Windows message box has.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setIcon(QMessageBox::NoIcon);
    setTextFormat(Qt::PlainText);
    setText(text);
    setWindowTitle(title);
    if (owner) setFont(owner->font());
    QPushButton* ok = addButton(QString::fromUtf8("确定"), QMessageBox::AcceptRole);
    setDefaultButton(ok);
    setEscapeButton(ok);
    LayOut();
}

// Qt's own layout keeps a place for the icon and puts the buttons at the
// right; this one has the text at the margin and the button centred.
void MessageBox::LayOut() {
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("qt_msgbox_buttonbox"));
    if (label == nullptr || buttons == nullptr) return;
    const BaseUnits units = DialogBaseUnits(font());
    const QSize margin = MapDialogSize(kMarginX, kMarginTop, units);
    delete layout();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin.width(), margin.height(), margin.width(),
                               MapDialogSize(0, kMarginBottom, units).height());
    column->setSpacing(MapDialogSize(0, kTextToButton, units).height());
    column->addWidget(label);
    column->addWidget(buttons, 0, Qt::AlignHCenter);
    buttons->setCenterButtons(true);
    for (QAbstractButton* button : buttons->buttons()) {
        button->setFixedSize(MapDialogSize(kButtonWidth, kButtonHeight, units));
    }
}

void MessageBox::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);
    KeepEmptyTitleBlank(*this);  // the platform window exists now and is not yet mapped
}

void MessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QStringList names;
        for (QAbstractButton* button : buttons()) names << button->text();
        QGuiApplication::clipboard()->setText(MessageBoxCopyText(windowTitle(), text(), names));
        return;
    }
    QMessageBox::keyPressEvent(event);
}

// A change of style resets the buttons' place to the style's.
void MessageBox::changeEvent(QEvent* event) {
    QMessageBox::changeEvent(event);
    if (event->type() != QEvent::StyleChange) return;
    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("qt_msgbox_buttonbox"))) {
        buttons->setCenterButtons(true);
    }
}

}  // namespace

void ShowMessageBox(QWidget* owner, const QString& text, const QString& title) {
    MessageBox box(owner, text, title);
    box.exec();
}

}  // namespace tornix::qt
