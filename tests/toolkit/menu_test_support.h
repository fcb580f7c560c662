#pragma once

#include "toolkit/menus.h"

#include "toolkit_test_support.h"

#include <QAction>
#include <QMenu>

#include <utility>
#include <vector>

// Helpers of the menu and shortcut tests.

// An EVENT_MENU as the application sees it: item and window.
using MenuEvent = std::pair<int, int>;

// Every EVENT_MENU that the next waits deliver, until the desktop is quiet and the queue empty;
// other events are dropped.
inline std::vector<MenuEvent> menuEvents()
{
    std::vector<MenuEvent> events;
    for (int pass = 0; pass < 200; ++pass) {
        const int code = waitEvent(pass == 0 ? 0 : 10);
        if (code == EVENT_MENU)
            events.emplace_back(lastEventMenuItem(), lastEventWindow());
        else if (code == EVENT_NONE && queuedEventCount() == 0)
            break;
    }
    return events;
}

// The texts of a menu's actions, "-" for a separator.
inline std::vector<QString> actionTexts(const QMenu& menu)
{
    std::vector<QString> texts;
    for (QAction* action : menu.actions())
        texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

class MenuTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        initMenus();
    }

    void TearDown() override
    {
        freeAllMenus();
        ToolkitTest::TearDown();
    }
};
