#include "hash_map.h"

std::uint32_t hashKey(const char* key)
{
    std::uint32_t h = 0;
    if (!key)
        return h;
    // Bytes 0x80-0xFF count as negative values (signed 8-bit), which decides the slot of every key
    // with an umlaut; unsigned arithmetic wraps modulo 2^32 as the hash requires.
    for (const char* c = key; *c; ++c)
        h = h * 65599u + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*c)));
    return h;
}
