#include "runtime/hash_map.h"
#include "runtime/library_state.h"
#include "runtime/record_layout.h"
#include "runtime/runtime_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every key in iteration order, from the start.
template <class Element> std::vector<std::string> keysInOrder(HashMap<Element>& map)
{
    std::vector<std::string> keys;
    map.rewindMap();
    while (map.advanceMap())
        keys.emplace_back(map.currentKey());
    return keys;
}

TEST(HashMap, SdbmHashOfSignedBytesAndSlotOf512)
{
    struct Case {
        const char* key;
        std::uint32_t hash;
        int slot;
    };
    const Case cases[] = {
        { "ab", 6363201u, 65 },
        { "Start", 1257201730u, 66 },
        { "\xE4", 4294967268u, 484 }, // the byte counts as -28
        { "", 0u, 0 },
        { nullptr, 0u, 0 },
    };
    HashMap<String> map(512);
    for (const Case& c : cases) {
        EXPECT_EQ(hashKey(c.key), c.hash) << (c.key ? c.key : "(none)");
        EXPECT_EQ(map.slotOf(c.key), c.slot) << (c.key ? c.key : "(none)");
    }
}

TEST(HashMap, IteratesSlotsAscendingAndEachChainNewestFirst)
{
    HashMap<String> map(512);
    // Slots: Start 66, ab 65, ij 65, 0xE4 484, aa 64, start 98.
    for (const char* key : { "Start", "ab", "ij", "\xE4", "aa", "start" })
        *map.mapEntry(key) = key;
    EXPECT_EQ(keysInOrder(map), (std::vector<std::string> { "aa", "ij", "ab", "Start", "start", "\xE4" }));

    // At the end every further advance gives nothing until a rewind.
    EXPECT_EQ(map.advanceMap(), nullptr);
    EXPECT_EQ(map.advanceMap(), nullptr);
    map.rewindMap();
    EXPECT_STREQ(*map.advanceMap(), "aa");

    // The cursor stays where a lookup found its element.
    map.lookupMapEntry("ab");
    EXPECT_STREQ(*map.advanceMap(), "Start");
    HashMap<String> empty(16);
    empty.rewindMap();
    EXPECT_EQ(empty.advanceMap(), nullptr);

    // Emptying drops the cursor with the elements: no key, and no step from a freed element.
    map.lookupMapEntry("ij"); // its chain goes on to "ab"
    map.emptyMap();
    EXPECT_STREQ(map.currentKey(), "");
    EXPECT_EQ(map.advanceMap(), nullptr);
    *map.mapEntry("Start") = "again";
    EXPECT_EQ(keysInOrder(map), std::vector<std::string> { "Start" });
}

TEST(HashMap, MapEntryInsertsLookupAndPeekDoNot)
{
    HashMap<String> map(512);
    String* stored = map.mapEntry("Start");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(map.count(), 1);
    EXPECT_TRUE(stored->isNone()); // a fresh record reads as the empty text
    *stored = "Begin";

    EXPECT_EQ(map.mapEntry("Start"), stored);
    EXPECT_EQ(map.lookupMapEntry("Start"), stored);
    EXPECT_EQ(map.peekMapEntry("Start"), stored);
    EXPECT_EQ(map.count(), 1);

    // Case matters.
    EXPECT_EQ(map.lookupMapEntry("start"), nullptr);
    const String* missing = map.peekMapEntry("start");
    EXPECT_STREQ(*missing, "");
    EXPECT_EQ(map.peekMapEntry("other"), missing); // one default element for every miss
    EXPECT_STREQ(map.currentKey(), "");
    EXPECT_EQ(map.count(), 1);

    // The read of a missing key through mapEntry adds it.
    EXPECT_STREQ(*map.mapEntry("start"), "");
    EXPECT_EQ(map.count(), 2);
}

TEST(HashMap, NoneKeyIsTheEmptyKey)
{
    HashMap<String> map(512);
    String* none = map.mapEntry(nullptr);
    EXPECT_EQ(map.mapEntry(""), none);
    EXPECT_EQ(map.lookupMapEntry(nullptr), none);
    EXPECT_EQ(map.count(), 1);
    map.rewindMap();
    map.advanceMap();
    EXPECT_STREQ(map.currentKey(), "");
}

TEST(HashMap, PutMapEntryGivesAFreshRecordUnderTheSameKey)
{
    HashMap<String> map(512);
    *map.mapEntry("a") = "old text";
    *map.mapEntry("b") = "kept";
    String* first = map.lookupMapEntry("a");

    String* put = map.putMapEntry("a");
    EXPECT_EQ(put, first);
    EXPECT_TRUE(put->isNone());
    EXPECT_EQ(map.count(), 2);
    EXPECT_STREQ(map.currentKey(), "a");
    EXPECT_STREQ(*map.lookupMapEntry("b"), "kept");

    String* added = map.putMapEntry("c");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(map.count(), 3);
}

TEST(HashMap, SlotCountBelowOneGivesOneSlotThatHoldsEverything)
{
    for (int slots : { 0, -5, 1 }) {
        HashMap<String> map(slots);
        EXPECT_EQ(map.slotCount(), 1);
        for (int i = 0; i < 200; ++i)
            *map.mapEntry(std::to_string(i).c_str()) = std::to_string(i * 3).c_str();
        EXPECT_EQ(map.count(), 200);
        for (int i = 0; i < 200; ++i) {
            String* found = map.lookupMapEntry(std::to_string(i).c_str());
            ASSERT_NE(found, nullptr) << i;
            EXPECT_EQ(std::string(*found), std::to_string(i * 3));
        }
        std::vector<std::string> keys = keysInOrder(map);
        ASSERT_EQ(keys.size(), 200u);
        EXPECT_EQ(keys.front(), "199"); // newest first
        EXPECT_EQ(keys.back(), "0");
    }
}

TEST(HashMap, RecordsNeverMoveAndNodesComeFromGrowingBlocks)
{
    HashMap<int> map(8);
    std::vector<int*> records;
    for (int i = 0; i < 5000; ++i) {
        int* record = map.mapEntry(std::to_string(i).c_str());
        *record = i;
        records.push_back(record);
    }
    for (int i = 0; i < 5000; ++i) {
        EXPECT_EQ(map.lookupMapEntry(std::to_string(i).c_str()), records[i]);
        EXPECT_EQ(*records[i], i);
    }
    EXPECT_LT(map.pool().blockCount(), 5000 / 16);
    map.emptyMap();
    EXPECT_EQ(map.count(), 0);
    EXPECT_EQ(map.pool().total(), 0);
    EXPECT_EQ(map.lookupMapEntry("1"), nullptr);
    map.rewindMap();
    EXPECT_EQ(map.advanceMap(), nullptr);
    *map.mapEntry("again") = 1;
    EXPECT_EQ(map.count(), 1);
}

TEST(HashMap, CreateAndDestroyThroughTheOwnerVariable)
{
    MapHandle<String> owner;
    destroyMap(owner); // none: nothing happens
    EXPECT_EQ(owner, nullptr);

    HashMap<String>* map = createMap(owner, 512);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(owner.get(), map);
    EXPECT_EQ(map->slotCount(), 512);
    *map->mapEntry("x") = "y";

    EXPECT_NE(createMap(owner, 0), nullptr); // replaces (and frees) the earlier map
    EXPECT_EQ(owner->count(), 0);
    destroyMap(owner);
    EXPECT_EQ(owner, nullptr);
}

TEST(HashMap, CopyMapEntriesCopiesDeeply)
{
    HashMap<String> source(512);
    *source.mapEntry("one") = "1";
    *source.mapEntry("two") = "2";
    HashMap<String> destination(16);
    *destination.mapEntry("old") = "o";

    // The source's cursor is not moved by copying.
    source.rewindMap();
    source.advanceMap();
    std::string cursorKey = source.currentKey();

    EXPECT_EQ(copyMapEntries(&source, &destination, true), 1);
    EXPECT_EQ(source.currentKey(), cursorKey);
    EXPECT_EQ(destination.count(), 2);
    EXPECT_EQ(destination.lookupMapEntry("old"), nullptr);
    *destination.lookupMapEntry("one") = "changed";
    EXPECT_STREQ(*source.lookupMapEntry("one"), "1");

    // Without clearing, keys are added without looking for existing ones.
    EXPECT_EQ(copyMapEntries(&source, &destination, false), 1);
    EXPECT_EQ(destination.count(), 4);

    EXPECT_EQ(copyMapEntries<String>(nullptr, &destination, true), 0);
    EXPECT_EQ(copyMapEntries<String>(&source, nullptr, true), 0);
    EXPECT_EQ(destination.count(), 4);

    // Onto itself: clearing first would lose everything, so the map stays as it is.
    EXPECT_EQ(copyMapEntries(&source, &source, true), 1);
    EXPECT_EQ(source.count(), 2);
    EXPECT_STREQ(*source.lookupMapEntry("two"), "2");
    EXPECT_EQ(copyMapEntries(&source, &source, false), 1);
    EXPECT_EQ(source.count(), 4);
}

// Counts live instances, so that tests see every record released exactly once.
struct Tracked {
    static inline int live = 0;
    Tracked() { ++live; }
    Tracked(const Tracked&) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};

// A record with a string, a nested map and a plain value between them.
struct Column {
    String name;
    HashMap<String> cells { 16 };
    int width = 0;
    Tracked tracked;
};

TEST(RecordLayout, NestedMapsAreCreatedReleasedAndCopiedDeeply)
{
    {
        HashMap<Column> table(8);
        Column* column = table.mapEntry("A");
        EXPECT_EQ(column->cells.slotCount(), 16);
        EXPECT_EQ(column->cells.count(), 0);
        column->name = "first";
        column->width = 40;
        *column->cells.mapEntry("1") = "12.50";
        *column->cells.mapEntry("2") = "13.00";

        HashMap<Column> copy(table);
        Column* copied = copy.lookupMapEntry("A");
        ASSERT_NE(copied, nullptr);
        EXPECT_STREQ(copied->name, "first");
        EXPECT_EQ(copied->width, 40);
        EXPECT_EQ(copied->cells.slotCount(), 16);
        *copied->cells.lookupMapEntry("1") = "99.00";
        copied->name = "renamed";
        EXPECT_STREQ(*column->cells.lookupMapEntry("1"), "12.50");
        EXPECT_STREQ(column->name, "first");

        // A nested map copied over one of another slot count takes the source's count.
        Column other;
        other.cells = HashMap<String>(3);
        *other.cells.mapEntry("x") = "y";
        copyRecord(other, *column);
        EXPECT_EQ(other.cells.slotCount(), 16);
        EXPECT_EQ(other.cells.count(), 2);
        EXPECT_EQ(other.cells.lookupMapEntry("x"), nullptr);

        // putMapEntry releases the nested map and makes a fresh one.
        Column* fresh = table.putMapEntry("A");
        EXPECT_EQ(fresh->cells.count(), 0);
        EXPECT_TRUE(fresh->name.isNone());
        EXPECT_EQ(fresh->width, 0);
        EXPECT_EQ(Tracked::live, 3); // table, copy and other

        table.emptyMap();
        EXPECT_EQ(Tracked::live, 2);
        const Column* missing = copy.peekMapEntry("none");
        EXPECT_EQ(missing->cells.slotCount(), 16);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(RecordLayout, RecordsNeedInitOnlyWhenZeroIsNotEmpty)
{
    static_assert(!layoutNeedsInit<int>());
    static_assert(!layoutNeedsInit<String>());
    static_assert(layoutNeedsInit<HashMap<String>>());
    static_assert(layoutNeedsInit<Column>());

    alignas(Column) unsigned char storage[sizeof(Column)];
    Column* column = initRecord<Column>(storage);
    EXPECT_EQ(column->cells.slotCount(), 16);
    column->name = "x";
    releaseRecord(*column);
    EXPECT_EQ(Tracked::live, 0);
}

struct Registry {
    int count;
    int growthStep;
};

TEST(LibraryState, IsZeroFilledThenInitialised)
{
    auto plain = allocLibraryState<Registry>();
    EXPECT_EQ(plain->count, 0);
    EXPECT_EQ(plain->growthStep, 0);
    auto initialised = allocLibraryState<Registry>([](Registry& r) { r.growthStep = 16; });
    EXPECT_EQ(initialised->count, 0);
    EXPECT_EQ(initialised->growthStep, 16);
}

} // namespace
