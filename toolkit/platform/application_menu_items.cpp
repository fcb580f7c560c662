// The application menu items of a menu bar on Linux.
// Implements: ApplicationMenuItems (QActions owned here and added to the bar's QMenus, their
// placement, their choice as EVENT_MENU with the stored window number).

#include "toolkit/platform/application_menu_items.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/qt_keys.h"
#include "toolkit/platform/qt_text.h"

#include <QAction>

#include <algorithm>

namespace {

constexpr std::size_t QUIT = 0;
constexpr std::size_t PREFERENCES = 1;
constexpr std::size_t ABOUT = 2;

std::unique_ptr<QAction> makeSeparator()
{
    auto separator = std::make_unique<QAction>();
    separator->setSeparator(true);
    return separator;
}

std::size_t slotOf(int item)
{
    switch (item) {
    case MENU_ITEM_QUIT:
        return QUIT;
    case MENU_ITEM_PREFERENCES:
        return PREFERENCES;
    default:
        return ABOUT;
    }
}

const char* defaultLabel(int item)
{
    switch (item) {
    case MENU_ITEM_QUIT:
        return "Quit";
    case MENU_ITEM_PREFERENCES:
        return "Preferences";
    default:
        return "About";
    }
}

} // namespace

ApplicationMenuItems::ApplicationMenuItems()
    : m_firstSeparator(makeSeparator())
    , m_lastSeparator(makeSeparator())
{
}

// The actions leave the menus that show them as they are destroyed.
ApplicationMenuItems::~ApplicationMenuItems() = default;

void ApplicationMenuItems::setItem(int item, const MenuItemText& text, int window)
{
    auto action
        = std::make_unique<QAction>(qtText(text.label.empty() ? defaultLabel(item) : text.label.c_str()));
    action->setData(item);
    if (text.key)
        action->setShortcut(qtKeySequence(*text.key));
    else if (item == MENU_ITEM_QUIT)
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(action.get(), &QAction::triggered, action.get(),
        [item, window] { postEvent(EVENT_MENU, item, window, 0); });
    m_items[slotOf(item)] = std::move(action);
}

std::vector<QAction*> ApplicationMenuItems::allActions() const
{
    std::vector<QAction*> actions { m_firstSeparator.get(), m_lastSeparator.get() };
    for (const auto& item : m_items) {
        if (item)
            actions.push_back(item.get());
    }
    return actions;
}

void ApplicationMenuItems::place(const std::vector<std::unique_ptr<QMenu>>& titles) const
{
    for (const auto& menu : titles) {
        for (QAction* action : allActions())
            menu->removeAction(action);
    }
    if (titles.empty())
        return;
    QMenu& first = *titles.front();
    QMenu& last = *titles.back();

    std::vector<QAction*> firstBlock;
    std::vector<QAction*> lastBlock;
    if (m_items[ABOUT])
        (&first == &last ? firstBlock : lastBlock).push_back(m_items[ABOUT].get());
    for (std::size_t index : { PREFERENCES, QUIT }) {
        if (m_items[index])
            firstBlock.push_back(m_items[index].get());
    }
    if (!firstBlock.empty()) {
        first.addAction(m_firstSeparator.get());
        first.addActions(QList<QAction*>(firstBlock.begin(), firstBlock.end()));
    }
    if (!lastBlock.empty()) {
        last.addAction(m_lastSeparator.get());
        last.addActions(QList<QAction*>(lastBlock.begin(), lastBlock.end()));
    }
}

QAction* ApplicationMenuItems::firstIn(const QMenu& menu) const
{
    const std::vector<QAction*> ours = allActions();
    for (QAction* action : menu.actions()) {
        if (std::find(ours.begin(), ours.end(), action) != ours.end())
            return action;
    }
    return nullptr;
}

int ApplicationMenuItems::indexOf(int item) const
{
    QAction* action = m_items[slotOf(item)].get();
    if (!action)
        return 0;
    for (QObject* object : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(object))
            return static_cast<int>(menu->actions().indexOf(action)) + 1;
    }
    return 0;
}
