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

} // namespace
