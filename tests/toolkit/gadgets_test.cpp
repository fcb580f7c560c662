#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/qt_font.h"
#include "toolkit/platform/window_container.h"

#include "gadget_test_support.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <string>

namespace {

using GadgetsTest = GadgetTest;

// Types ISO 8859-1 characters one by one, as key presses that carry the character.
void typeText(QWidget* widget, const char* latin1)
{
    for (const char* c = latin1; *c; ++c) {
        const QString character = QString::fromLatin1(c, 1);
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, character, Qt::NoModifier);
    }
}

TEST_F(GadgetsTest, NumbersFixedDynamicAndUnknown)
{
    const Handle fixed = textGadget(3, 10, 10, 100, 20, "fixed");
    ASSERT_NE(fixed, 0);
    EXPECT_EQ(gadgetHandle(3), fixed);
    EXPECT_NE(isGadget(3), 0);

    const int dynamic = static_cast<int>(buttonGadget(DYNAMIC_NUMBER, 10, 40, 100, 25, "dynamic"));
    EXPECT_GE(dynamic, 0x40000000);
    EXPECT_NE(isGadget(dynamic), 0);
    EXPECT_NE(gadgetHandle(dynamic), 0);

    EXPECT_EQ(textGadget(-2, 0, 0, 10, 10, "refused"), 0);
    EXPECT_EQ(textGadget(0x40000000, 0, 0, 10, 10, "refused"), 0);
    for (int unknown : { -1, 0, 4, 99, dynamic + 1 }) {
        SCOPED_TRACE(unknown);
        EXPECT_EQ(isGadget(unknown), 0);
        EXPECT_EQ(gadgetHandle(unknown), 0);
        EXPECT_EQ(gadgetY(unknown), 0);
        EXPECT_EQ(setActiveGadget(unknown), 0);
        EXPECT_EQ(text(getGadgetText(unknown)), "");
        EXPECT_EQ(getGadgetState(unknown), 0);
        EXPECT_EQ(countGadgetItems(unknown), 0);
        EXPECT_EQ(text(getGadgetItemText(unknown, 0, 0)), "");
        EXPECT_EQ(gadgetPreferredHeight(unknown), 0);
        resizeGadget(unknown, 1, 1, 1, 1);
        setGadgetText(unknown, "x");
        setGadgetState(unknown, 1);
        addGadgetItem(unknown, -1, "x");
        removeGadgetItem(unknown, 0);
        clearGadgetItems(unknown);
        setGadgetItemText(unknown, 0, "x", 0);
        addGadgetColumn(unknown, 0, "x", 10);
        removeGadgetColumn(unknown, 0);
        setGadgetFont(unknown, -1);
        gadgetToolTip(unknown, "x");
    }
}

TEST_F(GadgetsTest, OperationsAKindLacksDoNothing)
{
    textGadget(1, 10, 10, 100, 20, "static");
    buttonGadget(2, 10, 40, 100, 25, "button");
    for (int gadget : { 1, 2 }) {
        SCOPED_TRACE(gadget);
        addGadgetItem(gadget, -1, "item");
        EXPECT_EQ(countGadgetItems(gadget), 0);
        EXPECT_EQ(text(getGadgetItemText(gadget, 0, 0)), "");
        addGadgetColumn(gadget, 0, "column", 50);
        removeGadgetColumn(gadget, 0);
        clearGadgetItems(gadget);
    }
    setGadgetState(1, 1);
    EXPECT_EQ(getGadgetState(1), 0);
    EXPECT_EQ(text(getGadgetText(1)), "static");
    EXPECT_EQ(text(getGadgetText(2)), "button");
}

TEST_F(GadgetsTest, ClosingTheWindowDestroysItsGadgetsAndFreesTheirNumbers)
{
    textGadget(1, 10, 10, 100, 20, "a");
    stringGadget(2, 10, 40, 100, 20, "b");
    const int dynamic = static_cast<int>(buttonGadget(DYNAMIC_NUMBER, 10, 70, 100, 25, "c"));
    QPointer<QWidget> widgets[] = { widgetOf(1), widgetOf(2), widgetOf(dynamic) };

    closeWindow(0);
    for (int gadget : { 1, 2, dynamic })
        EXPECT_EQ(isGadget(gadget), 0) << gadget;
    for (const auto& widget : widgets)
        EXPECT_TRUE(widget.isNull());
    // No window is the current gadget list now: nothing can be created, the number stays free.
    EXPECT_EQ(textGadget(1, 0, 0, 10, 10, "nowhere"), 0);
    EXPECT_EQ(isGadget(1), 0);

    openWindow(0, 20, 20, 200, 200, "again", WINDOW_CLOSE_BOX);
    EXPECT_NE(textGadget(1, 10, 10, 100, 20, "new"), 0);
    EXPECT_EQ(text(getGadgetText(1)), "new");
}

TEST_F(GadgetsTest, ReusingANumberDestroysTheOldControl)
{
    textGadget(1, 10, 10, 100, 20, "old");
    QPointer<QWidget> old = widgetOf(1);
    const Handle replaced = buttonGadget(1, 10, 40, 100, 25, "new");
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(gadgetHandle(1), replaced);
    EXPECT_NE(widgetOf<QPushButton>(1), nullptr);
    EXPECT_EQ(windowContent(0)->findChildren<QLabel*>().size(), 0);
}

TEST_F(GadgetsTest, GadgetsGoIntoTheCurrentGadgetList)
{
    openWindow(1, 300, 20, 200, 200, "second", WINDOW_CLOSE_BOX);
    textGadget(1, 5, 5, 50, 20, "in 1");
    openWindow(2, 300, 300, 200, 200, "third", WINDOW_CLOSE_BOX | WINDOW_NO_GADGET_LIST);
    textGadget(2, 5, 5, 50, 20, "still in 1");
    EXPECT_EQ(widgetOf(1)->parentWidget(), windowContent(1));
    EXPECT_EQ(widgetOf(2)->parentWidget(), windowContent(1));
    closeWindow(1);
    EXPECT_EQ(isGadget(1) + isGadget(2), 0);
}

TEST_F(GadgetsTest, TextGadgetsTextsAlignmentAndFrame)
{
    textGadget(1, 10, 10, 100, 20,
        "Gr\xF6\xDF"
        "e");
    textGadget(2, 10, 40, 100, 20, nullptr, TEXT_RIGHT | TEXT_BORDER);
    textGadget(3, 10, 70, 100, 20, "c", TEXT_CENTER | TEXT_RIGHT);
    EXPECT_EQ(widgetOf<QLabel>(1)->text(), QString::fromUtf8("Größe"));
    EXPECT_EQ(text(getGadgetText(1)),
        "Gr\xF6\xDF"
        "e");
    EXPECT_EQ(text(getGadgetText(2)), "");
    EXPECT_EQ(widgetOf<QLabel>(1)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(widgetOf<QLabel>(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(widgetOf<QLabel>(3)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(widgetOf<QLabel>(1)->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(widgetOf<QLabel>(2)->frameShape(), QFrame::Box);

    setGadgetText(1, "neu");
    EXPECT_EQ(text(getGadgetText(1)), "neu");
    setGadgetText(1, nullptr);
    EXPECT_EQ(text(getGadgetText(1)), "");
    EXPECT_EQ(gadgetY(3), 70);
}

TEST_F(GadgetsTest, AStringGadgetsFieldLiesInsetWithItsFrameAroundIt)
{
    stringGadget(1, 10, 50, 350, 20, "x");
    EXPECT_EQ(gadgetY(1), 53);
    const QRect widget = geometryOf(1);
    EXPECT_EQ(widget, QRect(10, 50, 350, 20));

    struct Case {
        int x, y, width, height;
        QRect field; // the inset field afterwards, as gadgetY and later resizes see it
    };
    const Case cases[] = {
        { IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, QRect(14, 53, 342, 15) },
        { IGNORE_VALUE, -30, IGNORE_VALUE, IGNORE_VALUE, QRect(14, -27, 342, 15) },
        { IGNORE_VALUE, 10, IGNORE_VALUE, IGNORE_VALUE, QRect(14, 13, 342, 15) },
        { 0, IGNORE_VALUE, 100, IGNORE_VALUE, QRect(4, 13, 92, 15) },
        { IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, 30, QRect(4, 13, 92, 25) },
    };
    for (const Case& c : cases) {
        resizeGadget(1, c.x, c.y, c.width, c.height);
        EXPECT_EQ(gadgetY(1), c.field.y()) << c.x << " " << c.y << " " << c.width << " " << c.height;
        EXPECT_EQ(geometryOf(1), c.field.adjusted(-4, -3, 4, 2));
    }
}

TEST_F(GadgetsTest, ResizingKeepsWhatIsIgnoredAndMovesOutOfSight)
{
    textGadget(1, 10, 20, 100, 30, "t");
    buttonGadget(2, 10, 60, 100, 25, "b");
    struct Case {
        int gadget;
        int x, y, width, height;
        QRect expected;
    };
    const Case cases[] = {
        { 1, IGNORE_VALUE, -30, IGNORE_VALUE, IGNORE_VALUE, QRect(10, -30, 100, 30) },
        { 1, 5, IGNORE_VALUE, IGNORE_VALUE, 40, QRect(5, -30, 100, 40) },
        { 1, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, QRect(5, -30, 100, 40) },
        { 2, 200, 10, 80, 20, QRect(200, 10, 80, 20) },
        { 2, IGNORE_VALUE, IGNORE_VALUE, 120, IGNORE_VALUE, QRect(200, 10, 120, 20) },
    };
    for (const Case& c : cases) {
        resizeGadget(c.gadget, c.x, c.y, c.width, c.height);
        EXPECT_EQ(geometryOf(c.gadget), c.expected) << c.gadget << " " << c.x << " " << c.y;
        EXPECT_EQ(gadgetY(c.gadget), c.expected.y());
    }
    EXPECT_TRUE(widgetOf(2)->isVisible());
}

struct TypingCase {
    int flags;
    const char* typed;
    const char* expected;
};

TEST_F(GadgetsTest, TheTypingFilterAppliesToTypedCharacters)
{
    const TypingCase cases[] = {
        { STRING_NUMERIC, "a1.b", "1." },
        // The space is below the filter's range and passes.
        { STRING_NUMERIC, "12,5 x-3.0", "125 3.0" },
        { STRING_NUMERIC | STRING_UPPER_CASE, "a9", "9" },
        { STRING_UPPER_CASE, "abc\xE4\xFF", "ABC\xC4\xFF" },
        { STRING_LOWER_CASE, "AbC\xC4", "abc\xE4" },
        { STRING_UPPER_CASE | STRING_LOWER_CASE, "ab", "AB" },
        { 0, "Mixed 1,5", "Mixed 1,5" },
        { STRING_READ_ONLY, "abc", "" },
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.typed);
        stringGadget(1, 10, 10, 200, 25, "", c.flags);
        auto* field = widgetOf<QLineEdit>(1);
        typeText(field, c.typed);
        EXPECT_EQ(text(getGadgetText(1)), c.expected) << "flags " << c.flags;
    }
}

TEST_F(GadgetsTest, TheFilterDoesNotTouchCommandsOrSetTexts)
{
    stringGadget(1, 10, 10, 200, 25, "", STRING_NUMERIC);
    auto* field = widgetOf<QLineEdit>(1);
    setGadgetText(1, "abc 1.5");
    EXPECT_EQ(text(getGadgetText(1)), "abc 1.5");
    // Control+A selects everything (the minus sign below is no command and is dropped).
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("7-"));
    EXPECT_EQ(text(getGadgetText(1)), "7");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(text(getGadgetText(1)), "");
    // Delete carries the character 0x7F: an editing key, not a character to filter.
    setGadgetText(1, "12");
    QTest::keyClick(field, Qt::Key_Home);
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
    EXPECT_EQ(text(getGadgetText(1)), "2");
}

TEST_F(GadgetsTest, EveryKeyTypedIntoAStringGadgetIsAChange)
{
    stringGadget(5, 10, 10, 200, 25, "", STRING_NUMERIC);
    auto* field = widgetOf<QLineEdit>(5);
    std::vector<int> types;
    for (char c : std::string("1a2")) {
        QTest::keyClick(field, c);
        for (int type : takeGadgetEventTypes())
            types.push_back(type);
    }
    // The dropped letter is no change.
    EXPECT_EQ(types, (std::vector<int> { GADGET_CHANGE, GADGET_CHANGE }));
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 5, GADGET_CHANGE, 0 } }));
}

TEST_F(GadgetsTest, PasswordFieldsHideTheirText)
{
    stringGadget(1, 10, 10, 200, 25, "secret", STRING_PASSWORD);
    EXPECT_EQ(widgetOf<QLineEdit>(1)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(text(getGadgetText(1)), "secret");
}

TEST_F(GadgetsTest, FocusComesAndGoesWithinTheWindow)
{
    stringGadget(1, 10, 10, 200, 25, "");
    stringGadget(2, 10, 40, 200, 25, "");
    QApplication::setActiveWindow(windowContainer(0));
    settle();
    initEventQueue();

    EXPECT_EQ(setActiveGadget(1), 1);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 1, GADGET_FOCUS, 0 } }));
    setActiveGadget(2);
    EXPECT_EQ(takeGadgetEvents(),
        (std::vector<GadgetEvent> { { 1, GADGET_LOST_FOCUS, 0 }, { 2, GADGET_FOCUS, 0 } }));
    QTest::keyClick(widgetOf(2), Qt::Key_Backtab);
    EXPECT_EQ(takeGadgetEvents(),
        (std::vector<GadgetEvent> { { 2, GADGET_LOST_FOCUS, 0 }, { 1, GADGET_FOCUS, 0 } }));
}

TEST_F(GadgetsTest, ButtonsClickToggleAndDefault)
{
    buttonGadget(1, 10, 10, 100, 25, "plain");
    buttonGadget(2, 10, 40, 100, 25, "toggle", BUTTON_TOGGLE | BUTTON_LEFT);
    buttonGadget(3, 10, 70, 100, 25, "Ok", BUTTON_DEFAULT);
    stringGadget(4, 150, 10, 100, 25, "");

    QTest::mouseClick(widgetOf(1), Qt::LeftButton);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 1, GADGET_LEFT_CLICK, 0 } }));
    setGadgetState(1, 1);
    EXPECT_EQ(getGadgetState(1), 0);

    EXPECT_EQ(getGadgetState(2), 0);
    QTest::mouseClick(widgetOf(2), Qt::LeftButton);
    EXPECT_EQ(getGadgetState(2), 1);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 2, GADGET_LEFT_CLICK, 0 } }));
    QTest::mouseClick(widgetOf(2), Qt::LeftButton);
    EXPECT_EQ(getGadgetState(2), 0);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 2, GADGET_LEFT_CLICK, 0 } }));
    setGadgetState(2, 5);
    EXPECT_EQ(getGadgetState(2), 1);
    setGadgetState(2, 0);
    EXPECT_EQ(getGadgetState(2), 0);
    EXPECT_TRUE(takeGadgetEvents().empty());

    // Return in the field presses the window's default button.
    EXPECT_TRUE(widgetOf<QPushButton>(3)->isDefault());
    QTest::keyClick(widgetOf(4), Qt::Key_Return);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 3, GADGET_LEFT_CLICK, 0 } }));
    // With a modifier the key goes to the field, as a key typed.
    QTest::keyClick(widgetOf(4), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 4, GADGET_CHANGE, 0 } }));

    setGadgetText(3, "Go");
    EXPECT_EQ(text(getGadgetText(3)), "Go");
    // Gone with its window filter: Return does nothing any more.
    buttonGadget(3, 10, 70, 100, 25, "plain again");
    QTest::keyClick(widgetOf(4), Qt::Key_Return);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 4, GADGET_CHANGE, 0 } }));
}

TEST_F(GadgetsTest, TheDefaultButtonLooksDefaultAndReturnPressesItOnce)
{
    buttonGadget(1, 10, 10, 100, 25, "Ok", BUTTON_DEFAULT);
    buttonGadget(2, 10, 40, 100, 25, "Ok");
    stringGadget(3, 150, 10, 100, 25, "");
    auto* button = widgetOf<QPushButton>(1);
    EXPECT_TRUE(button->isDefault());
    EXPECT_FALSE(widgetOf<QPushButton>(2)->isDefault());
    // The style draws it otherwise than a plain button with the same text.
    const QImage plainLook = widgetOf(2)->grab().toImage();
    EXPECT_NE(button->grab().toImage(), plainLook);

    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    // From the field, from the button itself (QPushButton would press a focused default button
    // on its own as well) and with the keypad's Enter.
    struct Case {
        int focus;
        Qt::Key key;
    };
    for (const Case c :
        { Case { 3, Qt::Key_Return }, Case { 1, Qt::Key_Return }, Case { 1, Qt::Key_Enter } }) {
        widgetOf(c.focus)->setFocus();
        takeGadgetEvents(); // the field's focus events
        clicks = 0;
        QTest::keyClick(
            widgetOf(c.focus), c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(clicks, 1) << c.focus << " " << c.key;
        EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 1, GADGET_LEFT_CLICK, 0 } }));
    }
    // Focus moving away keeps the mark.
    widgetOf(3)->setFocus();
    EXPECT_TRUE(button->isDefault());
}

TEST_F(GadgetsTest, AReturnShortcutOfTheWindowWinsOverTheDefaultButton)
{
    buttonGadget(1, 10, 10, 100, 25, "Yes", BUTTON_DEFAULT);
    stringGadget(3, 150, 10, 100, 25, "");
    addKeyboardShortcut(0, 13, 1);
    addKeyboardShortcut(0, 27, 2);
    int clicks = 0;
    QObject::connect(widgetOf<QPushButton>(1), &QPushButton::clicked, [&clicks] { ++clicks; });

    for (int focus : { 3, 1 }) {
        widgetOf(focus)->setFocus();
        takeGadgetEvents();
        QTest::keyClick(widgetOf(focus), Qt::Key_Return);
        std::vector<int> items;
        while (queuedEventCount() > 0) {
            const int code = waitEvent(0);
            EXPECT_EQ(code, EVENT_MENU) << focus;
            items.push_back(lastEventMenuItem());
        }
        EXPECT_EQ(items, std::vector<int> { 1 }) << focus;
        EXPECT_EQ(clicks, 0) << focus;
    }
    // A shortcut for item -1 leaves the key to the window: the default button takes it.
    openWindowSimple(1, 20, 20, 300, 100, "passes on");
    buttonGadget(4, 10, 10, 100, 25, "Go", BUTTON_DEFAULT);
    addKeyboardShortcut(1, 13, -1);
    QTest::keyClick(widgetOf(4), Qt::Key_Return);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 4, GADGET_LEFT_CLICK, 1 } }));
}

TEST_F(GadgetsTest, FontsForOneGadgetAndForTheGadgetsToCome)
{
    const Handle big = loadFont(0, "Arial", 20);
    ASSERT_NE(big, 0);
    textGadget(1, 10, 10, 100, 30, "before");
    const QFont system = widgetOf(1)->font();
    setGadgetFont(1, big);
    EXPECT_EQ(widgetOf(1)->font().pixelSize(), 20);
    setGadgetFont(1, 12345);
    EXPECT_EQ(widgetOf(1)->font().pixelSize(), 20);
    setGadgetFont(1, -1);
    EXPECT_EQ(widgetOf(1)->font(), system);

    setGadgetFont(-1, big);
    buttonGadget(2, 10, 50, 100, 30, "after");
    EXPECT_EQ(widgetOf(2)->font().pixelSize(), 20);
    setGadgetFont(-1, -1);
    textGadget(3, 10, 90, 100, 30, "system");
    EXPECT_EQ(widgetOf(3)->font(), system);
    // A default font that was freed meanwhile is not applied.
    setGadgetFont(-1, big);
    freeFont(0);
    textGadget(4, 10, 130, 100, 30, "system too");
    EXPECT_EQ(widgetOf(4)->font(), system);
}

TEST_F(GadgetsTest, ToolTipsAndActivation)
{
    textGadget(1, 10, 10, 100, 20, "t");
    gadgetToolTip(1, "Hier sehen Sie die Daten (\xE4).");
    EXPECT_EQ(widgetOf(1)->toolTip(), QString::fromUtf8("Hier sehen Sie die Daten (ä)."));
    gadgetToolTip(1, nullptr);
    EXPECT_TRUE(widgetOf(1)->toolTip().isEmpty());
    EXPECT_EQ(setActiveGadget(1), 1);
}

} // namespace
