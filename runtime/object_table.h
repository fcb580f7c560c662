#pragma once

#include "object_number.h"

#include <cstddef>
#include <limits>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

// The per-kind registry of numbered objects.
//
// Rules:
// - A number in 0 .. slotCount() - 1 is a slot number; the table grows on demand (a number at or
//   beyond the slot count grows it to number + growth step slots).
// - A record is live while its `handle` field (the platform object) is non-zero. Records are
//   default-constructed ("zero-filled") when taken and when released.
// - Slot records are allocated once per number and reused, so a record's address stays valid
//   until the table is destroyed.
// - DYNAMIC_NUMBER hands out a fresh number from a range no slot can reach; dynamic numbers are
//   never reused, so a stale one is reported as not live instead of finding another object.
// - Taking a number that is live first passes it to the free handler, which releases the old
//   object and ends with releaseObject().
// - freeAllObjects() visits live slots in ascending order, then dynamic objects oldest first; the
//   cursor moves past an object before its handler runs, so handlers may release it.
// - A registry keeps its table in static storage, and the platform objects whose destructors
//   release records (widgets that belong to a window) may be destroyed after it at exit. Such a
//   destructor asks tableExists() before it touches the table.
template <class Record> class ObjectTable {
public:
    using FreeHandler = void (*)(int number);

    // Dynamic numbers start here; fixed numbers at or beyond it are refused.
    static constexpr int FIRST_DYNAMIC_NUMBER = 0x40000000;

    ObjectTable(int growthStep, FreeHandler freeHandler)
        : m_growthStep(growthStep > 0 ? growthStep : 1)
        , m_freeHandler(freeHandler)
        , m_slots(static_cast<std::size_t>(m_growthStep))
    {
        ++s_liveTables;
    }

    ~ObjectTable() { --s_liveTables; }

    ObjectTable(const ObjectTable&) = delete;
    ObjectTable& operator=(const ObjectTable&) = delete;

    // The record for the number, reset and ready to be filled in, or nullptr for a number the
    // table cannot hold. For DYNAMIC_NUMBER the new number is numberOf(record).
    Record* allocObject(int number)
    {
        if (number == DYNAMIC_NUMBER) {
            auto record = std::make_unique<Dynamic>();
            record->number = takeDynamicNumber();
            Dynamic* raw = record.get();
            m_dynamicOrder.push_back(raw->number);
            m_dynamic.emplace(raw->number, std::move(record));
            return &raw->record;
        }
        if (number < 0 || number >= FIRST_DYNAMIC_NUMBER)
            return nullptr;
        if (static_cast<std::size_t>(number) >= m_slots.size())
            m_slots.resize(static_cast<std::size_t>(number) + static_cast<std::size_t>(m_growthStep));
        auto& slot = m_slots[static_cast<std::size_t>(number)];
        if (slot) {
            if (m_freeHandler && slot->handle)
                m_freeHandler(number);
            *slot = Record {};
            return slot.get();
        }
        slot = std::make_unique<Record>();
        return slot.get();
    }

    // The record when the number is live, else nullptr.
    Record* objectRecord(int number) const
    {
        Record* record = anyRecord(number);
        return record && record->handle ? record : nullptr;
    }

    // Non-zero when the number is live. For a dynamic number this also counts a record that was
    // taken but not yet given its platform object.
    int objectExists(int number) const
    {
        if (isSlotNumber(number)) {
            const auto& slot = m_slots[static_cast<std::size_t>(number)];
            return slot && slot->handle ? 1 : 0;
        }
        return m_dynamic.count(number) ? number : 0;
    }

    // The number becomes free: a slot record is reset, a dynamic record is destroyed.
    void releaseObject(int number)
    {
        if (isSlotNumber(number)) {
            if (auto& slot = m_slots[static_cast<std::size_t>(number)])
                *slot = Record {};
            return;
        }
        if (m_dynamic.erase(number)) {
            for (auto it = m_dynamicOrder.begin(); it != m_dynamicOrder.end(); ++it) {
                if (*it == number) {
                    if (m_cursor == it)
                        ++m_cursor;
                    m_dynamicOrder.erase(it);
                    break;
                }
            }
        }
    }

    // Passes every live object to the free handler (see the rules above).
    void freeAllObjects()
    {
        if (!m_freeHandler)
            return;
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
            if (m_slots[slot] && m_slots[slot]->handle)
                m_freeHandler(static_cast<int>(slot));
        }
        m_cursor = m_dynamicOrder.begin();
        while (m_cursor != m_dynamicOrder.end()) {
            int number = *m_cursor;
            ++m_cursor;
            if (objectRecord(number))
                m_freeHandler(number);
        }
    }

    // The number under which a record is registered, or 0 when it is not one of ours.
    int numberOf(const Record* record) const
    {
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
            if (m_slots[slot].get() == record)
                return static_cast<int>(slot);
        }
        for (const auto& [number, dynamic] : m_dynamic) {
            if (&dynamic->record == record)
                return number;
        }
        return 0;
    }

    // true while a table of this record kind exists. The count lives outside every table and is
    // never destroyed, so it may be asked after the last table is gone.
    static bool tableExists() { return s_liveTables > 0; }

    int slotCount() const { return static_cast<int>(m_slots.size()); }
    bool isSlotNumber(int number) const
    {
        return number >= 0 && static_cast<std::size_t>(number) < m_slots.size();
    }

    // Visits every live record, slots first (ascending), then dynamic objects oldest first.
    template <class Visitor> void forEachLive(Visitor&& visit) const
    {
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
            if (m_slots[slot] && m_slots[slot]->handle)
                visit(static_cast<int>(slot), *m_slots[slot]);
        }
        for (int number : m_dynamicOrder) {
            if (Record* record = objectRecord(number))
                visit(number, *record);
        }
    }

private:
    struct Dynamic {
        int number = 0;
        Record record {};
    };

    int takeDynamicNumber()
    {
        for (;;) {
            int number = m_nextDynamic;
            m_nextDynamic = number == std::numeric_limits<int>::max() ? FIRST_DYNAMIC_NUMBER : number + 1;
            if (!m_dynamic.count(number))
                return number;
        }
    }

    Record* anyRecord(int number) const
    {
        if (isSlotNumber(number))
            return m_slots[static_cast<std::size_t>(number)].get();
        auto it = m_dynamic.find(number);
        return it == m_dynamic.end() ? nullptr : &it->second->record;
    }

    int m_growthStep;
    FreeHandler m_freeHandler;
    std::vector<std::unique_ptr<Record>> m_slots;
    std::unordered_map<int, std::unique_ptr<Dynamic>> m_dynamic;
    std::list<int> m_dynamicOrder; // oldest first
    std::list<int>::iterator m_cursor = m_dynamicOrder.end();
    int m_nextDynamic = FIRST_DYNAMIC_NUMBER;

    // Constant-initialised and trivially destructible: valid for the whole process.
    static inline int s_liveTables = 0;
};
