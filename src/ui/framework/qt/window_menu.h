// The window's own menu. Qt cannot extend the window manager's window menu,
// so the window offers it as a context menu (right-click outside the edit
// boxes, or Alt+Space): minimize and close, then the items the dialog
// appended. Choosing an item sends WM_SYSCOMMAND with its id.
#pragma once

#include <QPoint>
#include <QString>
#include <vector>

#include "ui/framework/dialog_host.h"

class QMenu;
class QWidget;

namespace tornix::qt {

// Window commands of the menu.
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScRestore = 0xF120;

class WindowMenu : public SystemMenu {
public:
    struct Item {
        bool separator;
        unsigned id;
        QString text;
    };

    explicit WindowMenu(bool canMinimize) : m_canMinimize(canMinimize) {}

    void AppendSeparator() override;
    void AppendItem(unsigned id, const GbkString& text) override;

    // The whole menu: the window commands first, then the appended items.
    std::vector<Item> Items() const;

    // Shows the menu at `globalPos` and returns the chosen id, or 0.
    unsigned Choose(QWidget* window, const QPoint& globalPos) const;

private:
    bool m_canMinimize;
    std::vector<Item> m_appended;
};

}  // namespace tornix::qt
