#include "ui/framework/qt/window_menu.h"

#include <QAction>
#include <QMenu>

#include "ui/framework/qt/box_text.h"

namespace tornix::qt {

void WindowMenu::AppendSeparator() {
    m_appended.push_back({true, 0, QString()});
}

void WindowMenu::AppendItem(unsigned id, const GbkString& text) {
    m_appended.push_back({false, id, ToQString(text.view())});
}

std::vector<WindowMenu::Item> WindowMenu::Items() const {
    std::vector<Item> items;
    // The names the window menu gives these commands on a Chinese desktop.
    if (m_canMinimize) items.push_back({false, kScMinimize, QString::fromUtf8("最小化(&N)")});
    items.push_back({false, kScClose, QString::fromUtf8("关闭(&C)\tAlt+F4")});
    items.insert(items.end(), m_appended.begin(), m_appended.end());
    return items;
}

unsigned WindowMenu::Choose(QWidget* window, const QPoint& globalPos) const {
    QMenu menu(window);
    menu.setObjectName(QStringLiteral("tornixWindowMenu"));
    for (const Item& item : Items()) {
        if (item.separator) {
            menu.addSeparator();
        } else {
            menu.addAction(item.text)->setData(item.id);
        }
    }
    const QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toUInt() : 0;
}

}  // namespace tornix::qt
