#pragma once

// Keyboard shortcuts of a window: key combinations that report a menu item number straight away,
// without any menu item, so that dialogs and the main window react to keys.
//
// A shortcut code is a character or a virtual key plus modifier bits:
// - low 16 bits 1 .. 255: the character that the key produces without modifiers (a letter in
//   lower case, 13 Return, 27 Escape, ...); Enter counts as Return.
// - low 16 bits 256 or more: a virtual key code in the low byte (the desktop-neutral key
//   numbering of key_equivalent.h, e.g. 122 for F1).
// - SHORTCUT_* bits: the modifiers that must be held, exactly; keypad and lock states do not
//   count. On Linux SHORTCUT_COMMAND and SHORTCUT_CONTROL both mean the Control key.
//
// A window's shortcuts see its keys before the focused gadget and before the menus. The first
// matching shortcut, in the order they were added, takes the key: key down and auto-repeat queue
// EVENT_MENU (item, window), key up nothing, and the key goes nowhere else. A matching shortcut
// with item -1 leaves the key to the focused gadget and the menus. The shortcuts go with the
// window. Control with X, C, V, Z or A is the exception: while a text field of the window has the
// keyboard focus, such a key goes to the field (cut, copy, paste, undo, select all), as the
// menus' key equivalents do; so do the arrow keys and Delete, alone or with Shift.

inline constexpr int SHORTCUT_SHIFT = 0x10000;
inline constexpr int SHORTCUT_CONTROL = 0x20000;
inline constexpr int SHORTCUT_ALT = 0x40000; // the Option key of the code's origin
inline constexpr int SHORTCUT_COMMAND = 0x80000;

// Adds a shortcut to the window. Nothing for an unknown window; a code whose low 16 bits are 0
// adds nothing.
void addKeyboardShortcut(int window, int code, int item);
