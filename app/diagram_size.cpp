#include "diagram_size.h"

#include "main_window_layout.h"

#include "runtime/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

int wholePixels(double value)
{
    return std::max(1, static_cast<int>(roundToEven(value)));
}

} // namespace

ShownSize shownDiagramSize(int pictureWidth, int pictureHeight, double maxWidth, double maxHeight)
{
    ShownSize size;
    const double w = pictureWidth;
    const double h = pictureHeight;
    size.width = maxWidth > 0 ? maxWidth : w;
    size.height = static_cast<float>(h / w * size.width);
    if (maxHeight > 0 && size.height > maxHeight) {
        // The height bounds the picture: whole pixels of it, and the width that keeps the shape.
        size.height = std::max(1.0, std::floor(maxHeight));
        size.width = w / h * size.height;
    }
    size.pixelWidth = wholePixels(size.width);
    size.pixelHeight = wholePixels(size.height);
    return size;
}

double diagramHeightLimit(int availableHeight)
{
    if (availableHeight <= 0)
        return 0.0;
    return std::max(1, availableHeight - WINDOW_DECORATION_HEIGHT - STATUS_BAR_HEIGHT);
}
