#pragma once

#include "runtime/object_number.h"

// Status bars: a bar along the bottom of a window's content area, divided into fields that show
// texts. Status bars are numbered objects of their own registry; closing the window destroys its
// status bar and frees the number.
//
// Layout: the bar spans from x = 0 to the content width - 16 (room for the size box), is at
// least 22 pixels high and sits at the bottom of the content area; it follows the window when
// the window's size changes. Fields lie left to right from x = 1 with 2 pixels between them, 1
// pixel inside the bar's top and bottom. A field of width IGNORE_VALUE shares what the fixed
// fields leave: (bar width - the sum over all fields of (fixed width + 2)) / number of shared
// fields.

// statusBarText flags.
inline constexpr int STATUS_FIELD_RAISED = 1; // a two-tone frame around the field
inline constexpr int STATUS_FIELD_BORDERLESS = 2; // no frame (otherwise a one-line frame)
inline constexpr int STATUS_FIELD_CENTER = 4;
inline constexpr int STATUS_FIELD_RIGHT = 8;

// Creates a status bar without fields in the window whose platform window is `window`
// (windowHandle) and makes it the current status bar. Returns the dynamic number for
// DYNAMIC_NUMBER, else the platform control; 0 for an unknown window or an unusable number.
Handle createStatusBar(int number, Handle window);

// Appends a field of that width (pixels, or IGNORE_VALUE) to the current status bar.
void addStatusBarField(int width);

// Shows the text (ISO 8859-1; nullptr is empty) in the field (0-based); nothing for an unknown
// bar or field.
void statusBarText(int number, int field, const char* text, int flags = 0);

// Makes the status bar registry; at start-up.
void initStatusBars();

// Non-zero when the number denotes a status bar.
int isStatusBar(int number);
