// Numbered windows over Qt Widgets.
// Implements:
// - WindowContainer: the top-level QWidget with its content widget and optional menu bar, and
//   the translation of its desktop events (close, expose, move, resize, window state,
//   activation) into toolkit events.
// - createPlatformWindow: window flags to Qt window flags, size, placement, title, show and
//   activate, maximized or minimized start.
// - The window-wide event filters and window exposure (routeApplicationEvent).
// - The lookups windowContainer, windowContainerOfHandle, windowContent.

#include "toolkit/platform/window_container.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/mouse_source.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/wait_event.h"
#include "toolkit/window_flags.h"
#include "toolkit/window_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace {

// Window-wide filters of all windows together: while there are none, routing costs one test.
int g_filterCount = 0;

int clampSize(int size)
{
    return std::clamp(size, 1, MAX_WINDOW_SIZE);
}

Qt::WindowFlags qtWindowFlags(int flags)
{
    if (flags & WINDOW_BORDERLESS)
        return Qt::Window | Qt::FramelessWindowHint;
    const bool tool = flags & WINDOW_TOOL;
    Qt::WindowFlags qt = (tool ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    int closeBits = WINDOW_CLOSE_BOX | WINDOW_ZOOM_BOX | WINDOW_COLLAPSE_BOX;
    if (!tool)
        closeBits |= WINDOW_MAXIMIZED | WINDOW_COLLAPSED;
    if (flags & closeBits)
        qt |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    if (!tool && (flags & (WINDOW_ZOOM_BOX | WINDOW_MAXIMIZED)))
        qt |= Qt::WindowMaximizeButtonHint;
    if (!tool && (flags & (WINDOW_COLLAPSE_BOX | WINDOW_COLLAPSED)))
        qt |= Qt::WindowMinimizeButtonHint;
    return qt;
}

// A window without a size box keeps its size against the user. A zoom box needs the window to
// change size, so it makes the window resizable as well.
bool isResizable(int flags)
{
    if (flags & WINDOW_BORDERLESS)
        return false;
    if (flags & WINDOW_SIZE_BOX)
        return true;
    return !(flags & WINDOW_TOOL) && (flags & (WINDOW_ZOOM_BOX | WINDOW_MAXIMIZED));
}

void centreOnMainScreen(QWidget& window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

} // namespace

WindowContainer::WindowContainer(int number, Qt::WindowFlags flags, bool resizable)
    : QWidget(nullptr, flags)
    , m_number(number)
    , m_resizable(resizable)
{
    // Made once every member exists: the content's construction sends events through the
    // window-wide routing, which finds this container and reads its filters.
    m_content = std::make_unique<QWidget>(this);
    m_savedGadgetList.parent = m_content.get();
}

WindowContainer::~WindowContainer()
{
    m_closing = true;
    g_filterCount -= static_cast<int>(m_filters.size());
    m_filters.clear();
    m_shortcutTable.reset();
    m_menuBar.reset();
    // The gadgets go with the content, while the container is still whole.
    m_content.reset();
}

void WindowContainer::setMenuBar(std::unique_ptr<QMenuBar> bar)
{
    const QSize content = m_content->size();
    m_menuBar = std::move(bar);
    if (m_menuBar) {
        m_menuBar->setParent(this);
        m_menuBar->show();
    }
    setContentSize(content.width(), content.height());
}

int WindowContainer::addWindowEventFilter(WindowEventFilter filter)
{
    const int id = m_nextFilterId++;
    m_filters.emplace_back(id, std::make_shared<WindowEventFilter>(std::move(filter)));
    ++g_filterCount;
    return id;
}

void WindowContainer::removeWindowEventFilter(int id)
{
    const auto before = m_filters.size();
    std::erase_if(m_filters, [id](const auto& entry) { return entry.first == id; });
    g_filterCount -= static_cast<int>(before - m_filters.size());
}

void WindowContainer::setApplicationModal(bool on)
{
    const Qt::WindowModality modality = on ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() == modality)
        return;
    const bool visible = isVisible();
    if (visible)
        hide();
    setWindowModality(modality);
    if (visible) {
        show();
        raise();
        activateWindow();
    }
}

void WindowContainer::setTitle(const char* text)
{
    setWindowTitle(qtText(text));
}

void WindowContainer::moveFrame(int x, int y)
{
    QPoint position = pos();
    if (x != IGNORE_VALUE)
        position.setX(x);
    if (y != IGNORE_VALUE)
        position.setY(y);
    move(position);
}

void WindowContainer::setContentSize(int width, int height)
{
    const int w = width == IGNORE_VALUE ? m_content->width() : clampSize(width);
    const int h = height == IGNORE_VALUE ? m_content->height() : clampSize(height);
    const int bar = menuBarHeight(w);
    applyContainerSize(QSize(w, h + bar));
    // Set directly as well: a hidden window lays its children out only when it is shown, and the
    // content size must read back at once.
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, w, bar);
    m_content->setGeometry(0, bar, w, h);
}

int WindowContainer::contentWidth() const
{
    return m_content->width();
}

int WindowContainer::contentHeight() const
{
    return m_content->height();
}

bool WindowContainer::mouseInContent(int& x, int& y) const
{
    // The desktop tells the window when the pointer enters and leaves it; while it is elsewhere
    // there is no need to ask the X server where it is, 40 times a second. (The pixel just right
    // of or below the window counts as outside then.)
    if (!mouseSourceInstalled() && !underMouse() && QGuiApplication::mouseButtons() == Qt::NoButton)
        return false;
    const QPoint mouse = globalMousePosition() - m_content->mapToGlobal(QPoint(0, 0));
    if (mouse.x() < 0 || mouse.y() < 0 || mouse.x() > m_content->width() || mouse.y() > m_content->height())
        return false;
    x = mouse.x();
    y = mouse.y();
    return true;
}

void WindowContainer::setSticky(bool floating)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, floating);
    if (flags == windowFlags())
        return;
    if (QWindow* handle = windowHandle()) {
        // QWidget::setWindowFlags would hide the window and recreate it; the platform window
        // takes the stacking hint while it is shown.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

bool WindowContainer::routeApplicationEvent(QObject* receiver, QEvent* event)
{
    if (event->type() == QEvent::Expose) {
        if (!receiver->isWindowType())
            return false;
        auto* window = static_cast<QWindow*>(receiver);
        if (!window->isExposed())
            return false;
        auto* container = dynamic_cast<WindowContainer*>(QWidget::find(window->winId()));
        if (container && !container->m_closing)
            reportEvent(EVENT_REPAINT, 0, container->m_number);
        return false;
    }
    if (g_filterCount == 0 || !receiver->isWidgetType())
        return false;
    auto* container = dynamic_cast<WindowContainer*>(static_cast<QWidget*>(receiver)->window());
    return container && !container->m_closing && container->runWindowEventFilters(receiver, event);
}

bool WindowContainer::runWindowEventFilters(QObject* receiver, QEvent* event)
{
    if (m_filters.empty())
        return false;
    // A filter may add or remove filters while it runs.
    std::vector<std::shared_ptr<WindowEventFilter>> filters;
    filters.reserve(m_filters.size());
    for (const auto& entry : m_filters)
        filters.push_back(entry.second);
    for (const auto& filter : filters) {
        if ((*filter)(receiver, event))
            return true;
    }
    return false;
}

bool WindowContainer::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (!m_closing && QApplication::activeWindow() == this)
            postEvent(EVENT_ACTIVATE_WINDOW, 0, m_number, 0);
        break;
    case QEvent::LayoutRequest:
    case QEvent::Show:
        // The menu bar's height may have changed (items added, polished for the screen): the
        // content keeps its size and the container follows, unless the desktop holds the
        // container at the size of the screen.
        if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            layoutChildren();
        else
            setContentSize(m_content->width(), m_content->height());
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void WindowContainer::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!m_closing)
        reportEvent(EVENT_CLOSE_WINDOW, 0, m_number);
}

void WindowContainer::moveEvent(QMoveEvent* event)
{
    // Spontaneous events come from the desktop; the toolkit's own moves arrive as plain ones, or
    // as a spontaneous confirmation of the position the window already has.
    if (event->spontaneous() && event->pos() != event->oldPos())
        reportEvent(EVENT_MOVE_WINDOW, 0, m_number);
    QWidget::moveEvent(event);
}

void WindowContainer::resizeEvent(QResizeEvent* event)
{
    layoutChildren();
    if (event->spontaneous() && event->size() != event->oldSize())
        reportEvent(EVENT_SIZE_WINDOW, 0, m_number);
    QWidget::resizeEvent(event);
}

void WindowContainer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && event->spontaneous() && !m_closing) {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const Qt::WindowStates now = windowState();
        const bool wasMinimized = before & Qt::WindowMinimized;
        const bool isMinimized = now & Qt::WindowMinimized;
        const bool wasMaximized = before & Qt::WindowMaximized;
        const bool isMaximized = now & Qt::WindowMaximized;
        const int standardState = isMaximized ? EVENT_MAXIMIZE_WINDOW : EVENT_RESTORE_WINDOW;
        if (isMinimized && !wasMinimized) {
            reportEvent(EVENT_MINIMIZE_WINDOW, 0, m_number);
        } else if (wasMinimized && !isMinimized) {
            reportEvent(standardState, 0, m_number);
        } else if (wasMaximized != isMaximized) {
            reportEvent(EVENT_MOVE_WINDOW, 0, m_number);
            postEvent(EVENT_SIZE_WINDOW, 0, m_number, 0);
            postEvent(standardState, 0, m_number, 0);
        }
    }
    QWidget::changeEvent(event);
}

int WindowContainer::menuBarHeight(int width) const
{
    // A menu bar that the desktop shows in its own global menu takes no room in the window.
    if (!m_menuBar || m_menuBar->isNativeMenuBar() || m_menuBar->isHidden())
        return 0;
    const int height = m_menuBar->heightForWidth(width);
    return std::max(height >= 0 ? height : m_menuBar->sizeHint().height(), 0);
}

void WindowContainer::layoutChildren()
{
    const int bar = menuBarHeight(width());
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), bar);
    m_content->setGeometry(0, bar, width(), std::max(height() - bar, 0));
}

void WindowContainer::applyContainerSize(QSize size)
{
    if (m_resizable)
        resize(size);
    else
        setFixedSize(size);
}

std::unique_ptr<PlatformWindow> createPlatformWindow(const WindowOptions& options)
{
    const int flags = options.flags;
    auto window = std::make_unique<WindowContainer>(options.number, qtWindowFlags(flags), isResizable(flags));
    window->setContentSize(options.width, options.height);
    if (options.title)
        window->setTitle(options.title);
    if (flags & (WINDOW_CENTERED | WINDOW_CENTERED_ON_PARENT))
        centreOnMainScreen(*window);
    else
        window->move(options.x, options.y);
    if (!(flags & WINDOW_INVISIBLE)) {
        window->show();
        // Shown, the window knows its frame; centre that.
        if (flags & (WINDOW_CENTERED | WINDOW_CENTERED_ON_PARENT))
            centreOnMainScreen(*window);
        window->raise();
        window->activateWindow();
    }
    if (!(flags & (WINDOW_TOOL | WINDOW_BORDERLESS))) {
        Qt::WindowStates state = window->windowState();
        if (flags & WINDOW_MAXIMIZED)
            state |= Qt::WindowMaximized;
        if (flags & WINDOW_COLLAPSED)
            state |= Qt::WindowMinimized;
        if (state != window->windowState())
            window->setWindowState(state);
    }
    return window;
}

WindowContainer* windowContainer(int number)
{
    return dynamic_cast<WindowContainer*>(platformWindow(number));
}

WindowContainer* windowContainerOfHandle(Handle handle)
{
    return dynamic_cast<WindowContainer*>(platformWindowOfHandle(handle));
}

QWidget* windowContent(int number)
{
    WindowContainer* container = windowContainer(number);
    return container ? container->content() : nullptr;
}
