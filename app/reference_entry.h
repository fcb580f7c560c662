#pragma once

#include "runtime/runtime_string.h"

#include <optional>

// The chart values that the calibrated width and height stand for, typed into the toolkit's
// input requester. A decimal comma is read like a decimal point.

// How a typed answer is understood.
enum class ReferenceAnswer {
    Keep, // empty, or the default text unchanged: nothing to do
    Invalid, // no usable number: the old value stays and the user is told
    Number,
};

struct ParsedReference {
    ReferenceAnswer answer = ReferenceAnswer::Keep;
    double value = 0.0;
};

// Reads an answer against the default text it was offered. A leading number is taken and
// trailing words ignored ("12abc" is 12), but a number followed by a separator and more digits
// ("1.234,56", "1 234,56") is refused rather than cut short, as are answers without a leading
// number, values that are not finite and hexadecimal numbers ("0x10"): only decimal numbers are
// read.
ParsedReference parseReference(const char* answer, const char* defaultText);

// The message with which a refused answer is asked for again: the reason, the answer, the hint.
String refusalText(const char* answer);

// Asks for a reference value under the title (translated), offering the current value, and asks
// again with the reason while the answer is refused. The value typed; none when the answer keeps
// the current value. For a logarithmic axis (positiveOnly) a value that is not above 0 is refused
// too.
[[nodiscard]] std::optional<double> askReference(
    const char* title, double current, bool positiveOnly = false);

// The message with which a value that a logarithmic axis cannot take is asked for again.
String notPositiveText(const char* answer);
// The requester with an empty title and field, whose answer is dropped.
void askNumberWithoutUse();
