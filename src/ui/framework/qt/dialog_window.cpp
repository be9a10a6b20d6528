#include "ui/framework/qt/dialog_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "ui/framework/backend.h"
#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/controls.h"
#include "ui/framework/qt/edit_box.h"
#include "ui/framework/qt/file_chooser.h"
#include "ui/framework/qt/message_box.h"
#include "ui/framework/qt/window_title.h"

namespace tornix::qt {

namespace {

std::uintptr_t CommandParam(unsigned id, unsigned code) {
    return (static_cast<std::uintptr_t>(code) << 16) | id;
}

// The local files among dragged data, as the file system names them.
DroppedFiles LocalFiles(const QMimeData& data) {
    DroppedFiles files;
    if (!data.hasUrls()) return files;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const QByteArray name = QFile::encodeName(url.toLocalFile());
        files.emplace_back(std::string(name.constData(), static_cast<std::size_t>(name.size())));
    }
    return files;
}

class WindowPaint : public PaintContext {
public:
    explicit WindowPaint(QPainter& painter) : m_painter(painter) {}
    std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(&m_painter); }
    void DrawIcon(int x, int y, IconHandle icon) override {
        const int size = GetSystemMetrics(SM_CXICON);
        if (icon) m_painter.drawPixmap(x, y, static_cast<const QIcon*>(icon)->pixmap(size, size));
    }

private:
    QPainter& m_painter;
};

}  // namespace

DialogWindow::DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, DialogWindow* owner)
    : QWidget(owner, WindowFlagsFor(dialogTemplate, owner != nullptr)),
      m_dialog(dialog),
      m_template(dialogTemplate),
      m_owner(owner),
      m_units{},
      m_menu((dialogTemplate.style & WS_MINIMIZEBOX) != 0) {
    setObjectName(QStringLiteral("tornixDialog%1").arg(dialogTemplate.id));
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (owner) setWindowModality(Qt::ApplicationModal);
    setWindowTitle(ToQString(dialogTemplate.caption));
    setFont(DialogFont(dialogTemplate));
    // Qt's own windows (the choosers, their questions, the menus) take the
    // program's main window's font.
    if (owner == nullptr) QApplication::setFont(font());
    m_units = DialogBaseUnits(font());
    setFixedSize(MapDialogSize(dialogTemplate.cx, dialogTemplate.cy, m_units));
    BuildControls();
    setAcceptDrops(m_dialog.AcceptsDroppedFiles());
}

DialogWindow::~DialogWindow() {
    if (m_dialog.Host() == this) m_dialog.AttachHost(nullptr);
}

void DialogWindow::BuildControls() {
    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < m_template.controlCount; ++i) {
        const ControlTemplate& control = m_template.controls[i];
        QWidget* widget = CreateControl(control, this);
        const QRect place = MapDialogRect(control.x, control.y, control.cx, control.cy, m_units);
        if (control.kind == ControlKind::kIcon) {
            widget->move(place.topLeft());
        } else {
            widget->setGeometry(place);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const unsigned id = static_cast<unsigned>(control.id);
            connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
        }
        widget->installEventFilter(this);
        // A box takes drags in its viewport; files dropped there go to the window.
        if (auto* edit = dynamic_cast<EditBox*>(widget)) edit->viewport()->installEventFilter(this);
        if (IsTabStop(control)) {
            if (previousTabStop) QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        m_controls.emplace_back(control.id, widget);
    }
}

int DialogWindow::Run() {
    m_dialog.AttachHost(this);
    if (m_dialog.OnInitDialog()) FocusFirstTabStop();
    if (!m_ended) {
        // The platform window, so that the frame is known where it can be. Not
        // winId(): that would make every control a native window of its own.
        create();
        KeepEmptyTitleBlank(*this);
        Centre();
        show();
        raise();
        activateWindow();
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    hide();
    m_dialog.AttachHost(nullptr);
    return m_result;
}

QWidget* DialogWindow::Control(int id) const {
    for (const auto& [controlId, widget] : m_controls) {
        if (controlId == id && id != kNoControlId) return widget;
    }
    return nullptr;
}

void DialogWindow::FocusFirstTabStop() {
    for (const auto& [id, widget] : m_controls) {
        if (widget->focusPolicy() & Qt::TabFocus) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

// Centred over the owner, or on the screen, and kept inside the screen's
// work area.
void DialogWindow::Centre() {
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    QRect placed(QPoint(0, 0), frameGeometry().size());
    placed.moveCenter(m_owner ? m_owner->frameGeometry().center() : area.center());
    if (area.isValid()) {
        placed.moveRight(std::min(placed.right(), area.right()));
        placed.moveBottom(std::min(placed.bottom(), area.bottom()));
        placed.moveLeft(std::max(placed.left(), area.left()));
        placed.moveTop(std::max(placed.top(), area.top()));
    }
    move(placed.topLeft());
}

GbkString DialogWindow::GetItemText(unsigned id) const {
    QWidget* widget = Control(static_cast<int>(id));
    if (auto* edit = dynamic_cast<EditBox*>(widget)) return edit->Bytes();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return FromQString(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
    return GbkString("");
}

void DialogWindow::SetItemText(unsigned id, const GbkString& text) {
    QWidget* widget = Control(static_cast<int>(id));
    if (auto* edit = dynamic_cast<EditBox*>(widget)) {
        edit->SetBytes(text);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(ToQString(text.view()));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQString(text.view()));
    }
}

int DialogWindow::ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned) {
    const QString title = ToQString(caption ? caption->view() : ApplicationName().view());
    qt::ShowMessageBox(this, ToBoxText(text.view()), title);
    return IDOK;
}

std::optional<FileChooserAnswer> DialogWindow::ShowFileChooser(const FileChooserRequest& request) {
    return RunFileChooser(this, request);
}

void DialogWindow::End(int result) {
    m_result = result;
    m_ended = true;
    hide();
    if (m_loop) m_loop->exit();
}

SystemMenu* DialogWindow::GetSystemMenu() {
    return (m_template.style & WS_SYSMENU) ? &m_menu : nullptr;
}

// One icon serves both sizes; the window layer picks the image it needs.
void DialogWindow::SetIcon(IconHandle icon, bool big) {
    if (icon && (big || windowIcon().isNull())) setWindowIcon(*static_cast<const QIcon*>(icon));
}

bool DialogWindow::IsIconic() const {
    return isMinimized();
}

ClientRect DialogWindow::GetClientRect() const {
    return {0, 0, width(), height()};
}

std::unique_ptr<PaintContext> DialogWindow::BeginPaint() {
    if (m_painter == nullptr) return nullptr;
    return std::make_unique<WindowPaint>(*m_painter);
}

std::intptr_t DialogWindow::SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    if (message == WM_ICONERASEBKGND && wParam != 0) {
        reinterpret_cast<QPainter*>(wParam)->fillRect(rect(), palette().window());
        return 1;
    }
    return Dispatch(message, static_cast<std::uintptr_t>(wParam), lParam);
}

void DialogWindow::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    QMetaObject::invokeMethod(
        this,
        [this, message, wParam, lParam] {
            if (m_loop != nullptr) Dispatch(message, static_cast<std::uintptr_t>(wParam), lParam);
        },
        Qt::QueuedConnection);
}

std::intptr_t DialogWindow::Default() {
    return m_messages.empty() ? 0 : DefaultProcessing(m_messages.back());
}

std::intptr_t DialogWindow::Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    m_messages.push_back({message, wParam, lParam});
    std::intptr_t result = 0;
    if (!m_dialog.OnWndMsg(message, wParam, lParam, &result)) result = DefaultProcessing(m_messages.back());
    m_messages.pop_back();
    return result;
}

std::intptr_t DialogWindow::Command(unsigned id) {
    return Dispatch(WM_COMMAND, CommandParam(id, BN_CLICKED), 0);
}

// What the platform does with a message that the dialog leaves to it.
std::intptr_t DialogWindow::DefaultProcessing(const Message& message) {
    if (message.message != WM_SYSCOMMAND) return 0;
    switch (message.wParam & 0xFFF0) {
        case kScClose:
            return Command(IDCANCEL);
        case kScMinimize:
            showMinimized();
            return 0;
        case kScRestore:
            showNormal();
            return 0;
        default:
            return 0;
    }
}

QPushButton* DialogWindow::DefaultButton() const {
    for (const auto& [id, widget] : m_controls) {
        auto* button = qobject_cast<QPushButton*>(widget);
        if (button && button->isDefault() && button->isEnabled() && button->isVisible()) return button;
    }
    return nullptr;
}

// Enter clicks the focused button, else the default button if there is one.
// The boxes never get here: the input box takes Enter as a line break, the
// read-only output box ignores it and there is no default button.
void DialogWindow::PressEnter() {
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        focused->click();
    } else if (QPushButton* button = DefaultButton()) {
        button->click();
    }
}

// The keys that act on the window whatever control has the focus: Esc, F1,
// Alt+F4 and Alt+Space (the window menu). True when the key was one of them.
bool DialogWindow::HandleWindowKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (modifiers == Qt::NoModifier && key == Qt::Key_Escape) {
        Command(IDCANCEL);
    } else if (modifiers == Qt::NoModifier && key == Qt::Key_F1) {
        Dispatch(WM_COMMAND, CommandParam(ID_HELP, 0), 0);
    } else if (modifiers == Qt::AltModifier && key == Qt::Key_F4) {
        Dispatch(WM_SYSCOMMAND, kScClose, 0);
    } else if (modifiers == Qt::AltModifier && key == Qt::Key_Space && GetSystemMenu()) {
        ShowWindowMenu(mapToGlobal(QPoint(0, 0)));
    } else {
        return false;
    }
    return true;
}

// Window keys reach the window before the control with the focus sees them;
// files dragged over a box are the window's, other drags the box's.
bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (HandleWindowKey(*static_cast<QKeyEvent*>(event))) return true;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (acceptDrops() && !LocalFiles(*static_cast<QDropEvent*>(event)->mimeData()).empty()) {
                HandleDrag(static_cast<QDropEvent*>(event));
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void DialogWindow::dragEnterEvent(QDragEnterEvent* event) {
    HandleDrag(event);
}

void DialogWindow::dragMoveEvent(QDragMoveEvent* event) {
    HandleDrag(event);
}

void DialogWindow::dropEvent(QDropEvent* event) {
    HandleDrag(event);
}

// Files are taken as a copy (the file manager keeps them); a drop sends
// them to the dialog as WM_DROPFILES once the drag has ended.
void DialogWindow::HandleDrag(QDropEvent* event) {
    DroppedFiles files = LocalFiles(*event->mimeData());
    if (files.empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (event->type() != QEvent::Drop) return;
    QTimer::singleShot(0, this, [this, files = std::move(files)] {
        if (!m_ended) Dispatch(WM_DROPFILES, reinterpret_cast<std::uintptr_t>(&files), 0);
    });
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (HandleWindowKey(*event)) return;
    if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        PressEnter();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The close box; also a window manager's Alt+F4.
void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!m_ended) Dispatch(WM_SYSCOMMAND, kScClose, 0);
}

// A window that waits for a modal window of its own passes activation on to
// it, as an owner window does on Windows; the platform may hand activation
// back to the owner when a menu closes.
void DialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == this || !modal->isVisible()) return;
    QTimer::singleShot(0, modal, [modal = QPointer<QWidget>(modal)] {
        if (modal && modal->isVisible()) modal->activateWindow();
    });
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (GetSystemMenu()) ShowWindowMenu(event->globalPos());
}

void DialogWindow::ShowWindowMenu(const QPoint& globalPos) {
    if (const unsigned id = m_menu.Choose(this, globalPos)) Dispatch(WM_SYSCOMMAND, id, 0);
}

void DialogWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_painter = &painter;
    Dispatch(WM_PAINT, 0, 0);
    m_painter = nullptr;
}

}  // namespace tornix::qt
