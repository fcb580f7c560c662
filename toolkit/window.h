#pragma once

#include "runtime/object_number.h"
#include "toolkit/window_flags.h"

// Numbered top-level windows.
//
// Window numbers are registry numbers: opening a number that is in use closes the old window
// first; DYNAMIC_NUMBER asks for a fresh number, which openWindow returns. Operations given a
// number that denotes no open window do nothing and return 0. Sizes are those of the content area
// (a menu bar lies outside it); positions are those of the outer frame. Titles are ISO 8859-1.

// Opens a window with a content area of width x height (values below 1 become 1, values above
// 32767 become 32767) whose frame is placed at (x, y), or at (50, 50) when x or y is
// IGNORE_VALUE. Unless WINDOW_INVISIBLE it is shown and activated; unless WINDOW_NO_GADGET_LIST
// the gadgets created next go into it. Returns the new number for DYNAMIC_NUMBER, else the
// platform window (windowHandle); 0 when the desktop refuses or the number is not valid.
Handle openWindow(int number, int x, int y, int width, int height, const char* title, int flags);

// openWindow with WINDOW_CLOSE_BOX.
Handle openWindowSimple(int number, int x, int y, int width, int height, const char* title);

// Stops the window's timers, destroys it with its gadgets, discards every queued event of it and
// frees the number. Must not run inside a desktop event handler of that window.
void closeWindow(int number);

// closeWindow for every open window (at shut-down).
void closeAllWindows();

// Non-zero when the number denotes an open window.
int isWindow(int number);

// The platform window, 0 for an unknown number.
Handle windowHandle(int number);

// nullptr: nothing happens.
void setWindowTitle(int number, const char* title);

// Each value may be IGNORE_VALUE (keep). x and y move the outer frame; width and height set the
// content size (kept within 1 .. 32767).
void resizeWindow(int number, int x, int y, int width, int height);

// Content size; 0 for an unknown number.
int windowWidth(int number);
int windowHeight(int number);

// The mouse position relative to the content's top-left corner. The right and bottom edges are
// inside, so the result can equal the content width or height. When the mouse is outside in
// either direction both operations return -1; 0 for an unknown number.
int windowMouseX(int number);
int windowMouseY(int number);

// The window's document-modified mark: non-zero marks it, 0 clears it. A window starts unmarked
// and the mark goes with it when it closes. While marked, the desktop shows its title with a
// leading "*" ("*Graphonite / Set Origin"), as Linux programs mark unsaved changes;
// setWindowTitle keeps the mark.
void setWindowModified(int number, int modified);
// 1 when the window is marked modified, 0 when not or for an unknown number.
int isWindowModified(int number);

// Non-zero: the window floats above the normal windows; 0: back to the normal level.
void stickyWindow(int number, int flag);

// Makes the window registry (and the desktop connection); at start-up.
void initWindows();
