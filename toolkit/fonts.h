#pragma once

#include "runtime/object_number.h"
#include "toolkit/font_styles.h"

// Numbered fonts, loaded by family name, size and style, for gadgets to use.
//
// Sizes are pixel sizes (the height of the em square in device-independent pixels), whatever
// the screen's resolution: the application's sizes were chosen on a desktop where one point was
// one pixel, and taking them as points at 96 dots per inch would draw its texts a third larger
// than the room it leaves them.
//
// The family is looked up through the desktop's font configuration. A family the desktop does
// not have is replaced the way the desktop replaces it: by a metric-compatible face where one is
// configured ("Arial" by "Liberation Sans"), else by the desktop's default face. A usable font
// therefore comes back for any name; loadFont fails only for the empty name, a size outside
// 1 .. 32767, or a desktop without any font.
//
// The handle (fontID) stays valid until the number is freed or loaded again.

// Makes the font registry (and the desktop connection); at start-up.
void initFonts();

// Loads the font of size pixels under the number (a font that the number held is released first; when loading
// fails it stays). Returns the new number for DYNAMIC_NUMBER, else the font handle; 0 on failure.
// family is ISO 8859-1; nullptr counts as the empty name.
Handle loadFont(int number, const char* family, int size, int flags = 0);

// The font handle, or 0 when the number holds no font.
Handle fontID(int number);

// Non-zero when the number holds a font.
int isFont(int number);

void freeFont(int number);

// freeFont for every font; at shut-down.
void freeAllFonts();
