#pragma once

// The application's one loop: wait at most 25 ms for an event, let the readout and magnifier
// follow the mouse, then hand timer, gadget and menu events to their commands. It ends when a
// quit was confirmed.

#include "commands.h"

inline constexpr int EVENT_WAIT_MS = 25;

// The last wait's event code, and the gadget, type and menu item of the last such event.
extern int eventCode;
extern int eventGadget;
extern int eventType;
extern int eventMenuItem;

// Passes until quitRequested (set by the Quit command) is 1.
void runEventLoop();

// One pass: wait, track, dispatch.
void runEventLoopPass();
