// Key equivalents over Qt keys.
// Implements:
// - qtKeyOfVirtualKey: the table of virtual key codes (ANSI keyboard positions, function,
//   navigation and keypad keys) to Qt::Key.
// - qtKeyOf, qtKeySequence: characters and virtual keys to Qt keys and key sequences.
// - keyEventModifiers, linuxModifiers, unmodifiedCharacter: what a QKeyEvent means for the
//   window shortcuts.

#include "toolkit/platform/qt_keys.h"

#include "toolkit/keyboard_shortcuts.h"

#include <QKeyEvent>

#include <array>

namespace {

// A modifier that shortcut codes cannot express.
constexpr int META_MODIFIER = 0x100000;

struct VirtualKey {
    int code;
    int key;
    bool keypad = false;
};

// Virtual key codes number the keys by their position on an ANSI keyboard and are independent
// of the layout; the letters and digits here are the keys at those positions on a US layout.
constexpr std::array VIRTUAL_KEYS = {
    VirtualKey { 0x00, Qt::Key_A },
    VirtualKey { 0x01, Qt::Key_S },
    VirtualKey { 0x02, Qt::Key_D },
    VirtualKey { 0x03, Qt::Key_F },
    VirtualKey { 0x04, Qt::Key_H },
    VirtualKey { 0x05, Qt::Key_G },
    VirtualKey { 0x06, Qt::Key_Z },
    VirtualKey { 0x07, Qt::Key_X },
    VirtualKey { 0x08, Qt::Key_C },
    VirtualKey { 0x09, Qt::Key_V },
    VirtualKey { 0x0B, Qt::Key_B },
    VirtualKey { 0x0C, Qt::Key_Q },
    VirtualKey { 0x0D, Qt::Key_W },
    VirtualKey { 0x0E, Qt::Key_E },
    VirtualKey { 0x0F, Qt::Key_R },
    VirtualKey { 0x10, Qt::Key_Y },
    VirtualKey { 0x11, Qt::Key_T },
    VirtualKey { 0x12, Qt::Key_1 },
    VirtualKey { 0x13, Qt::Key_2 },
    VirtualKey { 0x14, Qt::Key_3 },
    VirtualKey { 0x15, Qt::Key_4 },
    VirtualKey { 0x16, Qt::Key_6 },
    VirtualKey { 0x17, Qt::Key_5 },
    VirtualKey { 0x18, Qt::Key_Equal },
    VirtualKey { 0x19, Qt::Key_9 },
    VirtualKey { 0x1A, Qt::Key_7 },
    VirtualKey { 0x1B, Qt::Key_Minus },
    VirtualKey { 0x1C, Qt::Key_8 },
    VirtualKey { 0x1D, Qt::Key_0 },
    VirtualKey { 0x1E, Qt::Key_BracketRight },
    VirtualKey { 0x1F, Qt::Key_O },
    VirtualKey { 0x20, Qt::Key_U },
    VirtualKey { 0x21, Qt::Key_BracketLeft },
    VirtualKey { 0x22, Qt::Key_I },
    VirtualKey { 0x23, Qt::Key_P },
    VirtualKey { 0x24, Qt::Key_Return },
    VirtualKey { 0x25, Qt::Key_L },
    VirtualKey { 0x26, Qt::Key_J },
    VirtualKey { 0x27, Qt::Key_Apostrophe },
    VirtualKey { 0x28, Qt::Key_K },
    VirtualKey { 0x29, Qt::Key_Semicolon },
    VirtualKey { 0x2A, Qt::Key_Backslash },
    VirtualKey { 0x2B, Qt::Key_Comma },
    VirtualKey { 0x2C, Qt::Key_Slash },
    VirtualKey { 0x2D, Qt::Key_N },
    VirtualKey { 0x2E, Qt::Key_M },
    VirtualKey { 0x2F, Qt::Key_Period },
    VirtualKey { 0x30, Qt::Key_Tab },
    VirtualKey { 0x31, Qt::Key_Space },
    VirtualKey { 0x32, Qt::Key_QuoteLeft },
    VirtualKey { 0x33, Qt::Key_Backspace },
    VirtualKey { 0x35, Qt::Key_Escape },
    VirtualKey { 0x40, Qt::Key_F17 },
    VirtualKey { 0x41, Qt::Key_Period, true },
    VirtualKey { 0x43, Qt::Key_Asterisk, true },
    VirtualKey { 0x45, Qt::Key_Plus, true },
    VirtualKey { 0x47, Qt::Key_Clear, true },
    VirtualKey { 0x4B, Qt::Key_Slash, true },
    VirtualKey { 0x4C, Qt::Key_Enter, true },
    VirtualKey { 0x4E, Qt::Key_Minus, true },
    VirtualKey { 0x4F, Qt::Key_F18 },
    VirtualKey { 0x50, Qt::Key_F19 },
    VirtualKey { 0x51, Qt::Key_Equal, true },
    VirtualKey { 0x52, Qt::Key_0, true },
    VirtualKey { 0x53, Qt::Key_1, true },
    VirtualKey { 0x54, Qt::Key_2, true },
    VirtualKey { 0x55, Qt::Key_3, true },
    VirtualKey { 0x56, Qt::Key_4, true },
    VirtualKey { 0x57, Qt::Key_5, true },
    VirtualKey { 0x58, Qt::Key_6, true },
    VirtualKey { 0x59, Qt::Key_7, true },
    VirtualKey { 0x5A, Qt::Key_F20 },
    VirtualKey { 0x5B, Qt::Key_8, true },
    VirtualKey { 0x5C, Qt::Key_9, true },
    VirtualKey { 0x60, Qt::Key_F5 },
    VirtualKey { 0x61, Qt::Key_F6 },
    VirtualKey { 0x62, Qt::Key_F7 },
    VirtualKey { 0x63, Qt::Key_F3 },
    VirtualKey { 0x64, Qt::Key_F8 },
    VirtualKey { 0x65, Qt::Key_F9 },
    VirtualKey { 0x67, Qt::Key_F11 },
    VirtualKey { 0x69, Qt::Key_F13 },
    VirtualKey { 0x6A, Qt::Key_F16 },
    VirtualKey { 0x6B, Qt::Key_F14 },
    VirtualKey { 0x6D, Qt::Key_F10 },
    VirtualKey { 0x6F, Qt::Key_F12 },
    VirtualKey { 0x71, Qt::Key_F15 },
    VirtualKey { 0x72, Qt::Key_Help },
    VirtualKey { 0x73, Qt::Key_Home },
    VirtualKey { 0x74, Qt::Key_PageUp },
    VirtualKey { 0x75, Qt::Key_Delete },
    VirtualKey { 0x76, Qt::Key_F4 },
    VirtualKey { 0x77, Qt::Key_End },
    VirtualKey { 0x78, Qt::Key_F2 },
    VirtualKey { 0x79, Qt::Key_PageDown },
    VirtualKey { 0x7A, Qt::Key_F1 },
    VirtualKey { 0x7B, Qt::Key_Left },
    VirtualKey { 0x7C, Qt::Key_Right },
    VirtualKey { 0x7D, Qt::Key_Down },
    VirtualKey { 0x7E, Qt::Key_Up },
};

// Qt names printable keys by the upper-case form of their character; in ISO 8859-1 the lower-case
// letters 0xE0 .. 0xFE (except the division sign) lie 0x20 above their capitals. ß and ÿ have
// no Latin-1 capital and keep their codes.
int upperLatin1(int c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    return c;
}

int lowerLatin1(int c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 'a';
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20;
    return c;
}

int qtKeyOfCharacter(int c)
{
    switch (c) {
    case 3:
        return Qt::Key_Enter;
    case 8:
        return Qt::Key_Backspace;
    case 9:
        return Qt::Key_Tab;
    case 13:
        return Qt::Key_Return;
    case 27:
        return Qt::Key_Escape;
    case 32:
        return Qt::Key_Space;
    case 127:
        return Qt::Key_Delete;
    default:
        break;
    }
    if ((c > 32 && c < 127) || (c >= 0xA0 && c <= 0xFF))
        return upperLatin1(c);
    return 0;
}

} // namespace

QtVirtualKey qtKeyOfVirtualKey(int virtualKey)
{
    for (const VirtualKey& entry : VIRTUAL_KEYS) {
        if (entry.code == virtualKey)
            return { entry.key, entry.keypad };
    }
    return {};
}

int qtKeyOf(const KeyEquivalent& key)
{
    return key.isVirtual ? qtKeyOfVirtualKey(key.key).key : qtKeyOfCharacter(key.key);
}

QKeySequence qtKeySequence(const KeyEquivalent& key)
{
    const int qtKey = qtKeyOf(key);
    if (!qtKey)
        return {};
    Qt::KeyboardModifiers modifiers;
    if (key.modifiers & (SHORTCUT_COMMAND | SHORTCUT_CONTROL))
        modifiers |= Qt::ControlModifier;
    if (key.modifiers & SHORTCUT_ALT)
        modifiers |= Qt::AltModifier;
    if (key.modifiers & SHORTCUT_SHIFT)
        modifiers |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(qtKey)));
}

int keyEventModifiers(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers();
    int modifiers = 0;
    if (held & Qt::ShiftModifier)
        modifiers |= SHORTCUT_SHIFT;
    if (held & Qt::ControlModifier)
        modifiers |= SHORTCUT_CONTROL;
    if (held & Qt::AltModifier)
        modifiers |= SHORTCUT_ALT;
    if (held & Qt::MetaModifier)
        modifiers |= META_MODIFIER;
    return modifiers;
}

int linuxModifiers(int modifiers)
{
    int result = modifiers & (SHORTCUT_SHIFT | SHORTCUT_ALT);
    if (modifiers & (SHORTCUT_COMMAND | SHORTCUT_CONTROL))
        result |= SHORTCUT_CONTROL;
    return result;
}

int unmodifiedCharacter(const QKeyEvent& event)
{
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 127;
    case Qt::Key_Space:
        return 32;
    default:
        break;
    }
    if ((key > 32 && key < 127) || (key >= 0xA0 && key <= 0xFF))
        return lowerLatin1(key);
    return 0;
}
