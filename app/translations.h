#pragma once

#include <string_view>

// Slots of the translation map.
inline constexpr int TRANSLATION_SLOTS = 512;

// Language numbers; Spanish texts may be present in the data but no number selects them.
inline constexpr int LANGUAGE_DETECTED = -1;
inline constexpr int LANGUAGE_ENGLISH = 0;
inline constexpr int LANGUAGE_GERMAN = 1;
inline constexpr int LANGUAGE_FRENCH = 2;
inline constexpr int LANGUAGE_ITALIAN = 3;

// Frees any translation map and creates an empty one.
void createTranslations();

// Fills the translation map from the built-in data for a language number (LANGUAGE_DETECTED takes
// `language`): each English text maps to its text in that language, English to itself. A language
// number the data cannot have (below -1, above 3) stores nothing. Creates the map when there is
// none.
void buildTranslations(int languageIndex);

// The same, reading the given data block, which has the layout of TRANSLATION_DATA. Reading stops
// after the "-1" entry or at the end of the block, whichever comes first.
void buildTranslations(int languageIndex, std::string_view data);

// The text to show for an English key: its translation when the map holds the key, else the key
// itself (nullptr gives ""). The map is not changed. Valid while the map and the key live.
const char* translate(const char* key);
