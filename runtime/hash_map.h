#pragma once

#include "node_pool.h"
#include "record_layout.h"
#include "runtime_string.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

// The sdbm string hash over the key's bytes taken as signed 8-bit values, modulo 2^32 (nullptr is
// the empty key): "ab" gives 6363201, the single byte 0xE4 gives 4294967268.
std::uint32_t hashKey(const char* key);

// A chained hash map from texts to records of type Element (see record_layout.h for what a record
// may hold).
//
// Rules:
// - The slot count is fixed at creation (a count below 1 becomes 1); nothing ever rehashes, and a
//   key's slot is hashKey(key) modulo the slot count.
// - New elements go to the head of their slot's chain. An element never moves: a record address
//   stays valid until emptyMap() or the end of the map.
// - Keys are compared byte by byte (case matters); a key of nullptr is the empty key.
// - One cursor serves iteration and remembers the element last found or inserted; iteration visits
//   the slots in ascending order and each chain from its newest element to its oldest.
// - Nodes come from the map's own NodePool (16 nodes first, at most 65536 per block).
// - Not locked: a map belongs to one thread.
template <class Element> class HashMap {
public:
    static constexpr int FIRST_BLOCK_COUNT = 16;
    static constexpr int LARGEST_BLOCK_COUNT = 65536;

    explicit HashMap(int slotCount);
    // A copy has the source's slot count and deep copies of its elements.
    HashMap(const HashMap& other);
    HashMap& operator=(const HashMap& other);
    ~HashMap();

    // A fresh, empty record for the key: an existing record is released and initialised again
    // (the key and the count stay), a missing key is inserted. nullptr when memory runs out.
    Element* putMapEntry(const char* key);
    // The record for the key; a missing key is inserted with an empty record. nullptr when memory
    // runs out.
    Element* mapEntry(const char* key);
    // The record for the key, or nullptr; never inserts. A miss leaves the cursor alone.
    Element* lookupMapEntry(const char* key);
    // The record for the key, or for a missing key the map's one empty default record (shared by
    // every miss, hence read-only); never inserts. A miss leaves the cursor on no element.
    const Element* peekMapEntry(const char* key);

    // Puts the cursor before the first element.
    void rewindMap();
    // The next element's record, or nullptr at the end (and on every call after it until a rewind).
    Element* advanceMap();
    // The key of the element at the cursor; "" when it stands on none.
    const char* currentKey() const;

    // Frees every element (key and record) at once.
    void emptyMap();

    // Inserts a copy of every element of source, without looking for keys that exist already.
    void copyEntriesFrom(const HashMap& source);

    int count() const { return m_count; }
    int slotCount() const { return m_slotCount; }
    // The slot of a key (0 in a map without slots).
    int slotOf(const char* key) const
    {
        return m_slotCount > 0 ? static_cast<int>(hashKey(key) % static_cast<std::uint32_t>(m_slotCount)) : 0;
    }
    // False when the slot array could not be allocated; such a map holds nothing and inserts nothing.
    bool valid() const { return m_slots != nullptr; }
    const NodePool& pool() const { return m_nodes.pool(); }

private:
    struct Node {
        explicit Node(const char* text)
            : key(text ? text : "")
        {
        }

        Node* next = nullptr;
        String key;
        Element record {};
    };

    struct FreeSlots {
        void operator()(Node** slots) const { std::free(slots); }
    };

    void allocateSlots(int slotCount);
    Node* find(const char* key);
    Node* insert(const char* key);

    std::unique_ptr<Node*[], FreeSlots> m_slots;
    int m_slotCount = 0;
    int m_count = 0;
    Node* m_current = nullptr;
    int m_slotIndex = -1;
    std::optional<Element> m_defaultElement;
    TypedNodePool<Node> m_nodes { FIRST_BLOCK_COUNT, LARGEST_BLOCK_COUNT, NODE_POOL_PRIVATE };
};

// The variable that holds a map; none when it holds no map.
template <class Element> using MapHandle = std::unique_ptr<HashMap<Element>>;

// Creates a map into the owner variable (freeing a map it held) and returns it; returns nullptr and
// leaves the owner alone when memory runs out.
template <class Element> HashMap<Element>* createMap(MapHandle<Element>& owner, int slotCount)
{
    auto map = std::make_unique<HashMap<Element>>(slotCount);
    if (!map->valid())
        return nullptr;
    owner = std::move(map);
    return owner.get();
}

// Frees the map the owner holds, if any; the owner becomes none.
template <class Element> void destroyMap(MapHandle<Element>& owner)
{
    owner.reset();
}

// Copies every element of source into destination, emptying destination first when clear is set.
// Returns 0 when either map is missing, else 1. The source's cursor is not moved. Copying a map
// onto itself with clear set leaves it unchanged instead of emptying it.
template <class Element>
int copyMapEntries(const HashMap<Element>* source, HashMap<Element>* destination, bool clear)
{
    if (!source || !destination)
        return 0;
    if (source == destination && clear)
        return 1;
    if (clear)
        destination->emptyMap();
    destination->copyEntriesFrom(*source);
    return 1;
}

template <class Element> HashMap<Element>::HashMap(int slotCount)
{
    allocateSlots(slotCount);
}

template <class Element>
HashMap<Element>::HashMap(const HashMap& other)
    : HashMap(other.m_slotCount)
{
    copyEntriesFrom(other);
}

template <class Element> HashMap<Element>& HashMap<Element>::operator=(const HashMap& other)
{
    if (this == &other)
        return *this;
    emptyMap();
    if (m_slotCount != other.m_slotCount)
        allocateSlots(other.m_slotCount);
    copyEntriesFrom(other);
    return *this;
}

template <class Element> HashMap<Element>::~HashMap()
{
    emptyMap();
}

template <class Element> void HashMap<Element>::allocateSlots(int slotCount)
{
    if (slotCount < 1)
        slotCount = 1;
    m_slots.reset(static_cast<Node**>(std::calloc(static_cast<std::size_t>(slotCount), sizeof(Node*))));
    m_slotCount = m_slots ? slotCount : 0;
}

template <class Element> typename HashMap<Element>::Node* HashMap<Element>::find(const char* key)
{
    if (!m_slots)
        return nullptr;
    int slot = slotOf(key);
    for (Node* node = m_slots[slot]; node; node = node->next) {
        if (stringsEqual(node->key.c_str(), key)) {
            m_current = node;
            m_slotIndex = slot;
            return node;
        }
    }
    return nullptr;
}

template <class Element> typename HashMap<Element>::Node* HashMap<Element>::insert(const char* key)
{
    if (!m_slots)
        return nullptr;
    Node* node = m_nodes.create(key);
    if (!node)
        return nullptr;
    int slot = slotOf(key);
    node->next = m_slots[slot];
    m_slots[slot] = node;
    m_current = node;
    m_slotIndex = slot;
    ++m_count;
    return node;
}

template <class Element> Element* HashMap<Element>::putMapEntry(const char* key)
{
    if (Node* node = find(key)) {
        releaseRecord(node->record);
        initRecord<Element>(&node->record);
        return &node->record;
    }
    Node* node = insert(key);
    return node ? &node->record : nullptr;
}

template <class Element> Element* HashMap<Element>::mapEntry(const char* key)
{
    Node* node = find(key);
    if (!node)
        node = insert(key);
    return node ? &node->record : nullptr;
}

template <class Element> Element* HashMap<Element>::lookupMapEntry(const char* key)
{
    Node* node = find(key);
    return node ? &node->record : nullptr;
}

template <class Element> const Element* HashMap<Element>::peekMapEntry(const char* key)
{
    if (Node* node = find(key))
        return &node->record;
    if (!m_defaultElement)
        m_defaultElement.emplace();
    m_current = nullptr;
    return &*m_defaultElement;
}

template <class Element> void HashMap<Element>::rewindMap()
{
    m_current = nullptr;
    m_slotIndex = -1;
}

template <class Element> Element* HashMap<Element>::advanceMap()
{
    if (m_current && m_current->next) {
        m_current = m_current->next;
        return &m_current->record;
    }
    if (!m_current && m_slotIndex != -1)
        return nullptr;
    for (int slot = m_slotIndex + 1; slot < m_slotCount; ++slot) {
        if (m_slots[slot]) {
            m_current = m_slots[slot];
            m_slotIndex = slot;
            return &m_current->record;
        }
    }
    m_current = nullptr;
    m_slotIndex = m_slotCount;
    return nullptr;
}

template <class Element> const char* HashMap<Element>::currentKey() const
{
    return m_current ? m_current->key.c_str() : "";
}

template <class Element> void HashMap<Element>::emptyMap()
{
    for (int slot = 0; slot < m_slotCount; ++slot) {
        Node* node = m_slots[slot];
        while (node) {
            Node* next = node->next;
            std::destroy_at(node);
            node = next;
        }
        m_slots[slot] = nullptr;
    }
    // Every node was destroyed above, so the blocks can go at once rather than node by node.
    m_nodes.releaseAllNodes();
    rewindMap();
    m_count = 0;
}

template <class Element> void HashMap<Element>::copyEntriesFrom(const HashMap& source)
{
    // Copies go to the head of their chain, behind the walk, so a map copied into itself does not
    // meet its own copies.
    for (int slot = 0; slot < source.m_slotCount; ++slot) {
        for (const Node* from = source.m_slots[slot]; from; from = from->next) {
            Node* to = insert(from->key.c_str());
            if (!to)
                return;
            copyRecord(to->record, from->record);
        }
    }
}
