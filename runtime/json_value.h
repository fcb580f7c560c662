#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// JSON (RFC 8259) read strictly, for files that other programs and people may have written: no
// comments, no trailing commas, no NaN, no duplicate names, strings in valid UTF-8, and limits on
// the depth and the number of values, so that a hostile file costs bounded memory and time.

class JsonValue {
public:
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool boolean() const { return m_boolean; }
    double number() const { return m_number; }
    // A string's UTF-8 bytes, escapes resolved.
    const std::string& text() const { return m_text; }
    const std::vector<JsonValue>& items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& members() const { return m_members; }
    // The object's member of that name; nullptr when there is none (or this is no object).
    const JsonValue* member(std::string_view name) const;

private:
    friend class JsonReader;

    Kind m_kind = Kind::Null;
    bool m_boolean = false;
    double m_number = 0.0;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

struct JsonLimits {
    // Arrays and objects inside each other.
    int maxDepth = 16;
    // Values of any kind in the whole text, names not counted.
    std::size_t maxValues = 1'000'000;
};

struct JsonReading {
    bool ok = false;
    JsonValue value;
    // What is wrong, in English, and the byte offset where it was found.
    std::string problem;
    std::size_t offset = 0;
};

[[nodiscard]] JsonReading readJson(std::string_view text, const JsonLimits& limits);

// Writing: a UTF-8 text as a JSON string (quotes, escapes) and a finite number in the shortest
// form that reads back as the same double.
void appendJsonString(std::string& out, std::string_view utf8);
void appendJsonNumber(std::string& out, double value);
