#include "work_area.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Growth granularity: the work area grows by at least this much so that growth is rare.
constexpr int GROWTH = 16384;
// Bytes kept beyond the capacity, so that copies may overrun a text by up to 4 bytes.
constexpr int SPARE = 5;
constexpr int INITIAL_CAPACITY = 16;

struct WorkArea {
    char* base = nullptr;
    int position = 0;
    int capacity = 0;
    int pins = 0;
    // Buffers left behind by growth while a pin lived.
    std::vector<char*> retired;
};

WorkArea g_area;

void ensureInitialised()
{
    if (!g_area.base)
        initWorkArea();
}

void growTo(int capacity)
{
    auto* grown = static_cast<char*>(std::malloc(static_cast<std::size_t>(capacity) + SPARE));
    if (!grown)
        std::abort(); // Nothing sensible can go on without memory for texts.
    std::memcpy(grown, g_area.base, static_cast<std::size_t>(g_area.capacity) + SPARE);
    std::memset(grown + g_area.capacity + SPARE, 0, static_cast<std::size_t>(capacity - g_area.capacity));
    if (g_area.pins > 0)
        g_area.retired.push_back(g_area.base);
    else
        std::free(g_area.base);
    g_area.base = grown;
    g_area.capacity = capacity;
}

void freeRetired()
{
    for (char* buffer : g_area.retired)
        std::free(buffer);
    g_area.retired.clear();
}

} // namespace

void initWorkArea()
{
    if (g_area.base)
        return;
    g_area.base = static_cast<char*>(std::calloc(INITIAL_CAPACITY + SPARE, 1));
    if (!g_area.base)
        std::abort();
    g_area.capacity = INITIAL_CAPACITY;
    g_area.position = 0;
}

void freeWorkArea()
{
    freeRetired();
    std::free(g_area.base);
    g_area.base = nullptr;
    g_area.position = 0;
    g_area.capacity = 0;
}

char* reserveWorkArea(int n, int at)
{
    ensureInitialised();
    if (n < 0)
        n = 0;
    if (at < 0 || at > g_area.position)
        at = g_area.position;
    constexpr int limit = std::numeric_limits<int>::max() - GROWTH - SPARE;
    if (n > limit - g_area.position)
        std::abort(); // A 2 GB text is a programming error, not user input.
    if (n + g_area.position >= g_area.capacity - 4)
        growTo(n + g_area.position + GROWTH);
    g_area.position = at + n;
    return g_area.base + at;
}

void appendBytesToWorkArea(const char* bytes, int n)
{
    ensureInitialised();
    if (!bytes || n <= 0) {
        g_area.base[g_area.position] = '\0';
        return;
    }
    int inside = workAreaOffsetOf(bytes);
    char* target = reserveWorkArea(n, g_area.position);
    if (inside)
        bytes = workAreaAddress(inside);
    std::memmove(target, bytes, static_cast<std::size_t>(n));
    g_area.base[g_area.position] = '\0';
}

void appendToWorkArea(const char* text)
{
    appendBytesToWorkArea(text, text ? static_cast<int>(std::strlen(text)) : 0);
}

void closeWorkAreaText()
{
    char* end = reserveWorkArea(1, workAreaPosition());
    end[1] = '\0';
}

void shrinkWorkArea(int n)
{
    ensureInitialised();
    g_area.position -= n;
    if (g_area.position < 0)
        g_area.position = 0;
}

void truncateWorkArea(int offset)
{
    ensureInitialised();
    if (offset < 0)
        offset = 0;
    if (offset > g_area.capacity)
        offset = g_area.capacity;
    g_area.position = offset;
    g_area.base[offset] = '\0';
}

int workAreaOffsetOf(const char* address)
{
    if (!g_area.base || !address)
        return 0;
    // Compare as integers: relational comparison of unrelated pointers is unspecified.
    auto a = reinterpret_cast<std::uintptr_t>(address);
    auto b = reinterpret_cast<std::uintptr_t>(g_area.base);
    if (a < b || a > b + static_cast<std::uintptr_t>(g_area.position))
        return 0;
    return static_cast<int>(a - b) + 1;
}

char* workAreaAddress(int offsetPlusOne)
{
    ensureInitialised();
    return g_area.base + offsetPlusOne - 1;
}

int workAreaPosition()
{
    ensureInitialised();
    return g_area.position;
}

int workAreaCapacity()
{
    ensureInitialised();
    return g_area.capacity;
}

char* workAreaAt(int position)
{
    ensureInitialised();
    return g_area.base + position;
}

WorkAreaMark::WorkAreaMark()
    : m_mark(workAreaPosition())
{
}

WorkAreaMark::~WorkAreaMark()
{
    truncateWorkArea(m_mark);
}

WorkAreaPin::WorkAreaPin()
{
    ++g_area.pins;
}

WorkAreaPin::~WorkAreaPin()
{
    if (--g_area.pins == 0)
        freeRetired();
}
