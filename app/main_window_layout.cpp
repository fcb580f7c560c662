#include "main_window_layout.h"

#include "runtime/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

int pixel(double value)
{
    return static_cast<int>(roundToEven(value));
}

} // namespace

MainWindowLayout mainWindowLayout(double diagramWidth, double diagramHeight)
{
    const double w = std::isfinite(diagramWidth) ? diagramWidth : 0.0;
    const double h = std::isfinite(diagramHeight) ? diagramHeight : 0.0;
    const double column = std::max(h, static_cast<double>(MINIMUM_LAYOUT_HEIGHT));

    MainWindowLayout layout;
    layout.contentWidth = pixel(w + 390);
    layout.contentHeight = pixel(column + STATUS_BAR_HEIGHT);
    layout.diagram = { 0, 0, pixel(w), pixel(h) };

    const int left = pixel(w + 10);
    layout.coords = { left, 10, 180, 20 };
    layout.origin = { left, 30, 180, 20 };
    layout.width = { left, 50, 180, 20 };
    layout.height = { left, 70, 180, 20 };
    layout.message = { left, 100, 180, 90 };
    layout.magnifier = { left, pixel(column - 190), 180, 180 };

    const int right = pixel(w + 200);
    layout.columnSelect = { right, COLUMN_FIELD_SHOWN_Y, 140, 20 };
    layout.renameButton = { pixel(w + 350), 10, 20, 20 };
    layout.columnName = { right, COLUMN_FIELD_PARKED_Y, 140, 20 };
    layout.table = { right, 40, 180, pixel(column - 40) };
    return layout;
}
