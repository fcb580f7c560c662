#pragma once

// The desktop connection of the process (Qt's application object), made by the toolkit on first
// need; the application never makes one. Plain C++: the core of the toolkit calls it.

// Creates the application object with the name "Graphonite" unless one exists, and installs the
// toolkit's application-wide event handling: counting of desktop events for waitEvent, the
// desktop's quit request (EVENT_MENU with MENU_ITEM_QUIT for window 0), window exposure and the
// window-wide event filters of platform/window_container.h. Every toolkit operation that needs the
// desktop calls it first. The application object lives until shutdownPlatform, or else until
// the process ends: objects that the registries still hold at exit are destroyed while it lives.
void ensurePlatform();

// true between ensurePlatform and shutdownPlatform.
bool platformRunning();

// Destroys the application object (shutdownToolkit, after every window and font is gone).
void shutdownPlatform();

// The number of desktop events delivered so far (isDesktopEvent of platform/desktop_events.h). Timer
// ticks, repaints and the other events Qt makes for itself do not count: they are the toolkit's
// own business (or Qt's), not something that happened on the desktop.
unsigned long long desktopEventCount();

// Raises and activates every visible window of the program.
void raiseApplicationWindows();
