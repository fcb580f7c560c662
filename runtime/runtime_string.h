#pragma once

// A runtime string: an owned, NUL-terminated sequence of ISO 8859-1 bytes. A string that holds
// nothing ("none") reads as the empty text everywhere. The block of a text of n bytes is n + 5
// bytes long, which leaves spare bytes for word-wise copies.
class String {
public:
    String() = default;
    String(const char* text);
    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text);
    ~String();

    // The text; "" for none. Valid until the string changes.
    const char* c_str() const { return m_data ? m_data : ""; }
    operator const char*() const { return c_str(); }
    // The owned block, nullptr for none.
    const char* data() const { return m_data; }
    bool isNone() const { return m_data == nullptr; }
    bool isEmpty() const { return !m_data || !*m_data; }
    int length() const;

    friend int assignString(String& variable, const char* text);
    friend void storeFromWorkArea(String& variable, int mark);
    friend void initStringCopy(String& variable, const char* text);
    friend void freeString(String& text);

private:
    void assignBytes(const char* bytes, int n);

    char* m_data = nullptr;
};

// Copies the text into the variable, reusing its block; returns length + 1. A text of nullptr
// frees the variable (it becomes none) and returns 1. The return value lets a caller walk a packed
// table of NUL-separated texts.
int assignString(String& variable, const char* text);

// Moves the text built since mark into the variable and sets the work area position back to mark.
void storeFromWorkArea(String& variable, int mark);

// Gives a variable known to be none its own copy of the text; nullptr leaves it none.
void initStringCopy(String& variable, const char* text);

// Frees the variable's block; it becomes none.
void freeString(String& text);

// 1 when the byte sequences are identical (nullptr counts as the empty text), else 0.
int stringsEqual(const char* a, const char* b);

// 1 when a sorts after b by unsigned bytes (a longer text with an equal prefix is greater), else 0.
int stringGreater(const char* a, const char* b);

// Strings compare by content, byte for byte, with none and nullptr as the empty text; without
// these, the conversion to const char* would compare addresses. != follows from ==.
inline bool operator==(const String& a, const String& b)
{
    return stringsEqual(a.data(), b.data()) != 0;
}

inline bool operator==(const String& a, const char* b)
{
    return stringsEqual(a.data(), b) != 0;
}

inline bool operator==(const char* a, const String& b)
{
    return stringsEqual(a, b.data()) != 0;
}
