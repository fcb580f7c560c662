#include "status_prompt.h"

#include "app_ids.h"
#include "project/project_commands.h"

#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/status_bar.h"
#include "toolkit/timers.h"
#include "toolkit/window.h"

String statusText;
int blinkVisible = 0;
int blinkTicks = 0;

void setStatus(const char* message, const char* title)
{
    statusText = message;
    addWindowTimer(WINDOW_MAIN, TIMER_BLINK, BLINK_INTERVAL_MS);
    blinkTicks = 0;
    blinkVisible = 0;
    setWindowTitle(WINDOW_MAIN, WorkText(PRODUCT_NAME, projectTitlePart(), " / ", title));
    statusBarText(STATUSBAR_MAIN, 0, title, STATUS_FIELD_BORDERLESS);
}

void blinkStep()
{
    if (blinkVisible == 1) {
        blinkVisible = 0;
        setGadgetText(GADGET_MESSAGE, "");
    } else {
        blinkVisible = 1;
        setGadgetText(GADGET_MESSAGE, statusText);
    }
    if (++blinkTicks >= BLINK_TICKS) {
        removeWindowTimer(WINDOW_MAIN, TIMER_BLINK);
        blinkTicks = 0;
        blinkVisible = 0;
    }
}

void showResult(const char* text)
{
    statusBarText(STATUSBAR_MAIN, 0, text, STATUS_FIELD_BORDERLESS);
}

namespace {
String g_chartPosition;
}

void showChartPosition(const char* text)
{
    if (stringsEqual(g_chartPosition, text))
        return;
    g_chartPosition = text;
    statusBarText(STATUSBAR_MAIN, 1, text, STATUS_FIELD_BORDERLESS);
}

void showNotice(const char* text)
{
    showChartPosition(text);
}

void clearChartPosition()
{
    g_chartPosition = "";
}

void resetStatusPrompt()
{
    g_chartPosition = "";
    statusText = "";
    blinkVisible = 0;
    blinkTicks = 0;
}
