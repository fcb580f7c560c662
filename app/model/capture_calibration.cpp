#include "capture_calibration.h"

#include "app/chart_transform.h"

#include <cmath>

namespace {

// Far below a pixel, far above the rounding error of one division and one multiplication.
constexpr double WHOLE_PIXEL_TOLERANCE = 1e-7;

double snapToWhole(double pixel)
{
    const double whole = std::nearbyint(pixel);
    return std::fabs(pixel - whole) <= WHOLE_PIXEL_TOLERANCE * std::fmax(1.0, std::fabs(pixel)) ? whole
                                                                                                : pixel;
}

} // namespace

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
    return chartValue(heightReference, spanHeight, originY, displayedPixel(picture).y);
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
    return chartValue(widthReference, spanWidth, displayedPixel(picture).x, originX);
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
    const PixelPoint origin { originX / scale, originY / scale };
    return ChartCalibration::fromCorner(origin, (originX + spanWidth) / scale, (originY - spanHeight) / scale,
        ChartPoint {}, widthReference, heightReference);
}
