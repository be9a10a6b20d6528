#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "text/display_codec.h"
#include "ui/framework/win_app.h"

namespace tornix::testing {

namespace {

constexpr int kPatienceMs = 10000;  // a hang guard, not a speed limit
constexpr int kPollMs = 5;

QWidget* NewModal(QWidget* before, const char* className) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && className && !modal->inherits(className)) return nullptr;
    return modal && modal != before && modal->isVisible() ? modal : nullptr;
}

QWidget* NewPopup(QWidget* before, const char*) {
    QWidget* popup = QApplication::activePopupWidget();
    return popup && popup != before && popup->isVisible() ? popup : nullptr;
}

bool WithWindow(QWidget* (*find)(QWidget*, const char*), QWidget* before, const char* className, bool awaitAfterAction,
                const std::function<void()>& action, const std::function<void(QWidget*)>& inspect);

void Dismiss(QWidget* widget) {
    if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        dialog->reject();
    } else {
        widget->close();
    }
}

}  // namespace

int RunDialog(CDialog& dialog, const std::function<void(qt::DialogWindow&)>& body) {
    if (AfxGetApp()) AfxGetApp()->m_pMainWnd = &dialog;
    QTimer::singleShot(0, [&dialog, &body] {
        auto* window = dynamic_cast<qt::DialogWindow*>(dialog.Host());
        if (window == nullptr) return;
        WaitFor([window] { return window->isVisible() && window->isActiveWindow(); });
        body(*window);
        if (dialog.Host() == window) dialog.EndDialog(IDCANCEL);
    });
    const int result = dialog.DoModal();
    if (AfxGetApp()) AfxGetApp()->m_pMainWnd = nullptr;
    return result;
}

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kPatienceMs) {
        QApplication::processEvents(QEventLoop::AllEvents, kPollMs);
    }
    return done();
}

bool WithModal(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect,
               const char* className) {
    return WithWindow(NewModal, QApplication::activeModalWidget(), className, false, action, inspect);
}

bool WithPopup(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect) {
    // A menu may also open without a loop of its own (QMenu::popup).
    return WithWindow(NewPopup, QApplication::activePopupWidget(), nullptr, true, action, inspect);
}

namespace {

bool WithWindow(QWidget* (*find)(QWidget*, const char*), QWidget* before, const char* className, bool awaitAfterAction,
                const std::function<void()>& action, const std::function<void(QWidget*)>& inspect) {
    bool opened = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* widget = find(before, className);
        if (widget == nullptr) {
            if (clock.elapsed() > kPatienceMs) poll.stop();
            return;
        }
        poll.stop();
        opened = true;
        QPointer<QWidget> guard(widget);
        inspect(widget);
        if (guard && guard->isVisible()) Dismiss(guard);
    });
    poll.start();
    action();
    if (awaitAfterAction) WaitFor([&] { return opened || !poll.isActive(); });
    poll.stop();
    return opened;
}

}  // namespace

MessageBoxSeen ExpectMessageBox(const std::function<void()>& action, bool* opened) {
    MessageBoxSeen seen;
    const bool any = WithModal(
        action,
        [&seen](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr) return;
            seen.title = box->windowTitle();
            seen.text = box->text();
            for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
            seen.hasIcon = box->icon() != QMessageBox::NoIcon || !box->iconPixmap().isNull();
            seen.owner = box->parentWidget();
            seen.size = box->size();
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                const QRect text = label->contentsRect();
                const QSize extent = label->fontMetrics().size(0, label->text());
                seen.textPlace = QRect(label->mapTo(box, text.topLeft()), extent);
            }
            QAbstractButton* button = box->buttons().value(0);
            seen.buttonPlace = QRect(button->mapTo(box, QPoint(0, 0)), button->size());
            seen.flags = box->windowFlags();
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(button, Qt::Key_C, Qt::ControlModifier);
            seen.copied = QGuiApplication::clipboard()->text();
            button->click();
        },
        "QMessageBox");
    if (opened) *opened = any;
    return seen;
}

std::string Gbk(const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    return EncodeFromDisplay(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace tornix::testing
