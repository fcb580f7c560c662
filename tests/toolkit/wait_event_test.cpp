#include "toolkit/gadgets.h"
#include "toolkit/timers.h"

#include "test_images.h"
#include "toolkit_test_support.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include "toolkit/platform/window_container.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using WaitEventTest = ToolkitTest;

TEST_F(WaitEventTest, ZeroOnlyLooksAndAPositiveTimeOutWaitsItsTimeThenGivesNone)
{
    openWindowSimple(0, 10, 10, 100, 100, "wait");
    settle();

    auto start = Clock::now();
    EXPECT_EQ(waitEvent(0), EVENT_NONE);
    EXPECT_LT(millisecondsSince(start), 100);

    for (int pass = 0; pass < 3; ++pass) {
        start = Clock::now();
        EXPECT_EQ(waitEvent(25), EVENT_NONE);
        const auto elapsed = millisecondsSince(start);
        EXPECT_GE(elapsed, 25);
        EXPECT_LT(elapsed, 1000);
    }
}

TEST_F(WaitEventTest, NoneResetsObjectAndWindowAndKeepsTheType)
{
    postEvent(EVENT_GADGET, 7, 0, GADGET_CHANGE);
    ASSERT_EQ(waitEvent(0), EVENT_GADGET);
    EXPECT_EQ(lastEventGadget(), 7);
    EXPECT_EQ(lastEventWindow(), 0);
    EXPECT_EQ(lastEventType(), GADGET_CHANGE);

    ASSERT_EQ(waitEvent(0), EVENT_NONE);
    EXPECT_EQ(lastEventGadget(), 0);
    EXPECT_EQ(lastEventWindow(), -1);
    EXPECT_EQ(lastEventType(), GADGET_CHANGE);
}

TEST_F(WaitEventTest, TheQueueIsDrainedBeforeTheDesktopIsLookedAt)
{
    openWindowSimple(0, 10, 10, 100, 100, "queue first");
    settle();
    postEvent(EVENT_MENU, 4, 0, 0);
    postEvent(EVENT_GADGET, 2, 0, GADGET_LEFT_CLICK);
    // A close box click that is already waiting on the desktop.
    QCoreApplication::postEvent(windowContainer(0), std::make_unique<QCloseEvent>().release());

    EXPECT_EQ(waitEvent(-1), EVENT_MENU);
    EXPECT_EQ(lastEventMenuItem(), 4);
    EXPECT_EQ(waitEvent(-1), EVENT_GADGET);
    EXPECT_EQ(lastEventGadget(), 2);
    EXPECT_EQ(waitEvent(1000), EVENT_CLOSE_WINDOW);
    EXPECT_EQ(lastEventWindow(), 0);
}

TEST_F(WaitEventTest, ATimerEndsTheWaitWithNoneAndTheNextCallReturnsIt)
{
    openWindowSimple(0, 10, 10, 100, 100, "timer");
    settle();
    ASSERT_EQ(addWindowTimer(0, 1, 500), 1);

    for (int tick = 0; tick < 2; ++tick) {
        const auto start = Clock::now();
        EXPECT_EQ(waitEvent(3000), EVENT_NONE) << tick;
        const auto elapsed = millisecondsSince(start);
        EXPECT_GE(elapsed, 450) << tick;
        EXPECT_LT(elapsed, 2500) << tick; // ended by the tick, not by the time-out

        EXPECT_EQ(waitEvent(0), EVENT_TIMER) << tick;
        EXPECT_EQ(lastEventTimer(), 1);
        EXPECT_EQ(lastEventWindow(), 0);
        EXPECT_EQ(lastEventType(), 0);
    }
}

TEST_F(WaitEventTest, ThePollingLoopSeesNoneBeforeEveryTick)
{
    openWindowSimple(0, 10, 10, 100, 100, "polling");
    settle();
    ASSERT_EQ(addWindowTimer(0, 3, 100), 1);
    for (int tick = 0; tick < 3; ++tick) {
        const std::vector<int> codes = eventsUntil(EVENT_TIMER);
        ASSERT_GE(codes.size(), 2u) << tick;
        EXPECT_EQ(codes.back(), EVENT_TIMER) << tick;
        EXPECT_EQ(codes[codes.size() - 2], EVENT_NONE) << tick;
        EXPECT_EQ(lastEventTimer(), 3);
    }
}

TEST_F(WaitEventTest, AddWindowTimerRefusesAndReplaces)
{
    openWindowSimple(0, 10, 10, 100, 100, "timers");
    settle();
    struct Case {
        int window;
        int interval;
        int result;
    };
    const Case cases[] = { { 0, 50, 1 }, { 5, 50, 0 }, { 0, 0, 0 }, { 0, -10, 0 } };
    for (const Case& c : cases)
        EXPECT_EQ(addWindowTimer(c.window, 9, c.interval), c.result) << c.window << " " << c.interval;

    // The refused replacement took the running timer 9 with it: nothing ticks any more.
    const std::vector<int> codes = eventsUntil(EVENT_TIMER, 300);
    EXPECT_EQ(reportedEvents(codes), std::vector<int> {});
}

TEST_F(WaitEventTest, RemovingATimerPurgesOnlyItsOwnTicks)
{
    openWindowSimple(0, 10, 10, 100, 100, "zero");
    openWindowSimple(1, 200, 10, 100, 100, "one");
    settle();
    ASSERT_EQ(addWindowTimer(0, 1, 60000), 1);
    postEvent(EVENT_TIMER, 1, 0, 0);
    postEvent(EVENT_GADGET, 1, 0, GADGET_LEFT_CLICK);
    postEvent(EVENT_TIMER, 2, 0, 0);
    postEvent(EVENT_TIMER, 1, 1, 0);
    postEvent(EVENT_MENU, 1, 0, 0);
    postEvent(EVENT_TIMER, 1, 0, 0);

    removeWindowTimer(0, 2); // not running: purges nothing
    removeWindowTimer(0, 1);

    struct Expected {
        int code;
        int object;
        int window;
    };
    const Expected expected[]
        = { { EVENT_GADGET, 1, 0 }, { EVENT_TIMER, 2, 0 }, { EVENT_TIMER, 1, 1 }, { EVENT_MENU, 1, 0 } };
    for (const Expected& e : expected) {
        EXPECT_EQ(waitEvent(0), e.code);
        EXPECT_EQ(lastEventGadget(), e.object);
        EXPECT_EQ(lastEventWindow(), e.window);
    }
    EXPECT_EQ(queuedEventCount(), 0);
}

TEST_F(WaitEventTest, ARemovedTimerStopsTicking)
{
    openWindowSimple(0, 10, 10, 100, 100, "stop");
    settle();
    ASSERT_EQ(addWindowTimer(0, 1, 20), 1);
    ASSERT_EQ(reportedEvents(eventsUntil(EVENT_TIMER)), std::vector<int> { EVENT_TIMER });
    removeWindowTimer(0, 1);
    EXPECT_EQ(reportedEvents(eventsUntil(EVENT_TIMER, 200)), std::vector<int> {});
}

TEST_F(WaitEventTest, ConsecutiveIdenticalEventsMergeSeparatedOnesDoNot)
{
    postEvent(EVENT_GADGET, 2, 0, GADGET_LEFT_CLICK);
    postEvent(EVENT_GADGET, 2, 0, GADGET_LEFT_CLICK);
    postEvent(EVENT_MENU, 5, 0, 0);
    postEvent(EVENT_GADGET, 2, 0, GADGET_LEFT_CLICK);
    std::vector<int> codes;
    for (int code = waitEvent(0); code != EVENT_NONE; code = waitEvent(0))
        codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int> { EVENT_GADGET, EVENT_MENU, EVENT_GADGET }));
}

TEST_F(WaitEventTest, AHandlerReportTheWaitResultAndLaterReportsAreQueued)
{
    // Handlers run inside the dispatch of a wait; a single-shot timer stands in for one. It also
    // runs a nested wait, as a requester would, which must not take the outer result with it.
    int nested = -100;
    QTimer::singleShot(0, [&nested] {
        reportEvent(EVENT_CLOSE_WINDOW, 0, 4);
        reportEvent(EVENT_MOVE_WINDOW, 0, 4);
        postEvent(EVENT_MENU, 9, 4, 0);
        nested = waitEvent(0);
    });
    EXPECT_EQ(waitEvent(1000), EVENT_CLOSE_WINDOW);
    EXPECT_EQ(lastEventWindow(), 4);
    EXPECT_EQ(nested, EVENT_MOVE_WINDOW);
    EXPECT_EQ(waitEvent(0), EVENT_MENU);
    EXPECT_EQ(lastEventMenuItem(), 9);
}

TEST_F(WaitEventTest, AReportWinsOverATimerEndingTheSameDispatch)
{
    // A tick (queued, ends the wait) and a handler's report in one dispatch, in either order: the
    // report is the result, and the tick comes next.
    for (const bool tickFirst : { true, false }) {
        QTimer::singleShot(0, [tickFirst] {
            if (!tickFirst)
                reportEvent(EVENT_CLOSE_WINDOW, 0, 4);
            postEvent(EVENT_TIMER, 1, 4, 0);
            endCurrentWait();
            if (tickFirst)
                reportEvent(EVENT_CLOSE_WINDOW, 0, 4);
        });
        EXPECT_EQ(waitEvent(1000), EVENT_CLOSE_WINDOW) << tickFirst;
        EXPECT_EQ(lastEventWindow(), 4);
        EXPECT_EQ(waitEvent(0), EVENT_TIMER) << tickFirst;
        EXPECT_EQ(lastEventTimer(), 1);
        EXPECT_EQ(waitEvent(0), EVENT_NONE) << tickFirst;
    }
}

TEST_F(WaitEventTest, AReportOutsideAnyWaitIsQueued)
{
    reportEvent(EVENT_SIZE_WINDOW, 0, 3);
    EXPECT_EQ(waitEvent(0), EVENT_SIZE_WINDOW);
    EXPECT_EQ(lastEventWindow(), 3);
}

TEST_F(WaitEventTest, TheDesktopsQuitRequestIsTheQuitItemOfWindowZero)
{
    QCoreApplication::postEvent(
        QCoreApplication::instance(), std::make_unique<QEvent>(QEvent::Quit).release());
    EXPECT_EQ(reportedEvents(eventsUntil(EVENT_MENU)), std::vector<int> { EVENT_MENU });
    EXPECT_EQ(lastEventMenuItem(), MENU_ITEM_QUIT);
    EXPECT_EQ(lastEventWindow(), 0);
}

TEST_F(WaitEventTest, GadgetChangesOfTheLoopItselfDoNotEndTheNextWait)
{
    // The application's loop rewrites a readout and the magnifier after every wait. The repaints
    // and layout requests that follow are Qt's own events, not the desktop's: each wait must
    // still last its time-out, or the loop spins and holds a core.
    openWindowSimple(0, 10, 10, 300, 200, "readout");
    textGadget(1, 10, 10, 180, 20, "Coords: n/a");
    const TestImage red(40, 40, 255, 0, 0);
    const TestImage blue(40, 40, 0, 0, 255);
    imageGadget(2, 10, 40, 40, 40, red.handle());
    settle();

    int passes = 0;
    std::vector<int> codes;
    const auto start = Clock::now();
    while (millisecondsSince(start) < 1000 && passes < 1000) {
        const std::string readout = "Coords: " + std::to_string(passes);
        setGadgetText(1, readout.c_str());
        setGadgetState(2, passes % 2 ? red.handle() : blue.handle());
        codes.push_back(waitEvent(25));
        ++passes;
    }
    EXPECT_LE(passes, 60); // 25 ms each: about 40
    EXPECT_EQ(reportedEvents(codes), std::vector<int> {});
    EXPECT_EQ(std::string(getGadgetText(1).c_str()), "Coords: " + std::to_string(passes - 1));
}

TEST_F(WaitEventTest, DeferredDeletionsMadeOutsideAnyHandlerAreCarriedOut)
{
    // Ownership passes to Qt's deferred deletion. Left posted it would keep every later wait
    // from blocking.
    QPointer<QObject> object = std::make_unique<QObject>().release();
    object->deleteLater();
    waitEvent(25);
    EXPECT_TRUE(object.isNull());
}

} // namespace
