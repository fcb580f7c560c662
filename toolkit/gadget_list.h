#pragma once

// The current gadget list: the window into which gadgets are created. Each window keeps its own
// gadget-list state (the widget that receives new gadgets and the stack of open containers);
// switching windows saves the old window's state with it and restores the new one's. The
// platform side, for the gadgets, is toolkit/platform/gadget_list_state.h.

// Makes an open window the current gadget list (openWindow without WINDOW_NO_GADGET_LIST).
void makeGadgetListCurrent(int window);

// The window is being closed: when it is the current gadget list there is none any more.
void forgetGadgetList(int window);
