#pragma once

#include <functional>

// Waits for desktop events and dispatches one batch of them through Qt's event dispatcher.
//
// timeoutMs > 0 waits at most that long, 0 dispatches what is pending without waiting, < 0 waits
// without limit. Returns true as soon as a batch delivered a desktop event (see
// desktopEventCount); otherwise keeps waiting until stopWaiting() turns true after a batch or the
// time-out passes, and returns false. Blocks in the dispatcher in between: it never spins.
// Nestable; each call has its own time-out.
bool pumpDesktopEvents(int timeoutMs, const std::function<bool()>& stopWaiting);

// Makes a blocked pump return from the dispatcher so that it looks at stopWaiting() again.
void wakeDesktopWait();
