#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<EventNode> drain()
{
    std::vector<EventNode> nodes;
    EventNode node;
    while (popEvent(node))
        nodes.push_back(node);
    return nodes;
}

class EventQueueTest : public ::testing::Test {
protected:
    EventQueueTest() { initEventQueue(); }
    ~EventQueueTest() override { initEventQueue(); }

    static void post(const EventNode& node) { postEvent(node.code, node.object, node.window, node.type); }
};

const EventNode CLICK { EVENT_GADGET, 3, 0, GADGET_LEFT_CLICK };
const EventNode CHANGE { EVENT_GADGET, 3, 0, GADGET_CHANGE };
const EventNode OTHER_GADGET { EVENT_GADGET, 4, 0, GADGET_LEFT_CLICK };
const EventNode OTHER_WINDOW { EVENT_GADGET, 3, 1, GADGET_LEFT_CLICK };
const EventNode MENU { EVENT_MENU, 3, 0, 0 };
const EventNode TICK_1 { EVENT_TIMER, 1, 0, 0 };
const EventNode TICK_2 { EVENT_TIMER, 2, 0, 0 };
const EventNode TICK_1_OF_1 { EVENT_TIMER, 1, 1, 0 };

TEST_F(EventQueueTest, MergesOnlyDuplicatesOfTheTail)
{
    struct Case {
        const char* what;
        std::vector<EventNode> posted;
        std::vector<EventNode> delivered;
    };
    const Case cases[] = {
        { "identical back to back", { CLICK, CLICK, CLICK }, { CLICK } },
        { "separated by another", { CLICK, MENU, CLICK }, { CLICK, MENU, CLICK } },
        { "type differs", { CLICK, CHANGE }, { CLICK, CHANGE } },
        { "object differs", { CLICK, OTHER_GADGET }, { CLICK, OTHER_GADGET } },
        { "window differs", { CLICK, OTHER_WINDOW }, { CLICK, OTHER_WINDOW } },
        { "code differs", { MENU, EventNode { EVENT_GADGET, 3, 0, 0 } },
            { MENU, EventNode { EVENT_GADGET, 3, 0, 0 } } },
        { "runs merge separately", { TICK_1, TICK_1, MENU, MENU, TICK_1 }, { TICK_1, MENU, TICK_1 } },
    };
    for (const Case& c : cases) {
        for (const EventNode& node : c.posted)
            post(node);
        EXPECT_EQ(drain(), c.delivered) << c.what;
    }
}

TEST_F(EventQueueTest, AnEmptiedQueueHasNoTailToMergeWith)
{
    post(CLICK);
    EventNode node;
    ASSERT_TRUE(popEvent(node));
    post(CLICK);
    EXPECT_EQ(queuedEventCount(), 1);
    EXPECT_EQ(drain(), std::vector<EventNode> { CLICK });
}

TEST_F(EventQueueTest, WindowPurgeRemovesEveryNodeOfThatWindowOnly)
{
    for (const EventNode& node : { CLICK, OTHER_WINDOW, TICK_1, TICK_1_OF_1, MENU, CLICK })
        post(node);
    discardWindowEvents(0);
    EXPECT_EQ(drain(), (std::vector<EventNode> { OTHER_WINDOW, TICK_1_OF_1 }));
}

TEST_F(EventQueueTest, TimerPurgeRemovesOnlyThatTimerOfThatWindow)
{
    const EventNode menuWithTimerNumber { EVENT_MENU, 1, 0, 0 };
    const EventNode gadgetWithTimerNumber { EVENT_GADGET, 1, 0, 0 };
    for (const EventNode& node :
        { TICK_1, menuWithTimerNumber, TICK_2, gadgetWithTimerNumber, TICK_1_OF_1, TICK_1 })
        post(node);
    discardTimerEvents(0, 1);
    EXPECT_EQ(drain(),
        (std::vector<EventNode> { menuWithTimerNumber, TICK_2, gadgetWithTimerNumber, TICK_1_OF_1 }));
}

TEST_F(EventQueueTest, PurgesCanMakeDuplicatesNeighboursWithoutMergingThem)
{
    for (const EventNode& node : { CLICK, OTHER_WINDOW, CLICK })
        post(node);
    discardWindowEvents(1);
    EXPECT_EQ(drain(), (std::vector<EventNode> { CLICK, CLICK }));
}

TEST_F(EventQueueTest, APurgedTailLeavesTheNodeBeforeItAsTheTail)
{
    for (const EventNode& node : { CLICK, OTHER_WINDOW })
        post(node);
    discardWindowEvents(1);
    post(CLICK); // merges with the new tail
    post(OTHER_WINDOW);
    discardWindowEvents(0);
    post(OTHER_WINDOW); // merges again
    EXPECT_EQ(drain(), std::vector<EventNode> { OTHER_WINDOW });

    post(CLICK);
    discardWindowEvents(0); // the queue is empty now: nothing to merge with
    post(CLICK);
    EXPECT_EQ(drain(), std::vector<EventNode> { CLICK });
}

TEST_F(EventQueueTest, ThousandsOfEventsComeOutInOrder)
{
    for (int round = 0; round < 2; ++round) {
        for (int n = 0; n < 3000; ++n)
            postEvent(EVENT_GADGET, n, 0, 0);
        EXPECT_EQ(queuedEventCount(), 3000);
        discardTimerEvents(0, 5); // gadget events are not timer events
        const std::vector<EventNode> nodes = drain();
        ASSERT_EQ(nodes.size(), 3000u);
        for (int n = 0; n < 3000; ++n)
            EXPECT_EQ(nodes[static_cast<std::size_t>(n)].object, n);
        EXPECT_EQ(queuedEventCount(), 0);
    }
}

} // namespace
