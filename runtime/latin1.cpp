#include "latin1.h"

#include "work_area.h"

#include <string>

std::string latin1ToUtf8(const char* text)
{
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void appendUtf8AsLatin1(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // Only the two-byte forms C2 80 .. C3 BF encode U+0080 .. U+00FF.
        if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            auto next = static_cast<unsigned char>(utf8[i + 1]);
            if ((next & 0xC0) == 0x80) {
                out += static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F));
                ++i;
                continue;
            }
        }
        break;
    }
    appendBytesToWorkArea(out.data(), static_cast<int>(out.size()));
}

std::u16string textToUtf16(const char* text)
{
    std::u16string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p)
        out += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return out;
}
