#include "toolkit/timers.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/wait_event.h"
#include "toolkit/window_registry.h"

#include <algorithm>

int addWindowTimer(int window, int timer, int intervalMs)
{
    removeWindowTimer(window, timer);
    WindowRecord* record = windowRecord(window);
    if (!record || intervalMs <= 0)
        return 0;
    auto platform = startPlatformTimer(intervalMs, [window, timer] {
        postEvent(EVENT_TIMER, timer, window, 0);
        endCurrentWait();
    });
    if (!platform)
        return 0;
    record->timers.push_back(WindowTimer { timer, std::move(platform) });
    return 1;
}

void removeWindowTimer(int window, int timer)
{
    WindowRecord* record = windowRecord(window);
    if (!record)
        return;
    auto found = std::find_if(record->timers.begin(), record->timers.end(),
        [timer](const WindowTimer& entry) { return entry.timer == timer; });
    if (found == record->timers.end())
        return;
    record->timers.erase(found);
    discardTimerEvents(window, timer);
}

void stopWindowTimers(WindowRecord& window)
{
    window.timers.clear();
}
