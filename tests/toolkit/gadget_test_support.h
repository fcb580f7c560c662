#pragma once

#include "toolkit/gadgets.h"
#include "toolkit/status_bar.h"

#include "toolkit_test_support.h"

#include <QWidget>

#include <utility>
#include <vector>

// Helpers of the gadget tests: a window 0 as the current gadget list, the Qt widget behind a
// gadget, and the gadget events that the toolkit queued.

struct GadgetEvent {
    int gadget = 0;
    int type = 0;
    int window = 0;

    bool operator==(const GadgetEvent&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const GadgetEvent& event)
{
    return out << "{gadget " << event.gadget << " type " << event.type << " window " << event.window << "}";
}

// Takes every queued event and keeps the gadget events, in order.
inline std::vector<GadgetEvent> takeGadgetEvents()
{
    std::vector<GadgetEvent> events;
    while (queuedEventCount() > 0) {
        if (waitEvent(0) == EVENT_GADGET)
            events.push_back({ lastEventGadget(), lastEventType(), lastEventWindow() });
    }
    return events;
}

// Only the types, for sequences of one gadget.
inline std::vector<int> takeGadgetEventTypes()
{
    std::vector<int> types;
    for (const GadgetEvent& event : takeGadgetEvents())
        types.push_back(event.type);
    return types;
}

template <class Widget = QWidget> Widget* widgetOf(int gadget)
{
    return dynamic_cast<Widget*>(reinterpret_cast<QWidget*>(gadgetHandle(gadget)));
}

inline QRect geometryOf(int gadget)
{
    QWidget* widget = widgetOf(gadget);
    return widget ? widget->geometry() : QRect();
}

inline std::string text(const String& s)
{
    return s.c_str();
}

class GadgetTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        initGadgets();
        initStatusBars();
        openWindow(0, 20, 20, 500, 300, "gadgets", WINDOW_CLOSE_BOX);
        settle();
        initEventQueue();
    }

    void TearDown() override
    {
        setGadgetFont(-1, -1);
        ToolkitTest::TearDown();
    }
};
