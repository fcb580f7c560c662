#pragma once

#include "runtime/runtime_string.h"

// The application's global state. Every variable is zero (empty, none) before start-up and is
// changed only by the code that owns it.

// What the desktop's locale setting returned, or "error" when none could be read (language.cpp).
extern String localeString;
// The first two characters of localeString (language.cpp).
extern String languageCode;
// The language of the user interface: 0 English, 1 German (language.cpp).
extern int language;
