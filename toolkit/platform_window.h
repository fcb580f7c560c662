#pragma once

#include <memory>

// What the window operations need from a desktop window. Plain C++: the core of the toolkit owns
// this interface and platform/window_container.h implements it over Qt.
//
// A window is a container around a content area. Sizes are those of the content area, in
// device-independent pixels; gadgets go into the content, and a menu bar sits above it, outside
// the content size. Positions are those of the outer frame on the desktop.
class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Text in ISO 8859-1.
    virtual void setTitle(const char* text) = 0;
    // IGNORE_VALUE keeps that coordinate.
    virtual void moveFrame(int x, int y) = 0;
    // IGNORE_VALUE keeps that size; the others are kept within 1 .. MAX_WINDOW_SIZE.
    virtual void setContentSize(int width, int height) = 0;
    virtual int contentWidth() const = 0;
    virtual int contentHeight() const = 0;
    // The mouse position relative to the content's top-left corner. The right and bottom edges
    // count as inside (x can equal the content width); false when the mouse is outside.
    virtual bool mouseInContent(int& x, int& y) const = 0;
    // true: the window floats above the normal windows; false: back to the normal level.
    virtual void setSticky(bool floating) = 0;
};

// X11 carries window sizes in 16 bits and larger ones would make the desktop allocate gigabytes
// for a backing store: content sizes stay within this bound.
inline constexpr int MAX_WINDOW_SIZE = 32767;

struct WindowOptions {
    int number = 0;
    int x = 50;
    int y = 50;
    int width = 1;
    int height = 1;
    const char* title = nullptr; // nullptr: no title
    int flags = 0; // window_flags.h
};

// Creates, places and (unless WINDOW_INVISIBLE) shows and activates a window; nullptr when the
// desktop refuses.
std::unique_ptr<PlatformWindow> createPlatformWindow(const WindowOptions& options);
