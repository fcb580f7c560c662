// Where an extraction searches and which xs a curve is sampled at.

#include "app/extraction/extraction_area.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(ExtractionArea, ARectangleOnTheDiagramCoversThePicturePixelsItReaches)
{
    const struct {
        PixelPoint corner;
        PixelPoint opposite;
        double scale;
        PixelArea expected;
    } cases[] = {
        // At full size: both corner pixels belong to the area, in either order of the corners.
        { { 10, 20 }, { 30, 40 }, 1.0, { 10, 20, 31, 41 } },
        { { 30, 40 }, { 10, 20 }, 1.0, { 10, 20, 31, 41 } },
        // Reduced to a quarter: displayed pixel 10 is picture pixel 40.
        { { 10, 5 }, { 30, 20 }, 0.25, { 40, 20, 121, 81 } },
        // Kept on the picture of 200 x 100.
        { { -50, -50 }, { 500, 500 }, 1.0, { 0, 0, 200, 100 } },
        // Beside the picture, or not a number: empty.
        { { 300, 10 }, { 400, 20 }, 1.0, {} },
        { { NAN, 10 }, { 40, 20 }, 1.0, {} },
        { { 10, 10 }, { 40, 20 }, 0.0, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(pictureAreaOf(c.corner, c.opposite, c.scale, 200, 100), c.expected)
            << c.corner.x << "," << c.corner.y << " " << c.scale;
}

TEST(ExtractionArea, TheDataAreaRunsFromTheOriginToTheSpansOrAroundTheMarks)
{
    CaptureCalibration corner;
    corner.originX = 20;
    corner.originY = 180;
    corner.spanWidth = 150;
    corner.spanHeight = 160;
    corner.displayScale = 0.5;
    EXPECT_EQ(dataAreaOf(corner, 400, 400), (PixelArea { 40, 40, 341, 361 }));

    CaptureCalibration marks = corner;
    marks.axisMarks
        = AxisMarks { { { 30, 190 }, 0 }, { { 150, 190 }, 10 }, { { 10, 170 }, 0 }, { { 10, 50 }, 5 } };
    EXPECT_EQ(dataAreaOf(marks, 400, 400), (PixelArea { 20, 100, 301, 381 }));
}

TEST(ExtractionArea, SamplesEveryStepPixelsFromTheFirstColumn)
{
    const PixelArea area { 10, 0, 31, 5 }; // columns 10 to 30
    EXPECT_EQ(samplesEveryPixels(area, 10), (std::vector<double> { 10, 20, 30 }));
    EXPECT_EQ(samplesEveryPixels(area, 7.5), (std::vector<double> { 10, 17.5, 25 }));
    EXPECT_EQ(samplesEveryPixels(area, 100), (std::vector<double> { 10 }));
    for (double refused : { 0.0, -1.0, std::nan("") })
        EXPECT_TRUE(samplesEveryPixels(area, refused).empty()) << refused;
    EXPECT_TRUE(samplesEveryPixels({}, 1).empty());
    // More than the table should take in one go.
    EXPECT_TRUE(samplesEveryPixels({ 0, 0, 1000000, 1 }, 1).empty());
    EXPECT_EQ(samplesEveryPixels({ 0, 0, 1000000, 1 }, 10).size(), MAX_SAMPLES);
}

TEST(ExtractionArea, ChartStepsAreWholeMultiplesOfTheStepInsideTheArea)
{
    // Picture x = 100 + 10 * value; y = 500 - 2 * value.
    const auto linear = ChartCalibration::fromCorner({ 100, 500 }, 200, 300, { 0, 0 }, 10, 100);
    ASSERT_TRUE(linear);
    const PixelArea area { 95, 300, 251, 501 }; // values -0.5 to 15.0
    std::vector<double> expected;
    for (int value = 0; value <= 15; value += 5)
        expected.push_back(100 + 10 * value);
    EXPECT_EQ(samplesAtChartSteps(area, *linear, 5), expected);
    EXPECT_EQ(samplesAtChartSteps(area, *linear, 0.5).size(), 32u);
    EXPECT_TRUE(samplesAtChartSteps(area, *linear, 0).empty());
    EXPECT_TRUE(samplesAtChartSteps(area, *linear, 1e-9).empty()) << "too many samples";

    // An x axis running right to left still gives ascending xs.
    const auto reversed = ChartCalibration::fromCorner({ 250, 500 }, 150, 300, { 0, 0 }, 10, 100);
    ASSERT_TRUE(reversed);
    EXPECT_EQ(
        samplesAtChartSteps({ 150, 300, 251, 501 }, *reversed, 5), (std::vector<double> { 150, 200, 250 }));

    // A logarithmic axis takes only its positive multiples: 1 to 100 over columns 100 to 300.
    const auto logarithmic = ChartCalibration::fromCorner(
        { 100, 500 }, 300, 300, { 1, 0 }, 100, 100, AxisScale::Logarithmic, AxisScale::Linear);
    ASSERT_TRUE(logarithmic);
    const std::vector<double> xs = samplesAtChartSteps({ 100, 300, 301, 501 }, *logarithmic, 25);
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_NEAR(xs[0], 100 + 100 * std::log10(25.0), 1e-9);
    EXPECT_NEAR(xs[3], 300, 1e-9);
}

} // namespace
