// The application object and the toolkit's application-wide event handling.
// Implements:
// - ensurePlatform: the QApplication, made on first need with a stable argc/argv, named
//   "Graphonite"; closing the last window does not quit it (the application decides).
// - shutdownPlatform: its destruction at the end of the program.
// - The application event filter: counting of desktop events for waitEvent (desktop_events.h), the desktop's
// quit
//   request (QEvent::Quit, the session manager's commitDataRequest) as MENU_ITEM_QUIT for
//   window 0, and the routing of window events (WindowContainer::routeApplicationEvent).
// - raiseApplicationWindows: raise and activate.

#include "toolkit/application.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/desktop_events.h"
#include "toolkit/platform/window_container.h"

#include <QApplication>
#include <QSessionManager>

#include <memory>
#include <utility>

namespace {

unsigned long long g_desktopEvents = 0;

// QApplication keeps references to argc and argv for its whole life.
int g_argc = 1;
char g_programName[] = "graphonite";
char* g_argv[] = { g_programName, nullptr };

void postQuitRequest()
{
    postEvent(EVENT_MENU, MENU_ITEM_QUIT, 0, 0);
}

class ApplicationFilter final : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (isDesktopEvent(receiver, event))
            ++g_desktopEvents;
        if (event->type() == QEvent::Quit && receiver == QCoreApplication::instance()) {
            // The desktop asks the program to quit; the application's loop decides.
            postQuitRequest();
            return true;
        }
        return WindowContainer::routeApplicationEvent(receiver, event);
    }
};

class Platform {
public:
    Platform()
    {
        if (!QCoreApplication::instance())
            m_application = std::make_unique<QApplication>(g_argc, g_argv);
        QCoreApplication::setApplicationName(QStringLiteral("Graphonite"));
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::instance()->installEventFilter(&m_filter);
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, &m_filter,
            [](QSessionManager&) { postQuitRequest(); });
    }

    ~Platform()
    {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeEventFilter(&m_filter);
    }
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

private:
    std::unique_ptr<QApplication> m_application;
    // After the application object: destroyed before it.
    ApplicationFilter m_filter;
};

// Destroyed by shutdownPlatform only, never by an exit handler: Qt destroys some of its own
// global objects at exit, and the application object's destructor still uses them (input
// devices unregister from a global list that may be gone). Left alive, the operating system
// and the X server release what it holds. The pointer keeps it reachable for leak checkers.
Platform* g_platform = nullptr;

} // namespace

void ensurePlatform()
{
    if (!g_platform)
        g_platform = std::make_unique<Platform>().release();
}

bool platformRunning()
{
    return g_platform != nullptr;
}

void shutdownPlatform()
{
    // Back into an owner, to be destroyed.
    std::unique_ptr<Platform> platform(std::exchange(g_platform, nullptr));
}

unsigned long long desktopEventCount()
{
    return g_desktopEvents;
}

void raiseApplicationWindows()
{
    ensurePlatform();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && dynamic_cast<WindowContainer*>(window)) {
            window->raise();
            window->activateWindow();
        }
    }
}
