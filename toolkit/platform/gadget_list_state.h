#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

class WindowContainer;

// Where the gadgets created next go. Gadgets are created into the current gadget list's window:
// into `parent`, which is the window's content widget or the innermost open container, at
// coordinates relative to it.
//
// Rules:
// - Every window keeps a saved state, which starts as { its content widget, no containers }.
// - openWindow (without WINDOW_NO_GADGET_LIST) saves the current state with its window and makes
//   the new window's saved state current.
// - Closing the current window leaves no current gadget list: currentGadgetWindow() is nullptr
//   and the state is empty (no parent, no containers).
// - The pointers are guarded: a widget destroyed behind the list's back reads as nullptr.

// Containers may nest this deep.
inline constexpr int MAX_OPEN_CONTAINERS = 100;

struct GadgetListState {
    QPointer<QWidget> parent;
    std::vector<QPointer<QWidget>> containers; // innermost last
};

// The window of the current gadget list, or nullptr.
WindowContainer* currentGadgetWindow();

// The current state; empty when there is no current gadget list. Gadget code opens and closes
// containers by changing it.
GadgetListState& currentGadgetList();
