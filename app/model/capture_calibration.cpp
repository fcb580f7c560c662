#include "capture_calibration.h"

#include "app/chart_transform.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Far below a pixel, far above the rounding error of one division and one multiplication.
constexpr double WHOLE_PIXEL_TOLERANCE = 1e-7;

double snapToWhole(double pixel)
{
    const double whole = std::nearbyint(pixel);
    return std::fabs(pixel - whole) <= WHOLE_PIXEL_TOLERANCE * std::fmax(1.0, std::fabs(pixel)) ? whole
                                                                                                : pixel;
}

bool sameMark(const AxisMark& a, const AxisMark& b)
{
    return a.pixel.x == b.pixel.x && a.pixel.y == b.pixel.y && a.value == b.value;
}

// A mark clicked on the display, on the picture.
AxisMark pictureMark(const AxisMark& mark, double scale)
{
    return { { mark.pixel.x / scale, mark.pixel.y / scale }, mark.value };
}

// Rounded to a 32-bit float, as the table stores values; beyond the float range the conversion
// is undefined, so such a value overflows to infinity.
double storedValue(double value)
{
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return std::copysign(std::numeric_limits<double>::infinity(), value);
    return static_cast<double>(static_cast<float>(value));
}

} // namespace

bool AxisMarks::operator==(const AxisMarks& other) const
{
    return sameMark(x1, other.x1) && sameMark(x2, other.x2) && sameMark(y1, other.y1)
        && sameMark(y2, other.y2);
}

bool CaptureCalibration::isPlainCorner() const
{
    return !axisMarks && originValueX == 0.0 && originValueY == 0.0 && xScale == AxisScale::Linear
        && yScale == AxisScale::Linear;
}

PixelPoint CaptureCalibration::picturePixel(PixelPoint displayed) const
{
    if (displayScale == 1.0 || !(displayScale > 0))
        return displayed;
    return { displayed.x / displayScale, displayed.y / displayScale };
}

PixelPoint CaptureCalibration::displayedPixel(PixelPoint picture) const
{
    if (displayScale == 1.0 || !(displayScale > 0))
        return picture;
    return { snapToWhole(picture.x * displayScale), snapToWhole(picture.y * displayScale) };
}

double CaptureCalibration::value(PixelPoint picture) const
{
    if (isPlainCorner())
        return chartValue(heightReference, spanHeight, originY, displayedPixel(picture).y);
    if (axisMarks)
        return storedValue(chartPoint(picture).y);
    // On the corner way the value depends on the vertical calibration alone, as it always did: a
    // width not yet set must not keep a capture from its value, so a stand-in horizontal axis is
    // used.
    const double scale = displayScale > 0 ? displayScale : 1.0;
    const std::optional<ChartCalibration> vertical = ChartCalibration::fromCorner(
        { originX / scale, originY / scale }, originX / scale + 1.0, (originY - spanHeight) / scale,
        ChartPoint { 0.0, originValueY }, 1.0, heightReference, AxisScale::Linear, yScale);
    if (!vertical)
        return std::numeric_limits<double>::quiet_NaN();
    return storedValue(vertical->toChart(picture).y);
}

ChartPoint CaptureCalibration::chartPoint(PixelPoint picture) const
{
    const std::optional<ChartCalibration> calibration = chartCalibration();
    if (!calibration) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return { none, none };
    }
    return calibration->toChart(picture);
}

std::string CaptureCalibration::valueText(PixelPoint picture) const
{
    const double chart = value(picture);
    if (!std::isfinite(chart))
        return std::string();
    return ::valueText(chart).c_str();
}

double CaptureCalibration::xValue(PixelPoint picture) const
{
    // chartValue measures from its origin against the direction of the pixels (rows grow
    // downward, values upward); columns and values both grow to the right, so the roles of the
    // origin and the pixel swap.
    if (isPlainCorner())
        return chartValue(widthReference, spanWidth, displayedPixel(picture).x, originX);
    if (axisMarks)
        return storedValue(chartPoint(picture).x);
    // The origin's value and the kind of axis count as they do for the vertical value; a height
    // not yet set must not keep the point from its x value, so a stand-in vertical axis is used.
    const double scale = displayScale > 0 ? displayScale : 1.0;
    const std::optional<ChartCalibration> horizontal = ChartCalibration::fromCorner(
        { originX / scale, originY / scale }, (originX + spanWidth) / scale, originY / scale - 1.0,
        ChartPoint { originValueX, 0.0 }, widthReference, 1.0, xScale, AxisScale::Linear);
    if (!horizontal)
        return std::numeric_limits<double>::quiet_NaN();
    return storedValue(horizontal->toChart(picture).x);
}

std::string CaptureCalibration::xValueText(PixelPoint picture) const
{
    const double chart = xValue(picture);
    if (!std::isfinite(chart))
        return std::string();
    return ::valueText(chart).c_str();
}

std::optional<ChartCalibration> CaptureCalibration::chartCalibration() const
{
    const double scale = displayScale > 0 ? displayScale : 1.0;
    if (axisMarks) {
        return ChartCalibration::fromAxisMarks(pictureMark(axisMarks->x1, scale),
            pictureMark(axisMarks->x2, scale), pictureMark(axisMarks->y1, scale),
            pictureMark(axisMarks->y2, scale), xScale, yScale);
    }
    const PixelPoint origin { originX / scale, originY / scale };
    return ChartCalibration::fromCorner(origin, (originX + spanWidth) / scale, (originY - spanHeight) / scale,
        ChartPoint { originValueX, originValueY }, widthReference, heightReference, xScale, yScale);
}

std::optional<PixelPoint> AxisMarks::crossing() const
{
    const double ax = x2.pixel.x - x1.pixel.x;
    const double ay = x2.pixel.y - x1.pixel.y;
    const double bx = y2.pixel.x - y1.pixel.x;
    const double by = y2.pixel.y - y1.pixel.y;
    const double denominator = ax * by - ay * bx;
    if (denominator == 0 || !std::isfinite(denominator))
        return std::nullopt;
    const double t = ((y1.pixel.x - x1.pixel.x) * by - (y1.pixel.y - x1.pixel.y) * bx) / denominator;
    return PixelPoint { x1.pixel.x + t * ax, x1.pixel.y + t * ay };
}
