#pragma once

// The numbers through which everything that happens on the desktop reaches the application: the
// event codes that waitEvent returns, the gadget event types that lastEventType returns after
// EVENT_GADGET, and the special menu item numbers that EVENT_MENU carries.

// Event codes (the result of waitEvent).
inline constexpr int EVENT_NONE = 0; // the time-out passed, or a timer ended the wait
inline constexpr int EVENT_OTHER = -1; // a desktop event was handled that this call does not report
inline constexpr int EVENT_MENU = 1;
inline constexpr int EVENT_CLOSE_WINDOW = 2;
inline constexpr int EVENT_GADGET = 3;
inline constexpr int EVENT_REPAINT = 4;
inline constexpr int EVENT_MOVE_WINDOW = 5;
inline constexpr int EVENT_SIZE_WINDOW = 6;
inline constexpr int EVENT_ACTIVATE_WINDOW = 7;
inline constexpr int EVENT_MINIMIZE_WINDOW = 12;
inline constexpr int EVENT_MAXIMIZE_WINDOW = 13;
inline constexpr int EVENT_RESTORE_WINDOW = 14;
inline constexpr int EVENT_TIMER = 15;

// Gadget event types (the type of an EVENT_GADGET).
inline constexpr int GADGET_LEFT_CLICK = 0;
inline constexpr int GADGET_RIGHT_CLICK = 1;
inline constexpr int GADGET_LEFT_DOUBLE_CLICK = 2;
inline constexpr int GADGET_RIGHT_DOUBLE_CLICK = 3;
inline constexpr int GADGET_FOCUS = 256;
inline constexpr int GADGET_LOST_FOCUS = 512;
inline constexpr int GADGET_CHANGE = 768;
inline constexpr int GADGET_DRAG_START = 2048;
// An image gadget's drag: the pointer moved with the button held, and the button was let go.
inline constexpr int GADGET_DRAG_MOVE = 2049;
inline constexpr int GADGET_DRAG_END = 2050;

// Menu item numbers of the desktop's own application commands. The desktop's request to quit
// arrives as MENU_ITEM_QUIT for window 0.
inline constexpr int MENU_ITEM_QUIT = -1;
inline constexpr int MENU_ITEM_PREFERENCES = -2;
inline constexpr int MENU_ITEM_ABOUT = -3;
