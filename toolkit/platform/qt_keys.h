#pragma once

#include "toolkit/key_equivalent.h"

#include <QKeySequence>

class QKeyEvent;

// Key equivalents and shortcut codes over Qt's keys, with the Linux decisions: CMD and CTRL are
// both the Control key, ALT is Alt, SHIFT is Shift. The Meta (logo) key has no counterpart; a
// key held with it matches no shortcut.

// The Qt key of a virtual key code (key_equivalent.h), and whether it is a keypad key; Qt gives
// keypad keys the codes of the main keys and marks them with the keypad modifier.
struct QtVirtualKey {
    int key = 0; // 0: no such key
    bool keypad = false;
};
QtVirtualKey qtKeyOfVirtualKey(int virtualKey);

// The Qt key of a key equivalent's character or virtual key; 0 when Qt has none.
int qtKeyOf(const KeyEquivalent& key);

// The Qt key sequence of a key equivalent; empty when it has no Qt key.
QKeySequence qtKeySequence(const KeyEquivalent& key);

// The SHORTCUT_* bits of a key event, CMD folded into CTRL (both are Control here); keypad and
// lock states do not count, Meta gives a bit that no shortcut has.
int keyEventModifiers(const QKeyEvent& event);

// A shortcut's SHORTCUT_* bits in the same form as keyEventModifiers.
int linuxModifiers(int modifiers);

// The character the event's key produces without modifiers: a letter in lower case, 13 for
// Return and Enter, 27 Escape, 9 Tab, 8 Backspace, 127 Delete, 32 Space, other Latin-1
// characters as Qt reports them (for a key typed with Shift that is the shifted character,
// since Qt offers no layout lookup); 0 when the key produces none.
int unmodifiedCharacter(const QKeyEvent& event);
