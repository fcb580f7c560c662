#pragma once

#include "app/chart_calibration.h"

#include <optional>
#include <string>

// Two clicked points on each axis, in displayed pixels as the user clicked them, with the values
// typed for them: the calibration of a chart whose corner is not on the picture or which was
// scanned askew.
struct AxisMarks {
    AxisMark x1;
    AxisMark x2;
    AxisMark y1;
    AxisMark y2;

    bool operator==(const AxisMarks& other) const;

    // Where the line through the x marks crosses the line through the y marks, in displayed
    // pixels: the corner the marks define. Empty when the lines are parallel.
    [[nodiscard]] std::optional<PixelPoint> crossing() const;
};

// The calibration a point was captured under, as the three calibration clicks and the two
// references set it, or the two marks per axis. Origin and spans are in displayed pixels, as the user clicked
// them; displayScale is how much the picture was reduced for showing (displayed pixels per picture pixel), so
// that points kept in the picture's own pixels find their displayed row again.
struct CaptureCalibration {
    double originX = 0.0;
    double originY = 0.0;
    double spanWidth = 0.0;
    double spanHeight = 0.0;
    double widthReference = 0.0;
    double heightReference = 0.0;
    double displayScale = 1.0;
    // The chart values at the origin; the references are the values at the width end and the
    // height end.
    double originValueX = 0.0;
    double originValueY = 0.0;
    AxisScale xScale = AxisScale::Linear;
    AxisScale yScale = AxisScale::Linear;
    // Set, the marks define the calibration and the corner clicks wait unused.
    std::optional<AxisMarks> axisMarks;

    bool operator==(const CaptureCalibration&) const = default;

    // The picture pixel of a displayed pixel.
    [[nodiscard]] PixelPoint picturePixel(PixelPoint displayed) const;
    // The displayed pixel of a picture pixel. A click is a whole displayed pixel; the division by
    // the scale and the multiplication back may miss it in the last bit, which the float rounding
    // of the value could then show, so a result that close to a whole pixel is that pixel.
    [[nodiscard]] PixelPoint displayedPixel(PixelPoint picture) const;

    // True for the calibration the table has always known: the corner clicks with origin values 0
    // on two linear axes.
    [[nodiscard]] bool isPlainCorner() const;

    // The chart value of a picture pixel: the vertical value, rounded to a 32-bit float as the
    // table stores it; for a plain corner exactly as the table has always computed it. Not finite
    // when the calibration tells nothing (a span is 0, a value not positive on a logarithmic
    // axis) or the value overflows.
    [[nodiscard]] double value(PixelPoint picture) const;
    // The value as the table shows it; empty when it is not finite.
    [[nodiscard]] std::string valueText(PixelPoint picture) const;
    // The horizontal value the same way: for a plain corner widthReference / spanWidth x
    // (x - originX) on the displayed pixel, otherwise under the origin's x value, the x axis's
    // scale or the marks; rounded to a float; and its text.
    [[nodiscard]] double xValue(PixelPoint picture) const;
    [[nodiscard]] std::string xValueText(PixelPoint picture) const;

    // Both chart values at a picture pixel, in full precision; not finite where value() is not.
    [[nodiscard]] ChartPoint chartPoint(PixelPoint picture) const;

    // The same calibration as a general transform over picture pixels; empty while it tells
    // nothing about the chart.
    [[nodiscard]] std::optional<ChartCalibration> chartCalibration() const;
};
