#include "toolkit/event_queue.h"

#include "toolkit/event_codes.h"

#include <algorithm>
#include <deque>

// The queue lives in this one file so that its storage can move to the runtime's node pool
// without touching its users.
namespace {

std::deque<EventNode>& queue()
{
    static std::deque<EventNode> nodes;
    return nodes;
}

} // namespace

void initEventQueue()
{
    queue().clear();
}

void postEvent(int code, int object, int window, int type)
{
    EventNode node { code, object, window, type };
    auto& nodes = queue();
    if (!nodes.empty() && nodes.back() == node)
        return;
    nodes.push_back(node);
}

bool popEvent(EventNode& node)
{
    auto& nodes = queue();
    if (nodes.empty())
        return false;
    node = nodes.front();
    nodes.pop_front();
    return true;
}

void discardWindowEvents(int window)
{
    std::erase_if(queue(), [window](const EventNode& node) { return node.window == window; });
}

void discardTimerEvents(int window, int timer)
{
    std::erase_if(queue(), [window, timer](const EventNode& node) {
        return node.code == EVENT_TIMER && node.object == timer && node.window == window;
    });
}

int queuedEventCount()
{
    return static_cast<int>(queue().size());
}
