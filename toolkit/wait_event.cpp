#include "toolkit/wait_event.h"

#include "toolkit/application.h"
#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/event_pump.h"
#include "toolkit/event_queue.h"
#include "toolkit/wait_begin_hook.h"

#include <vector>

namespace {

WaitBeginHook g_waitBeginHook = nullptr;

// The result slot of one waitEvent call that is waiting for the desktop. Reports go to the
// innermost one; nested calls therefore cannot hand an outer call a result that was already
// returned by an inner one.
struct Wait {
    int code = EVENT_NONE;
    int object = 0;
    int window = -1;
    bool endedByTimer = false;
};

std::vector<Wait*>& waits()
{
    static std::vector<Wait*> stack;
    return stack;
}

class WaitScope {
public:
    explicit WaitScope(Wait& wait) { waits().push_back(&wait); }
    ~WaitScope() { waits().pop_back(); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;
};

} // namespace

int waitEvent(int timeoutMs)
{
    ensurePlatform();
    CurrentEvent& current = currentEvent();
    current.code = EVENT_NONE;
    current.object = 0;
    current.window = -1;
    current.modifiers = 0;
    current.x = current.y = 0;
    if (g_waitBeginHook)
        g_waitBeginHook();

    EventNode node;
    if (popEvent(node)) {
        current
            = CurrentEvent { node.code, node.object, node.window, node.type, node.modifiers, node.x, node.y };
        return node.code;
    }

    Wait wait;
    bool handled = false;
    {
        WaitScope scope(wait);
        // The queue is empty now: a handler that queues an event ends the wait too.
        handled = pumpDesktopEvents(timeoutMs,
            [&wait] { return wait.code != EVENT_NONE || wait.endedByTimer || queuedEventCount() > 0; });
    }
    if (wait.code != EVENT_NONE) {
        current.code = wait.code;
        current.object = wait.object;
        current.window = wait.window;
        return wait.code;
    }
    if (wait.endedByTimer)
        return EVENT_NONE;
    return handled || queuedEventCount() > 0 ? EVENT_OTHER : EVENT_NONE;
}

void setWaitBeginHook(WaitBeginHook hook)
{
    g_waitBeginHook = hook;
}

int waitEventForever()
{
    return waitEvent(-1);
}

void reportEvent(int code, int object, int window)
{
    auto& stack = waits();
    if (!stack.empty() && stack.back()->code == EVENT_NONE) {
        Wait& wait = *stack.back();
        wait.code = code;
        wait.object = object;
        wait.window = window;
        return;
    }
    postEvent(code, object, window, 0);
}

void endCurrentWait()
{
    auto& stack = waits();
    if (stack.empty())
        return;
    stack.back()->endedByTimer = true;
    wakeDesktopWait();
}
