#include "text_functions.h"

#include "work_area.h"

#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int lengthOf(const char* s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matchesAt(const char* s, const char* what, int whatLength, bool ignoreCase)
{
    for (int i = 0; i < whatLength; ++i) {
        char a = s[i];
        char b = what[i];
        if (ignoreCase ? lowerAscii(a) != lowerAscii(b) : a != b)
            return false;
    }
    return true;
}

// Arguments may point into the work area, which a reservation can move; a private copy keeps
// them valid for the whole operation.
std::string copyOf(const char* s)
{
    return s ? std::string(s) : std::string();
}

} // namespace

int textLength(const char* s)
{
    return lengthOf(s);
}

int searchText(const char* s, const char* what, int start)
{
    int length = lengthOf(s);
    int whatLength = lengthOf(what);
    if (length == 0 || whatLength == 0)
        return 0;
    if (start < 1)
        start = 1;
    for (int i = start - 1; i + whatLength <= length; ++i) {
        if (s[i] == what[0] && matchesAt(s + i, what, whatLength, false))
            return i + 1;
    }
    return 0;
}

void toLowerText(const char* s)
{
    int length = lengthOf(s);
    int inside = workAreaOffsetOf(s);
    char* target = reserveWorkArea(length, workAreaPosition());
    if (inside)
        s = workAreaAddress(inside);
    for (int i = 0; i < length; ++i)
        target[i] = lowerAscii(s[i]);
    target[length] = '\0';
}

void leftPart(const char* s, int n)
{
    int length = lengthOf(s);
    if (n < 0)
        n = 0;
    if (n > length)
        n = length;
    appendBytesToWorkArea(s, n);
}

void trimText(const char* s, const char* chars)
{
    int length = lengthOf(s);
    if (chars && !*chars) {
        appendBytesToWorkArea(s, length);
        return;
    }
    char trim = chars ? chars[0] : ' ';
    int first = 0;
    while (first < length && s[first] == trim)
        ++first;
    int last = length;
    if (first < length) {
        while (last > first && s[last - 1] == trim)
            --last;
    }
    appendBytesToWorkArea(s ? s + first : nullptr, last - first);
}

void replaceText(const char* s, const char* find, const char* replacement, int mode, int start)
{
    std::string text = copyOf(s);
    std::string what = copyOf(find);
    std::string with = copyOf(replacement);
    bool ignoreCase = (mode & REPLACE_IGNORE_CASE) != 0;
    int length = static_cast<int>(text.size());
    int whatLength = static_cast<int>(what.size());
    if (start < 1)
        start = 1;
    if (start > length + 1)
        start = length + 1;

    std::string result;
    result.reserve(text.size());
    result.append(text, 0, static_cast<std::size_t>(start - 1));
    int i = start - 1;
    while (i < length) {
        if (whatLength > 0 && i + whatLength <= length
            && matchesAt(text.data() + i, what.data(), whatLength, ignoreCase)) {
            result += with;
            i += whatLength;
        } else {
            result += text[static_cast<std::size_t>(i)];
            ++i;
        }
    }
    appendBytesToWorkArea(result.data(), static_cast<int>(result.size()));
}

void fileNameOf(const char* path)
{
    int length = lengthOf(path);
    int begin = length > 0 && path[0] == '"' ? 1 : 0;
    int nameStart = begin;
    for (int i = begin; i < length; ++i) {
        if (path[i] == '/')
            nameStart = i + 1;
    }
    int end = nameStart;
    while (end < length && path[end] != '"')
        ++end;
    appendBytesToWorkArea(path ? path + nameStart : nullptr, end - nameStart);
}

void folderOf(const char* path)
{
    int length = lengthOf(path);
    int begin = length > 0 && path[0] == '"' ? 1 : 0;
    int end = begin;
    for (int i = begin; i < length; ++i) {
        if (path[i] == '/')
            end = i + 1;
    }
    appendBytesToWorkArea(path ? path + begin : nullptr, end - begin);
}

void executablePath()
{
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            appendToWorkArea(nullptr);
            return;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            appendBytesToWorkArea(buffer.data(), static_cast<int>(n));
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}
