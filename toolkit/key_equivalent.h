#pragma once

#include <optional>
#include <string>

// Key equivalents: the key combinations written into menu item texts after a TAB
// ("Open\tCMD+O") and the shortcut codes of keyboard_shortcuts.h, in one form.
//
// Keys are either characters (the character the key produces without modifiers, Latin-1) or
// virtual key codes, which number the keys independently of the keyboard layout: 122, 120, 99,
// 118, 96, 97, 98, 100, 101, 109, 103, 111 are F1 .. F12 (the numbering comes from the
// desktop the shortcut codes were designed for; platform/qt_keys.h turns it into Qt keys).

struct KeyEquivalent {
    int modifiers = 0; // SHORTCUT_* bits of keyboard_shortcuts.h
    int key = 0; // character code, or virtual key code when isVirtual
    bool isVirtual = false;

    bool operator==(const KeyEquivalent&) const = default;
};

// The virtual key code of F1 .. F12; 0 for any other number.
int functionKeyCode(int number);

// An item text split into what the menu shows and its key equivalent.
struct MenuItemText {
    std::string label; // Latin-1
    std::optional<KeyEquivalent> key;
};

// The displayed text is the text up to the first TAB with every "&" removed, at most
// MAX_LABEL_LENGTH characters. The part after the TAB (at most MAX_KEY_TEXT_LENGTH characters)
// is upper-cased (a to z) and read as:
// - modifier words anywhere in it: "CMD", "CTRL", "ALT", "SHIFT";
// - the key name after the last "+" (the whole part without a "+"): one character is that
//   character, nothing after a final "+" is "+" itself, "F1" .. "F12" are the function keys,
//   "DEL" is character 127.
// A key name that is none of these gives no key equivalent at all (nor modifiers).
// nullptr is the empty text.
MenuItemText parseMenuItemText(const char* text);

inline constexpr std::size_t MAX_LABEL_LENGTH = 255;
inline constexpr std::size_t MAX_KEY_TEXT_LENGTH = 49;

// The key of a shortcut code (keyboard_shortcuts.h); nothing when its low 16 bits are 0.
std::optional<KeyEquivalent> shortcutKey(int code);

// The edit commands that a menu item's key equivalent sends to a focused text field instead of
// reporting the item: Control (CMD or CTRL, both the Control key on Linux) and no other modifier,
// plus X, C, V, Z or A.
enum class EditCommand { Cut, Copy, Paste, Undo, SelectAll };
std::optional<EditCommand> editCommandOf(const KeyEquivalent& key);
