#pragma once

#include "runtime/object_number.h"
#include "runtime/object_table.h"
#include "toolkit/platform/application_menu_items.h"
#include "toolkit/platform/window_container.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <memory>
#include <vector>

// The registry of numbered menus, internal to the toolkit.
//
// A menu bar belongs to its window (WindowContainer::setMenuBar); its record owns the menus
// under its titles and the application items, and reaches the bar through a guarded pointer, so
// that closing the window first leaves a record whose choices cannot happen any more. A popup
// menu's record owns it. Freeing a record destroys what it owns, which takes the menus off the
// screen and their actions out of every bar.
struct MenuRecord {
    // The QMenuBar of a menu bar, the QMenu of a popup menu; non-zero while the number is live.
    Handle handle = 0;
    bool popup = false;
    // The bar's window; the window of a popup's latest display.
    QPointer<WindowContainer> window;

    QPointer<QMenuBar> bar;
    std::vector<std::unique_ptr<QMenu>> titles;
    std::unique_ptr<ApplicationMenuItems> applicationItems;
    int keyFilter = 0; // the bar's window event filter (menu key priority)

    std::unique_ptr<QMenu> popupMenu;
};

// The menu table (growth 16; its free handler frees the menu). Made on first use, after the
// desktop connection.
ObjectTable<MenuRecord>& menuTable();

// The table's free handler (menus.cpp): destroys what the record owns, takes the bar off its
// window and frees the number.
void freeMenu(int number);

// For tests and the other parts of the toolkit: the QMenu of a popup menu number, or nullptr.
QMenu* qtPopupMenu(int number);

// The item number that a menu item's QAction carries (QAction::data), for lookups by number.
int menuItemNumber(const QAction& action);

// A seam for the test driver: while set, displayPopupMenu records the window and calls this with
// the popup's number instead of showing the menu (which would take the mouse and keyboard).
using PopupDisplayHook = void (*)(int number);
void setPopupDisplayHook(PopupDisplayHook hook);
