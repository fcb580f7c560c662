#pragma once

#include "runtime/hash_map.h"
#include "runtime/runtime_string.h"

// The application's module-level state. Every variable starts at zero (none for strings and maps)
// and is given its value during start-up; only the code that owns it changes it.

// What the desktop's locale setting returned, or "error" when none could be read (language.cpp).
extern String localeString;
// The first two characters of localeString (language.cpp).
extern String languageCode;
// The language of the user interface, chosen once at start-up: 0 English, 1 German.
extern int language;

// English text -> the text to show in the chosen language; 512 slots.
extern MapHandle<String> translations;

// Read position in the translation data while buildTranslations runs.
extern const char* translationCursor;
