#include "app/chart_calibration.h"
#include "app/chart_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A chart drawn with known axes: value space to pixels through a rotation about the picture's
// top-left corner, the way a scan that is a few degrees off shows it.
struct DrawnChart {
    double left, bottom, pixelsPerX, pixelsPerY, degrees;
    double x0, y0; // values at (left, bottom) before rotation
    bool logY = false;

    PixelPoint pixelOf(double x, double y) const
    {
        const double v = logY ? std::log10(y) - std::log10(y0) : y - y0;
        const double upright[2] = { left + (x - x0) * pixelsPerX, bottom - v * pixelsPerY };
        const double angle = degrees * std::numbers::pi / 180.0;
        return { upright[0] * std::cos(angle) - upright[1] * std::sin(angle),
            upright[0] * std::sin(angle) + upright[1] * std::cos(angle) };
    }
};

void expectNear(ChartPoint actual, double x, double y, double tolerance)
{
    EXPECT_NEAR(actual.x, x, tolerance * std::max(1.0, std::fabs(x)));
    EXPECT_NEAR(actual.y, y, tolerance * std::max(1.0, std::fabs(y)));
}

TEST(ChartCalibration, CornerWithZeroOriginGivesTheReadoutArithmetic)
{
    // The sample chart's calibration: origin (80, 620), width end at x 880, height end at y 120.
    const auto calibration = ChartCalibration::fromCorner({ 80, 620 }, 880, 120, { 0, 0 }, 8, 100);
    ASSERT_TRUE(calibration);
    for (const double row : { 620.0, 520.0, 120.0, 700.0, 333.25 }) {
        const ChartPoint value = calibration->toChart({ 300, row });
        EXPECT_NEAR(value.y, 100.0 / 500.0 * (620.0 - row), 1e-12) << row;
        EXPECT_NEAR(value.x, 8.0 / 800.0 * (300.0 - 80.0), 1e-12);
        // Through single precision, as the table keeps values, the cells read the same.
        EXPECT_EQ(std::string(valueText(static_cast<float>(value.y)).c_str()),
            std::string(valueText(chartValue(100, 500, 620, row)).c_str()));
    }
}

TEST(ChartCalibration, AxesThatStartAnywhere)
{
    // Years 1990 to 2020 across, 20 to 80 up.
    const auto calibration = ChartCalibration::fromCorner({ 100, 500 }, 700, 100, { 1990, 20 }, 2020, 80);
    ASSERT_TRUE(calibration);
    expectNear(calibration->toChart({ 100, 500 }), 1990, 20, 1e-12);
    expectNear(calibration->toChart({ 700, 100 }), 2020, 80, 1e-12);
    expectNear(calibration->toChart({ 400, 300 }), 2005, 50, 1e-12);
    expectNear(calibration->toChart({ 40, 540 }), 1987, 14, 1e-12); // outside the data area
    const PixelPoint pixel = calibration->toPixel({ 2011, 35 });
    EXPECT_NEAR(pixel.x, 520, 1e-9);
    EXPECT_NEAR(pixel.y, 400, 1e-9);
}

TEST(ChartCalibration, LogarithmicAxesEachOnTheirOwn)
{
    const auto logY = ChartCalibration::fromCorner(
        { 100, 500 }, 500, 100, { 0, 1 }, 10, 10000, AxisScale::Linear, AxisScale::Logarithmic);
    ASSERT_TRUE(logY);
    expectNear(logY->toChart({ 100, 500 }), 0, 1, 1e-12);
    expectNear(logY->toChart({ 300, 300 }), 5, 100, 1e-12);
    expectNear(logY->toChart({ 500, 400 }), 10, 10, 1e-12);
    expectNear(logY->toChart({ 100, 100 }), 0, 10000, 1e-12);
    EXPECT_NEAR(logY->toPixel({ 5, 1000 }).y, 200, 1e-9);
    EXPECT_FALSE(std::isfinite(logY->toPixel({ 5, 0 }).y));

    const auto logX = ChartCalibration::fromCorner(
        { 0, 400 }, 300, 0, { 0.01, -1 }, 10, 1, AxisScale::Logarithmic, AxisScale::Linear);
    ASSERT_TRUE(logX);
    expectNear(logX->toChart({ 100, 200 }), 0.1, 0, 1e-12);
    expectNear(logX->toChart({ 250, 0 }), std::sqrt(10.0), 1, 1e-12);
}

TEST(ChartCalibration, TwoMarksPerAxisOnAnUprightChart)
{
    // Ticks at x = 2 and 6 on the x axis, y = 10 and 30 on the y axis; the axes cross at
    // (x 0, y 0) at pixel (50, 450), which is not among the marks.
    const DrawnChart chart { 50, 450, 100, 10, 0, 0, 0 };
    const auto calibration = ChartCalibration::fromAxisMarks({ chart.pixelOf(2, 0), 2 },
        { chart.pixelOf(6, 0), 6 }, { chart.pixelOf(0, 10), 10 }, { chart.pixelOf(0, 30), 30 });
    ASSERT_TRUE(calibration);
    expectNear(calibration->toChart({ 50, 450 }), 0, 0, 1e-12);
    expectNear(calibration->toChart(chart.pixelOf(4.5, 17)), 4.5, 17, 1e-12);
}

TEST(ChartCalibration, TwoMarksPerAxisUndoARotatedScan)
{
    for (const double degrees : { -5.0, -3.0, 0.5, 3.0, 5.0 }) {
        for (const bool logY : { false, true }) {
            const DrawnChart chart { 120, 640, 60, logY ? 150.0 : 6.0, degrees, 1990, logY ? 1.0 : 20.0,
                logY };
            const double yLow = logY ? 10 : 30, yHigh = logY ? 1000 : 70;
            const auto calibration = ChartCalibration::fromAxisMarks({ chart.pixelOf(1995, chart.y0), 1995 },
                { chart.pixelOf(2015, chart.y0), 2015 }, { chart.pixelOf(1990, yLow), yLow },
                { chart.pixelOf(1990, yHigh), yHigh }, AxisScale::Linear,
                logY ? AxisScale::Logarithmic : AxisScale::Linear);
            ASSERT_TRUE(calibration) << degrees;
            for (const auto& [x, y] :
                { std::pair { 2003.5, logY ? 55.0 : 47.25 }, { 1991.0, logY ? 2.0 : 21.0 } }) {
                SCOPED_TRACE(testing::Message() << degrees << " degrees, log " << logY);
                expectNear(calibration->toChart(chart.pixelOf(x, y)), x, y, 1e-9);
                const PixelPoint back = calibration->toPixel({ x, y });
                const PixelPoint drawn = chart.pixelOf(x, y);
                EXPECT_NEAR(back.x, drawn.x, 1e-6);
                EXPECT_NEAR(back.y, drawn.y, 1e-6);
            }
        }
    }
}

TEST(ChartCalibration, RefusesWhatDefinesNoAxes)
{
    const AxisMark x1 { { 100, 500 }, 0 }, x2 { { 500, 500 }, 10 };
    const AxisMark y1 { { 100, 500 }, 0 }, y2 { { 100, 100 }, 10 };
    ASSERT_TRUE(ChartCalibration::fromAxisMarks(x1, x2, y1, y2));
    const double nan = std::nan("");
    const double inf = INFINITY;
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(x1, { x2.pixel, 0 }, y1, y2)); // equal values
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(x1, { x1.pixel, 10 }, y1, y2)); // one pixel
    EXPECT_FALSE(
        ChartCalibration::fromAxisMarks(x1, x2, { { 100, 400 }, 0 }, { { 300, 400 }, 10 })); // parallel
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(x1, x2, y1, { y2.pixel, nan }));
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(x1, x2, y1, { { nan, 100 }, 10 }));
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(x1, x2, y1, y2, AxisScale::Logarithmic)); // x value 0
    EXPECT_FALSE(ChartCalibration::fromAxisMarks(
        x1, x2, { y1.pixel, -1 }, y2, AxisScale::Linear, AxisScale::Logarithmic));

    EXPECT_FALSE(ChartCalibration::fromCorner({ 80, 620 }, 80, 120, { 0, 0 }, 8, 100)); // zero width span
    EXPECT_FALSE(ChartCalibration::fromCorner({ 80, 620 }, 880, 620, { 0, 0 }, 8, 100)); // zero height span
    EXPECT_FALSE(ChartCalibration::fromCorner({ 80, 620 }, 880, 120, { 0, 0 }, 8, 0)); // height stands for 0
    EXPECT_FALSE(ChartCalibration::fromCorner({ 80, 620 }, 880, 120, { 0, 0 }, inf, 100));
    EXPECT_FALSE(ChartCalibration::fromCorner(
        { 80, 620 }, 880, 120, { 0, 0 }, 8, 100, AxisScale::Linear, AxisScale::Logarithmic)); // log from 0
    EXPECT_FALSE(ChartCalibration::fromCorner({ 80, 620 }, 880, 120, { 0, 0 }, 8, 1e308 * 10));
}

} // namespace
