#pragma once

// Window flags (a bit set for openWindow).
inline constexpr int WINDOW_INVISIBLE = 0x1; // created, not shown or activated
inline constexpr int WINDOW_SIZE_BOX = 0x2; // the user may resize it
inline constexpr int WINDOW_CLOSE_BOX = 0x4;
inline constexpr int WINDOW_TITLE_BAR = 0x8; // accepted; every framed window has one
inline constexpr int WINDOW_ZOOM_BOX = 0x10; // maximize button; also gives a close box
inline constexpr int WINDOW_COLLAPSE_BOX = 0x20; // minimize button; also gives a close box
inline constexpr int WINDOW_CENTERED = 0x40; // centred on the main screen; x and y are not used
inline constexpr int WINDOW_BORDERLESS = 0x80; // no frame: the other frame bits do not apply
inline constexpr int WINDOW_CENTERED_ON_PARENT = 0x100; // a window has no parent: centred on the main screen
inline constexpr int WINDOW_MAXIMIZED = 0x200; // opens maximized; implies the zoom box
inline constexpr int WINDOW_COLLAPSED = 0x400; // opens minimized; implies the collapse box
inline constexpr int WINDOW_TOOL = 0x800; // utility window: no zoom or collapse box, ignores 0x200 and 0x400
inline constexpr int WINDOW_NO_GADGET_LIST = 0x1000; // do not make it the current gadget list
