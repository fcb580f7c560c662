#pragma once

// What each command does: menu items (from the menu bar, a popup menu, a key equivalent or a
// window shortcut alike) and the gadget events the application answers.

void runMenuCommand(int item);
void runGadgetCommand(int gadget, int type);
