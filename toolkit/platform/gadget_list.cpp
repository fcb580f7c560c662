// The current gadget list over Qt widgets.
// Implements:
// - makeGadgetListCurrent / forgetGadgetList (toolkit/gadget_list.h), called by the window
//   operations.
// - currentGadgetWindow / currentGadgetList (gadget_list_state.h), read by gadget creation.

#include "toolkit/gadget_list.h"

#include "toolkit/platform/gadget_list_state.h"
#include "toolkit/platform/window_container.h"

namespace {

struct CurrentGadgetList {
    QPointer<WindowContainer> window;
    GadgetListState state;
};

CurrentGadgetList& current()
{
    static CurrentGadgetList list;
    return list;
}

} // namespace

void makeGadgetListCurrent(int window)
{
    WindowContainer* target = windowContainer(window);
    if (!target)
        return;
    CurrentGadgetList& list = current();
    if (list.window == target)
        return;
    if (list.window)
        list.window->savedGadgetList() = list.state;
    list.window = target;
    list.state = target->savedGadgetList();
    if (!list.state.parent)
        list.state.parent = target->content();
}

void forgetGadgetList(int window)
{
    CurrentGadgetList& list = current();
    if (list.window && list.window == windowContainer(window)) {
        list.window = nullptr;
        list.state = GadgetListState {};
    }
}

WindowContainer* currentGadgetWindow()
{
    return current().window;
}

GadgetListState& currentGadgetList()
{
    return current().state;
}
