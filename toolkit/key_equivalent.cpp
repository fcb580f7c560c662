#include "toolkit/key_equivalent.h"

#include "toolkit/keyboard_shortcuts.h"

#include <array>

namespace {

// F1 .. F12 in the virtual key numbering that the shortcut codes use.
constexpr std::array<int, 12> FUNCTION_KEY_CODES = { 122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111 };

constexpr char DELETE_CHARACTER = 127;

std::string upperCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

int modifiersOf(const std::string& keyText)
{
    int modifiers = 0;
    if (keyText.find("CMD") != std::string::npos)
        modifiers |= SHORTCUT_COMMAND;
    if (keyText.find("SHIFT") != std::string::npos)
        modifiers |= SHORTCUT_SHIFT;
    if (keyText.find("CTRL") != std::string::npos)
        modifiers |= SHORTCUT_CONTROL;
    if (keyText.find("ALT") != std::string::npos)
        modifiers |= SHORTCUT_ALT;
    return modifiers;
}

// The key that a key name stands for, without modifiers.
std::optional<KeyEquivalent> keyOfName(const std::string& keyText)
{
    const std::size_t plus = keyText.rfind('+');
    const std::string name = plus == std::string::npos ? keyText : keyText.substr(plus + 1);
    if (name.empty()) {
        // Only a final "+" leaves the name empty on purpose ("CMD++" is Command and "+").
        if (plus == std::string::npos)
            return std::nullopt;
        return KeyEquivalent { 0, '+', false };
    }
    if (name.size() == 1)
        return KeyEquivalent { 0, static_cast<unsigned char>(name[0]), false };
    if (name == "DEL")
        return KeyEquivalent { 0, DELETE_CHARACTER, false };
    for (int number = 1; number <= static_cast<int>(FUNCTION_KEY_CODES.size()); ++number) {
        if (name == "F" + std::to_string(number))
            return KeyEquivalent { 0, functionKeyCode(number), true };
    }
    return std::nullopt;
}

} // namespace

int functionKeyCode(int number)
{
    if (number < 1 || number > static_cast<int>(FUNCTION_KEY_CODES.size()))
        return 0;
    return FUNCTION_KEY_CODES[static_cast<std::size_t>(number - 1)];
}

MenuItemText parseMenuItemText(const char* text)
{
    const std::string full = text ? text : "";
    const std::size_t tab = full.find('\t');

    MenuItemText result;
    for (char c : full.substr(0, tab)) {
        if (c != '&')
            result.label += c;
    }
    if (result.label.size() > MAX_LABEL_LENGTH)
        result.label.resize(MAX_LABEL_LENGTH);

    if (tab == std::string::npos)
        return result;
    const std::string keyText = upperCased(full.substr(tab + 1, MAX_KEY_TEXT_LENGTH));
    if (std::optional<KeyEquivalent> key = keyOfName(keyText)) {
        key->modifiers = modifiersOf(keyText);
        result.key = key;
    }
    return result;
}

std::optional<KeyEquivalent> shortcutKey(int code)
{
    const int low = code & 0xFFFF;
    if (low == 0)
        return std::nullopt;
    const int modifiers = code & (SHORTCUT_SHIFT | SHORTCUT_CONTROL | SHORTCUT_ALT | SHORTCUT_COMMAND);
    if (low >= 256)
        return KeyEquivalent { modifiers, low & 0xFF, true };
    return KeyEquivalent { modifiers, low, false };
}

std::optional<EditCommand> editCommandOf(const KeyEquivalent& key)
{
    const int control = SHORTCUT_COMMAND | SHORTCUT_CONTROL;
    if (key.isVirtual || (key.modifiers & control) == 0 || (key.modifiers & ~control) != 0)
        return std::nullopt;
    switch (key.key) {
    case 'X':
    case 'x':
        return EditCommand::Cut;
    case 'C':
    case 'c':
        return EditCommand::Copy;
    case 'V':
    case 'v':
        return EditCommand::Paste;
    case 'Z':
    case 'z':
        return EditCommand::Undo;
    case 'A':
    case 'a':
        return EditCommand::SelectAll;
    default:
        return std::nullopt;
    }
}
