#include "toolkit/desktop.h"

#include "toolkit/platform_desktop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// The snapshot keeps each value in 16 bits; a value beyond that range is held at its end
// instead of wrapping round to the other sign.
struct DisplayRecord {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t frequency = 0;
    std::int16_t depth = 0;
    std::int16_t availableX = 0;
    std::int16_t availableY = 0;
    std::int16_t availableWidth = 0;
    std::int16_t availableHeight = 0;
};

std::vector<DisplayRecord>& snapshot()
{
    static std::vector<DisplayRecord> displays;
    return displays;
}

std::int16_t to16(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limited = std::clamp(std::trunc(value), double(std::numeric_limits<std::int16_t>::min()),
        double(std::numeric_limits<std::int16_t>::max()));
    return static_cast<std::int16_t>(limited);
}

const DisplayRecord* display(int index)
{
    const auto& displays = snapshot();
    if (index < 0 || index >= static_cast<int>(displays.size()))
        return nullptr;
    return &displays[static_cast<std::size_t>(index)];
}

} // namespace

int examineDesktops()
{
    auto& displays = snapshot();
    displays.clear();
    for (const PlatformDisplay& platform : listPlatformDisplays(MAX_DESKTOPS)) {
        DisplayRecord record;
        record.x = to16(platform.x);
        record.y = to16(platform.y);
        record.width = to16(platform.width);
        record.height = to16(platform.height);
        record.frequency = to16(platform.refreshRate);
        record.depth = to16(platform.depth);
        record.availableX = to16(platform.availableX);
        record.availableY = to16(platform.availableY);
        record.availableWidth = to16(platform.availableWidth);
        record.availableHeight = to16(platform.availableHeight);
        displays.push_back(record);
    }
    return static_cast<int>(displays.size());
}

int desktopX(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->x : 0;
}

int desktopY(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->y : 0;
}

int desktopWidth(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->width : 0;
}

int desktopHeight(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->height : 0;
}

int desktopDepth(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->depth : 0;
}

int desktopFrequency(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->frequency : 0;
}

int desktopAvailableX(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->availableX : 0;
}

int desktopAvailableY(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->availableY : 0;
}

int desktopAvailableWidth(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->availableWidth : 0;
}

int desktopAvailableHeight(int index)
{
    const DisplayRecord* record = display(index);
    return record ? record->availableHeight : 0;
}
