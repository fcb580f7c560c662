#pragma once

// 1 once a quit was confirmed: the event loop ends.
extern int quitRequested;

// What each command does: menu items (from the menu bar, a popup menu, a key equivalent or a
// window shortcut alike) and the gadget events the application answers.

void runMenuCommand(int item);
void runGadgetCommand(int gadget, int type);

// A file dropped on the main window: a .csv file becomes the table, anything else opens as the
// diagram (after the unsaved-data question in both cases).
void openDroppedFile();
