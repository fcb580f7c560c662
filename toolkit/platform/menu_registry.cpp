// The menu registry.
// Implements: menuTable (ObjectTable of MenuRecord, growth 16, freed through freeMenu of
// menus.cpp), qtPopupMenu.

#include "toolkit/platform/menu_registry.h"

#include "toolkit/application.h"

ObjectTable<MenuRecord>& menuTable()
{
    ensurePlatform();
    static ObjectTable<MenuRecord> table(16, freeMenu);
    return table;
}

QMenu* qtPopupMenu(int number)
{
    MenuRecord* record = menuTable().objectRecord(number);
    return record && record->popup ? record->popupMenu.get() : nullptr;
}
