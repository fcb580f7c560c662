#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

// Flags of createNodePool.
enum NodePoolFlags : int {
    // The pool takes its own recursive mutex in every operation.
    NODE_POOL_LOCKED = 1,
    // The pool belongs to its creator alone (the usual case).
    NODE_POOL_PRIVATE = 2,
    // One pool per (node size, flags) is shared process-wide and counted by reference.
    NODE_POOL_SHARED = 4,
};

// A block allocator of fixed-size nodes, for containers that make and drop many small nodes (the
// hash map's elements, the event queue).
//
// Rules:
// - Nodes never move: a node's address stays valid until it is freed or the pool releases all.
// - Nodes are handed out from blocks. The first block holds the first block count; later blocks
//   hold about a sixteenth of all nodes so far (total / 16 with the low four bits cleared), never
//   fewer than the first count and never more than the largest count. When a block cannot be had,
//   a block of one node is tried before giving up with nullptr.
// - A block whose handed-out nodes are all free again is given back to the system at once.
// - freeNode finds the node among the pool's live blocks before it touches anything, so a second
//   free, a node of a block already given back, a node of another pool or any other address is
//   ignored without reading the memory it points to.
// - Every node is aligned for any type (NODE_ALIGNMENT); a hidden header before it names its block.
// - The pool holds raw storage: constructing and destroying objects in it is the caller's job
//   (TypedNodePool does both).
// - Without NODE_POOL_LOCKED a pool belongs to one thread.
class NodePool {
public:
    static constexpr std::size_t NODE_ALIGNMENT = alignof(std::max_align_t);

    // Allocates the memory of a block; returns nullptr when there is none. Replaceable for tests,
    // together with the function that gives a block back (std::free by default).
    using BlockAllocator = void* (*)(std::size_t bytes);
    using BlockReleaser = void (*)(void* block);

    NodePool(int nodeSize, int firstBlockCount, int largestBlockCount, int flags = NODE_POOL_PRIVATE);
    ~NodePool();
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    // A node of nodeSize() usable bytes, or nullptr when memory runs out. Its content is undefined.
    void* allocNode();
    // As allocNode, with the usable bytes zero-filled.
    void* allocZeroedNode();
    // Gives a node of this pool back; nullptr, nodes of other pools and nodes that are already free
    // are ignored.
    void freeNode(void* node);
    // Frees every block at once; all nodes of the pool become invalid.
    void releaseAllNodes();

    int nodeSize() const { return m_nodeSize; }
    int flags() const { return m_flags; }
    // Read-only counters, for tests and diagnostics.
    std::int64_t total() const;
    int blockCount() const;
    std::int64_t liveNodes() const;
    // Node capacity of every block, the blocks with free nodes first, each list newest first.
    std::vector<int> blockCapacities() const;

    // Blocks made from now on come from allocate and go back through release (nullptr for either
    // means malloc and free); every block keeps the releaser it was made with.
    void setBlockAllocator(BlockAllocator allocate, BlockReleaser release = nullptr);

private:
    struct Block;
    struct NodeHeader;

    std::unique_lock<std::recursive_mutex> lock() const;
    int nextBlockCount() const;
    static std::size_t blockHeaderSize();
    Block* newBlock(int capacity);
    void releaseBlock(Block* block);
    NodeHeader* nodeHeader(Block* block, int index) const;
    Block* blockHolding(const void* node) const;
    void* takeNode(Block* block);
    static NodeHeader* endOfFreeList();
    static void unlink(Block*& list, Block* block);
    static void pushFront(Block*& list, Block* block);
    void freeBlocks(Block*& list);

    std::size_t m_stride;
    int m_nodeSize;
    int m_firstBlockCount;
    int m_largestBlockCount;
    int m_flags;
    Block* m_full = nullptr;
    Block* m_partial = nullptr;
    std::int64_t m_total = 0;
    // Addresses of the live blocks, to find the block of a node without reading the node.
    std::set<std::uintptr_t> m_blocks;
    BlockAllocator m_allocate;
    BlockReleaser m_release;
    std::unique_ptr<std::recursive_mutex> m_mutex;
};

// A pool as createNodePool hands it out. A shared pool lives while any handle to it does.
using NodePoolHandle = std::shared_ptr<NodePool>;

// A private pool, or for NODE_POOL_SHARED the process-wide pool of that rounded node size and those
// flags (created on first request; its block counts are those of the first request). Node sizes
// below 1 count as 1, block counts below 1 as 1.
NodePoolHandle createNodePool(int nodeSize, int firstBlockCount, int largestBlockCount, int flags);

// Lets go of the handle (it becomes empty). A shared pool is destroyed with its last handle.
void destroyNodePool(NodePoolHandle& pool);

// A NodePool of one object type: create() constructs an object in a zero-filled node, destroy()
// destroys it and frees the node. Destroy every object before the pool ends or releases all,
// unless the type is trivially destructible.
template <class T> class TypedNodePool {
    static_assert(alignof(T) <= NodePool::NODE_ALIGNMENT, "node type is over-aligned for the pool");

public:
    TypedNodePool(int firstBlockCount, int largestBlockCount, int flags = NODE_POOL_PRIVATE)
        : m_pool(static_cast<int>(sizeof(T)), firstBlockCount, largestBlockCount, flags)
    {
    }

    // The new object, or nullptr when memory runs out.
    template <class... Args> T* create(Args&&... args)
    {
        void* node = m_pool.allocZeroedNode();
        if (!node)
            return nullptr;
        return std::construct_at(static_cast<T*>(node), std::forward<Args>(args)...);
    }

    void destroy(T* object)
    {
        if (!object)
            return;
        std::destroy_at(object);
        m_pool.freeNode(object);
    }

    // Frees all blocks without running destructors: for use after every object was destroyed or
    // when T is trivially destructible.
    void releaseAllNodes() { m_pool.releaseAllNodes(); }

    NodePool& pool() { return m_pool; }
    const NodePool& pool() const { return m_pool; }

private:
    NodePool m_pool;
};
