#pragma once

// Waiting for events. The application polls: each waitEvent call first drains the toolkit's own
// queue (event_queue.h) and only when it is empty waits for the desktop, dispatching one batch of
// desktop events. The toolkit's handlers run during that dispatch, on the application's thread,
// and either report the result of the call (reportEvent) or queue events for later calls.

// Returns the next event code (event_codes.h) and fills the current event (current_event.h).
// timeoutMs > 0 waits at most that long and returns EVENT_NONE once it has passed; 0 only looks;
// < 0 waits without limit. A window timer that fires ends the wait at once: this call returns
// EVENT_NONE and the next one returns the EVENT_TIMER it queued. A desktop event that was handled
// without producing a result gives EVENT_OTHER.
//
// Calls may nest (a requester that loops on waitEvent from inside a handler): each call has its
// own result, and a timer ends only the innermost wait.
int waitEvent(int timeoutMs);

// waitEvent(-1).
int waitEventForever();

// For handlers of desktop events (windows, gadgets, menus): makes the event the result of the
// running waitEvent call. When that call has a result already, or when no call is waiting (a
// requester's own modal loop is running, or the toolkit itself caused the desktop event), the
// event is queued instead, with type 0, so that nothing the user did is lost.
void reportEvent(int code, int object, int window);

// For window timers: ends the innermost running wait early; it returns EVENT_NONE unless a
// handler reported an event during the same dispatch.
void endCurrentWait();
