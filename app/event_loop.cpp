#include "event_loop.h"

#include "app_ids.h"
#include "calibration.h"
#include "commands.h"
#include "data_table.h"
#include "extraction/extraction_commands.h"
#include "session/autosave.h"
#include "status_prompt.h"

#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/file_drops.h"
#include "toolkit/wait_event.h"

int eventCode = 0;
int eventGadget = 0;
int eventType = 0;
int eventMenuItem = 0;

void runEventLoopPass()
{
    eventCode = waitEvent(EVENT_WAIT_MS);
    trackMouse();
    switch (eventCode) {
    case EVENT_TIMER:
        blinkStep();
        break;
    case EVENT_GADGET:
        eventGadget = lastEventGadget();
        eventType = lastEventType();
        runGadgetCommand(eventGadget, eventType);
        refreshDataModified();
        break;
    case EVENT_MENU:
        eventMenuItem = lastEventMenuItem();
        runMenuCommand(eventMenuItem);
        refreshDataModified();
        break;
    case EVENT_FILES_DROPPED:
        openDroppedFile();
        refreshDataModified();
        break;
    case EVENT_CLOSE_WINDOW:
        // The close box is how Linux users quit: the same question as Quit.
        if (lastEventWindow() == WINDOW_MAIN)
            runMenuCommand(MENU_ITEM_QUIT);
        break;
    default:
        break;
    }
    pollExtraction();
    autosaveStep();
}

void runEventLoop()
{
    while (quitRequested != 1)
        runEventLoopPass();
}
