#pragma once

// Desktop metrics: a snapshot of the attached displays, taken by examineDesktops and kept until
// the next one. Display 0 is the main screen; the others follow in the desktop's order.
// Positions and sizes are in device-independent pixels (on a screen scaled for high density a
// pixel here is several device pixels), so layouts computed from them come out the same size
// on every screen.

// Takes a new snapshot (at most MAX_DESKTOPS displays) and returns the number of displays; 0
// when the desktop cannot list them.
int examineDesktops();

// Values of one display of the last snapshot; 0 for an index outside 0 .. count - 1, and before
// the first snapshot.
int desktopX(int index); // left edge in desktop coordinates
int desktopY(int index); // top edge
int desktopWidth(int index);
int desktopHeight(int index);
int desktopDepth(int index); // bits per pixel
int desktopFrequency(int index); // refresh rate in hertz, truncated; 0 when unknown
// The area of the display that windows may use, without the desktop's panels and docks, in
// desktop coordinates: where a window must lie to be seen whole.
int desktopAvailableX(int index);
int desktopAvailableY(int index);
int desktopAvailableWidth(int index);
int desktopAvailableHeight(int index);

inline constexpr int MAX_DESKTOPS = 128;
