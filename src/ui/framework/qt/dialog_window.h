// One open dialog window in Qt: the widgets of its template, laid out in
// dialog units of its font, and the DialogHost its CDialog talks to. The
// window routes what the user does to the dialog's message map as the
// Windows dialog manager would: buttons as WM_COMMAND BN_CLICKED, Esc as
// IDCANCEL, F1 as the Help command, the close box and Alt+F4 as the close
// command of WM_SYSCOMMAND, and the window menu's items as WM_SYSCOMMAND.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "res/dialog_templates.h"
#include "ui/framework/dialog.h"
#include "ui/framework/dialog_host.h"
#include "ui/framework/qt/dialog_units.h"
#include "ui/framework/qt/window_menu.h"

class QDropEvent;
class QEventLoop;
class QPainter;
class QPushButton;

namespace tornix::qt {

class DialogWindow : public QWidget, public DialogHost {
public:
    // An owned window is modal to the whole program and opens centred over
    // its owner; one without an owner opens centred on the screen.
    DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, DialogWindow* owner);
    ~DialogWindow() override;

    // Initialises the dialog, shows the window and runs it until it ends;
    // returns the ending code.
    int Run();

    // The control with this id, or null.
    QWidget* Control(int id) const;
    BaseUnits Units() const { return m_units; }
    void ShowWindowMenu(const QPoint& globalPos);

    // DialogHost
    GbkString GetItemText(unsigned id) const override;
    void SetItemText(unsigned id, const GbkString& text) override;
    int ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) override;
    std::optional<FileChooserAnswer> ShowFileChooser(const FileChooserRequest& request) override;
    void End(int result) override;
    SystemMenu* GetSystemMenu() override;
    void SetIcon(IconHandle icon, bool big) override;
    bool IsIconic() const override;
    ClientRect GetClientRect() const override;
    std::unique_ptr<PaintContext> BeginPaint() override;
    std::intptr_t SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    void PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Default() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Message {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };

    void BuildControls();
    void FocusFirstTabStop();
    void Centre();
    void PressEnter();
    bool HandleWindowKey(const QKeyEvent& event);
    void HandleDrag(QDropEvent* event);
    QPushButton* DefaultButton() const;
    std::intptr_t Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t Command(unsigned id);
    std::intptr_t DefaultProcessing(const Message& message);

    CDialog& m_dialog;
    const DialogTemplate& m_template;
    DialogWindow* m_owner;
    BaseUnits m_units;
    std::vector<std::pair<int, QWidget*>> m_controls;  // in template order
    WindowMenu m_menu;
    std::vector<Message> m_messages;  // being dispatched, innermost last
    QPainter* m_painter = nullptr;    // during a paint event
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    int m_result = IDCANCEL;
};

}  // namespace tornix::qt
