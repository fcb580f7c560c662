#include "chart_calibration.h"

#include <cmath>

namespace {

// A chart value in the axis's affine space: itself, or its decimal logarithm. Not finite for a
// value the axis cannot hold.
double axisUnit(AxisScale scale, double value)
{
    if (scale == AxisScale::Linear)
        return value;
    return value > 0.0 ? std::log10(value) : std::nan("");
}

double axisValue(AxisScale scale, double unit)
{
    return scale == AxisScale::Linear ? unit : std::pow(10.0, unit);
}

// Two values an axis can be calibrated by: both representable, and apart.
bool usablePair(double first, double second)
{
    return std::isfinite(first) && std::isfinite(second) && first != second;
}

bool finitePoint(PixelPoint point)
{
    return std::isfinite(point.x) && std::isfinite(point.y);
}

} // namespace

std::optional<ChartCalibration> ChartCalibration::fromCorner(PixelPoint origin, double widthEndX,
    double heightEndY, ChartPoint originValue, double widthEndValue, double heightEndValue, AxisScale xScale,
    AxisScale yScale)
{
    ChartCalibration calibration;
    calibration.m_xScale = xScale;
    calibration.m_yScale = yScale;
    const double u0 = axisUnit(xScale, originValue.x);
    const double u1 = axisUnit(xScale, widthEndValue);
    const double v0 = axisUnit(yScale, originValue.y);
    const double v1 = axisUnit(yScale, heightEndValue);
    if (!usablePair(u0, u1) || !usablePair(v0, v1) || !finitePoint(origin) || !std::isfinite(widthEndX)
        || !std::isfinite(heightEndY))
        return std::nullopt;
    calibration.m_origin = origin;
    calibration.m_u0 = u0;
    calibration.m_v0 = v0;
    calibration.m_xStep = { (widthEndX - origin.x) / (u1 - u0), 0.0 };
    calibration.m_yStep = { 0.0, (heightEndY - origin.y) / (v1 - v0) };
    if (!calibration.invert())
        return std::nullopt;
    return calibration;
}

std::optional<ChartCalibration> ChartCalibration::fromAxisMarks(
    AxisMark x1, AxisMark x2, AxisMark y1, AxisMark y2, AxisScale xScale, AxisScale yScale)
{
    const double ua = axisUnit(xScale, x1.value);
    const double ub = axisUnit(xScale, x2.value);
    const double va = axisUnit(yScale, y1.value);
    const double vb = axisUnit(yScale, y2.value);
    if (!usablePair(ua, ub) || !usablePair(va, vb))
        return std::nullopt;
    for (const AxisMark& mark : { x1, x2, y1, y2 }) {
        if (!finitePoint(mark.pixel))
            return std::nullopt;
    }
    // The x axis is the line through the x marks, the y axis the line through the y marks; where
    // they cross, both values are known by interpolation along each line.
    const PixelPoint alongX { x2.pixel.x - x1.pixel.x, x2.pixel.y - x1.pixel.y };
    const PixelPoint alongY { y2.pixel.x - y1.pixel.x, y2.pixel.y - y1.pixel.y };
    const double lengths = std::hypot(alongX.x, alongX.y) * std::hypot(alongY.x, alongY.y);
    const double determinant = alongY.x * alongX.y - alongX.x * alongY.y;
    // Axes closer to parallel than about a thousandth of a degree define no plane.
    if (!(lengths > 0.0) || !(std::fabs(determinant) > 1e-5 * lengths))
        return std::nullopt;
    const PixelPoint between { y1.pixel.x - x1.pixel.x, y1.pixel.y - x1.pixel.y };
    const double s = (alongY.x * between.y - between.x * alongY.y) / determinant;
    const double t = (alongX.x * between.y - between.x * alongX.y) / determinant;

    ChartCalibration calibration;
    calibration.m_xScale = xScale;
    calibration.m_yScale = yScale;
    calibration.m_origin = { x1.pixel.x + s * alongX.x, x1.pixel.y + s * alongX.y };
    calibration.m_u0 = ua + s * (ub - ua);
    calibration.m_v0 = va + t * (vb - va);
    calibration.m_xStep = { alongX.x / (ub - ua), alongX.y / (ub - ua) };
    calibration.m_yStep = { alongY.x / (vb - va), alongY.y / (vb - va) };
    if (!calibration.invert())
        return std::nullopt;
    return calibration;
}

bool ChartCalibration::invert()
{
    const double determinant = m_xStep.x * m_yStep.y - m_yStep.x * m_xStep.y;
    if (!std::isfinite(determinant) || determinant == 0.0)
        return false;
    m_inverse[0][0] = m_yStep.y / determinant;
    m_inverse[0][1] = -m_yStep.x / determinant;
    m_inverse[1][0] = -m_xStep.y / determinant;
    m_inverse[1][1] = m_xStep.x / determinant;
    for (const auto& row : m_inverse) {
        if (!std::isfinite(row[0]) || !std::isfinite(row[1]))
            return false;
    }
    return finitePoint(m_origin) && std::isfinite(m_u0) && std::isfinite(m_v0);
}

ChartPoint ChartCalibration::toChart(PixelPoint pixel) const
{
    const double dx = pixel.x - m_origin.x;
    const double dy = pixel.y - m_origin.y;
    const double u = m_u0 + m_inverse[0][0] * dx + m_inverse[0][1] * dy;
    const double v = m_v0 + m_inverse[1][0] * dx + m_inverse[1][1] * dy;
    return { axisValue(m_xScale, u), axisValue(m_yScale, v) };
}

PixelPoint ChartCalibration::toPixel(ChartPoint value) const
{
    const double du = axisUnit(m_xScale, value.x) - m_u0;
    const double dv = axisUnit(m_yScale, value.y) - m_v0;
    return { m_origin.x + du * m_xStep.x + dv * m_yStep.x, m_origin.y + du * m_xStep.y + dv * m_yStep.y };
}
