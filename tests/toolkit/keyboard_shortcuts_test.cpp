#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/qt_keys.h"
#include "toolkit/platform/shortcut_table.h"
#include "toolkit/platform/window_container.h"

#include "menu_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

using KeyboardShortcutTest = MenuTest;

constexpr int RETURN_KEY = 13;
constexpr int ESCAPE_KEY = 27;

QWidget* keyTarget(int window)
{
    WindowContainer* container = windowContainer(window);
    QWidget* focus = container->focusWidget();
    return focus ? focus : container;
}

// Sends one key event the way the desktop delivers it to the focused widget.
void sendKey(int window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false)
{
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(keyTarget(window), &event);
}

void openActiveWindow(int number)
{
    openWindow(number, 20, 20, 300, 200, "shortcuts", WINDOW_CLOSE_BOX);
    QApplication::setActiveWindow(windowContainer(number));
    settle();
}

TEST_F(KeyboardShortcutTest, TheCharacterAKeyProducesWithoutModifiers)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int character;
    };
    const Case cases[] = {
        { Qt::Key_O, Qt::ControlModifier, 'o' },
        { Qt::Key_O, Qt::ShiftModifier, 'o' },
        { Qt::Key_Return, Qt::NoModifier, 13 },
        { Qt::Key_Enter, Qt::KeypadModifier, 13 },
        { Qt::Key_Escape, Qt::NoModifier, 27 },
        { Qt::Key_Backtab, Qt::ShiftModifier, 9 },
        { Qt::Key_Delete, Qt::AltModifier, 127 },
        { Qt::Key_Adiaeresis, Qt::NoModifier, 0xE4 },
        { Qt::Key_ssharp, Qt::NoModifier, 0xDF },
        { Qt::Key_5, Qt::KeypadModifier, '5' },
        { Qt::Key_F5, Qt::NoModifier, 0 },
        { Qt::Key_Shift, Qt::ShiftModifier, 0 },
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(unmodifiedCharacter(event), c.character) << std::hex << c.key;
    }

    const QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier);
    EXPECT_EQ(keyEventModifiers(keypad), SHORTCUT_SHIFT);
    const QKeyEvent meta(QEvent::KeyPress, Qt::Key_S, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_NE(keyEventModifiers(meta), SHORTCUT_ALT);
    EXPECT_EQ(linuxModifiers(SHORTCUT_COMMAND | SHORTCUT_SHIFT), SHORTCUT_CONTROL | SHORTCUT_SHIFT);
    EXPECT_EQ(
        linuxModifiers(SHORTCUT_COMMAND | SHORTCUT_CONTROL | SHORTCUT_ALT), SHORTCUT_CONTROL | SHORTCUT_ALT);
}

TEST_F(KeyboardShortcutTest, ADialogsReturnAndEscapeIncludingAutoRepeat)
{
    openActiveWindow(5);
    addKeyboardShortcut(5, RETURN_KEY, 1);
    addKeyboardShortcut(5, ESCAPE_KEY, 2);

    sendKey(5, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 5 } }));
    sendKey(5, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, true);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 5 } }));
    sendKey(5, QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(menuEvents(), std::vector<MenuEvent> {});

    // Repeats that nobody drained wait as one event at the end of the queue.
    sendKey(5, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    sendKey(5, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, true);
    sendKey(5, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, true);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 5 } }));

    QTest::keyClick(keyTarget(5), Qt::Key_Escape);
    QTest::keyClick(keyTarget(5), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(keyTarget(5), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 2, 5 }, { 1, 5 } }));
}

TEST_F(KeyboardShortcutTest, ShortcutsComeBeforeTheFocusedFieldAndConsumeTheKey)
{
    openActiveWindow(0);
    QLineEdit field(windowContent(0));
    field.show();
    field.setFocus();
    QSignalSpy returnPressed(&field, &QLineEdit::returnPressed);
    addKeyboardShortcut(0, RETURN_KEY, 1);
    addKeyboardShortcut(0, 'y', 4);

    QTest::keyClicks(&field, QStringLiteral("xyz"));
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), QStringLiteral("xz"));
    EXPECT_EQ(returnPressed.count(), 0);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 4, 0 }, { 1, 0 } }));
}

TEST_F(KeyboardShortcutTest, ModifiersMustBeEqualAndCommandAndControlAreOneKey)
{
    openActiveWindow(0);
    struct Case {
        int code;
        int item;
    };
    const Case shortcuts[] = {
        { 0x8006F, 10 }, // command O
        { 0x40073, 11 }, // option S
        { 0x20077, 12 }, // control W
        { 0x1017A, 13 }, // shift F1 (virtual)
        { 0x10160, 14 }, // shift F5 (virtual key 96 in the low byte)
        { 0x100 | 0x7E, 15 }, // up arrow (virtual)
        { 0xE4, 16 }, // the key of the character ä
        { 0xC0068, 17 }, // command option H
    };
    for (const Case& shortcut : shortcuts)
        addKeyboardShortcut(0, shortcut.code, shortcut.item);

    struct Key {
        int key;
        Qt::KeyboardModifiers modifiers;
        int item; // 0: nothing
    };
    const Key keys[] = {
        { Qt::Key_O, Qt::ControlModifier, 10 },
        { Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, 0 },
        { Qt::Key_O, Qt::AltModifier, 0 },
        { Qt::Key_S, Qt::AltModifier, 11 },
        { Qt::Key_S, Qt::AltModifier | Qt::MetaModifier, 0 },
        { Qt::Key_W, Qt::ControlModifier, 12 },
        { Qt::Key_F1, Qt::ShiftModifier, 13 },
        { Qt::Key_F1, Qt::NoModifier, 0 },
        { Qt::Key_F5, Qt::ShiftModifier, 14 },
        { Qt::Key_Up, Qt::NoModifier, 15 },
        { Qt::Key_Up, Qt::KeypadModifier, 0 }, // the keypad's arrow is another key
        { Qt::Key_Adiaeresis, Qt::NoModifier, 16 },
        { Qt::Key_H, Qt::ControlModifier | Qt::AltModifier, 17 },
        { Qt::Key_H, Qt::ControlModifier, 0 },
    };
    for (const Key& key : keys) {
        QTest::keyClick(keyTarget(0), static_cast<Qt::Key>(key.key), key.modifiers);
        const std::vector<MenuEvent> expected
            = key.item ? std::vector<MenuEvent> { { key.item, 0 } } : std::vector<MenuEvent> {};
        EXPECT_EQ(menuEvents(), expected) << std::hex << key.key << " modifiers " << key.modifiers.toInt();
    }
}

TEST_F(KeyboardShortcutTest, TheFirstMatchWinsAndItemMinusOnePassesTheKeyOn)
{
    openActiveWindow(0);
    QLineEdit field(windowContent(0));
    field.show();
    field.setFocus();
    addKeyboardShortcut(0, 'a', 1);
    addKeyboardShortcut(0, 'a', 2);
    addKeyboardShortcut(0, 'b', -1);
    addKeyboardShortcut(0, 'b', 3);

    QTest::keyClicks(&field, QStringLiteral("ab"));
    EXPECT_EQ(field.text(), QStringLiteral("b"));
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 0 } }));
}

TEST_F(KeyboardShortcutTest, EachWindowHasItsOwnTableAndUnknownOnesNone)
{
    openActiveWindow(0);
    openActiveWindow(1);
    addKeyboardShortcut(0, 'q', 1);
    addKeyboardShortcut(1, 'q', 2);
    addKeyboardShortcut(7, 'q', 3);
    EXPECT_EQ(windowContainer(7), nullptr);

    // A code without a key makes the table and adds nothing.
    addKeyboardShortcut(2, 0, 9);
    openActiveWindow(2);
    addKeyboardShortcut(2, 0x80000, 9);
    ASSERT_NE(shortcutTableOf(*windowContainer(2)), nullptr);

    QTest::keyClick(keyTarget(0), Qt::Key_Q);
    QTest::keyClick(keyTarget(1), Qt::Key_Q);
    QTest::keyClick(keyTarget(2), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 0 }, { 2, 1 } }));
}

TEST_F(KeyboardShortcutTest, WindowsOpenAndCloseSafelyWhileOthersHaveShortcuts)
{
    // The message dialog opens while the main window has its shortcuts.
    openActiveWindow(0);
    addKeyboardShortcut(0, 0x8006F, 1);
    for (int pass = 0; pass < 3; ++pass) {
        const int dialog = static_cast<int>(openWindow(DYNAMIC_NUMBER, 0, 0, 400, 160, "dialog", 0x148));
        ASSERT_NE(isWindow(dialog), 0);
        addKeyboardShortcut(dialog, RETURN_KEY, 1);
        QTest::keyClick(windowContainer(dialog), Qt::Key_Return);
        EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, dialog } }));
        closeWindow(dialog);
    }
}

} // namespace
