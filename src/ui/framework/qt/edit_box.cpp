#include "ui/framework/qt/edit_box.h"

#include <QEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "ui/framework/qt/box_text.h"

namespace tornix::qt {

namespace {

// Bytes inserted at once: the first piece fills the visible box many times
// over; each later piece takes a few tens of milliseconds.
constexpr std::size_t kFirstPiece = std::size_t{64} << 10;
constexpr std::size_t kLaterPiece = std::size_t{256} << 10;

}  // namespace

EditBox::EditBox(const ControlTemplate& control, QWidget* parent)
    : QPlainTextEdit(parent), m_bytes(""), m_fillTimer(new QTimer(this)) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setVerticalScrollBarPolicy((control.style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy((control.style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    if (control.style & ES_READONLY) {
        setReadOnly(true);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        ShowAsReadOnly();
    }
    if (control.exStyle & WS_EX_STATICEDGE) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setLineWidth(1);
    }
    document()->setDocumentMargin(2);

    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_filling) m_edited = true;
    });
    m_fillTimer->setInterval(0);
    connect(m_fillTimer, &QTimer::timeout, this, &EditBox::FillStep);
    viewport()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
}

// A read-only box is drawn on the background that the style gives a disabled
// box, as Windows draws a read-only edit box, with the text and the selection
// of an enabled one.
void EditBox::ShowAsReadOnly() {
    QPalette colours = palette();
    const QBrush background = colours.brush(QPalette::Disabled, QPalette::Base);
    colours.setBrush(QPalette::Active, QPalette::Base, background);
    colours.setBrush(QPalette::Inactive, QPalette::Base, background);
    setPalette(colours);
}

void EditBox::SetBytes(const GbkString& text) {
    if (!m_edited && text == m_bytes) return;  // already shown, or being filled in
    m_fillTimer->stop();
    m_bytes = text;
    m_fillFrom = 0;
    m_filling = true;
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);  // also forgets the previous text's history
    clear();
    Append(kFirstPiece);
    document()->setUndoRedoEnabled(undo);
    m_filling = false;
    m_edited = false;
    if (IsFilling()) m_fillTimer->start();
}

GbkString EditBox::Bytes() const {
    return m_edited ? FromBoxText(document()->toRawText()) : m_bytes;
}

void EditBox::FinishFilling() {
    while (IsFilling()) FillStep();
}

void EditBox::FillStep() {
    m_filling = true;
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    Append(kLaterPiece);
    document()->setUndoRedoEnabled(undo);
    m_filling = false;
    if (!IsFilling()) m_fillTimer->stop();
}

// Appends at least `length` more bytes of the text, up to the end of a line
// (CR LF), so that no line is split between two pieces.
void EditBox::Append(std::size_t length) {
    const std::string_view bytes = m_bytes.view();
    std::size_t end = bytes.size();
    if (m_fillFrom + length < bytes.size()) {
        const std::size_t lineEnd = bytes.find("\r\n", m_fillFrom + length);
        if (lineEnd != std::string_view::npos) end = lineEnd + 2;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToBoxText(bytes.substr(m_fillFrom, end - m_fillFrom)));
    m_fillFrom = end;
}

bool EditBox::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::DragEnter:
        case QEvent::Drop:
        case QEvent::ContextMenu:
            FinishFilling();
            break;
        default:
            break;
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void EditBox::keyPressEvent(QKeyEvent* event) {
    FinishFilling();
    QPlainTextEdit::keyPressEvent(event);
}

void EditBox::inputMethodEvent(QInputMethodEvent* event) {
    FinishFilling();
    QPlainTextEdit::inputMethodEvent(event);
}

}  // namespace tornix::qt
