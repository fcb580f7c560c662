#pragma once

#include <string>
#include <string_view>

// ISO 8859-1 at the platform boundary: inside the system every byte is the character of the same
// code point; the desktop speaks UTF-8 or UTF-16.

// The UTF-8 form of a Latin-1 text (nullptr is the empty text).
std::string latin1ToUtf8(const char* text);

// Appends the Latin-1 form of a UTF-8 text to the work area, stopping at the first character
// that ISO 8859-1 cannot hold or at a malformed sequence.
void appendUtf8AsLatin1(std::string_view utf8);

// A UTF-16 copy in which each byte becomes the code unit of the same value.
std::u16string textToUtf16(const char* text);
