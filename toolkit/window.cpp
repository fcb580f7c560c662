#include "toolkit/window.h"

#include "toolkit/event_queue.h"
#include "toolkit/gadget_list.h"
#include "toolkit/timers.h"
#include "toolkit/window_registry.h"

#include <algorithm>

namespace {

unsigned long long g_openedWindows = 0;

int clampSize(int size)
{
    return std::clamp(size, 1, MAX_WINDOW_SIZE);
}

void showTitle(WindowRecord& record)
{
    record.platform->setTitle(shownTitle(record).c_str());
}

} // namespace

Handle openWindow(int number, int x, int y, int width, int height, const char* title, int flags)
{
    WindowOptions options;
    options.width = clampSize(width);
    options.height = clampSize(height);
    if (x != IGNORE_VALUE && y != IGNORE_VALUE) {
        options.x = x;
        options.y = y;
    }
    options.title = title;
    options.flags = flags;

    auto& table = windowTable();
    WindowRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    options.number = number == DYNAMIC_NUMBER ? table.numberOf(record) : number;

    std::unique_ptr<PlatformWindow> platform = createPlatformWindow(options);
    if (!platform) {
        // A fixed number stays reserved but holds no window; a dynamic one was never handed out.
        if (number == DYNAMIC_NUMBER)
            table.releaseObject(options.number);
        return 0;
    }
    record->handle = reinterpret_cast<Handle>(platform.get());
    record->platform = std::move(platform);
    record->flags = flags;
    record->openSerial = ++g_openedWindows;
    if (title)
        record->title = title;

    if (!(flags & WINDOW_NO_GADGET_LIST))
        makeGadgetListCurrent(options.number);
    return number == DYNAMIC_NUMBER ? options.number : record->handle;
}

Handle openWindowSimple(int number, int x, int y, int width, int height, const char* title)
{
    return openWindow(number, x, y, width, height, title, WINDOW_CLOSE_BOX);
}

void closeWindow(int number)
{
    auto& table = windowTable();
    WindowRecord* record = table.objectRecord(number);
    if (!record)
        return;
    stopWindowTimers(*record);
    forgetGadgetList(number);
    record->platform.reset();
    // After the destruction, which may have made gadgets post their last events.
    discardWindowEvents(number);
    table.releaseObject(number);
}

void closeAllWindows()
{
    windowTable().freeAllObjects();
}

int isWindow(int number)
{
    return windowRecord(number) ? 1 : 0;
}

Handle windowHandle(int number)
{
    WindowRecord* record = windowRecord(number);
    return record ? record->handle : 0;
}

void setWindowTitle(int number, const char* title)
{
    WindowRecord* record = windowRecord(number);
    if (!record || !title)
        return;
    record->title = title;
    showTitle(*record);
}

void setWindowModified(int number, int modified)
{
    WindowRecord* record = windowRecord(number);
    if (!record || record->modified == (modified != 0))
        return;
    record->modified = modified != 0;
    showTitle(*record);
}

int isWindowModified(int number)
{
    const WindowRecord* record = windowRecord(number);
    return record && record->modified ? 1 : 0;
}

void resizeWindow(int number, int x, int y, int width, int height)
{
    PlatformWindow* window = platformWindow(number);
    if (!window)
        return;
    if (x != IGNORE_VALUE || y != IGNORE_VALUE)
        window->moveFrame(x, y);
    if (width != IGNORE_VALUE || height != IGNORE_VALUE)
        window->setContentSize(width == IGNORE_VALUE ? width : clampSize(width),
            height == IGNORE_VALUE ? height : clampSize(height));
}

int windowWidth(int number)
{
    PlatformWindow* window = platformWindow(number);
    return window ? window->contentWidth() : 0;
}

int windowHeight(int number)
{
    PlatformWindow* window = platformWindow(number);
    return window ? window->contentHeight() : 0;
}

int windowMouseX(int number)
{
    PlatformWindow* window = platformWindow(number);
    if (!window)
        return 0;
    int x = 0;
    int y = 0;
    return window->mouseInContent(x, y) ? x : -1;
}

int windowMouseY(int number)
{
    PlatformWindow* window = platformWindow(number);
    if (!window)
        return 0;
    int x = 0;
    int y = 0;
    return window->mouseInContent(x, y) ? y : -1;
}

void stickyWindow(int number, int flag)
{
    if (PlatformWindow* window = platformWindow(number))
        window->setSticky(flag != 0);
}

void initWindows()
{
    windowTable();
}
