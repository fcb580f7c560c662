#include "toolkit/current_event.h"

CurrentEvent& currentEvent()
{
    static CurrentEvent event;
    return event;
}

int lastEventGadget()
{
    return currentEvent().object;
}

int lastEventMenuItem()
{
    return currentEvent().object;
}

int lastEventTimer()
{
    return currentEvent().object;
}

int lastEventType()
{
    return currentEvent().type;
}

int lastEventWindow()
{
    return currentEvent().window;
}

int lastEventModifiers()
{
    return currentEvent().modifiers;
}

int lastEventX()
{
    return currentEvent().x;
}

int lastEventY()
{
    return currentEvent().y;
}
