#pragma once

class QEvent;
class QObject;

// Whether an event that Qt delivers is something that happened on the desktop, and so may end
// a wait for desktop events (event_pump.h): input (mouse, keyboard, wheel, tablet, touch, input
// methods, drag and drop), what the window system says about a window (close, exposure, move,
// resize, state, activation) and the desktop's requests to the program (quit, open a file).
//
// Everything Qt makes for itself is not: the paint and update requests that follow a change the
// program made, layout requests, deferred deletions, queued calls, polish and child events, and
// the synthetic events Qt derives from others. Only events that the window system delivered
// (spontaneous ones) count, except activation, shortcuts and the quit request, which Qt sends
// itself in answer to the window system.
bool isDesktopEvent(const QObject* receiver, const QEvent* event);
