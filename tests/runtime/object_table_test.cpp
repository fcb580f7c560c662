#include "runtime/object_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Thing {
    Handle handle = 0;
    int payload = 0;
};

ObjectTable<Thing>* g_table = nullptr;
std::vector<int> g_freed;

void freeThing(int number)
{
    g_freed.push_back(number);
    g_table->releaseObject(number);
}

class ObjectTableTest : public ::testing::Test {
protected:
    ObjectTableTest()
    {
        g_table = &table;
        g_freed.clear();
    }
    ~ObjectTableTest() override { g_table = nullptr; }

    Thing* make(int number, int payload)
    {
        Thing* thing = table.allocObject(number);
        thing->handle = 1000 + payload;
        thing->payload = payload;
        return thing;
    }

    ObjectTable<Thing> table { 16, freeThing };
};

TEST_F(ObjectTableTest, GrowsByTheStepBeyondTheNumber)
{
    EXPECT_EQ(table.slotCount(), 16);
    make(40, 1);
    EXPECT_EQ(table.slotCount(), 56);
    for (int n = 16; n < 40; ++n)
        EXPECT_EQ(table.objectExists(n), 0) << n;
    EXPECT_NE(table.objectExists(40), 0);
    EXPECT_EQ(table.objectRecord(40)->payload, 1);

    // The first number past the end grows the table as well.
    make(56, 2);
    EXPECT_EQ(table.slotCount(), 72);
    EXPECT_EQ(table.objectRecord(56)->payload, 2);
    EXPECT_EQ(table.objectRecord(40)->payload, 1);
}

TEST_F(ObjectTableTest, ReusingALiveNumberFreesItOnceAndResetsTheRecord)
{
    Thing* first = make(3, 7);
    Thing* again = table.allocObject(3);
    EXPECT_EQ(g_freed, std::vector<int> { 3 });
    EXPECT_EQ(again, first); // the slot keeps its record
    EXPECT_EQ(again->handle, 0);
    EXPECT_EQ(again->payload, 0);
}

TEST_F(ObjectTableTest, ReleasedSlotIsFreeAndReused)
{
    Thing* first = make(2, 5);
    table.releaseObject(2);
    EXPECT_EQ(table.objectExists(2), 0);
    EXPECT_EQ(table.objectRecord(2), nullptr);
    EXPECT_EQ(table.allocObject(2), first);
    EXPECT_TRUE(g_freed.empty());
}

TEST_F(ObjectTableTest, RecordWithoutHandleIsNotLive)
{
    table.allocObject(4);
    EXPECT_EQ(table.objectRecord(4), nullptr);
    EXPECT_EQ(table.objectExists(4), 0);
    table.freeAllObjects();
    EXPECT_TRUE(g_freed.empty());
}

TEST_F(ObjectTableTest, DynamicNumbersAreDistinctOutsideSlotsAndNotReused)
{
    Thing* a = make(DYNAMIC_NUMBER, 1);
    Thing* b = make(DYNAMIC_NUMBER, 2);
    int na = table.numberOf(a);
    int nb = table.numberOf(b);
    EXPECT_NE(na, nb);
    EXPECT_FALSE(table.isSlotNumber(na));
    EXPECT_GT(na, 0);
    EXPECT_EQ(table.objectRecord(na), a);
    table.releaseObject(na);
    EXPECT_EQ(table.objectRecord(na), nullptr); // stale numbers are rejected
    EXPECT_EQ(table.objectExists(na), 0);
    Thing* c = make(DYNAMIC_NUMBER, 3);
    EXPECT_NE(table.numberOf(c), na);
    EXPECT_EQ(table.objectRecord(12345678), nullptr);
    EXPECT_EQ(table.objectRecord(-5), nullptr);
}

TEST_F(ObjectTableTest, FreeAllVisitsSlotsAscendingThenDynamicOldestFirst)
{
    int older = table.numberOf(make(DYNAMIC_NUMBER, 1));
    make(9, 2);
    make(1, 3);
    int newer = table.numberOf(make(DYNAMIC_NUMBER, 4));
    make(20, 5);
    table.allocObject(5); // taken but never given a handle: skipped
    table.freeAllObjects();
    EXPECT_EQ(g_freed, (std::vector<int> { 1, 9, 20, older, newer }));
    EXPECT_EQ(table.objectRecord(older), nullptr);
    EXPECT_EQ(table.objectRecord(9), nullptr);
}

// A handler that also frees the object made after its own, as closing a window frees its gadgets.
void freeThingAndTheNext(int number)
{
    freeThing(number);
    if (g_freed.size() == 1)
        freeThing(g_freed.front() + 1);
}

TEST_F(ObjectTableTest, FreeAllSurvivesAHandlerThatReleasesTheNextObject)
{
    ObjectTable<Thing> dynamic { 16, freeThingAndTheNext };
    g_table = &dynamic;
    std::vector<int> numbers;
    for (int i = 0; i < 3; ++i) {
        Thing* thing = dynamic.allocObject(DYNAMIC_NUMBER);
        thing->handle = 1;
        numbers.push_back(dynamic.numberOf(thing));
    }
    ASSERT_EQ(numbers[1], numbers[0] + 1);
    dynamic.freeAllObjects();
    EXPECT_EQ(g_freed, (std::vector<int> { numbers[0], numbers[1], numbers[2] }));
    for (int number : numbers)
        EXPECT_EQ(dynamic.objectExists(number), 0);
}

TEST_F(ObjectTableTest, FixedNumbersOutOfRangeAreRefused)
{
    EXPECT_EQ(table.allocObject(-7), nullptr);
    EXPECT_EQ(table.allocObject(ObjectTable<Thing>::FIRST_DYNAMIC_NUMBER), nullptr);
}

// A kind of its own: no fixture table of it exists.
struct Gone {
    Handle handle = 0;
};

TEST(ObjectTableLifetime, TableExistsWhileATableOfItsKindLives)
{
    EXPECT_FALSE(ObjectTable<Gone>::tableExists());
    {
        ObjectTable<Gone> first(4, nullptr);
        EXPECT_TRUE(ObjectTable<Gone>::tableExists());
        {
            ObjectTable<Gone> second(4, nullptr);
        }
        EXPECT_TRUE(ObjectTable<Gone>::tableExists());
    }
    EXPECT_FALSE(ObjectTable<Gone>::tableExists());
}

} // namespace
