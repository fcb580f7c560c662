#pragma once

#include "runtime/object_number.h"
#include "toolkit/platform/gadget_list_state.h"
#include "toolkit/platform_window.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QMenuBar;

// Data that other parts of the toolkit attach to a window, destroyed with it (the window's
// keyboard-shortcut table derives from this).
class WindowAttachment {
public:
    virtual ~WindowAttachment() = default;
};

// Runs before Qt delivers an event to the window or to any widget inside it; returns true to
// consume the event. Key events go to the focused gadget rather than to the window, so a
// window-wide key handler needs this rather than QObject::installEventFilter on the window.
using WindowEventFilter = std::function<bool(QObject* receiver, QEvent* event)>;

// A numbered top-level window: a container that holds the content widget, where gadgets go, and
// optionally a menu bar above it. The content widget's size is the window's content size; adding,
// changing or removing the menu bar resizes the container and keeps the content size.
//
// Desktop events of the window become toolkit events:
// - the close box: EVENT_CLOSE_WINDOW as the result of the wait; the close is refused, the
//   window stays open until closeWindow.
// - exposure (the window, or a part of it, becomes visible and must be drawn): EVENT_REPAINT.
// - a move or resize by the user or the window manager: EVENT_MOVE_WINDOW / EVENT_SIZE_WINDOW.
//   X11 has no "finished" for these; each geometry change the desktop reports counts, and a
//   change that the toolkit made itself (resizeWindow, openWindow) does not. During a drag the
//   application therefore sees a run of them; queued ones merge while nobody drains.
// - minimized: EVENT_MINIMIZE_WINDOW; brought back from minimized: EVENT_MAXIMIZE_WINDOW when it
//   is maximized, else EVENT_RESTORE_WINDOW.
// - maximized or unmaximized by the user (the zoom box): EVENT_MOVE_WINDOW now, then
//   EVENT_SIZE_WINDOW (type 0) and EVENT_MAXIMIZE_WINDOW or EVENT_RESTORE_WINDOW from the queue.
// - activated: EVENT_ACTIVATE_WINDOW is queued, so this wait returns EVENT_OTHER and the next 7.
class WindowContainer final : public QWidget, public PlatformWindow {
public:
    WindowContainer(int number, Qt::WindowFlags flags, bool resizable);
    ~WindowContainer() override;

    int number() const { return m_number; }

    // Where gadgets go.
    QWidget* content() const { return m_content.get(); }

    // The window takes the menu bar and places it above the content; nullptr removes it.
    void setMenuBar(std::unique_ptr<QMenuBar> bar);
    QMenuBar* menuBar() const { return m_menuBar.get(); }

    // The gadget-list state kept with the window while another window is the current gadget list.
    GadgetListState& savedGadgetList() { return m_savedGadgetList; }

    // The keyboard-shortcut table of the window; empty until the first shortcut is added.
    std::unique_ptr<WindowAttachment>& shortcutTable() { return m_shortcutTable; }

    // Filters stay until removed or until the window is destroyed. Returns an id for removal.
    int addWindowEventFilter(WindowEventFilter filter);
    void removeWindowEventFilter(int id);

    // Application modality: while on, the desktop keeps input away from all other windows of the
    // program. A visible window is hidden and shown again, because Qt applies modality on show.
    void setApplicationModal(bool on);

    // PlatformWindow
    void setTitle(const char* text) override;
    void moveFrame(int x, int y) override;
    void setContentSize(int width, int height) override;
    int contentWidth() const override;
    int contentHeight() const override;
    bool mouseInContent(int& x, int& y) const override;
    void setSticky(bool floating) override;

    // Called for every event of the application (application.cpp): window exposure and the
    // window-wide filters. Returns true when the event is consumed.
    static bool routeApplicationEvent(QObject* receiver, QEvent* event);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int menuBarHeight(int width) const;
    void layoutChildren();
    void applyContainerSize(QSize size);
    bool runWindowEventFilters(QObject* receiver, QEvent* event);

    int m_number;
    bool m_resizable;
    bool m_closing = false;
    std::unique_ptr<QWidget> m_content;
    std::unique_ptr<QMenuBar> m_menuBar;
    GadgetListState m_savedGadgetList;
    std::unique_ptr<WindowAttachment> m_shortcutTable;
    std::vector<std::pair<int, std::shared_ptr<WindowEventFilter>>> m_filters;
    int m_nextFilterId = 1;
};

// The window container of an open window, by number or by handle (windowHandle), else nullptr.
WindowContainer* windowContainer(int number);
WindowContainer* windowContainerOfHandle(Handle handle);

// The content widget of an open window, else nullptr.
QWidget* windowContent(int number);
