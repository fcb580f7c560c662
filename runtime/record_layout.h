#pragma once

#include "runtime_string.h"

#include <cstring>
#include <memory>
#include <type_traits>

// Records kept in containers (the elements of a HashMap) are ordinary C++ types, and their members
// are their layout: a String member is a string field (none reads as the empty text), a HashMap
// member is a nested map (its default member initialiser gives the slot count, as in
// `HashMap<String> cells{16};`), and nested structs and arrays are walked by the compiler. The
// walkers below are therefore the record's own special members:
//
//   initRecord    zero-fills the storage and constructs the record there: strings are none,
//                 numbers 0, nested maps exist and are empty.
//   releaseRecord destroys it: strings and nested maps are freed. The storage must be initialised
//                 again before it is used.
//   copyRecord    copy-assigns it: strings are copied, a nested map is emptied, given the source
//                 map's slot count and filled with deep copies of the source's elements.

// True when a zero-filled record is not yet a usable one, because constructing it does more (it
// holds a nested map, for example). Plain values and strings are ready when zero-filled; any other
// type with a non-trivial constructor is conservatively taken to need its construction.
template <class Record>
inline constexpr bool ZERO_FILLED_IS_READY = std::is_trivially_default_constructible_v<Record>;
template <> inline constexpr bool ZERO_FILLED_IS_READY<String> = true;

template <class Record> constexpr bool layoutNeedsInit()
{
    return !ZERO_FILLED_IS_READY<Record>;
}

// Makes a fresh record in raw storage of sizeof(Record) bytes.
template <class Record> Record* initRecord(void* storage)
{
    std::memset(storage, 0, sizeof(Record));
    return std::construct_at(static_cast<Record*>(storage));
}

template <class Record> void releaseRecord(Record& record)
{
    std::destroy_at(&record);
}

template <class Record> void copyRecord(Record& destination, const Record& source)
{
    if (&destination != &source)
        destination = source;
}

// Start-up registers the create, copy and free operations of every container kind that records
// may hold. Typed records carry those operations in their own members, so the registrations have
// nothing left to record; they remain so that start-up keeps its fixed order. The dynamic-array and
// linked-list containers do not exist in this system.
inline void registerMapHandlers()
{
}
inline void registerArrayHandlers()
{
}
inline void registerListHandlers()
{
}
