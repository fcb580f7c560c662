#pragma once

// "Open Recent" in the File menu of the menu bar: the pictures and projects opened last, one item
// each (MENU_RECENT_FILE_FIRST onwards), most recent first, without the picture shown. The items
// show the list as it stood when the menus were built.

// Appends the items to the current menu, after a separator; nothing when the list is empty.
void addRecentFileItems();

// Whether the menu item is one of the list's.
[[nodiscard]] bool isRecentFileItem(int item);

// Opens the entry of the item as Open Diagram does (a project as Open Project does), after the
// unsaved-data question; an entry whose file is gone is dropped from the list with a word to the
// user.
void openRecentFile(int item);
