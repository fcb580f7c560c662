#pragma once

// The current event: what the latest waitEvent produced, read through the lastEvent accessors.
// waitEvent sets code 0, object 0 and window -1 before it looks for an event. The type is replaced
// only by an event taken from the queue, so it is meaningful after EVENT_GADGET (and is 0 after
// EVENT_MENU and EVENT_TIMER, which always come from the queue).

// The object number of the current event: gadget, menu item or timer number, 0 when none. Three
// names for one value, so that the application's code says what it expects.
int lastEventGadget();
int lastEventMenuItem();
int lastEventTimer();

int lastEventType();
int lastEventWindow();

// The modifier keys (SHORTCUT_* bits of keyboard_shortcuts.h) that were held when the gadget event
// happened, so that a click with Control can mean something else than a plain one; 0 for other
// events.
int lastEventModifiers();
// Where an image gadget's click or drag event happened, in its image's coordinates: the press
// for a click and GADGET_DRAG_START, the pointer for GADGET_DRAG_MOVE and GADGET_DRAG_END; 0 for
// other events.
int lastEventX();
int lastEventY();

// Internal to the toolkit (waitEvent fills it).
struct CurrentEvent {
    int code = 0;
    int object = 0;
    int window = -1;
    int type = 0;
    int modifiers = 0;
    int x = 0;
    int y = 0;
};

CurrentEvent& currentEvent();
