#include "toolkit/window_registry.h"

#include "toolkit/application.h"
#include "toolkit/window.h"

ObjectTable<WindowRecord>& windowTable()
{
    ensurePlatform();
    static ObjectTable<WindowRecord> table(16, closeWindow);
    return table;
}

WindowRecord* windowRecord(int number)
{
    return windowTable().objectRecord(number);
}

PlatformWindow* platformWindow(int number)
{
    WindowRecord* record = windowRecord(number);
    return record ? record->platform.get() : nullptr;
}

std::string shownTitle(const WindowRecord& record)
{
    return record.modified ? "*" + record.title : record.title;
}

PlatformWindow* platformWindowOfHandle(Handle handle)
{
    if (!handle)
        return nullptr;
    PlatformWindow* found = nullptr;
    windowTable().forEachLive([&](int, const WindowRecord& record) {
        if (record.handle == handle)
            found = record.platform.get();
    });
    return found;
}
