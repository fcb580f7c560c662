#pragma once

#include <cstdint>

// Double-click detection for gadgets that see plain button presses (image gadgets): a click is
// a double click when it hits the same gadget with the same kind of click within the desktop's
// double-click interval after the previous click. Every click is recorded, so a third quick
// click is a double click again, and a click of another kind or on another gadget in between
// makes the next one single.
enum class ClickKind {
    Left,
    Contextual, // the right button, or Control with the left one
};

class ClickTracker {
public:
    // Records the click and tells whether it is a double click. Times in milliseconds from any
    // fixed origin.
    bool click(int gadget, ClickKind kind, std::int64_t timeMs, int intervalMs);

private:
    bool m_hasClick = false;
    int m_gadget = 0;
    ClickKind m_kind = ClickKind::Left;
    std::int64_t m_time = 0;
};
