#pragma once

#include <cstdint>

// Number texts. Formatting appends to the string work area; the decimal point is always "."
// whatever the process locale, and parsing does not depend on the locale either.

// Appends the decimal text of the value ("-" for negatives, no grouping, no plus sign).
void intToText(std::int64_t value);

// The nearest whole number, an exact half going to the even neighbour (2.5 gives 2, 3.5 gives 4),
// as whole numbers on screen are shown. NaN gives 0; values beyond the 64-bit range give its ends.
std::int64_t roundToEven(double value);

// Appends the value in fixed notation with the given number of decimals (clamped to 0..512; -1
// selects 10), rounded to nearest on the exact binary value with ties to even. Infinities give
// "+Infinity" and "-Infinity", NaN gives "NaN", and a zero of either sign has no minus sign.
void realToText(double value, int decimals);
void realToTextDefault(double value);

// Reads a number the way atof does in the C locale (leading white space, sign, digits, fraction,
// exponent; stops at the first byte that does not fit; 0 when nothing fits). "+Infinity",
// "-Infinity" and "NaN" in any case give the special values; nullptr gives 0.
double textToReal(const char* text);
