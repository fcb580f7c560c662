#pragma once

// The menu bar (File and Data), the popup menus of the diagram and of the table, and the main
// window's keyboard shortcuts. Rebuilt as a whole whenever the column count changes ("Remove
// Last Column" is offered only with more than one column) and for every new main window.

// Which menu addMenuItems fills.
inline constexpr int MENU_PART_BAR = 0;
inline constexpr int MENU_PART_TABLE = 1;
inline constexpr int MENU_PART_DIAGRAM = 2;

void buildMenus();

// Adds the items of one menu to the menu created last.
void addMenuItems(int part);

// The check marks of the options (Capture X and Y, Show Markers) as they stand.
void showOptionChecks();
