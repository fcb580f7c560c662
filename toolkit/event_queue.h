#pragma once

// The toolkit's first-in-first-out event queue. Handlers of desktop events (gadgets, menus,
// shortcuts, window timers, window activation) append to it; waitEvent drains it completely
// before it looks at the desktop again, so an event queued during one call comes out of the next
// call without any waiting.
//
// Rules:
// - Posting merges consecutive duplicates: an event equal in code, object, window and type to the
//   node at the tail is not appended again (a key held down, or a timer that ticks while nobody
//   drains, stays one event). An equal event with another one between them is kept.
// - Purges remove nodes wherever they sit and keep the order of the others.
// - Single-threaded: only the application's thread touches the queue.

struct EventNode {
    int code = 0;
    int object = 0; // gadget, menu item or timer number; 0 when none
    int window = 0;
    int type = 0; // gadget event type; 0 otherwise
    int modifiers = 0; // SHORTCUT_* bits held at a gadget's mouse event; 0 otherwise
    int x = 0; // where a gadget's mouse event happened, in the gadget's coordinates
    int y = 0;

    bool operator==(const EventNode&) const = default;
};

// Empties the queue (its node pool is made on first use); the start-up step that prepares the
// event queue.
void initEventQueue();

// Appends an event unless the tail node is identical to it.
void postEvent(int code, int object, int window, int type, int modifiers = 0, int x = 0, int y = 0);

// Takes the head of the queue into node; false when the queue is empty.
bool popEvent(EventNode& node);

// Removes every node of the window (the window was closed).
void discardWindowEvents(int window);

// Removes the pending EVENT_TIMER nodes of one timer of one window; other nodes stay.
void discardTimerEvents(int window, int timer);

int queuedEventCount();
