#include "app/model/capture_calibration.h"

#include "app/chart_transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Origin (40, 250) on the display, 320 pixels of width and 200 of height.
CaptureCalibration corner(double scale = 1.0)
{
    CaptureCalibration calibration;
    calibration.originX = 40;
    calibration.originY = 250;
    calibration.spanWidth = 320;
    calibration.spanHeight = 200;
    calibration.widthReference = 6;
    calibration.heightReference = 100;
    calibration.displayScale = scale;
    return calibration;
}

TEST(CaptureCalibration, APlainCornerKeepsTheTablesFormula)
{
    for (const double scale : { 1.0, 0.75, 0.5 }) {
        const CaptureCalibration calibration = corner(scale);
        ASSERT_TRUE(calibration.isPlainCorner());
        for (const double row : { 250.0, 150.0, 51.0, 13.0, 400.0 }) {
            const PixelPoint picture = calibration.picturePixel({ 100, row });
            EXPECT_EQ(calibration.value(picture), chartValue(100, 200, 250, row)) << scale << " " << row;
        }
    }
}

TEST(CaptureCalibration, WhatMakesACalibrationMoreThanAPlainCorner)
{
    CaptureCalibration origin = corner();
    origin.originValueY = 1;
    CaptureCalibration logarithmic = corner();
    logarithmic.xScale = AxisScale::Logarithmic;
    CaptureCalibration marks = corner();
    marks.axisMarks = AxisMarks {};
    for (const CaptureCalibration& c : { origin, logarithmic, marks }) {
        EXPECT_FALSE(c.isPlainCorner());
        EXPECT_NE(c, corner());
    }
    CaptureCalibration otherMark = marks;
    otherMark.axisMarks->y2.value = 3;
    EXPECT_NE(otherMark, marks);
}

TEST(CaptureCalibration, ValuesOfAxesThatDoNotStartAtZeroOrAreLogarithmic)
{
    struct Case {
        double originValueX, originValueY, widthReference, heightReference;
        AxisScale xScale, yScale;
        PixelPoint displayed;
        double x, y;
    };
    const auto lin = AxisScale::Linear;
    const auto log = AxisScale::Logarithmic;
    const Case cases[] = {
        // The references are the values at the ends, so the origin values shift and stretch.
        { 10, 5, 16, 105, lin, lin, { 200, 150 }, 13, 55 },
        { -2, -50, 6, 50, lin, lin, { 40, 250 }, -2, -50 },
        // Half way up a logarithmic axis from 1 to 100 is 10; a quarter across from 1 to 10000.
        { 1, 1, 10000, 100, log, log, { 120, 150 }, 10, 10 },
        { 0, 1, 6, 1000, lin, log, { 360, 50 }, 6, 1000 },
    };
    for (const double scale : { 1.0, 0.5 }) {
        for (const Case& c : cases) {
            CaptureCalibration calibration = corner(scale);
            calibration.originValueX = c.originValueX;
            calibration.originValueY = c.originValueY;
            calibration.widthReference = c.widthReference;
            calibration.heightReference = c.heightReference;
            calibration.xScale = c.xScale;
            calibration.yScale = c.yScale;
            const PixelPoint picture = calibration.picturePixel(c.displayed);
            const ChartPoint chart = calibration.chartPoint(picture);
            EXPECT_NEAR(chart.x, c.x, 1e-9 * std::fabs(c.x) + 1e-9) << c.displayed.x;
            EXPECT_NEAR(chart.y, c.y, 1e-9 * std::fabs(c.y) + 1e-9) << c.displayed.y;
            EXPECT_EQ(calibration.value(picture), static_cast<double>(static_cast<float>(chart.y)));
            // The x value of "Capture X and Y" follows the same axis.
            EXPECT_EQ(calibration.xValue(picture), static_cast<double>(static_cast<float>(chart.x)))
                << c.displayed.x;
        }
    }
}

TEST(CaptureCalibration, TheXValueNeedsOnlyTheHorizontalAxis)
{
    CaptureCalibration calibration = corner();
    calibration.heightReference = 0; // never set
    calibration.originValueX = 1990;
    calibration.widthReference = 2020;
    EXPECT_EQ(calibration.xValue({ 200, 150 }), 2005);
    EXPECT_EQ(calibration.xValueText({ 200, 150 }), "2005.00");
}

TEST(CaptureCalibration, TheValueNeedsOnlyTheVerticalAxis)
{
    CaptureCalibration calibration = corner();
    calibration.widthReference = 0; // never set, and equal to the origin value
    calibration.originValueY = 20;
    calibration.heightReference = 120;
    EXPECT_EQ(calibration.value({ 0, 150 }), 70);
    EXPECT_FALSE(std::isfinite(calibration.chartPoint({ 0, 150 }).x));
}

TEST(CaptureCalibration, ValuesALogarithmicAxisCannotTakeGiveNoValue)
{
    struct Case {
        double originValueY, heightReference;
    };
    for (const Case& c :
        { Case { 0, 100 }, Case { 1, 0 }, Case { -1, 100 }, Case { 1, -100 }, Case { 10, 10 } }) {
        CaptureCalibration calibration = corner();
        calibration.yScale = AxisScale::Logarithmic;
        calibration.originValueY = c.originValueY;
        calibration.heightReference = c.heightReference;
        EXPECT_FALSE(std::isfinite(calibration.value({ 100, 150 })))
            << c.originValueY << " " << c.heightReference;
        EXPECT_EQ(calibration.valueText({ 100, 150 }), "");
    }
}

// A chart drawn upright at 4 pixels per x unit and 3 per y unit, turned about (260, 230).
PixelPoint drawn(double u, double v, double degrees)
{
    const double angle = degrees * M_PI / 180.0;
    const double x = 60 + 4 * u - 260;
    const double y = 380 - 3 * v - 230;
    return { 260 + x * std::cos(angle) - y * std::sin(angle),
        230 + x * std::sin(angle) + y * std::cos(angle) };
}

TEST(CaptureCalibration, MarksOnAScanTurnedAskew)
{
    for (const double degrees : { 0.0, 3.0, -5.0 }) {
        for (const double scale : { 1.0, 0.5 }) {
            CaptureCalibration calibration;
            calibration.displayScale = scale;
            // The marks lie off the corner: the x marks on the line v = 20, the y marks on u = 30.
            calibration.axisMarks
                = AxisMarks { { drawn(10, 20, degrees), 10 }, { drawn(90, 20, degrees), 90 },
                      { drawn(30, 10, degrees), 10 }, { drawn(30, 80, degrees), 80 } };
            const ChartPoint chart = calibration.chartPoint(calibration.picturePixel(drawn(55, 47, degrees)));
            EXPECT_NEAR(chart.x, 55, 1e-9) << degrees;
            EXPECT_NEAR(chart.y, 47, 1e-9) << degrees;
            EXPECT_NEAR(calibration.xValue(calibration.picturePixel(drawn(55, 47, degrees))), 55, 1e-5);
        }
    }
}

TEST(CaptureCalibration, MarksThatCannotDefineTheAxesGiveNoValue)
{
    CaptureCalibration calibration;
    calibration.axisMarks
        = AxisMarks { { { 10, 300 }, 1 }, { { 10, 300 }, 9 }, { { 20, 290 }, 1 }, { { 20, 100 }, 100 } };
    EXPECT_FALSE(calibration.chartCalibration());
    EXPECT_EQ(calibration.valueText({ 50, 200 }), "");
    calibration.axisMarks->x2.pixel = { 400, 300 };
    EXPECT_TRUE(calibration.chartCalibration());
    calibration.yScale = AxisScale::Logarithmic;
    calibration.axisMarks->y1.value = 0;
    EXPECT_FALSE(calibration.chartCalibration());
}

} // namespace
