#pragma once

#include "runtime/runtime_string.h"

// Files dropped on a window from a file manager. A window that accepts drops takes files (local
// paths, not other data) anywhere over it; each drop queues EVENT_FILES_DROPPED for the window,
// and the dropped paths are read with nextDroppedFile, in the order of the drop.

inline constexpr int EVENT_FILES_DROPPED = 16;

// Non-zero: the window takes dropped files from now on; 0: no more. Nothing for an unknown
// window. The window forgets it when it closes.
void acceptFileDrops(int window, int accept);

// The next path of the latest drop (file system bytes, as open() takes them), or the empty
// string when none is left. A new drop replaces what was left of the previous one.
String nextDroppedFile();
