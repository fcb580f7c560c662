#pragma once

#include <vector>

// The displays as the desktop reports them. Plain C++: the core of the toolkit owns this
// interface; it is built over QScreen.
struct PlatformDisplay {
    double x = 0; // desktop coordinates of the top-left corner, device-independent pixels
    double y = 0;
    int width = 0;
    int height = 0;
    int depth = 0; // bits per pixel
    double refreshRate = 0; // hertz; 0 when unknown
    // The part that windows may use: the display less the desktop's panels and docks.
    double availableX = 0;
    double availableY = 0;
    int availableWidth = 0;
    int availableHeight = 0;
};

// The main screen first, then the others in the desktop's order; at most maxCount.
std::vector<PlatformDisplay> listPlatformDisplays(int maxCount);
