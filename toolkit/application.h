#pragma once

#include <cstddef>

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

// The program's identity on the desktop: the name of its desktop entry (without ".desktop"), by
// which docks, task bars and Wayland compositors match its windows to the installed entry, and
// the icon of its windows, the bytes of a PNG file (none when size is 0). Windows that are
// already open take the icon too.
void setApplicationIdentity(const char* desktopFileName, const unsigned char* iconPng, std::size_t iconSize);

// The language of the texts that Qt draws itself (the buttons and labels of the file requesters
// and of message boxes, the context menus of text fields): "de" gives German; any other code
// leaves them English. The program chooses its language; this follows that choice.
void setToolkitLanguage(const char* code);
