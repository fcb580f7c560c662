#pragma once

#include "toolkit/key_equivalent.h"

#include <QMenu>

#include <array>
#include <memory>
#include <vector>

class QAction;

// The desktop's application menu items (Quit -1, Preferences -2, About -3) of a menu bar. Linux
// desktops have no application menu, so they go where Linux programs keep them:
// - Quit last in the first menu, after a separator, with Control+Q unless its text names
//   another key; Preferences just above it.
// - About last in the last menu, after a separator; when the bar has one menu only, all three
//   share one block at its end (About, Preferences, Quit).
// A chosen item queues EVENT_MENU with its number and the window number stored on it (the menu
// bar's window when the item was made). The items move to their places whenever a menu is
// added; items added to a menu later go above them. An item made again replaces the old one.
class ApplicationMenuItems {
public:
    ApplicationMenuItems();
    ~ApplicationMenuItems();
    ApplicationMenuItems(const ApplicationMenuItems&) = delete;
    ApplicationMenuItems& operator=(const ApplicationMenuItems&) = delete;

    // item is MENU_ITEM_QUIT, MENU_ITEM_PREFERENCES or MENU_ITEM_ABOUT.
    void setItem(int item, const MenuItemText& text, int window);

    // Puts the items and their separators at their places among the bar's menus.
    void place(const std::vector<std::unique_ptr<QMenu>>& titles) const;

    // The first of the items (or their separators) in the menu, or nullptr: new items of the
    // menu go before it.
    QAction* firstIn(const QMenu& menu) const;

    // The 1-based position of the item in its menu; 0 while it is in no menu.
    int indexOf(int item) const;

private:
    std::vector<QAction*> allActions() const;

    // Quit, Preferences, About.
    std::array<std::unique_ptr<QAction>, 3> m_items;
    std::unique_ptr<QAction> m_firstSeparator;
    std::unique_ptr<QAction> m_lastSeparator;
};
