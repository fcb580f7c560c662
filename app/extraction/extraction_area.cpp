#include "extraction_area.h"

#include <algorithm>
#include <cmath>

namespace {

bool isUsable(double value)
{
    return std::isfinite(value);
}

} // namespace

PixelArea pictureAreaOf(PixelPoint corner, PixelPoint opposite, double displayScale, int width, int height)
{
    if (!(displayScale > 0) || !isUsable(corner.x) || !isUsable(corner.y) || !isUsable(opposite.x)
        || !isUsable(opposite.y))
        return {};
    const double left = std::min(corner.x, opposite.x) / displayScale;
    const double right = std::max(corner.x, opposite.x) / displayScale;
    const double top = std::min(corner.y, opposite.y) / displayScale;
    const double bottom = std::max(corner.y, opposite.y) / displayScale;
    // The rounding of the reduced click may fall half a picture pixel either way; the pixel it
    // falls into belongs to the area.
    const auto clampTo = [](double value, int limit) {
        return static_cast<int>(std::clamp(std::round(value), -1.0, static_cast<double>(limit)));
    };
    PixelArea area { clampTo(left, width), clampTo(top, height), clampTo(right, width) + 1,
        clampTo(bottom, height) + 1 };
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min(area.right, width);
    area.bottom = std::min(area.bottom, height);
    return area.isEmpty() ? PixelArea {} : area;
}

PixelArea dataAreaOf(const CaptureCalibration& calibration, int width, int height)
{
    if (const auto& marks = calibration.axisMarks) {
        double left = marks->x1.pixel.x;
        double right = left;
        double top = marks->x1.pixel.y;
        double bottom = top;
        for (const AxisMark* mark : { &marks->x2, &marks->y1, &marks->y2 }) {
            left = std::min(left, mark->pixel.x);
            right = std::max(right, mark->pixel.x);
            top = std::min(top, mark->pixel.y);
            bottom = std::max(bottom, mark->pixel.y);
        }
        return pictureAreaOf({ left, top }, { right, bottom }, calibration.displayScale, width, height);
    }
    return pictureAreaOf({ calibration.originX, calibration.originY },
        { calibration.originX + calibration.spanWidth, calibration.originY - calibration.spanHeight },
        calibration.displayScale, width, height);
}

std::vector<double> samplesEveryPixels(const PixelArea& area, double step)
{
    std::vector<double> xs;
    if (!(step > 0) || area.isEmpty())
        return xs;
    const double last = area.right - 1;
    const double count = std::floor((last - area.left) / step + 1e-9) + 1;
    if (count > static_cast<double>(MAX_SAMPLES))
        return xs;
    xs.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        xs.push_back(area.left + static_cast<double>(i) * step);
    return xs;
}

std::vector<double> samplesAtChartSteps(
    const PixelArea& area, const ChartCalibration& calibration, double step)
{
    std::vector<double> xs;
    if (!(step > 0) || area.isEmpty())
        return xs;
    const double middleY = (area.top + area.bottom - 1) / 2.0;
    const double first = calibration.toChart({ static_cast<double>(area.left), middleY }).x;
    const double last = calibration.toChart({ static_cast<double>(area.right - 1), middleY }).x;
    if (!isUsable(first) || !isUsable(last))
        return xs;
    const double low = std::min(first, last);
    const double high = std::max(first, last);
    const double lowIndex = std::ceil(low / step - 1e-9);
    const double highIndex = std::floor(high / step + 1e-9);
    if (!isUsable(lowIndex) || !isUsable(highIndex) || highIndex < lowIndex
        || highIndex - lowIndex + 1 > static_cast<double>(MAX_SAMPLES))
        return xs;
    const double middleValue = calibration.toChart({ (area.left + area.right - 1) / 2.0, middleY }).y;
    for (double index = lowIndex; index <= highIndex; ++index) {
        const double x = calibration.toPixel({ index * step, middleValue }).x;
        // The ends were rounded outward by a hair; a sample just outside the area is not in it.
        if (isUsable(x) && x >= area.left - 1e-6 && x <= area.right - 1 + 1e-6)
            xs.push_back(std::clamp(x, static_cast<double>(area.left), static_cast<double>(area.right - 1)));
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}
