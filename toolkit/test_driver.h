#pragma once

#include "runtime/runtime_string.h"

#include <functional>
#include <string>
#include <vector>

// The test driver: in-process tests of the application act as a user would and look at what the
// desktop shows, by window, gadget, menu and item numbers, without touching the platform. Only
// tests link it (library graphonite_toolkit_test_driver); the program never does.
//
// Rules:
// - Every action goes through the desktop's own event path (mouse and key events, menu actions),
//   so the toolkit's handlers run as they would for a user, and the results arrive through
//   waitEvent as usual: an action made outside a wait is seen by the next waitEvent calls.
// - Unknown numbers give 0, -1, the empty text or an empty list, as noted.
// - In a process that links the driver, displayPopupMenu shows nothing and blocks nothing, from
//   the start on; it only records which popup menu was asked for.

// Mouse: from now on windowMouseX/Y(window) report (x, y) (content coordinates of that window) and
// the toolkit's global pointer is there (where popup menus open); placeMouseOutside: every window
// reports -1. resetMouse: the desktop's pointer again.
void placeMouse(int window, int x, int y);
void placeMouseOutside();
void resetMouse();

// A real mouse click (press and release through the desktop's event path) at the gadget's centre,
// or at (x, y) inside the gadget when given; button: GADGET_LEFT_CLICK or GADGET_RIGHT_CLICK.
// Places the mouse there too (as placeMouse). 0 for an unknown gadget. modifiers: the SHORTCUT_*
// bits of the keys held during the click.
int clickGadget(int gadget, int button = 0 /*GADGET_LEFT_CLICK*/, int x = -1, int y = -1, int modifiers = 0);
// A left-button drag in steps through the same path: the press at (x, y) inside the gadget, the
// pointer moved with the button held, the release; each places the mouse there too. 0 for an
// unknown gadget.
int pressGadget(int gadget, int x, int y);
int moveInGadget(int gadget, int x, int y);
int releaseGadget(int gadget, int x, int y);

// Chooses the item of the window's menu bar as a mouse choice would (triggers its action through
// the real routing, including the edit-command rule); 0 when the bar has no enabled item with that
// number.
int chooseMenuItem(int window, int item);
// The same for a popup menu (reported for the window of its latest displayPopupMenu, or the given
// window); 0 also when it has no window to be reported for.
int choosePopupMenuItem(int popup, int item);
int choosePopupMenuItem(int popup, int item, int window);

// Item numbers of a menu bar / popup menu in order, 0 standing for a separator; menu titles of a
// bar.
std::vector<int> menuBarItems(int window);
std::vector<std::string> menuBarTitles(int window);
std::vector<std::string> menuBarItemTexts(int window); // shown labels, without the key part
std::vector<int> popupMenuItems(int popup);
// Whether the item of a menu bar / popup menu shows a check mark: 1 checked, 0 a check box that
// is empty, -1 no check box or no such item.
int menuBarItemChecked(int window, int item);
int popupMenuItemChecked(int popup, int item);

// The popup menu that displayPopupMenu showed last (-1 none) and how often it was shown;
// displayPopupMenu shows nothing and blocks nothing while the driver is in use.
int lastDisplayedPopup();
int displayedPopupCount();

// Presses and releases a key in the window (its focused widget, else the window) through the
// desktop's key path: code is the shortcut encoding of keyboard_shortcuts.h (character or virtual
// key + SHORTCUT_* bits).
void pressKey(int window, int code);

// Focuses the string gadget and types the text as key presses (ISO 8859-1).
void typeText(int gadget, const char* text);

// Runs the action once, inside the next waitEvent call that starts (after that call has begun),
// so that a test can act on a modal loop the code under test runs (answering a dialog). Several
// actions run one per wait, in order.
void runDuringNextWait(std::function<void()> action);
int pendingWaitActions();

// The number of the most recently opened window that is still open, -1 when none.
int lastOpenedWindow();

// The title as set (without the modified mark) and as the desktop shows it.
String windowTitleText(int window);
String shownWindowTitle(int window);

// Geometry of a gadget relative to its window's content (a string gadget: its outer rectangle),
// 0 unknown.
int gadgetX(int gadget);
int gadgetWidth(int gadget);
int gadgetHeight(int gadget);
int gadgetVisible(int gadget);
String gadgetToolTipText(int gadget);

// The font of a gadget: pixel size and bold (0 when the gadget has the system font).
int gadgetFontPixelSize(int gadget);
int gadgetFontBold(int gadget);
int isDefaultButton(int gadget);

// List gadget: number of columns, column title and width.
int listColumnCount(int gadget);
int listColumnWidth(int gadget, int column);

// Status bar field text and flags as last set.
String statusBarFieldText(int bar, int field);
int statusBarFieldFlags(int bar, int field);
int statusBarFieldCount(int bar);

// Window flags the window was opened with; whether it has a close box; the keyboard focus gadget
// (-1 none).
int windowOpenFlags(int window);
int windowHasCloseBox(int window);
int focusedGadget();

// Running timers of a window (timer numbers).
std::vector<int> windowTimers(int window);

// The close box of the window, clicked (the desktop's close request).
void closeBox(int window);
// The clipboard's plain text, in ISO 8859-1 ("?" for what it cannot hold).
String clipboardText();
// Local files (file system paths) dropped from a file manager onto the window's content at (x, y).
// 1 when the window took the drop.
int dropFiles(int window, const std::vector<std::string>& paths, int x = 10, int y = 10);

// The session manager's question before the session ends (logging out), answered as the
// program answers it: 1 when the session may end, 0 when the program cancels it. mayAsk: whether
// the session manager lets the program ask the user.
int askSessionEnd(int mayAsk);
// The desktop's request to quit the program, as the session manager sends it when the session
// ends.
void requestDesktopQuit();
// The name of the desktop entry that the program tells the desktop it belongs to.
std::string applicationDesktopFileName();
// Whether the window shows an icon of its own or the program's.
int windowHasIcon(int window);

// The desktop's double-click interval in milliseconds (clicks of a test come faster than a
// person's); 0 makes every click single. Returns the interval before.
int setDoubleClickInterval(int ms);
