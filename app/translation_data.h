#pragma once

#include <cstddef>

// The program's built-in translations: consecutive NUL-terminated ISO 8859-1 strings, read in
// order. First a header naming the languages present besides English ("en,de"), then one entry per
// English text: the English text itself, followed by its text in each language the header names,
// in the order de, fr, it, es. The entry whose English text is "-1" ends the data.
extern const char TRANSLATION_DATA[];
// Bytes in TRANSLATION_DATA, its final NUL included.
extern const std::size_t TRANSLATION_DATA_SIZE;

// Texts of later messages, in the same layout (header, entries, the "-1" entry), read after
// TRANSLATION_DATA.
extern const char SUPPLEMENTARY_TRANSLATION_DATA[];
extern const std::size_t SUPPLEMENTARY_TRANSLATION_DATA_SIZE;
