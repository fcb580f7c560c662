#pragma once

#include "runtime/runtime_string.h"

// The guidance the program gives: a prompt that blinks beside the diagram (GADGET_MESSAGE), the
// window title naming the current step after the product name, and field 0 of the status bar,
// which names the step and later shows the last calibration or capture result.

inline constexpr const char* PRODUCT_NAME = "Graphonite";
inline constexpr int BLINK_INTERVAL_MS = 500;
// Ticks of one blink cycle: the prompt shows on the odd ones and stays shown after the last.
inline constexpr int BLINK_TICKS = 7;

// The prompt that blinks, whether it shows at the moment, and the ticks of the running cycle.
extern String statusText;
extern int blinkVisible;
extern int blinkTicks;

// Starts a new blink cycle for the message (shown first at the next tick), sets the window title
// to "Graphonite / " + title and the title into status bar field 0. Both texts come translated.
void setStatus(const char* message, const char* title);

// One tick of the blink timer: shows or hides the prompt; the seventh ends the cycle.
void blinkStep();

// A calibration or capture result in status bar field 0, without a frame.
void showResult(const char* text);

// The chart values under the mouse in status bar field 1 (written only when they change).
void showChartPosition(const char* text);
// A notice about the diagram in status bar field 1, where it can be read in full; the chart
// values take the field over once the chart is calibrated.
void showNotice(const char* text);
// A new status bar shows nothing there yet.
void clearChartPosition();

// Back to the values before start-up.
void resetStatusPrompt();
