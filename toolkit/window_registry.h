#pragma once

#include "runtime/object_number.h"
#include "runtime/object_table.h"
#include "toolkit/platform_timer.h"
#include "toolkit/platform_window.h"

#include <memory>
#include <string>
#include <vector>

// The registry of numbered windows, internal to the toolkit.

struct WindowTimer {
    int timer = 0; // number chosen by the application, unique within its window
    std::unique_ptr<PlatformTimer> platform;
};

struct WindowRecord {
    // The platform window as the application sees it (windowHandle); non-zero while open.
    Handle handle = 0;
    std::unique_ptr<PlatformWindow> platform;
    std::vector<WindowTimer> timers;
    int flags = 0; // as opened
    // Which window was opened last: a count over all windows, 1 for the first.
    unsigned long long openSerial = 0;
    // The title as the application set it (ISO 8859-1) and the document-modified mark; the
    // desktop shows the title with a leading "*" while the window is marked.
    std::string title;
    bool modified = false;
};

// The window table (growth 16; its free handler is closeWindow). Made on first use, after the
// desktop connection.
ObjectTable<WindowRecord>& windowTable();

// The record of an open window, or nullptr.
WindowRecord* windowRecord(int number);

// Seams for the rest of the toolkit: the platform window of an open window by number or by
// handle (the value windowHandle gave out), or nullptr.
PlatformWindow* platformWindow(int number);
PlatformWindow* platformWindowOfHandle(Handle handle);

// The title that the desktop shows for the window: its title, after a "*" while it is marked
// modified.
std::string shownTitle(const WindowRecord& record);
