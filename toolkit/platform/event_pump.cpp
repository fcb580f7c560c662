// Waiting for desktop events over Qt's event dispatcher.
// Implements:
// - pumpDesktopEvents: one blocking QCoreApplication::processEvents per batch (WaitForMoreEvents),
//   bounded by a single-shot precise QTimer of its own.
// - wakeDesktopWait: QAbstractEventDispatcher::wakeUp.
// - The flush of deferred deletions that no event loop would ever deliver (see below).

#include "toolkit/event_pump.h"

#include "toolkit/application.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

int g_depth = 0;

class DepthScope {
public:
    DepthScope() { ++g_depth; }
    ~DepthScope() { --g_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;
};

} // namespace

bool pumpDesktopEvents(int timeoutMs, const std::function<bool()>& stopWaiting)
{
    ensurePlatform();
    DepthScope depth;

    // Qt delivers a deleteLater() made outside any event handler only to an event loop that
    // exec() started, and the application never runs one. Such an event would stay posted for
    // ever, and a pending posted event keeps the dispatcher from blocking: every wait would spin.
    // The outermost pump outside every exec() loop (a dialog's, a popup menu's) is called from
    // the application's own loop, outside every handler, so deleting there is safe.
    if (g_depth == 1 && QThread::currentThread()->loopLevel() == 0)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const unsigned long long before = desktopEventCount();
    bool timedOut = false;
    QTimer timeout;
    if (timeoutMs > 0) {
        // A coarse timer may fire up to 5 % early; the caller was promised the full time-out.
        timeout.setTimerType(Qt::PreciseTimer);
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [&timedOut] { timedOut = true; });
        timeout.start(timeoutMs);
    }

    const QEventLoop::ProcessEventsFlags flags
        = timeoutMs == 0 ? QEventLoop::AllEvents : QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents;
    for (;;) {
        QCoreApplication::processEvents(flags);
        const bool handled = desktopEventCount() != before;
        if (handled || timeoutMs == 0 || timedOut || stopWaiting())
            return handled;
    }
}

void wakeDesktopWait()
{
    if (!QCoreApplication::instance())
        return;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}
