#include "node_pool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <new>
#include <utility>

namespace {

constexpr std::size_t roundUp(std::size_t value, std::size_t multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

void* mallocBlock(std::size_t bytes)
{
    return std::malloc(bytes);
}

void freeBlock(void* block)
{
    std::free(block);
}

// Requested node sizes are rounded up so that every node is aligned for any type.
std::size_t usableSize(int nodeSize)
{
    return roundUp(static_cast<std::size_t>(std::max(nodeSize, 1)), NodePool::NODE_ALIGNMENT);
}

} // namespace

// A block: its links and counters, then capacity nodes, each a header followed by the usable
// bytes. A node from the never-used tail has never been on the free list, so a fresh block needs
// no set-up of its nodes.
struct NodePool::Block {
    Block* next;
    Block* previous;
    NodeHeader* freeList;
    NodePool::BlockReleaser release;
    int capacity;
    int handedOut; // nodes taken from the never-used tail so far
    int freed; // nodes on the free list
    bool full; // on the list of full blocks
};

// The header before every node. nextFree is nullptr while the node is handed out; on the free list
// it links to the next free node or to the end mark, which lets freeNode ignore a second free of the
// same node instead of corrupting the block's counts.
struct NodePool::NodeHeader {
    Block* block;
    NodeHeader* nextFree;
};

NodePool::NodeHeader* NodePool::endOfFreeList()
{
    static NodeHeader end { nullptr, nullptr };
    return &end;
}

namespace {

constexpr std::size_t NODE_HEADER_SIZE = 2 * sizeof(void*) <= NodePool::NODE_ALIGNMENT
    ? NodePool::NODE_ALIGNMENT
    : roundUp(2 * sizeof(void*), NodePool::NODE_ALIGNMENT);

} // namespace

NodePool::NodePool(int nodeSize, int firstBlockCount, int largestBlockCount, int flags)
    : m_firstBlockCount(std::max(firstBlockCount, 1))
    , m_largestBlockCount(std::max(largestBlockCount, 1))
    , m_flags(flags)
    , m_allocate(mallocBlock)
    , m_release(freeBlock)
{
    std::size_t usable = usableSize(nodeSize);
    m_nodeSize = static_cast<int>(std::min<std::size_t>(usable, std::numeric_limits<int>::max()));
    m_stride = NODE_HEADER_SIZE + usable;
    if (flags & NODE_POOL_LOCKED)
        m_mutex = std::make_unique<std::recursive_mutex>();
}

NodePool::~NodePool()
{
    releaseAllNodes();
}

std::unique_lock<std::recursive_mutex> NodePool::lock() const
{
    return m_mutex ? std::unique_lock<std::recursive_mutex>(*m_mutex)
                   : std::unique_lock<std::recursive_mutex>();
}

// Blocks grow with the pool so that a large pool makes few allocations: a sixteenth of all nodes
// so far, in steps of 16 nodes, between the first and the largest count.
int NodePool::nextBlockCount() const
{
    std::int64_t t = (m_total >> 4) & ~std::int64_t { 15 };
    if (t < m_firstBlockCount)
        return m_firstBlockCount;
    return static_cast<int>(std::min<std::int64_t>(t, m_largestBlockCount));
}

std::size_t NodePool::blockHeaderSize()
{
    return roundUp(sizeof(Block), NODE_ALIGNMENT);
}

NodePool::Block* NodePool::newBlock(int capacity)
{
    const std::size_t header = blockHeaderSize();
    if (static_cast<std::size_t>(capacity) > (std::numeric_limits<std::size_t>::max() - header) / m_stride)
        return nullptr;
    void* memory = m_allocate(header + static_cast<std::size_t>(capacity) * m_stride);
    if (!memory)
        return nullptr;
    // The block header is a plain record; placement keeps the object model honest.
    Block* block = std::construct_at(
        static_cast<Block*>(memory), Block { nullptr, nullptr, nullptr, m_release, capacity, 0, 0, false });
    try {
        m_blocks.insert(reinterpret_cast<std::uintptr_t>(block));
    } catch (const std::bad_alloc&) {
        block->release(block);
        return nullptr;
    }
    return block;
}

void NodePool::releaseBlock(Block* block)
{
    m_blocks.erase(reinterpret_cast<std::uintptr_t>(block));
    block->release(block);
}

NodePool::NodeHeader* NodePool::nodeHeader(Block* block, int index) const
{
    return reinterpret_cast<NodeHeader*>(reinterpret_cast<unsigned char*>(block) + blockHeaderSize()
        + static_cast<std::size_t>(index) * m_stride);
}

// The live block that handed out the node at this address, or nullptr. Only the pool's own
// bookkeeping is read, never the memory at the address.
NodePool::Block* NodePool::blockHolding(const void* node) const
{
    auto address = reinterpret_cast<std::uintptr_t>(node);
    auto above = m_blocks.upper_bound(address);
    if (above == m_blocks.begin())
        return nullptr;
    std::uintptr_t start = *std::prev(above);
    std::uintptr_t firstNode = start + blockHeaderSize() + NODE_HEADER_SIZE;
    if (address < firstNode || (address - firstNode) % m_stride != 0)
        return nullptr;
    auto* block = reinterpret_cast<Block*>(start);
    if ((address - firstNode) / m_stride >= static_cast<std::uintptr_t>(block->handedOut))
        return nullptr;
    return block;
}

void* NodePool::takeNode(Block* block)
{
    NodeHeader* node;
    if (block->freed > 0) {
        node = block->freeList;
        block->freeList = node->nextFree == endOfFreeList() ? nullptr : node->nextFree;
        --block->freed;
    } else {
        node = std::construct_at(nodeHeader(block, block->handedOut), NodeHeader { block, nullptr });
        ++block->handedOut;
    }
    node->nextFree = nullptr;
    if (block->freed == 0 && block->handedOut == block->capacity && !block->full) {
        unlink(m_partial, block);
        block->full = true;
        pushFront(m_full, block);
    }
    return reinterpret_cast<unsigned char*>(node) + NODE_HEADER_SIZE;
}

void* NodePool::allocNode()
{
    auto guard = lock();
    if (m_partial)
        return takeNode(m_partial);
    int capacity = nextBlockCount();
    Block* block = newBlock(capacity);
    if (!block && capacity > 1)
        block = newBlock(1);
    if (!block)
        return nullptr;
    m_total += block->capacity;
    pushFront(m_partial, block);
    return takeNode(block);
}

void* NodePool::allocZeroedNode()
{
    auto guard = lock();
    void* node = allocNode();
    if (node)
        std::memset(node, 0, static_cast<std::size_t>(m_nodeSize));
    return node;
}

void NodePool::freeNode(void* node)
{
    if (!node)
        return;
    auto guard = lock();
    Block* block = blockHolding(node);
    if (!block)
        return;
    auto* header = reinterpret_cast<NodeHeader*>(static_cast<unsigned char*>(node) - NODE_HEADER_SIZE);
    if (header->nextFree)
        return;
    header->nextFree = block->freeList ? block->freeList : endOfFreeList();
    block->freeList = header;
    ++block->freed;
    if (block->freed == block->handedOut) {
        unlink(block->full ? m_full : m_partial, block);
        m_total -= block->capacity;
        releaseBlock(block);
        return;
    }
    if (block->full) {
        unlink(m_full, block);
        block->full = false;
        pushFront(m_partial, block);
    }
}

void NodePool::freeBlocks(Block*& list)
{
    while (list) {
        Block* next = list->next;
        releaseBlock(list);
        list = next;
    }
}

void NodePool::releaseAllNodes()
{
    auto guard = lock();
    freeBlocks(m_full);
    freeBlocks(m_partial);
    m_total = 0;
}

void NodePool::unlink(Block*& list, Block* block)
{
    if (block->previous)
        block->previous->next = block->next;
    else
        list = block->next;
    if (block->next)
        block->next->previous = block->previous;
    block->next = nullptr;
    block->previous = nullptr;
}

void NodePool::pushFront(Block*& list, Block* block)
{
    block->previous = nullptr;
    block->next = list;
    if (list)
        list->previous = block;
    list = block;
}

std::int64_t NodePool::total() const
{
    auto guard = lock();
    return m_total;
}

int NodePool::blockCount() const
{
    return static_cast<int>(blockCapacities().size());
}

std::int64_t NodePool::liveNodes() const
{
    auto guard = lock();
    std::int64_t live = 0;
    for (Block* list : { m_partial, m_full }) {
        for (Block* block = list; block; block = block->next)
            live += block->handedOut - block->freed;
    }
    return live;
}

std::vector<int> NodePool::blockCapacities() const
{
    auto guard = lock();
    std::vector<int> capacities;
    for (Block* list : { m_partial, m_full }) {
        for (Block* block = list; block; block = block->next)
            capacities.push_back(block->capacity);
    }
    return capacities;
}

void NodePool::setBlockAllocator(BlockAllocator allocate, BlockReleaser release)
{
    auto guard = lock();
    m_allocate = allocate ? allocate : mallocBlock;
    m_release = release ? release : freeBlock;
}

namespace {

// Shared pools by (rounded node size, flags). The registry holds weak references, so a pool ends
// with its last handle; the mutex is set up once, on first use.
struct SharedPools {
    std::mutex mutex;
    std::map<std::pair<int, int>, std::weak_ptr<NodePool>> pools;
};

SharedPools& sharedPools()
{
    static SharedPools registry;
    return registry;
}

} // namespace

NodePoolHandle createNodePool(int nodeSize, int firstBlockCount, int largestBlockCount, int flags)
{
    if (!(flags & NODE_POOL_SHARED))
        return std::make_shared<NodePool>(nodeSize, firstBlockCount, largestBlockCount, flags);
    auto& registry = sharedPools();
    std::lock_guard guard(registry.mutex);
    auto size
        = static_cast<int>(std::min<std::size_t>(usableSize(nodeSize), std::numeric_limits<int>::max()));
    auto& entry = registry.pools[{ size, flags }];
    if (auto existing = entry.lock())
        return existing;
    auto pool = std::make_shared<NodePool>(nodeSize, firstBlockCount, largestBlockCount, flags);
    entry = pool;
    return pool;
}

void destroyNodePool(NodePoolHandle& pool)
{
    if (!pool)
        return;
    if (!(pool->flags() & NODE_POOL_SHARED)) {
        pool.reset();
        return;
    }
    auto& registry = sharedPools();
    std::lock_guard guard(registry.mutex);
    std::pair<int, int> key { pool->nodeSize(), pool->flags() };
    pool.reset();
    auto it = registry.pools.find(key);
    if (it != registry.pools.end() && it->second.expired())
        registry.pools.erase(it);
}
