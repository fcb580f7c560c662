#pragma once

#include "toolkit/key_equivalent.h"
#include "toolkit/platform/window_container.h"

#include <optional>

class QMenuBar;

// Where a menu choice goes. The item is reported for the menu's window (nothing when the menu
// has no open window); an item whose key equivalent is an edit command (key_equivalent.h) first
// goes to the focused text field of the active toolkit window (the menu's window when no
// toolkit window is active) and is reported only when no field takes it.
void routeMenuChoice(int item, const std::optional<KeyEquivalent>& key, WindowContainer* menuWindow);

// The window event filter of a window with a menu bar: a key that a bar's item answers to and
// that holds Control or Alt must reach the item's QAction even while a text field has the
// focus (Qt lets a focused field claim such keys first, and a field claims many Control keys).
// The window's own shortcuts stay first: their keys are left alone here.
WindowEventFilter menuKeyPriorityFilter(WindowContainer& window, QMenuBar& bar);
