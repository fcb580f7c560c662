#include "toolkit/test_driver.h"

#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/status_bar.h"
#include "toolkit/timers.h"

#include "test_images.h"
#include "toolkit_test_support.h"

#include <string>
#include <vector>

// The driver as application tests use it: plain toolkit calls and the driver, nothing of Qt.

namespace {

struct Event {
    int code = 0;
    int object = 0;
    int window = 0;
    int type = 0;

    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& event)
{
    return out << "{code " << event.code << " object " << event.object << " window " << event.window
               << " type " << event.type << "}";
}

// What the application's loop dispatches on (timers, gadgets, menus), until the queue is empty and
// the desktop quiet.
std::vector<Event> reported()
{
    std::vector<Event> events;
    for (int pass = 0; pass < 50; ++pass) {
        const int code = waitEvent(20);
        if (code == EVENT_NONE && queuedEventCount() == 0)
            break;
        if (code == EVENT_TIMER || code == EVENT_GADGET || code == EVENT_MENU)
            events.push_back(
                { code, lastEventGadget(), lastEventWindow(), code == EVENT_GADGET ? lastEventType() : 0 });
    }
    return events;
}

std::string text(const String& s)
{
    return s.c_str();
}

class TestDriverTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        initGadgets();
        initStatusBars();
        initMenus();
        openWindow(0, 20, 20, 400, 300, "Graphonite", WINDOW_CLOSE_BOX);
        settle();
        initEventQueue();
    }

    void TearDown() override
    {
        resetMouse();
        freeAllMenus();
        ToolkitTest::TearDown();
    }
};

TEST_F(TestDriverTest, ClicksReachTheImageGadgetThroughTheQueueAndPlaceTheMouse)
{
    const TestImage picture(100, 80, 0, 128, 0);
    imageGadget(0, 30, 40, 100, 80, picture.handle());
    settle();

    EXPECT_EQ(clickGadget(0), 1);
    EXPECT_EQ(windowMouseX(0), 30 + 50);
    EXPECT_EQ(windowMouseY(0), 40 + 40);
    EXPECT_EQ(reported(), (std::vector<Event> { { EVENT_GADGET, 0, 0, GADGET_LEFT_CLICK } }));

    EXPECT_EQ(clickGadget(0, GADGET_RIGHT_CLICK, 5, 7), 1);
    EXPECT_EQ(windowMouseX(0), 35);
    EXPECT_EQ(windowMouseY(0), 47);
    EXPECT_EQ(reported(), (std::vector<Event> { { EVENT_GADGET, 0, 0, GADGET_RIGHT_CLICK } }));

    // The desktop's double-click rule applies as for a user: a contextual click came between.
    clickGadget(0, GADGET_LEFT_CLICK, 10, 10);
    clickGadget(0, GADGET_LEFT_CLICK, 10, 10);
    EXPECT_EQ(reported(),
        (std::vector<Event> {
            { EVENT_GADGET, 0, 0, GADGET_LEFT_CLICK }, { EVENT_GADGET, 0, 0, GADGET_LEFT_DOUBLE_CLICK } }));

    EXPECT_EQ(clickGadget(99), 0);
}

TEST_F(TestDriverTest, TheMouseIsPlacedInAWindowOutsideAllOrBackOnTheDesktop)
{
    placeMouse(0, 12, 34);
    EXPECT_EQ(windowMouseX(0), 12);
    EXPECT_EQ(windowMouseY(0), 34);
    placeMouse(0, 400, 300); // the edges belong to the content
    EXPECT_EQ(windowMouseX(0), 400);
    placeMouseOutside();
    EXPECT_EQ(windowMouseX(0), -1);
    EXPECT_EQ(windowMouseY(0), -1);
}

TEST_F(TestDriverTest, MenuBarChoicesAreReportedWithTheirItems)
{
    createMenu(0, windowHandle(0));
    menuTitle("&File");
    menuItem(10, "Open\tCMD+O");
    menuSeparator();
    menuItem(MENU_ITEM_QUIT, "Quit");
    menuTitle("Edit");
    menuItem(20, "Copy\tCMD+C");

    EXPECT_EQ(menuBarTitles(0), (std::vector<std::string> { "File", "Edit" }));
    EXPECT_EQ(menuBarItems(0), (std::vector<int> { 10, 0, 0, MENU_ITEM_QUIT, 20 }));
    const std::vector<std::string> texts = menuBarItemTexts(0);
    ASSERT_EQ(texts.size(), 5U);
    EXPECT_EQ(texts[0], "Open");
    EXPECT_EQ(texts[4], "Copy");

    EXPECT_EQ(chooseMenuItem(0, 10), 1);
    EXPECT_EQ(chooseMenuItem(0, MENU_ITEM_QUIT), 1);
    EXPECT_EQ(
        reported(), (std::vector<Event> { { EVENT_MENU, 10, 0, 0 }, { EVENT_MENU, MENU_ITEM_QUIT, 0, 0 } }));

    EXPECT_EQ(chooseMenuItem(0, 0), 0); // separators are no items
    EXPECT_EQ(chooseMenuItem(0, 77), 0);
    EXPECT_EQ(chooseMenuItem(5, 10), 0);
    EXPECT_TRUE(menuBarItems(5).empty());

    // The edit-command rule: Copy goes to the focused field instead of being reported.
    stringGadget(1, 10, 10, 200, 25, "text");
    setActiveGadget(1);
    reported();
    EXPECT_EQ(chooseMenuItem(0, 20), 1);
    EXPECT_EQ(reported(), std::vector<Event> {});
}

TEST_F(TestDriverTest, PopupMenusAreRecordedNotShownAndChosenForTheirWindow)
{
    createPopupMenu(2);
    menuItem(30, "Delete Row");
    menuSeparator();
    menuItem(31, "Empty Table");
    EXPECT_EQ(popupMenuItems(2), (std::vector<int> { 30, 0, 31 }));

    EXPECT_EQ(choosePopupMenuItem(2, 30), 0); // never shown: no window to report for
    const int before = displayedPopupCount();
    displayPopupMenu(2, windowHandle(0));
    EXPECT_EQ(lastDisplayedPopup(), 2);
    EXPECT_EQ(displayedPopupCount(), before + 1);

    EXPECT_EQ(choosePopupMenuItem(2, 31), 1);
    EXPECT_EQ(reported(), (std::vector<Event> { { EVENT_MENU, 31, 0, 0 } }));

    openWindowSimple(1, 40, 40, 200, 100, "other");
    EXPECT_EQ(choosePopupMenuItem(2, 30, 1), 1);
    EXPECT_EQ(reported(), (std::vector<Event> { { EVENT_MENU, 30, 1, 0 } }));
    EXPECT_EQ(choosePopupMenuItem(2, 99), 0);
    EXPECT_EQ(choosePopupMenuItem(3, 30), 0);
}

TEST_F(TestDriverTest, KeysGoThroughTheWindowsShortcutsAndTheMenuKeys)
{
    createMenu(0, windowHandle(0));
    menuTitle("File");
    menuItem(10, "Open\tCMD+O");
    menuItem(MENU_ITEM_QUIT, "Quit");
    addKeyboardShortcut(0, 'y', 4);
    addKeyboardShortcut(0, 27, 2);
    addKeyboardShortcut(0, SHORTCUT_ALT | 's', 7);
    settle();
    initEventQueue();

    struct Case {
        int code;
        std::vector<Event> events;
    };
    const Case cases[] = {
        { 'y', { { EVENT_MENU, 4, 0, 0 } } },
        { 27, { { EVENT_MENU, 2, 0, 0 } } },
        { SHORTCUT_ALT | 's', { { EVENT_MENU, 7, 0, 0 } } },
        { SHORTCUT_COMMAND | 'o', { { EVENT_MENU, 10, 0, 0 } } },
        { SHORTCUT_CONTROL | 'q', { { EVENT_MENU, MENU_ITEM_QUIT, 0, 0 } } },
        { 'n', {} },
        { SHORTCUT_SHIFT | 'y', {} },
    };
    for (const Case& c : cases) {
        pressKey(0, c.code);
        EXPECT_EQ(reported(), c.events) << std::hex << c.code;
    }
}

TEST_F(TestDriverTest, TypingGoesIntoTheStringGadget)
{
    stringGadget(1, 10, 10, 200, 25, "");
    stringGadget(2, 10, 50, 200, 25, "", STRING_NUMERIC);
    typeText(1,
        "Gr\xF6\xDF"
        "e 1");
    EXPECT_EQ(text(getGadgetText(1)),
        "Gr\xF6\xDF"
        "e 1");
    EXPECT_EQ(focusedGadget(), 1);
    typeText(2, "a1.b2");
    EXPECT_EQ(text(getGadgetText(2)), "1.2");
    EXPECT_EQ(focusedGadget(), 2);
}

TEST_F(TestDriverTest, WaitActionsRunOneEachInsideTheWaitsThatFollow)
{
    buttonGadget(1, 10, 10, 60, 20, "OK");
    settle();
    initEventQueue();

    // A modal loop of the code under test, as a dialog runs it.
    std::vector<std::string> order;
    auto dialog = [&order] {
        order.push_back("dialog begins");
        for (int pass = 0; pass < 200; ++pass) {
            if (waitEvent(25) == EVENT_GADGET && lastEventGadget() == 1)
                return 1;
        }
        return 0;
    };
    // The first action runs inside the next wait and starts the dialog there, as a handler
    // would; the dialog's first wait, nested in it, runs the second, which answers it.
    int answer = -1;
    runDuringNextWait([&] {
        order.push_back("outer");
        answer = dialog();
    });
    runDuringNextWait([&order] {
        order.push_back("inner");
        clickGadget(1);
    });
    EXPECT_EQ(pendingWaitActions(), 2);
    EXPECT_EQ(order, std::vector<std::string> {}); // nothing before a wait begins

    EXPECT_EQ(waitEvent(0), EVENT_NONE); // the click went to the dialog
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(order, (std::vector<std::string> { "outer", "dialog begins", "inner" }));
    EXPECT_EQ(pendingWaitActions(), 0);
    EXPECT_EQ(reported(), std::vector<Event> {});
}

TEST_F(TestDriverTest, WindowsTitlesAndTimers)
{
    EXPECT_EQ(lastOpenedWindow(), 0);
    const int dialog = static_cast<int>(openWindow(DYNAMIC_NUMBER, 0, 0, 400, 160, "Quit", 0x148));
    openWindow(3, 0, 0, 100, 100, "tool", WINDOW_TOOL | WINDOW_CLOSE_BOX);
    EXPECT_EQ(lastOpenedWindow(), 3);
    closeWindow(3);
    EXPECT_EQ(lastOpenedWindow(), dialog);
    EXPECT_EQ(windowOpenFlags(dialog), 0x148);
    EXPECT_EQ(windowHasCloseBox(dialog), 0);
    EXPECT_EQ(windowHasCloseBox(0), 1);
    closeWindow(dialog);
    EXPECT_EQ(lastOpenedWindow(), 0);

    setWindowTitle(0, "Graphonite / Set Origin");
    setWindowModified(0, 1);
    EXPECT_EQ(text(windowTitleText(0)), "Graphonite / Set Origin");
    EXPECT_EQ(text(shownWindowTitle(0)), "*Graphonite / Set Origin");
    EXPECT_EQ(text(windowTitleText(9)), "");

    addWindowTimer(0, 1, 500);
    addWindowTimer(0, 4, 500);
    EXPECT_EQ(windowTimers(0), (std::vector<int> { 1, 4 }));
    removeWindowTimer(0, 1);
    EXPECT_EQ(windowTimers(0), std::vector<int> { 4 });
    EXPECT_TRUE(windowTimers(9).empty());
}

TEST_F(TestDriverTest, GadgetLooks)
{
    stringGadget(1, 10, -30, 140, 20, "");
    textGadget(2, 200, 100, 180, 90, "");
    const Handle font = loadFont(0, "Arial", 20);
    setGadgetFont(2, font);
    gadgetToolTip(2, "Here you see the recorded data.");
    buttonGadget(3, 10, 200, 60, 20, "Yes", BUTTON_DEFAULT);
    listGadget(4, 200, 10, 180, 80, "1", 78);
    addGadgetColumn(4, -1, "2", 60);

    struct Case {
        int gadget;
        int x, width, height, visible;
    };
    const Case cases[] = {
        { 1, 10, 140, 20, 0 }, // parked above the content, outer rectangle
        { 2, 200, 180, 90, 1 },
        { 99, 0, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gadgetX(c.gadget), c.x) << c.gadget;
        EXPECT_EQ(gadgetWidth(c.gadget), c.width) << c.gadget;
        EXPECT_EQ(gadgetHeight(c.gadget), c.height) << c.gadget;
        EXPECT_EQ(gadgetVisible(c.gadget), c.visible) << c.gadget;
    }
    resizeGadget(1, IGNORE_VALUE, 10, IGNORE_VALUE, IGNORE_VALUE);
    EXPECT_EQ(gadgetVisible(1), 1);

    EXPECT_EQ(text(gadgetToolTipText(2)), "Here you see the recorded data.");
    EXPECT_EQ(gadgetFontPixelSize(2), 20);
    EXPECT_EQ(gadgetFontBold(2), 0);
    EXPECT_EQ(gadgetFontPixelSize(1), 0);
    EXPECT_EQ(isDefaultButton(3), 1);
    EXPECT_EQ(isDefaultButton(2), 0);
    EXPECT_EQ(listColumnCount(4), 2);
    EXPECT_EQ(listColumnWidth(4, 0), 78);
    EXPECT_EQ(listColumnWidth(4, 1), 60);
    EXPECT_EQ(listColumnWidth(4, 2), 0);

    EXPECT_EQ(focusedGadget(), -1);
    setActiveGadget(1);
    for (int pass = 0; pass < 50 && focusedGadget() != 1; ++pass)
        waitEvent(10);
    EXPECT_EQ(focusedGadget(), 1);
}

TEST_F(TestDriverTest, StatusBarFieldsAsLastSet)
{
    createStatusBar(0, windowHandle(0));
    addStatusBarField(200);
    addStatusBarField(IGNORE_VALUE);
    EXPECT_EQ(statusBarFieldCount(0), 2);
    EXPECT_EQ(text(statusBarFieldText(0, 0)), "");
    statusBarText(0, 0, "Set Origin", STATUS_FIELD_BORDERLESS);
    EXPECT_EQ(text(statusBarFieldText(0, 0)), "Set Origin");
    EXPECT_EQ(statusBarFieldFlags(0, 0), STATUS_FIELD_BORDERLESS);
    EXPECT_EQ(text(statusBarFieldText(0, 2)), "");
    EXPECT_EQ(statusBarFieldCount(5), 0);
}

} // namespace
