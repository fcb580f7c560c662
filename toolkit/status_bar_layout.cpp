#include "toolkit/status_bar_layout.h"

#include "runtime/object_number.h"

#include <algorithm>

StatusBarLayout layoutStatusBar(
    int contentWidth, int contentHeight, int preferredHeight, const std::vector<int>& fieldWidths)
{
    StatusBarLayout layout;
    const int height = std::max(preferredHeight, STATUS_BAR_MIN_HEIGHT);
    layout.bar = { 0, contentHeight - height, std::max(contentWidth - STATUS_BAR_SIZE_BOX, 0), height };

    int used = 0;
    int shared = 0;
    for (int width : fieldWidths) {
        if (width == IGNORE_VALUE)
            ++shared;
        used += (width == IGNORE_VALUE ? 0 : std::max(width, 0)) + STATUS_FIELD_GAP;
    }
    const int sharedWidth = shared ? std::max((layout.bar.width - used) / shared, 0) : 0;

    int x = 1;
    for (int width : fieldWidths) {
        const int fieldWidth = width == IGNORE_VALUE ? sharedWidth : std::max(width, 0);
        layout.fields.push_back({ x, 1, fieldWidth, std::max(height - 2, 0) });
        x += fieldWidth + STATUS_FIELD_GAP;
    }
    return layout;
}
