#include "toolkit/key_equivalent.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/qt_keys.h"

#include <gtest/gtest.h>

#include <QKeySequence>

#include <optional>
#include <ostream>
#include <string>

void PrintTo(const KeyEquivalent& key, std::ostream* out)
{
    *out << (key.isVirtual ? "virtual " : "character ") << key.key << " modifiers 0x" << std::hex
         << key.modifiers << std::dec;
}

namespace {

constexpr int CMD = SHORTCUT_COMMAND;
constexpr int CTRL = SHORTCUT_CONTROL;
constexpr int ALT = SHORTCUT_ALT;
constexpr int SHIFT = SHORTCUT_SHIFT;

KeyEquivalent character(int modifiers, int c)
{
    return { modifiers, c, false };
}

KeyEquivalent virtualKey(int modifiers, int code)
{
    return { modifiers, code, true };
}

TEST(MenuItemText, LabelKeyEquivalentAndQtKeys)
{
    struct Case {
        const char* text;
        std::string label;
        std::optional<KeyEquivalent> key;
        QKeySequence keys;
    };
    const Case cases[] = {
        { "Open\tCMD+O", "Open", character(CMD, 'O'), QKeySequence(Qt::CTRL | Qt::Key_O) },
        { "&File", "File", std::nullopt, {} },
        { "Save && &Close", "Save  Close", std::nullopt, {} },
        { "Erase\tALT+DEL", "Erase", character(ALT, 127), QKeySequence(Qt::ALT | Qt::Key_Delete) },
        { "Last\tCMD+SHIFT+F12", "Last", virtualKey(CMD | SHIFT, 111),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12) },
        { "Home\tCMD+HOME", "Home", std::nullopt, {} },
        { "Reload\tF5", "Reload", virtualKey(0, 96), QKeySequence(Qt::Key_F5) },
        { "Help\tF1", "Help", virtualKey(0, 122), QKeySequence(Qt::Key_F1) },
        { "Ten\tALT+F10", "Ten", virtualKey(ALT, 109), QKeySequence(Qt::ALT | Qt::Key_F10) },
        { "Zoom in\tCMD++", "Zoom in", character(CMD, '+'), QKeySequence(Qt::CTRL | Qt::Key_Plus) },
        { "Width\tCTRL+W", "Width", character(CTRL, 'W'), QKeySequence(Qt::CTRL | Qt::Key_W) },
        { "Both\tCMD+CTRL+B", "Both", character(CMD | CTRL, 'B'), QKeySequence(Qt::CTRL | Qt::Key_B) },
        { "Measure\tALT+S", "Measure", character(ALT, 'S'), QKeySequence(Qt::ALT | Qt::Key_S) },
        // Upper-cased before it is read; the modifier words may stand anywhere.
        { "lower\tcmd+shift+p", "lower", character(CMD | SHIFT, 'P'),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P) },
        { "After\tQ+ALT+X", "After", character(ALT, 'X'), QKeySequence(Qt::ALT | Qt::Key_X) },
        { "Digit\tCMD+1", "Digit", character(CMD, '1'), QKeySequence(Qt::CTRL | Qt::Key_1) },
        { "Umlaut\tALT+\xF6", "Umlaut", character(ALT, 0xF6), QKeySequence(Qt::ALT | Qt::Key_Odiaeresis) },
        // Names the table does not have.
        { "Thirteen\tF13", "Thirteen", std::nullopt, {} },
        { "Zero\tF0", "Zero", std::nullopt, {} },
        { "Word\tCMD", "Word", std::nullopt, {} },
        { "Empty\t", "Empty", std::nullopt, {} },
        { "", "", std::nullopt, {} },
        { nullptr, "", std::nullopt, {} },
        // A second TAB belongs to the key part.
        { "Two\ttabs\tCMD+K", "Two", character(CMD, 'K'), QKeySequence(Qt::CTRL | Qt::Key_K) },
        { "K\xE4se\tCMD+K", "K\xE4se", character(CMD, 'K'), QKeySequence(Qt::CTRL | Qt::Key_K) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        const MenuItemText parsed = parseMenuItemText(c.text);
        EXPECT_EQ(parsed.label, c.label);
        EXPECT_EQ(parsed.key, c.key);
        EXPECT_EQ(parsed.key ? qtKeySequence(*parsed.key) : QKeySequence(), c.keys);
    }
}

TEST(MenuItemText, LengthLimitsOfTheFormat)
{
    const std::string longLabel(300, 'x');
    EXPECT_EQ(parseMenuItemText((longLabel + "\tCMD+L").c_str()).label, std::string(255, 'x'));
    EXPECT_EQ(parseMenuItemText((longLabel + "\tCMD+L").c_str()).key, character(CMD, 'L'));

    // Only the first 49 characters of the key part are read: here the name becomes "CM".
    const std::string padding(47, ' ');
    EXPECT_EQ(parseMenuItemText(("Late\t" + padding + "CMD+Q").c_str()).key, std::nullopt);
    EXPECT_EQ(parseMenuItemText(("Late\t" + padding.substr(3) + "CMD+Q").c_str()).key, character(CMD, 'Q'));
}

TEST(ShortcutCodes, CharacterOrVirtualKeyAndModifierBits)
{
    struct Case {
        int code;
        std::optional<KeyEquivalent> key;
    };
    const Case cases[] = {
        { 0x8006F, character(CMD, 'o') },
        { 0x40073, character(ALT, 's') },
        { 0x2006B, character(CTRL, 'k') },
        { 13, character(0, 13) },
        { 27, character(0, 27) },
        { 0x100FF, character(SHIFT, 0xFF) },
        { 0x1017A, virtualKey(SHIFT, 122) },
        { 0x100, virtualKey(0, 0) },
        { 0xFF7E, virtualKey(0, 0x7E) },
        { 0x80000, std::nullopt },
        { 0, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(shortcutKey(c.code), c.key) << std::hex << c.code;
}

TEST(ShortcutCodes, VirtualKeysThroughOneTable)
{
    for (int number = 1; number <= 12; ++number)
        EXPECT_EQ(qtKeyOfVirtualKey(functionKeyCode(number)).key, Qt::Key_F1 + number - 1) << number;
    EXPECT_EQ(functionKeyCode(0), 0);
    EXPECT_EQ(functionKeyCode(13), 0);
    EXPECT_EQ(qtKeyOfVirtualKey(0x00).key, Qt::Key_A);
    EXPECT_EQ(qtKeyOfVirtualKey(0x7B).key, Qt::Key_Left);
    EXPECT_EQ(qtKeyOfVirtualKey(0x4C).key, Qt::Key_Enter);
    EXPECT_TRUE(qtKeyOfVirtualKey(0x53).keypad);
    EXPECT_EQ(qtKeyOfVirtualKey(0x53).key, Qt::Key_1);
    EXPECT_EQ(qtKeyOfVirtualKey(0x0A).key, 0); // no key at this position on an ANSI keyboard
}

TEST(EditCommands, ControlAndOneOfFiveLettersAndNothingElse)
{
    struct Case {
        KeyEquivalent key;
        std::optional<EditCommand> command;
    };
    const Case cases[] = {
        { character(CMD, 'X'), EditCommand::Cut },
        { character(CMD, 'C'), EditCommand::Copy },
        { character(CTRL, 'V'), EditCommand::Paste },
        { character(CMD, 'Z'), EditCommand::Undo },
        { character(CMD | CTRL, 'A'), EditCommand::SelectAll },
        { character(CMD | SHIFT, 'Z'), std::nullopt },
        { character(CMD | ALT, 'C'), std::nullopt },
        { character(0, 'C'), std::nullopt },
        { character(ALT, 'C'), std::nullopt },
        { character(CMD, 'O'), std::nullopt },
        { virtualKey(CMD, 8), std::nullopt }, // the C key by position is no character
        // Shortcut codes carry letters in lower case.
        { character(CTRL, 'x'), EditCommand::Cut },
        { character(CTRL, 'c'), EditCommand::Copy },
        { character(CMD, 'v'), EditCommand::Paste },
        { character(CTRL, 'z'), EditCommand::Undo },
        { character(CTRL, 'a'), EditCommand::SelectAll },
        { character(CTRL | SHIFT, 'x'), std::nullopt },
        { character(CTRL, 'o'), std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(editCommandOf(c.key), c.command) << c.key.key << " " << std::hex << c.key.modifiers;
}

} // namespace
