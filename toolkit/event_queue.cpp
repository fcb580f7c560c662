#include "toolkit/event_queue.h"

#include "runtime/node_pool.h"
#include "toolkit/event_codes.h"

namespace {

// A singly linked list with head and tail; its nodes come from a node pool (first block 16 nodes,
// blocks of at most 256), since events are made and dropped many times a second.
struct QueueNode {
    EventNode event;
    QueueNode* next = nullptr;
};

struct Queue {
    TypedNodePool<QueueNode> pool { 16, 256 };
    QueueNode* head = nullptr;
    QueueNode* tail = nullptr;
    int count = 0;
};

Queue& queue()
{
    static Queue events;
    return events;
}

// Unlinks and frees every node for which discard(event) is true; the others keep their order.
template <class Predicate> void discardWhere(Predicate discard)
{
    Queue& events = queue();
    QueueNode* previous = nullptr;
    QueueNode* node = events.head;
    while (node) {
        QueueNode* next = node->next;
        if (discard(node->event)) {
            (previous ? previous->next : events.head) = next;
            if (events.tail == node)
                events.tail = previous;
            events.pool.destroy(node);
            --events.count;
        } else {
            previous = node;
        }
        node = next;
    }
}

} // namespace

void initEventQueue()
{
    discardWhere([](const EventNode&) { return true; });
}

void postEvent(int code, int object, int window, int type, int modifiers, int x, int y)
{
    const EventNode event { code, object, window, type, modifiers, x, y };
    Queue& events = queue();
    if (events.tail && events.tail->event == event)
        return;
    // Out of memory the event is lost; there is nothing better to do with it.
    QueueNode* node = events.pool.create(QueueNode { event, nullptr });
    if (!node)
        return;
    (events.tail ? events.tail->next : events.head) = node;
    events.tail = node;
    ++events.count;
}

bool popEvent(EventNode& event)
{
    Queue& events = queue();
    QueueNode* node = events.head;
    if (!node)
        return false;
    event = node->event;
    events.head = node->next;
    if (!events.head)
        events.tail = nullptr;
    events.pool.destroy(node);
    --events.count;
    return true;
}

void discardWindowEvents(int window)
{
    discardWhere([window](const EventNode& event) { return event.window == window; });
}

void discardTimerEvents(int window, int timer)
{
    discardWhere([window, timer](const EventNode& event) {
        return event.code == EVENT_TIMER && event.object == timer && event.window == window;
    });
}

int queuedEventCount()
{
    return queue().count;
}
