#pragma once

// Repeating timers that belong to a window. A tick queues (EVENT_TIMER, timer number, window, 0)
// and ends the running wait at once, so that waitEvent returns EVENT_NONE and the next call
// returns the timer event. Closing the window stops its timers.

// Starts a timer that ticks every intervalMs (first tick after intervalMs as well), replacing a
// timer of the same number in that window. 1 on success; 0 for an unknown window, an interval of
// 0 or less, or when the desktop refuses; the replaced timer is gone in every case.
int addWindowTimer(int window, int timer, int intervalMs);

// Stops the timer and discards its queued EVENT_TIMER events (events of other timers, windows and
// kinds stay). Nothing for a timer that does not exist.
void removeWindowTimer(int window, int timer);

struct WindowRecord;

// Internal: stops every timer of a window that is being closed.
void stopWindowTimers(WindowRecord& window);
