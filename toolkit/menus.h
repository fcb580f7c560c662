#pragma once

#include "runtime/object_number.h"

// Menus: one menu bar per window and popup menus shown at the mouse. Every choice reaches the
// application as EVENT_MENU whose object is the item number the application gave the item and
// whose window is the window the menu belongs to: for a menu bar its window, for a popup menu
// the window of its latest displayPopupMenu.
//
// Items are built into the current menu: createMenu and createPopupMenu make their menu
// current, menuTitle starts a new menu of the menu bar, menuItem and menuSeparator append to the
// latest one. Menu numbers are registry numbers (DYNAMIC_NUMBER asks for one); a number in use
// is freed first. Texts are ISO 8859-1.
//
// Item texts carry their key equivalent after a TAB: "Open\tCMD+O" shows "Open" and answers to
// Control+O (key_equivalent.h has the rules; CMD and CTRL are both Control on Linux). A key
// equivalent of the menu bar works while the bar's window is active; one that holds Control or
// Alt wins over the focused text field's own use of the key. An item whose key equivalent is
// Control plus X, C, V, Z or A, chosen by key or by mouse while the active window has a focused
// text field, cuts, copies, pastes, undoes or selects all in that field instead of reporting the
// item (read-only fields take only copy and select all). A window's keyboard shortcuts
// (keyboard_shortcuts.h) see keys first: a key that both a shortcut and a menu item know is
// reported once, by the shortcut.
//
// Item numbers MENU_ITEM_QUIT, MENU_ITEM_PREFERENCES and MENU_ITEM_ABOUT (event_codes.h) of a
// menu bar are the desktop's application items: Quit goes last in the first menu after a
// separator (Control+Q), Preferences above it, About last in the last menu
// (platform/application_menu_items.h).
//
// Operations without a current menu, or given an unknown number, do nothing and return 0.

// Makes the menu registry (and the desktop connection); at start-up.
void initMenus();

// Makes a menu bar for the window (a platform window, windowHandle) and makes it current; it
// replaces the menu bar the window had, and the window's content keeps its size. Returns the new
// number for DYNAMIC_NUMBER, else 1; 0 when the window is not open or the number not valid.
int createMenu(int number, Handle window);

// Appends a menu with that title (text up to a TAB, "&" removed) to the current menu bar and
// makes it current for items. Nothing for a popup menu.
void menuTitle(const char* title);

// Appends an item to the current menu; returns its 1-based position in its menu (separators
// count), 0 when nothing was added.
int menuItem(int item, const char* text);
// Shows a check mark beside every item with that number in the menu (a menu bar or a popup menu)
// when checked is 1, and an empty check box when it is 0: the item stands for a setting that is on
// or off. Nothing for an unknown menu or item.
void setMenuItemChecked(int menu, int item, int checked);

// Appends a separator line to the current menu.
void menuSeparator();

// Makes a popup menu and makes it current. Returns the new number for DYNAMIC_NUMBER, else the
// platform menu; 0 when the number is not valid.
Handle createPopupMenu(int number);

// Shows the popup menu with its top-left corner at the mouse; its choice is reported for the
// window (a platform window). Nothing when the number is no popup menu or the window is not open.
void displayPopupMenu(int number, Handle window);

// Frees every menu; at shut-down (shutdownToolkit).
void freeAllMenus();
