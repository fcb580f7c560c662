// The routing of menu choices and the priority of menu key equivalents.
// Implements: routeMenuChoice (edit commands to the focused text field, else EVENT_MENU for the
// menu's window), menuKeyPriorityFilter (ShortcutOverride left unaccepted for the bar's keys).

#include "toolkit/platform/menu_routing.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/edit_commands.h"
#include "toolkit/platform/shortcut_table.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

// The window whose focused field takes edit commands.
QWidget* frontWindow(WindowContainer* menuWindow)
{
    QWidget* active = QApplication::activeWindow();
    return dynamic_cast<WindowContainer*>(active) ? active : menuWindow;
}

bool barAnswersTo(const QMenuBar& bar, const QKeySequence& keys)
{
    for (QAction* title : bar.actions()) {
        const QMenu* menu = title->menu();
        if (!menu || !title->isEnabled())
            continue;
        for (QAction* action : menu->actions()) {
            if (action->isEnabled() && action->isVisible() && action->shortcut() == keys)
                return true;
        }
    }
    return false;
}

class MenuKeyPriority {
public:
    MenuKeyPriority(WindowContainer& window, QMenuBar& bar)
        : m_window(&window)
        , m_bar(&bar)
    {
    }

    bool operator()(QObject*, QEvent* event) const
    {
        if (event->type() != QEvent::ShortcutOverride || !m_window || !m_bar)
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const Qt::KeyboardModifiers modifiers = key.modifiers()
            & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier)) || windowShortcutTakes(*m_window, key))
            return false;
        if (!barAnswersTo(*m_bar, QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())))))
            return false;
        // Consumed but not accepted: no widget sees the override, and Qt's shortcut map, not
        // the focused field, gets the key.
        event->ignore();
        return true;
    }

private:
    QPointer<WindowContainer> m_window;
    QPointer<QMenuBar> m_bar;
};

} // namespace

void routeMenuChoice(int item, const std::optional<KeyEquivalent>& key, WindowContainer* menuWindow)
{
    if (!menuWindow)
        return;
    if (key) {
        if (const std::optional<EditCommand> command = editCommandOf(*key)) {
            if (sendEditCommand(frontWindow(menuWindow), *command))
                return;
        }
    }
    postEvent(EVENT_MENU, item, menuWindow->number(), 0);
}

WindowEventFilter menuKeyPriorityFilter(WindowContainer& window, QMenuBar& bar)
{
    return MenuKeyPriority(window, bar);
}
