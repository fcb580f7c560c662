#include "runtime/node_pool.h"
#include "runtime/runtime_string.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace {

// Allocates nodes one by one and records the capacity of every block the pool adds.
std::vector<std::int64_t> blockSizesWhileAllocating(NodePool& pool, int nodes, std::vector<void*>& taken)
{
    std::vector<std::int64_t> sizes;
    for (int i = 0; i < nodes; ++i) {
        std::int64_t before = pool.total();
        void* node = pool.allocNode();
        EXPECT_NE(node, nullptr);
        taken.push_back(node);
        if (pool.total() != before)
            sizes.push_back(pool.total() - before);
    }
    return sizes;
}

TEST(NodePool, BlocksGrowWithAboutOneSixteenthOfAllNodes)
{
    // The event queue's pool: first 16, largest 256.
    NodePool pool(24, 16, 256);
    std::vector<void*> taken;
    std::vector<std::int64_t> sizes = blockSizesWhileAllocating(pool, 20000, taken);

    // 16-node blocks until 512 nodes exist (512 / 16 = 32), then 32 until 768 (48), ... and 256
    // from 4160 nodes on. Checked as (nodes before the block, block size) at each change.
    std::vector<std::pair<std::int64_t, std::int64_t>> changes;
    std::int64_t before = 0;
    for (std::int64_t size : sizes) {
        if (changes.empty() || changes.back().second != size)
            changes.emplace_back(before, size);
        before += size;
    }
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = { { 0, 16 }, { 512, 32 }, { 768, 48 },
        { 1056, 64 }, { 1312, 80 }, { 1552, 96 }, { 1840, 112 }, { 2064, 128 }, { 2320, 144 }, { 2608, 160 },
        { 2928, 176 }, { 3104, 192 }, { 3488, 208 }, { 3696, 224 }, { 3920, 240 }, { 4160, 256 } };
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(pool.liveNodes(), 20000);
}

TEST(NodePool, BlockCountsObeyTheLargestEvenBelowTheFirst)
{
    struct Case {
        int first, largest, nodes;
        std::int64_t lastBlock;
    };
    const Case cases[] = {
        { 4, 20, 2000, 20 }, // t reaches 16 at 256 nodes, then 32 is capped at 20
        { 16, 65536, 16, 16 }, // the hash map's first block
        { 16, 8, 1000, 8 }, // a largest below the first wins once t reaches the first count
        { 0, 0, 3, 1 }, // counts below 1 count as 1
    };
    for (const Case& c : cases) {
        NodePool pool(8, c.first, c.largest);
        std::vector<void*> taken;
        std::vector<std::int64_t> sizes = blockSizesWhileAllocating(pool, c.nodes, taken);
        EXPECT_EQ(sizes.back(), c.lastBlock) << c.first << "/" << c.largest;
        EXPECT_EQ(sizes.front(), std::max(c.first, 1)) << c.first << "/" << c.largest;
    }
}

TEST(NodePool, BlockIsFreedWholeWhenAllItsNodesAreBack)
{
    NodePool pool(32, 16, 256);
    std::vector<void*> nodes;
    for (int i = 0; i < 17; ++i)
        nodes.push_back(pool.allocNode());
    EXPECT_EQ(pool.total(), 32);
    EXPECT_EQ(pool.blockCount(), 2);

    pool.freeNode(nodes[16]); // the only node handed out from the second block
    EXPECT_EQ(pool.total(), 16);
    EXPECT_EQ(pool.blockCount(), 1);

    for (int i = 0; i < 15; ++i)
        pool.freeNode(nodes[i]);
    EXPECT_EQ(pool.blockCount(), 1);
    EXPECT_EQ(pool.liveNodes(), 1);
    pool.freeNode(nodes[15]);
    EXPECT_EQ(pool.total(), 0);
    EXPECT_EQ(pool.blockCount(), 0);
}

TEST(NodePool, FreedNodesAreReusedAndAFullBlockTakesNodesAgain)
{
    NodePool pool(16, 16, 256);
    std::vector<void*> first;
    for (int i = 0; i < 16; ++i)
        first.push_back(pool.allocNode()); // the first block is now full
    void* second = pool.allocNode(); // a new block with 15 nodes left
    EXPECT_EQ(pool.blockCount(), 2);

    pool.freeNode(first[5]);
    // The full block went back to the blocks with free nodes, ahead of the newer block.
    EXPECT_EQ(pool.allocNode(), first[5]);
    pool.freeNode(first[3]);
    pool.freeNode(first[9]);
    EXPECT_EQ(pool.allocNode(), first[9]); // newest freed first
    EXPECT_EQ(pool.allocNode(), first[3]);
    EXPECT_EQ(pool.blockCount(), 2);
    (void)second;
}

TEST(NodePool, NodesAreAlignedDistinctAndDoNotOverlap)
{
    NodePool pool(20, 16, 256);
    EXPECT_EQ(pool.nodeSize() % static_cast<int>(NodePool::NODE_ALIGNMENT), 0);
    EXPECT_GE(pool.nodeSize(), 20);
    std::vector<unsigned char*> nodes;
    for (int i = 0; i < 300; ++i) {
        auto* node = static_cast<unsigned char*>(pool.allocNode());
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(node) % NodePool::NODE_ALIGNMENT, 0u);
        std::memset(node, i & 0xFF, 20);
        nodes.push_back(node);
    }
    for (int i = 0; i < 300; ++i) {
        for (int b = 0; b < 20; ++b)
            ASSERT_EQ(nodes[i][b], i & 0xFF) << "node " << i;
    }
    std::set<unsigned char*> distinct(nodes.begin(), nodes.end());
    EXPECT_EQ(distinct.size(), nodes.size());
}

TEST(NodePool, ZeroedNodesAreZeroEvenWhenReused)
{
    NodePool pool(40, 16, 256);
    auto* node = static_cast<unsigned char*>(pool.allocNode());
    pool.allocNode(); // keeps the block alive
    std::memset(node, 0xAB, 40);
    pool.freeNode(node);
    auto* again = static_cast<unsigned char*>(pool.allocZeroedNode());
    ASSERT_EQ(again, node);
    for (int i = 0; i < pool.nodeSize(); ++i)
        EXPECT_EQ(again[i], 0) << i;
}

void* failLargeBlocks(std::size_t bytes)
{
    return bytes > 256 ? nullptr : std::malloc(bytes);
}

void* failAllBlocks(std::size_t)
{
    return nullptr;
}

TEST(NodePool, FallsBackToOneNodeBlocksThenToNothing)
{
    NodePool pool(32, 16, 256);
    pool.setBlockAllocator(failLargeBlocks);
    void* a = pool.allocNode();
    void* b = pool.allocNode();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(pool.total(), 2);
    EXPECT_EQ(pool.blockCount(), 2);
    pool.freeNode(a);
    EXPECT_EQ(pool.total(), 1);

    pool.setBlockAllocator(failAllBlocks);
    EXPECT_EQ(pool.allocNode(), nullptr);
    EXPECT_EQ(pool.allocZeroedNode(), nullptr);
    pool.freeNode(b);
    EXPECT_EQ(pool.total(), 0);
}

TEST(NodePool, IgnoresNullSecondFreesAndForeignNodes)
{
    NodePool pool(16, 16, 256);
    NodePool other(16, 16, 256);
    void* kept = pool.allocNode();
    void* node = pool.allocNode();
    void* foreign = other.allocNode();

    pool.freeNode(nullptr);
    pool.freeNode(foreign);
    EXPECT_EQ(other.liveNodes(), 1);
    pool.freeNode(node);
    pool.freeNode(node); // would otherwise count the block as empty and free it under `kept`
    EXPECT_EQ(pool.liveNodes(), 1);
    EXPECT_EQ(pool.blockCount(), 1);
    EXPECT_EQ(pool.allocNode(), node);
    EXPECT_NE(pool.allocNode(), node);
    (void)kept;
}

// Blocks come from malloc and go to a releaser that keeps their memory and scribbles over it, as
// the system may do with memory once it is freed; the test frees them at its end.
struct ScribbledBlocks {
    static inline std::map<void*, std::size_t> sizes;
    static inline std::vector<void*> released;

    static void* allocate(std::size_t bytes)
    {
        void* block = std::malloc(bytes);
        sizes[block] = bytes;
        return block;
    }
    static void release(void* block)
    {
        std::memset(block, 0xA5, sizes[block]);
        released.push_back(block);
    }
    static void freeAll()
    {
        for (void* block : released)
            std::free(block);
        released.clear();
        sizes.clear();
    }
};

TEST(NodePool, NodesOfAReleasedBlockAreIgnoredWithoutTouchingIt)
{
    {
        NodePool pool(16, 16, 256);
        pool.setBlockAllocator(ScribbledBlocks::allocate, ScribbledBlocks::release);
        void* kept = pool.allocNode();
        void* alone = nullptr;
        for (int i = 0; i < 16; ++i)
            alone = pool.allocNode(); // the last one opens a second block
        pool.freeNode(alone); // the second block's last live node: the block goes back
        ASSERT_EQ(ScribbledBlocks::released.size(), 1u);
        pool.freeNode(alone);
        pool.freeNode(static_cast<char*>(alone) + 8);
        EXPECT_EQ(pool.liveNodes(), 16);
        EXPECT_EQ(pool.total(), 16);
        pool.freeNode(kept);
        EXPECT_EQ(pool.liveNodes(), 15);
    }
    ScribbledBlocks::freeAll();

    // The same with the system allocator, for the sanitizer build.
    NodePool pool(16, 16, 256);
    void* only = pool.allocNode();
    pool.freeNode(only);
    EXPECT_EQ(pool.blockCount(), 0);
    pool.freeNode(only);
    EXPECT_EQ(pool.total(), 0);
    EXPECT_NE(pool.allocNode(), nullptr);
}

TEST(NodePool, ReleaseAllFreesEveryBlock)
{
    NodePool pool(16, 16, 256);
    for (int i = 0; i < 1000; ++i)
        pool.allocNode();
    pool.releaseAllNodes();
    EXPECT_EQ(pool.total(), 0);
    EXPECT_EQ(pool.blockCount(), 0);
    EXPECT_NE(pool.allocNode(), nullptr);
    EXPECT_EQ(pool.total(), 16);
}

TEST(NodePool, SharedPoolsAreCountedByRoundedSizeAndFlags)
{
    NodePoolHandle a = createNodePool(20, 16, 256, NODE_POOL_SHARED);
    NodePoolHandle b = createNodePool(24, 16, 256, NODE_POOL_SHARED); // same rounded size
    NodePoolHandle locked = createNodePool(24, 16, 256, NODE_POOL_SHARED | NODE_POOL_LOCKED);
    NodePoolHandle privateA = createNodePool(24, 16, 256, NODE_POOL_PRIVATE);
    NodePoolHandle privateB = createNodePool(24, 16, 256, NODE_POOL_PRIVATE);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, locked);
    EXPECT_NE(privateA, privateB);

    void* node = b->allocNode();
    destroyNodePool(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b->liveNodes(), 1); // still alive through b
    b->freeNode(node);
    b->allocNode();
    destroyNodePool(b);
    NodePoolHandle fresh = createNodePool(24, 16, 256, NODE_POOL_SHARED);
    EXPECT_EQ(fresh->total(), 0);

    NodePoolHandle none;
    destroyNodePool(none);
    destroyNodePool(fresh);
    destroyNodePool(locked);
    destroyNodePool(privateA);
    destroyNodePool(privateB);
}

TEST(NodePool, LockedPoolServesSeveralThreads)
{
    NodePoolHandle pool = createNodePool(32, 16, 256, NODE_POOL_LOCKED);
    auto work = [&pool] {
        std::vector<void*> nodes;
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < 500; ++i)
                nodes.push_back(pool->allocZeroedNode());
            for (void* node : nodes)
                pool->freeNode(node);
            nodes.clear();
        }
    };
    std::thread first(work);
    std::thread second(work);
    first.join();
    second.join();
    EXPECT_EQ(pool->liveNodes(), 0);
    EXPECT_EQ(pool->total(), 0);
}

struct Counted {
    static inline int live = 0;
    explicit Counted(const char* text)
        : name(text)
    {
        ++live;
    }
    ~Counted() { --live; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    String name;
    std::int64_t value = 7;
};

TEST(TypedNodePool, ConstructsAndDestroysObjectsInNodes)
{
    TypedNodePool<Counted> pool(16, 256);
    std::vector<Counted*> objects;
    for (int i = 0; i < 40; ++i)
        objects.push_back(pool.create("node"));
    EXPECT_EQ(Counted::live, 40);
    EXPECT_STREQ(objects[39]->name, "node");
    EXPECT_EQ(objects[39]->value, 7);
    for (Counted* object : objects)
        pool.destroy(object);
    pool.destroy(nullptr);
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(pool.pool().total(), 0);
}

} // namespace
