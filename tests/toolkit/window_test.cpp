#include "toolkit/gadget_list.h"
#include "toolkit/modal_wait.h"
#include "toolkit/platform/gadget_list_state.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/timers.h"

#include "toolkit_test_support.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

using WindowTest = ToolkitTest;

WindowContainer& container(int number)
{
    WindowContainer* window = windowContainer(number);
    EXPECT_NE(window, nullptr) << "window " << number;
    return *window;
}

TEST_F(WindowTest, FixedAndDynamicNumbersAndUnknownOnes)
{
    const Handle fixed = openWindow(3, 10, 10, 120, 80, "fixed", WINDOW_CLOSE_BOX);
    EXPECT_NE(fixed, 0);
    EXPECT_EQ(windowHandle(3), fixed);
    EXPECT_EQ(windowContainerOfHandle(fixed), windowContainer(3));

    const Handle dynamic = openWindow(DYNAMIC_NUMBER, 10, 10, 120, 80, "dynamic", WINDOW_CLOSE_BOX);
    const int number = static_cast<int>(dynamic);
    EXPECT_GE(number, 0x40000000);
    EXPECT_NE(isWindow(number), 0);
    EXPECT_EQ(windowWidth(number), 120);
    EXPECT_EQ(container(number).number(), number);

    EXPECT_EQ(openWindow(-2, 0, 0, 10, 10, "refused", 0), 0);
    for (int unknown : { -1, 4, 99, number + 1 }) {
        EXPECT_EQ(isWindow(unknown), 0) << unknown;
        EXPECT_EQ(windowHandle(unknown), 0) << unknown;
        EXPECT_EQ(windowWidth(unknown), 0) << unknown;
        EXPECT_EQ(windowHeight(unknown), 0) << unknown;
        EXPECT_EQ(windowMouseX(unknown), 0) << unknown;
        EXPECT_EQ(windowMouseY(unknown), 0) << unknown;
        resizeWindow(unknown, 1, 1, 1, 1);
        setWindowTitle(unknown, "x");
        setWindowModified(unknown, 1);
        EXPECT_EQ(isWindowModified(unknown), 0) << unknown;
        stickyWindow(unknown, 1);
        closeWindow(unknown);
    }
    EXPECT_EQ(windowContainerOfHandle(12345), nullptr);

    closeWindow(3);
    EXPECT_EQ(isWindow(3), 0);
    EXPECT_EQ(windowContainerOfHandle(fixed), nullptr);
}

TEST_F(WindowTest, ReopeningANumberClosesTheFirstWindowWithItsTimersAndEvents)
{
    openWindowSimple(0, 10, 10, 100, 100, "first");
    QPointer<QWidget> first = windowContainer(0);
    ASSERT_EQ(addWindowTimer(0, 1, 10), 1);
    postEvent(EVENT_GADGET, 1, 0, GADGET_LEFT_CLICK);

    openWindowSimple(0, 10, 10, 150, 90, "second");
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(windowWidth(0), 150);
    EXPECT_EQ(container(0).windowTitle(), QStringLiteral("second"));
    EXPECT_EQ(queuedEventCount(), 0);
    const std::vector<int> reported = reportedEvents(eventsUntil(EVENT_TIMER, 200));
    EXPECT_EQ(std::count(reported.begin(), reported.end(), EVENT_TIMER), 0);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), EVENT_ACTIVATE_WINDOW), 1);
}

TEST_F(WindowTest, ClosingAWindowDiscardsItsQueuedEventsAndStopsItsTimers)
{
    openWindowSimple(0, 10, 10, 100, 100, "zero");
    openWindowSimple(1, 200, 10, 100, 100, "one");
    settle();
    ASSERT_EQ(addWindowTimer(0, 1, 10), 1);
    postEvent(EVENT_GADGET, 1, 0, GADGET_LEFT_CLICK);
    postEvent(EVENT_GADGET, 1, 1, GADGET_LEFT_CLICK);
    postEvent(EVENT_MENU, 2, 0, 0);
    postEvent(EVENT_MENU, 3, 1, 0);

    closeWindow(0);
    std::vector<int> windows;
    for (int code = waitEvent(0); code != EVENT_NONE; code = waitEvent(0)) {
        if (code != EVENT_OTHER)
            windows.push_back(lastEventWindow());
    }
    // Closing the active window may activate the other one.
    std::erase(windows, 1);
    EXPECT_EQ(windows, std::vector<int> {});
    EXPECT_EQ(reportedEvents(eventsUntil(EVENT_TIMER, 200)).size(), 0u);
}

TEST_F(WindowTest, SizesAreContentSizesAndIgnoreValueKeeps)
{
    openWindow(0, 30, 40, 200, 150, "sizes", WINDOW_CLOSE_BOX);
    WindowContainer& window = container(0);
    const QPoint start = window.pos();
    EXPECT_EQ(start, QPoint(30, 40));

    struct Case {
        int x, y, width, height;
        QPoint position;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        { IGNORE_VALUE, IGNORE_VALUE, 300, IGNORE_VALUE, { 30, 40 }, 300, 150 },
        { IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, 90, { 30, 40 }, 300, 90 },
        { 70, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, { 70, 40 }, 300, 90 },
        { IGNORE_VALUE, 20, IGNORE_VALUE, IGNORE_VALUE, { 70, 20 }, 300, 90 },
        { 5, 6, 0, -4, { 5, 6 }, 1, 1 },
        { IGNORE_VALUE, IGNORE_VALUE, 250, 120, { 5, 6 }, 250, 120 },
    };
    for (const Case& c : cases) {
        resizeWindow(0, c.x, c.y, c.width, c.height);
        EXPECT_EQ(window.pos(), c.position) << c.x << "," << c.y << " " << c.width << "x" << c.height;
        EXPECT_EQ(windowWidth(0), c.expectedWidth) << c.width;
        EXPECT_EQ(windowHeight(0), c.expectedHeight) << c.height;
    }
    settle();
    EXPECT_EQ(windowWidth(0), 250);
    EXPECT_EQ(windowHeight(0), 120);
}

TEST_F(WindowTest, OpeningClampsSizesAndPlacesAtFiftyWithoutAPosition)
{
    // Invisible: a huge window is never drawn.
    openWindow(0, IGNORE_VALUE, 300, 0, 100000, "clamped", WINDOW_INVISIBLE);
    EXPECT_EQ(windowWidth(0), 1);
    EXPECT_EQ(windowHeight(0), 32767);
    EXPECT_EQ(container(0).pos(), QPoint(50, 50));
    EXPECT_FALSE(container(0).isVisible());
    resizeWindow(0, IGNORE_VALUE, IGNORE_VALUE, 40000, 0);
    EXPECT_EQ(windowWidth(0), 32767);
    EXPECT_EQ(windowHeight(0), 1);
}

TEST_F(WindowTest, TheMenuBarLiesOutsideTheContentSize)
{
    openWindow(0, 10, 10, 300, 200, "menu", WINDOW_CLOSE_BOX | WINDOW_SIZE_BOX);
    settle();
    WindowContainer& window = container(0);
    auto bar = std::make_unique<QMenuBar>();
    bar->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Open"));
    window.setMenuBar(std::move(bar));
    settle();

    const int barHeight = window.menuBar()->height();
    EXPECT_GT(barHeight, 10);
    EXPECT_EQ(windowWidth(0), 300);
    EXPECT_EQ(windowHeight(0), 200);
    EXPECT_EQ(window.height(), 200 + barHeight);
    EXPECT_EQ(window.content()->geometry(), QRect(0, barHeight, 300, 200));

    resizeWindow(0, IGNORE_VALUE, IGNORE_VALUE, 260, 180);
    settle();
    EXPECT_EQ(window.content()->geometry(), QRect(0, barHeight, 260, 180));

    window.menuBar()->addMenu(QStringLiteral("Edit"));
    settle();
    EXPECT_EQ(windowHeight(0), 180);

    window.setMenuBar(nullptr);
    settle();
    EXPECT_EQ(window.height(), 180);
    EXPECT_EQ(window.content()->geometry(), QRect(0, 0, 260, 180));
}

TEST_F(WindowTest, WindowFlagsChooseTheFrame)
{
    struct Case {
        int flags;
        bool tool, frameless, close, maximizeButton, minimizeButton, resizable;
    };
    const Case cases[] = {
        { 0, false, false, false, false, false, false },
        { WINDOW_CLOSE_BOX, false, false, true, false, false, false },
        { WINDOW_SIZE_BOX, false, false, false, false, false, true },
        { WINDOW_ZOOM_BOX, false, false, true, true, false, true },
        { WINDOW_COLLAPSE_BOX, false, false, true, false, true, false },
        { WINDOW_TOOL | WINDOW_ZOOM_BOX | WINDOW_COLLAPSE_BOX | WINDOW_SIZE_BOX, true, false, true, false,
            false, true },
        { WINDOW_BORDERLESS | WINDOW_CLOSE_BOX | WINDOW_SIZE_BOX, false, true, false, false, false, false },
    };
    for (const Case& c : cases) {
        openWindow(0, 10, 10, 100, 80, "flags", c.flags);
        const WindowContainer& window = container(0);
        const Qt::WindowFlags flags = window.windowFlags();
        EXPECT_EQ(window.windowType() == Qt::Tool, c.tool) << c.flags;
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), c.frameless) << c.flags;
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), c.close) << c.flags;
        EXPECT_EQ(flags.testFlag(Qt::WindowMaximizeButtonHint), c.maximizeButton) << c.flags;
        EXPECT_EQ(flags.testFlag(Qt::WindowMinimizeButtonHint), c.minimizeButton) << c.flags;
        EXPECT_EQ(window.minimumSize() != window.maximumSize(), c.resizable) << c.flags;
        EXPECT_TRUE(window.isVisible()) << c.flags;
    }
}

TEST_F(WindowTest, OpeningStatesAndCentring)
{
    openWindow(0, 10, 10, 100, 80, "max", WINDOW_MAXIMIZED);
    EXPECT_TRUE(container(0).isMaximized());
    openWindow(1, 10, 10, 100, 80, "min", WINDOW_COLLAPSED);
    EXPECT_TRUE(container(1).isMinimized());
    openWindow(2, 10, 10, 100, 80, "tool", WINDOW_TOOL | WINDOW_MAXIMIZED | WINDOW_COLLAPSED);
    EXPECT_FALSE(container(2).isMaximized());
    EXPECT_FALSE(container(2).isMinimized());

    for (int flag : { WINDOW_CENTERED, WINDOW_CENTERED_ON_PARENT }) {
        openWindow(3, 10, 10, 100, 80, "centred", flag);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint offset = container(3).frameGeometry().center() - screen.center();
        EXPECT_LE(offset.manhattanLength(), 2) << flag;
    }
}

TEST_F(WindowTest, TheCloseBoxReportsAndLeavesTheWindowOpen)
{
    openWindowSimple(0, 10, 10, 100, 100, "close box");
    settle();
    QCoreApplication::postEvent(windowContainer(0), std::make_unique<QCloseEvent>().release());
    EXPECT_EQ(waitEvent(1000), EVENT_CLOSE_WINDOW);
    EXPECT_EQ(lastEventWindow(), 0);
    EXPECT_EQ(lastEventGadget(), 0);
    EXPECT_NE(isWindow(0), 0);
    EXPECT_TRUE(container(0).isVisible());
}

TEST_F(WindowTest, FocusGivesOtherThenActivate)
{
    openWindowSimple(0, 10, 10, 100, 100, "zero");
    openWindowSimple(1, 200, 10, 100, 100, "one");
    settle();
    ASSERT_EQ(QApplication::activeWindow(), windowContainer(1));

    container(0).activateWindow();
    EXPECT_EQ(waitEvent(1000), EVENT_OTHER);
    EXPECT_EQ(waitEvent(0), EVENT_ACTIVATE_WINDOW);
    EXPECT_EQ(lastEventWindow(), 0);
    EXPECT_EQ(lastEventType(), 0);
}

TEST_F(WindowTest, MouseEdgesBelongToTheContent)
{
    openWindow(0, 100, 100, 200, 150, "mouse", WINDOW_CLOSE_BOX);
    settle();
    const QPoint origin = container(0).content()->mapToGlobal(QPoint(0, 0));
    QPoint mouse;
    setMouseSource([&mouse] { return mouse; });

    struct Case {
        int dx, dy, x, y;
    };
    const Case cases[] = {
        { 0, 0, 0, 0 },
        { 10, 20, 10, 20 },
        { 200, 20, 200, 20 }, // the right edge gives the content width
        { 20, 150, 20, 150 },
        { 200, 150, 200, 150 },
        { 201, 20, -1, -1 }, // one further: outside, for both
        { 20, 151, -1, -1 },
        { -1, 20, -1, -1 },
        { 20, -1, -1, -1 },
    };
    for (const Case& c : cases) {
        mouse = origin + QPoint(c.dx, c.dy);
        EXPECT_EQ(windowMouseX(0), c.x) << c.dx << "," << c.dy;
        EXPECT_EQ(windowMouseY(0), c.y) << c.dx << "," << c.dy;
    }
}

TEST_F(WindowTest, TitlesAreLatin1)
{
    openWindowSimple(0, 10, 10, 100, 100, "Gr\xE4phonite");
    EXPECT_EQ(container(0).windowTitle(), QString::fromUtf8("Gr\xC3\xA4phonite"));
    setWindowTitle(0, nullptr);
    EXPECT_EQ(container(0).windowTitle(), QString::fromUtf8("Gr\xC3\xA4phonite"));
    setWindowTitle(0, "");
    EXPECT_EQ(container(0).windowTitle(), QString());
}

TEST_F(WindowTest, TheModifiedMarkLeadsTheTitleAndGoesWithTheWindow)
{
    openWindowSimple(0, 10, 10, 100, 100, "Graphonite");
    openWindowSimple(1, 10, 10, 100, 100, "other");
    EXPECT_EQ(isWindowModified(0), 0);

    struct Step {
        int modified; // -1: set the title instead
        const char* title;
        int mark;
        const char* shown;
    };
    const Step steps[] = {
        { 1, nullptr, 1, "*Graphonite" },
        { -1, "Graphonite / Set Origin", 1, "*Graphonite / Set Origin" },
        { 7, nullptr, 1, "*Graphonite / Set Origin" }, // any non-zero marks, once
        { 0, nullptr, 0, "Graphonite / Set Origin" },
        { -1, "Gr\xE4phonite", 0, "Gr\xC3\xA4phonite" },
        { 1, nullptr, 1, "*Gr\xC3\xA4phonite" },
        { -1, "", 1, "*" },
    };
    for (const Step& step : steps) {
        if (step.modified >= 0)
            setWindowModified(0, step.modified);
        else
            setWindowTitle(0, step.title);
        EXPECT_EQ(isWindowModified(0), step.mark) << step.shown;
        EXPECT_EQ(container(0).windowTitle(), QString::fromUtf8(step.shown));
    }
    // The mark belongs to its window.
    EXPECT_EQ(isWindowModified(1), 0);
    EXPECT_EQ(container(1).windowTitle(), QStringLiteral("other"));

    // A window opened again under the number starts unmarked.
    closeWindow(0);
    EXPECT_EQ(isWindowModified(0), 0);
    openWindowSimple(0, 10, 10, 100, 100, "again");
    EXPECT_EQ(isWindowModified(0), 0);
    EXPECT_EQ(container(0).windowTitle(), QStringLiteral("again"));
    setWindowModified(0, 1);
    openWindowSimple(0, 10, 10, 100, 100, "reopened");
    EXPECT_EQ(isWindowModified(0), 0);
    EXPECT_EQ(container(0).windowTitle(), QStringLiteral("reopened"));
}

TEST_F(WindowTest, StickyWindowsFloatAndComeBackWhileStayingVisible)
{
    openWindowSimple(0, 10, 10, 100, 100, "sticky");
    settle();
    stickyWindow(0, 1);
    EXPECT_TRUE(container(0).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(container(0).isVisible());
    stickyWindow(0, 0);
    EXPECT_FALSE(container(0).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(container(0).isVisible());
}

TEST_F(WindowTest, TheCurrentGadgetListFollowsOpenWindowAndIsForgottenOnClose)
{
    openWindowSimple(0, 10, 10, 100, 100, "zero");
    EXPECT_EQ(currentGadgetWindow(), windowContainer(0));
    EXPECT_EQ(currentGadgetList().parent, windowContent(0));

    // A container opened in window 0 is kept with it while window 1 is current.
    // The content owns the box from here on.
    QPointer<QWidget> box = std::make_unique<QWidget>(windowContent(0)).release();
    currentGadgetList().containers.push_back(box);
    currentGadgetList().parent = box;

    openWindow(1, 200, 10, 100, 100, "not a gadget list", WINDOW_NO_GADGET_LIST);
    EXPECT_EQ(currentGadgetWindow(), windowContainer(0));

    openWindowSimple(2, 200, 10, 100, 100, "two");
    EXPECT_EQ(currentGadgetWindow(), windowContainer(2));
    EXPECT_EQ(currentGadgetList().parent, windowContent(2));
    EXPECT_TRUE(currentGadgetList().containers.empty());

    makeGadgetListCurrent(0);
    EXPECT_EQ(currentGadgetList().parent, box);
    ASSERT_EQ(currentGadgetList().containers.size(), 1u);

    closeWindow(0);
    EXPECT_EQ(currentGadgetWindow(), nullptr);
    EXPECT_EQ(currentGadgetList().parent, nullptr);
    EXPECT_TRUE(currentGadgetList().containers.empty());
    EXPECT_TRUE(box.isNull());
}

TEST_F(WindowTest, AttachmentsAndFiltersDieWithTheWindow)
{
    struct Table : WindowAttachment {
        explicit Table(bool& freed)
            : m_freed(freed)
        {
        }
        ~Table() override { m_freed = true; }
        bool& m_freed;
    };
    bool freed = false;
    openWindowSimple(0, 10, 10, 100, 100, "attachments");
    container(0).shortcutTable() = std::make_unique<Table>(freed);
    container(0).addWindowEventFilter([](QObject*, QEvent*) { return false; });
    closeWindow(0);
    EXPECT_TRUE(freed);
}

TEST_F(WindowTest, WindowFiltersSeeEventsOfEveryWidgetInside)
{
    openWindowSimple(0, 10, 10, 200, 100, "filters");
    QLineEdit field(windowContent(0));
    field.show();
    settle();

    std::vector<int> keys;
    const int id = container(0).addWindowEventFilter([&](QObject* receiver, QEvent* event) {
        if (event->type() != QEvent::KeyPress || receiver != &field)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        keys.push_back(key);
        return key == Qt::Key_A;
    });
    QTest::keyClicks(&field, QStringLiteral("abc"));
    EXPECT_EQ(keys, (std::vector<int> { Qt::Key_A, Qt::Key_B, Qt::Key_C }));
    EXPECT_EQ(field.text(), QStringLiteral("bc"));

    container(0).removeWindowEventFilter(id);
    QTest::keyClicks(&field, QStringLiteral("a"));
    EXPECT_EQ(field.text(), QStringLiteral("bca"));
    EXPECT_EQ(keys.size(), 3u);
}

TEST_F(WindowTest, AModalWaitBlocksTheOtherWindowsWhileItLasts)
{
    openWindowSimple(0, 10, 10, 100, 100, "main");
    openWindowSimple(1, 200, 10, 100, 100, "requester");
    settle();
    {
        ModalWait wait(1);
        EXPECT_TRUE(wait.isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), windowContainer(1));
        EXPECT_TRUE(container(1).isVisible());
        settle();
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    {
        ModalWait wait(1);
        closeWindow(1);
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ModalWait none(7);
    EXPECT_FALSE(none.isModal());
}

} // namespace
