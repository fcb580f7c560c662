#include "json_value.h"

#include <charconv>
#include <cmath>
#include <cstdint>

const JsonValue* JsonValue::member(std::string_view name) const
{
    for (const auto& [key, value] : m_members) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

class JsonReader {
public:
    JsonReader(std::string_view text, const JsonLimits& limits)
        : m_text(text)
        , m_limits(limits)
    {
    }

    JsonReading read()
    {
        JsonReading reading;
        skipSpace();
        if (parseValue(reading.value, 0)) {
            skipSpace();
            if (m_at != m_text.size())
                fail("text after the end of the value");
        }
        reading.ok = m_problem.empty();
        reading.problem = m_problem;
        reading.offset = m_at;
        if (!reading.ok)
            reading.value = JsonValue();
        return reading;
    }

private:
    bool fail(const char* problem)
    {
        if (m_problem.empty())
            m_problem = problem;
        return false;
    }

    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }

    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    bool expectWord(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return fail("an unknown word");
        m_at += word.size();
        return true;
    }

    bool parseValue(JsonValue& value, int depth)
    {
        if (++m_values > m_limits.maxValues)
            return fail("too many values");
        switch (peek()) {
        case '{':
            return parseObject(value, depth + 1);
        case '[':
            return parseArray(value, depth + 1);
        case '"':
            value.m_kind = JsonValue::Kind::String;
            return parseString(value.m_text);
        case 't':
            value.m_kind = JsonValue::Kind::Boolean;
            value.m_boolean = true;
            return expectWord("true");
        case 'f':
            value.m_kind = JsonValue::Kind::Boolean;
            return expectWord("false");
        case 'n':
            return expectWord("null");
        default:
            value.m_kind = JsonValue::Kind::Number;
            return parseNumber(value.m_number);
        }
    }

    bool parseArray(JsonValue& value, int depth)
    {
        if (depth > m_limits.maxDepth)
            return fail("nested too deeply");
        value.m_kind = JsonValue::Kind::Array;
        ++m_at;
        skipSpace();
        if (peek() == ']') {
            ++m_at;
            return true;
        }
        for (;;) {
            value.m_items.emplace_back();
            if (!parseValue(value.m_items.back(), depth))
                return false;
            skipSpace();
            if (peek() == ']') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return fail("a comma or ']' expected");
            ++m_at;
            skipSpace();
        }
    }

    bool parseObject(JsonValue& value, int depth)
    {
        if (depth > m_limits.maxDepth)
            return fail("nested too deeply");
        value.m_kind = JsonValue::Kind::Object;
        ++m_at;
        skipSpace();
        if (peek() == '}') {
            ++m_at;
            return true;
        }
        for (;;) {
            if (peek() != '"')
                return fail("a name in quotes expected");
            std::string name;
            if (!parseString(name))
                return false;
            if (value.member(name))
                return fail("a name given twice");
            skipSpace();
            if (peek() != ':')
                return fail("':' expected");
            ++m_at;
            skipSpace();
            value.m_members.emplace_back(std::move(name), JsonValue());
            if (!parseValue(value.m_members.back().second, depth))
                return false;
            skipSpace();
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return fail("a comma or '}' expected");
            ++m_at;
            skipSpace();
        }
    }

    bool parseNumber(double& number)
    {
        const std::size_t start = m_at;
        if (peek() == '-')
            ++m_at;
        if (peek() == '0') {
            ++m_at;
        } else if (peek() >= '1' && peek() <= '9') {
            while (peek() >= '0' && peek() <= '9')
                ++m_at;
        } else {
            return fail("a value expected");
        }
        if (peek() == '.') {
            ++m_at;
            if (!(peek() >= '0' && peek() <= '9'))
                return fail("a digit expected after the decimal point");
            while (peek() >= '0' && peek() <= '9')
                ++m_at;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_at;
            if (peek() == '+' || peek() == '-')
                ++m_at;
            if (!(peek() >= '0' && peek() <= '9'))
                return fail("a digit expected in the exponent");
            while (peek() >= '0' && peek() <= '9')
                ++m_at;
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_at;
        const auto [end, error] = std::from_chars(first, last, number);
        if (error != std::errc() || end != last)
            return fail("a number out of range");
        return true;
    }

    bool parseHex4(std::uint32_t& unit)
    {
        if (m_at + 4 > m_text.size())
            return fail("a short \\u escape");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_at++];
            unit <<= 4;
            if (c >= '0' && c <= '9')
                unit |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                unit |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                unit |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return fail("a bad \\u escape");
        }
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool parseEscape(std::string& out)
    {
        const char c = peek();
        ++m_at;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return fail("an unknown escape");
        }
        std::uint32_t unit = 0;
        if (!parseHex4(unit))
            return false;
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return fail("a lone surrogate");
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            std::uint32_t low = 0;
            if (m_text.substr(m_at, 2) != "\\u")
                return fail("a lone surrogate");
            m_at += 2;
            if (!parseHex4(low))
                return false;
            if (low < 0xDC00 || low > 0xDFFF)
                return fail("a lone surrogate");
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(out, unit);
        return true;
    }

    // One UTF-8 sequence copied as it is; overlong forms, surrogates and code points beyond
    // U+10FFFF are refused.
    bool copyUtf8(std::string& out)
    {
        const auto lead = static_cast<unsigned char>(peek());
        int length = 0;
        std::uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return fail("text that is not UTF-8");
        }
        if (m_at + static_cast<std::size_t>(length) > m_text.size())
            return fail("text that is not UTF-8");
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(m_text[m_at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80)
                return fail("text that is not UTF-8");
            code = code << 6 | (next & 0x3Fu);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return fail("text that is not UTF-8");
        out.append(m_text.substr(m_at, static_cast<std::size_t>(length)));
        m_at += static_cast<std::size_t>(length);
        return true;
    }

    bool parseString(std::string& out)
    {
        ++m_at;
        for (;;) {
            if (atEnd())
                return fail("a string never closed");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return fail("a control character in a string");
            if (c == '\\') {
                ++m_at;
                if (!parseEscape(out))
                    return false;
            } else if (c < 0x80) {
                out += static_cast<char>(c);
                ++m_at;
            } else if (!copyUtf8(out)) {
                return false;
            }
        }
    }

    std::string_view m_text;
    const JsonLimits& m_limits;
    std::size_t m_at = 0;
    std::size_t m_values = 0;
    std::string m_problem;
};

JsonReading readJson(std::string_view text, const JsonLimits& limits)
{
    return JsonReader(text, limits).read();
}

void appendJsonString(std::string& out, std::string_view utf8)
{
    static constexpr char DIGITS[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += DIGITS[byte >> 4];
            out += DIGITS[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendJsonNumber(std::string& out, double value)
{
    // JSON has no infinities; null reads back as no number, which the reader of the file refuses
    // instead of taking a wrong one.
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) {
        out += '0';
        return;
    }
    out.append(buffer, end);
}
