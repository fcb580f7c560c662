#pragma once

#include <vector>

// Where a status bar and its fields go (status_bar.h states the rules).

inline constexpr int STATUS_BAR_MIN_HEIGHT = 22;
inline constexpr int STATUS_BAR_SIZE_BOX = 16;
inline constexpr int STATUS_FIELD_GAP = 2;

struct StatusRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const StatusRect&) const = default;
};

struct StatusBarLayout {
    StatusRect bar; // in the window's content area
    std::vector<StatusRect> fields; // in the bar
};

// fieldWidths: pixels or IGNORE_VALUE. Widths that come out negative are 0.
StatusBarLayout layoutStatusBar(
    int contentWidth, int contentHeight, int preferredHeight, const std::vector<int>& fieldWidths);
