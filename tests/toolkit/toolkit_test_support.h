#pragma once

#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/platform/mouse_source.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

// Helpers of the toolkit's GUI tests. They run on Qt's offscreen platform and drive the toolkit
// through its own operations and event queue; every wait is bounded.

using Clock = std::chrono::steady_clock;

inline long long millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Dispatches until one short wait passes without anything happening and the queue is empty, so
// that a test starts without the leftovers of opening windows (exposure, activation).
inline void settle()
{
    for (int pass = 0; pass < 200; ++pass) {
        if (waitEvent(20) == EVENT_NONE && queuedEventCount() == 0)
            return;
    }
    ADD_FAILURE() << "the desktop did not become quiet";
}

// The codes of every waitEvent(25) call until one returns `wanted` (included) or boundMs passes.
inline std::vector<int> eventsUntil(int wanted, int boundMs = 3000)
{
    std::vector<int> codes;
    const auto start = Clock::now();
    while (millisecondsSince(start) < boundMs) {
        codes.push_back(waitEvent(25));
        if (codes.back() == wanted)
            break;
    }
    return codes;
}

// What the application's loop would see, reduced to the events it could dispatch on.
inline std::vector<int> reportedEvents(const std::vector<int>& codes)
{
    std::vector<int> reported;
    for (int code : codes) {
        if (code != EVENT_NONE && code != EVENT_OTHER)
            reported.push_back(code);
    }
    return reported;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initWindows();
        initFonts();
        settle();
        initEventQueue();
    }

    void TearDown() override
    {
        closeAllWindows();
        freeAllFonts();
        setMouseSource({});
        settle();
        initEventQueue();
    }
};
