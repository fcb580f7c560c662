#pragma once

#include <optional>

// A calibration as a value: how picture pixels map to chart values and back. Each axis is linear
// or logarithmic on its own, may start at any value, and the two axes may lie askew on the picture
// (a scan that is a few degrees off). Pixels are picture pixels, y growing downward.
//
// Inside, a chart value on a logarithmic axis is handled as its decimal logarithm, so that both
// kinds of axis are affine in that space: pixel = origin + (u - u0) * xStep + (v - v0) * yStep.

enum class AxisScale { Linear, Logarithmic };

struct PixelPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const PixelPoint&) const = default;
};

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const ChartPoint&) const = default;
};

// A clicked point on one axis and the value typed for it.
struct AxisMark {
    PixelPoint pixel;
    double value = 0.0;
};

class ChartCalibration {
public:
    // The corner way, as the guided sequence clicks it: the origin, the column of the width end and
    // the row of the height end, with the values they stand for. The axes run along the picture's
    // rows and columns. Empty when a span is zero, two values are equal or not finite, or a
    // logarithmic axis is given a value that is not positive.
    [[nodiscard]] static std::optional<ChartCalibration> fromCorner(PixelPoint origin, double widthEndX,
        double heightEndY, ChartPoint originValue, double widthEndValue, double heightEndValue,
        AxisScale xScale = AxisScale::Linear, AxisScale yScale = AxisScale::Linear);

    // The two-point way: two marks on the x axis and two on the y axis, for charts whose corner is
    // not on the picture or which are scanned askew. The x marks lie on a line of constant y value,
    // the y marks on a line of constant x value; the two lines may cross anywhere. Empty when the
    // marks cannot define the axes (a pair on one pixel, equal values, parallel axes, a value that
    // is not positive on a logarithmic axis).
    [[nodiscard]] static std::optional<ChartCalibration> fromAxisMarks(AxisMark x1, AxisMark x2, AxisMark y1,
        AxisMark y2, AxisScale xScale = AxisScale::Linear, AxisScale yScale = AxisScale::Linear);

    // The chart values at a picture pixel. Not finite where a logarithmic axis overflows.
    [[nodiscard]] ChartPoint toChart(PixelPoint pixel) const;
    // The picture pixel of chart values; a value that is not positive on a logarithmic axis gives a
    // pixel that is not finite.
    [[nodiscard]] PixelPoint toPixel(ChartPoint value) const;

    AxisScale xScale() const { return m_xScale; }
    AxisScale yScale() const { return m_yScale; }

    bool operator==(const ChartCalibration&) const = default;

private:
    ChartCalibration() = default;
    [[nodiscard]] bool invert();

    AxisScale m_xScale = AxisScale::Linear;
    AxisScale m_yScale = AxisScale::Linear;
    PixelPoint m_origin; // the pixel of (u0, v0)
    double m_u0 = 0.0;
    double m_v0 = 0.0;
    PixelPoint m_xStep; // pixels per unit of u
    PixelPoint m_yStep; // pixels per unit of v
    // The inverse of the matrix [xStep yStep]: from a pixel offset back to (du, dv).
    double m_inverse[2][2] = { { 0.0, 0.0 }, { 0.0, 0.0 } };
};
