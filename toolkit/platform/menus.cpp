// Menu bars and popup menus over QMenuBar and QMenu.
// Implements:
// - initMenus, createMenu, menuTitle, menuItem, menuSeparator, createPopupMenu,
//   displayPopupMenu, setMenuItemChecked, freeAllMenus (menus.h) and freeMenu
//   (menu_registry.h).
// - The current menu: the record and the QMenu that items go into.
// - Items: QActions with the label as text and the key equivalent as shortcut, whose triggered
//   signal goes to routeMenuChoice with the item number; the application items of a menu bar
//   through ApplicationMenuItems.

#include "toolkit/menus.h"

#include "toolkit/event_codes.h"
#include "toolkit/platform/menu_registry.h"
#include "toolkit/platform/menu_routing.h"
#include "toolkit/platform/mouse_source.h"
#include "toolkit/platform/qt_keys.h"
#include "toolkit/platform/qt_text.h"

#include <QAction>

namespace {

PopupDisplayHook g_popupDisplayHook = nullptr;

struct CurrentMenu {
    MenuRecord* record = nullptr;
    QPointer<QMenu> menu; // where items go; none before a menu bar's first title
};

CurrentMenu& current()
{
    static CurrentMenu state;
    return state;
}

bool isApplicationItem(int item)
{
    return item == MENU_ITEM_QUIT || item == MENU_ITEM_PREFERENCES || item == MENU_ITEM_ABOUT;
}

// Puts a new action of the current menu in its place: last, but above the application items of
// a menu bar.
void placeNewAction(const MenuRecord& record, QMenu& menu, QAction* action)
{
    if (record.applicationItems) {
        if (QAction* before = record.applicationItems->firstIn(menu))
            menu.insertAction(before, action);
    }
}

} // namespace

int menuItemNumber(const QAction& action)
{
    return action.data().toInt();
}

void setPopupDisplayHook(PopupDisplayHook hook)
{
    g_popupDisplayHook = hook;
}

void freeMenu(int number)
{
    auto& table = menuTable();
    MenuRecord* record = table.objectRecord(number);
    if (!record)
        return;
    if (current().record == record)
        current() = {};
    if (record->window && !record->popup) {
        record->window->removeWindowEventFilter(record->keyFilter);
        if (record->bar && record->window->menuBar() == record->bar)
            record->window->setMenuBar(nullptr);
    }
    record->titles.clear();
    record->applicationItems.reset();
    record->popupMenu.reset();
    table.releaseObject(number);
}

void freeAllMenus()
{
    menuTable().freeAllObjects();
}

void initMenus()
{
    menuTable();
    current() = {};
}

int createMenu(int number, Handle window)
{
    auto& table = menuTable();
    WindowContainer* container = windowContainerOfHandle(window);
    if (!container)
        return 0;
    MenuRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    auto bar = std::make_unique<QMenuBar>();
    record->handle = reinterpret_cast<Handle>(bar.get());
    record->bar = bar.get();
    record->window = container;
    record->applicationItems = std::make_unique<ApplicationMenuItems>();
    record->keyFilter = container->addWindowEventFilter(menuKeyPriorityFilter(*container, *bar));
    container->setMenuBar(std::move(bar));
    current() = { record, nullptr };
    return number == DYNAMIC_NUMBER ? table.numberOf(record) : 1;
}

void menuTitle(const char* title)
{
    MenuRecord* record = current().record;
    if (!record || record->popup)
        return;
    auto menu = std::make_unique<QMenu>(qtText(parseMenuItemText(title).label.c_str()));
    if (record->bar)
        record->bar->addMenu(menu.get());
    current().menu = menu.get();
    record->titles.push_back(std::move(menu));
    record->applicationItems->place(record->titles);
}

int menuItem(int item, const char* text)
{
    MenuRecord* record = current().record;
    if (!record)
        return 0;
    MenuItemText parsed = parseMenuItemText(text);
    if (!record->popup && isApplicationItem(item)) {
        record->applicationItems->setItem(item, parsed, record->window ? record->window->number() : -1);
        record->applicationItems->place(record->titles);
        return record->applicationItems->indexOf(item);
    }
    QMenu* menu = current().menu;
    if (!menu)
        return 0;
    QAction* action = menu->addAction(qtText(parsed.label.c_str()));
    action->setData(item);
    if (parsed.key)
        action->setShortcut(qtKeySequence(*parsed.key));
    // The action lives in the menu, which the record owns: the record outlives the connection.
    // The action, not the menu, is the context: a menu drops every connection from an action to
    // itself when the action moves within it (placeNewAction).
    QObject::connect(action, &QAction::triggered, action,
        [record, item, key = parsed.key] { routeMenuChoice(item, key, record->window); });
    placeNewAction(*record, *menu, action);
    return static_cast<int>(menu->actions().indexOf(action)) + 1;
}

void setMenuItemChecked(int number, int item, int checked)
{
    MenuRecord* record = menuTable().objectRecord(number);
    if (!record)
        return;
    std::vector<QMenu*> menus;
    if (record->popup)
        menus.push_back(record->popupMenu.get());
    for (const auto& title : record->titles)
        menus.push_back(title.get());
    for (QMenu* menu : menus) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || menuItemNumber(*action) != item)
                continue;
            action->setCheckable(true);
            action->setChecked(checked != 0);
        }
    }
}

void menuSeparator()
{
    MenuRecord* record = current().record;
    QMenu* menu = current().menu;
    if (!record || !menu)
        return;
    placeNewAction(*record, *menu, menu->addSeparator());
}

Handle createPopupMenu(int number)
{
    auto& table = menuTable();
    MenuRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    record->popup = true;
    record->popupMenu = std::make_unique<QMenu>();
    record->handle = reinterpret_cast<Handle>(record->popupMenu.get());
    current() = { record, record->popupMenu.get() };
    return number == DYNAMIC_NUMBER ? table.numberOf(record) : record->handle;
}

void displayPopupMenu(int number, Handle window)
{
    MenuRecord* record = menuTable().objectRecord(number);
    WindowContainer* container = windowContainerOfHandle(window);
    if (!record || !record->popup || !container)
        return;
    record->window = container;
    if (g_popupDisplayHook) {
        g_popupDisplayHook(number);
        return;
    }
    record->popupMenu->popup(globalMousePosition());
}
