#pragma once

#include "runtime/runtime_string.h"

// From a clicked pixel row to a chart value, and the texts of the readouts. Only the vertical
// calibration enters a value: linear, zero on the origin's row, heightReference on the row of the
// height end, positive above the origin (pixel rows grow downward).

// (heightReference / spanHeight) x (originY - y), computed in double and rounded to a 32-bit
// float, as the table stores it. Not finite when spanHeight is 0 or the result overflows.
double chartValue(double heightReference, double spanHeight, double originY, double y);

// A captured value as the table shows it: two decimals, "." as the decimal point.
String valueText(double value);

// Readout texts. label is translated by the caller; numbers are whole (halves to even) or carry
// four decimals: "Coords: 123/45", "Origin: 0/480", "Width: 412 - 100.0000".
String pointReadout(const char* label, double x, double y);
String spanReadout(const char* label, double span, double reference);
// "X Axis: 1990 - 2020": the values typed for the two marks on an axis, with up to four decimals
// and no trailing zeros, so that long values still fit the readout.
String axisMarksReadout(const char* label, double first, double second);
// "Width: n/a - 0.0000", before any span was set.
String unsetSpanReadout(const char* label, double reference);
