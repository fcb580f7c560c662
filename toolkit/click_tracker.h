#pragma once

#include <cstdint>

// Double-click detection for gadgets that see plain button presses (image gadgets): a click is
// a double click when it hits the same gadget with the same kind of click within the desktop's
// double-click interval after the previous click, and near the place of that click (within the
// desktop's double-click distance on each axis, as the desktop measures it for its own double
// clicks). Every click is recorded, so a third quick click is a double click again, and a click
// of another kind, on another gadget or elsewhere in between makes the next one single.
enum class ClickKind {
    Left,
    Contextual, // the right button, or Control with the left one
};

// Where a click hit, in the gadget's coordinates.
struct ClickPoint {
    int x = 0;
    int y = 0;
};

// The desktop's settings for double clicks.
struct ClickLimits {
    int intervalMs = 0;
    int distance = 0; // pixels on each axis
};

class ClickTracker {
public:
    // Records the click and tells whether it is a double click. Times in milliseconds from any
    // fixed origin.
    bool click(int gadget, ClickKind kind, ClickPoint point, std::int64_t timeMs, ClickLimits limits);

private:
    bool m_hasClick = false;
    int m_gadget = 0;
    ClickKind m_kind = ClickKind::Left;
    ClickPoint m_point;
    std::int64_t m_time = 0;
};
