// The edit box of a dialog template: a plain-text box that never wraps, with
// a vertical scroll bar only, read-only when the template says so.
//
// It keeps the bytes it was last given, so that reading it back before the
// user has changed anything costs nothing and returns exactly those bytes.
// A long text is shown at once from its beginning and filled in piece by
// piece (whole lines, decoded as they go in) from the event loop; the first
// thing the user does inside the box (a key, a click, a drop) completes the
// fill before it takes effect.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <cstddef>

#include "res/dialog_templates.h"
#include "text/gbk_string.h"

class QTimer;

namespace tornix::qt {

class EditBox : public QPlainTextEdit {
public:
    EditBox(const ControlTemplate& control, QWidget* parent);

    void SetBytes(const GbkString& text);
    GbkString Bytes() const;

    // Whether part of the last text is still to be filled in.
    bool IsFilling() const { return m_fillFrom < m_bytes.GetLength(); }
    void FinishFilling();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void ShowAsReadOnly();
    void Append(std::size_t length);
    void FillStep();

    GbkString m_bytes;           // what the box shows, while m_edited is false
    bool m_edited = false;       // the user has changed the text since SetBytes
    bool m_filling = false;      // our own insertions are running
    std::size_t m_fillFrom = 0;  // the bytes before it are in the box
    QTimer* m_fillTimer;
};

}  // namespace tornix::qt
