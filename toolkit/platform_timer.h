#pragma once

#include <functional>
#include <memory>

// A repeating desktop timer. Plain C++: the core of the toolkit owns this interface; it is built
// over QTimer. Destroying it stops it; the tick function is not called afterwards.
class PlatformTimer {
public:
    virtual ~PlatformTimer() = default;
};

// Starts a timer whose first delay and interval are both intervalMs (> 0). onTick runs on the
// application's thread inside the dispatch of a desktop wait. nullptr when the desktop refuses.
std::unique_ptr<PlatformTimer> startPlatformTimer(int intervalMs, std::function<void()> onTick);
