// The classification of Qt's events into desktop events and Qt's own business.
// Implements: isDesktopEvent.

#include "toolkit/platform/desktop_events.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

bool isInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// What the window system reports about a window.
bool isWindowSystemEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::Close:
    case QEvent::Expose:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide:
        return true;
    default:
        return false;
    }
}

} // namespace

bool isDesktopEvent(const QObject* receiver, const QEvent* event)
{
    const QEvent::Type type = event->type();
    switch (type) {
    // Sent by Qt when the window system changes the active window or the application's state.
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationStateChange:
    // A key press that a shortcut takes is delivered as these instead of as a key press.
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    case QEvent::Quit:
    case QEvent::FileOpen:
        return receiver == QCoreApplication::instance();
    default:
        break;
    }
    if (!event->spontaneous())
        return false;
    if (isInputEvent(type))
        return true;
    return isWindowSystemEvent(type);
}
