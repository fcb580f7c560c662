// The application object and the toolkit's application-wide event handling.
// Implements:
// - ensurePlatform: the QApplication, made on first need with a stable argc/argv, named
//   "Graphonite"; closing the last window does not quit it (the application decides). When no
//   display can be opened, one line says so and the process exits with 1, instead of Qt's
//   abort.
// - shutdownPlatform: its destruction at the end of the program.
// - The application event filter: counting of desktop events for waitEvent (desktop_events.h), the
//   desktop's quit request (QEvent::Quit) as MENU_ITEM_QUIT for window 0, and the routing of
//   window events (WindowContainer::routeApplicationEvent).
// - The session manager's questions: commitDataRequest answered through session_end.h before it
//   returns, and no restart command.
// - setApplicationIdentity, setToolkitLanguage: the desktop entry's name, the window icon and
//   Qt's own translations.
// - raiseApplicationWindows: raise and activate.

#include "toolkit/application.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/desktop_events.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/session_end.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QPixmap>
#include <QSessionManager>
#include <QTranslator>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

unsigned long long g_desktopEvents = 0;

// QApplication keeps references to argc and argv for its whole life.
int g_argc = 1;
char g_programName[] = "graphonite";
char* g_argv[] = { g_programName, nullptr };

// What Qt says while the application object is made: kept back, and passed on once it exists.
struct StartupMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<StartupMessage> g_startupMessages;

// The line that replaces Qt's abort when no platform plugin could be started: nearly always a
// display that is not set or cannot be reached.
std::string displayFailure()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0)
        return std::string("cannot open the display of the platform '") + platform + "'";
    if (!display || !*display)
        return "cannot open the display: DISPLAY is not set";
    return std::string("cannot open the display '") + display + "'";
}

void startupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: %s\n", g_programName, displayFailure().c_str());
        // Qt would abort after this handler; nothing of the program needs to be cleaned up yet.
        _exit(1);
    }
    g_startupMessages.push_back({ type, context.category ? context.category : "", text });
}

std::unique_ptr<QApplication> makeApplication()
{
    const QtMessageHandler previous = qInstallMessageHandler(startupMessageHandler);
    auto application = std::make_unique<QApplication>(g_argc, g_argv);
    qInstallMessageHandler(previous);
    for (const StartupMessage& message : std::exchange(g_startupMessages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        if (previous)
            previous(message.type, context, message.text);
    }
    return application;
}

void postQuitRequest()
{
    // After the program agreed to end the session, the session manager's quit request needs no
    // second question.
    postEvent(EVENT_MENU, MENU_ITEM_QUIT, 0, takeSessionEndAgreement() ? QUIT_ALREADY_AGREED : 0);
}

class ApplicationFilter final : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (isDesktopEvent(receiver, event))
            ++g_desktopEvents;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            forgetSessionEndAgreement();
        if (event->type() == QEvent::Quit && receiver == QCoreApplication::instance()) {
            // The desktop asks the program to quit; the application's loop decides.
            postQuitRequest();
            return true;
        }
        return WindowContainer::routeApplicationEvent(receiver, event);
    }
};

// The session manager waits for the answer until this returns, so the application's question
// runs here (in a nested wait), with the interaction the session manager allows.
void answerCommitData(QSessionManager& manager)
{
    const bool mayAsk = manager.allowsInteraction();
    const SessionEndAnswer answer = answerSessionEnd(mayAsk);
    if (mayAsk)
        manager.release();
    if (answer == SessionEndAnswer::Cancel)
        manager.cancel();
}

class Platform {
public:
    Platform()
    {
        if (!QCoreApplication::instance())
            m_application = makeApplication();
        QCoreApplication::setApplicationName(QStringLiteral("Graphonite"));
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::instance()->installEventFilter(&m_filter);
        QObject::connect(
            qApp, &QGuiApplication::commitDataRequest, &m_filter, answerCommitData, Qt::DirectConnection);
        // The program keeps no state of a session to come back to: started again at the next
        // login it would only ask for a picture.
        QObject::connect(
            qApp, &QGuiApplication::saveStateRequest, &m_filter,
            [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); },
            Qt::DirectConnection);
    }

    ~Platform()
    {
        useLanguage("");
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeEventFilter(&m_filter);
    }
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    void useLanguage(const char* code)
    {
        if (m_translator) {
            QCoreApplication::removeTranslator(m_translator.get());
            m_translator.reset();
        }
        if (std::strcmp(code, "de") != 0)
            return;
        auto translator = std::make_unique<QTranslator>();
        // Without Qt's translations installed, Qt's texts stay English.
        if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            && QCoreApplication::installTranslator(translator.get()))
            m_translator = std::move(translator);
    }

private:
    std::unique_ptr<QApplication> m_application;
    // After the application object: destroyed before it.
    ApplicationFilter m_filter;
    std::unique_ptr<QTranslator> m_translator;
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

void setApplicationIdentity(const char* desktopFileName, const unsigned char* iconPng, std::size_t iconSize)
{
    ensurePlatform();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(desktopFileName ? desktopFileName : ""));
    QPixmap icon;
    if (iconPng && iconSize > 0 && iconSize <= static_cast<std::size_t>(INT_MAX)
        && icon.loadFromData(iconPng, static_cast<uint>(iconSize), "PNG"))
        QGuiApplication::setWindowIcon(QIcon(icon));
    else
        QGuiApplication::setWindowIcon(QIcon());
}

void setToolkitLanguage(const char* code)
{
    ensurePlatform();
    g_platform->useLanguage(code ? code : "");
}
