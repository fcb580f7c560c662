#include "runtime_string.h"

#include "work_area.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Texts are ISO 8859-1 bytes and NUL-terminated, so strcmp's unsigned byte order is the order we
// want; nullptr is the empty text.
const char* orEmpty(const char* text)
{
    return text ? text : "";
}

} // namespace

String::String(const char* text)
{
    if (text)
        assignBytes(text, static_cast<int>(std::strlen(text)));
}

String::String(const String& other)
    : String(other.m_data)
{
}

String::String(String&& other) noexcept
    : m_data(other.m_data)
{
    other.m_data = nullptr;
}

String& String::operator=(const String& other)
{
    if (this != &other)
        assignString(*this, other.m_data);
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        std::free(m_data);
        m_data = other.m_data;
        other.m_data = nullptr;
    }
    return *this;
}

String& String::operator=(const char* text)
{
    assignString(*this, text);
    return *this;
}

String::~String()
{
    std::free(m_data);
}

int String::length() const
{
    return m_data ? static_cast<int>(std::strlen(m_data)) : 0;
}

void String::assignBytes(const char* bytes, int n)
{
    // The text may lie inside our own block (s = leftPart of s, for example); realloc would then
    // invalidate it, so copy through a fresh block in that case.
    auto at = reinterpret_cast<std::uintptr_t>(bytes);
    auto start = reinterpret_cast<std::uintptr_t>(m_data);
    bool overlaps = m_data && at >= start && at <= start + std::strlen(m_data);
    char* block = overlaps ? static_cast<char*>(std::malloc(static_cast<std::size_t>(n) + 5))
                           : static_cast<char*>(std::realloc(m_data, static_cast<std::size_t>(n) + 5));
    if (!block)
        std::abort();
    std::memmove(block, bytes, static_cast<std::size_t>(n));
    std::memset(block + n, 0, 5);
    if (overlaps)
        std::free(m_data);
    m_data = block;
}

int assignString(String& variable, const char* text)
{
    if (!text) {
        freeString(variable);
        return 1;
    }
    int n = static_cast<int>(std::strlen(text));
    variable.assignBytes(text, n);
    return n + 1;
}

void storeFromWorkArea(String& variable, int mark)
{
    int position = workAreaPosition();
    if (mark < 0 || mark > position)
        mark = position;
    variable.assignBytes(workAreaAt(mark), position - mark);
    truncateWorkArea(mark);
}

void initStringCopy(String& variable, const char* text)
{
    if (text)
        variable.assignBytes(text, static_cast<int>(std::strlen(text)));
}

void freeString(String& text)
{
    std::free(text.m_data);
    text.m_data = nullptr;
}

int stringsEqual(const char* a, const char* b)
{
    return std::strcmp(orEmpty(a), orEmpty(b)) == 0 ? 1 : 0;
}

int stringGreater(const char* a, const char* b)
{
    return std::strcmp(orEmpty(a), orEmpty(b)) > 0 ? 1 : 0;
}
