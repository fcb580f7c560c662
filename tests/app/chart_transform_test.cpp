#include "app/chart_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string str(const String& s)
{
    return s.c_str();
}

TEST(ChartTransform, ValuesFromPixelRows)
{
    struct Case {
        double reference, span, originY, y, value;
    };
    const Case cases[] = {
        { 100, 500, 620, 520, 20 }, // a bar top of the sample chart
        { 100, 500, 620, 120, 100 }, // the height end
        { 100, 500, 620, 620, 0 }, // the origin's row
        { 100, 500, 620, 720, -20 }, // below the origin
        { 0, 500, 620, 100, 0 }, // no height reference yet
        { -50, 250, 300, 50, -50 }, // a negative reference
        { 100, -500, 620, 720, 20 }, // height end clicked below the origin
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(chartValue(c.reference, c.span, c.originY, c.y), c.value)
            << c.reference << " / " << c.span << " * (" << c.originY << " - " << c.y << ")";
}

TEST(ChartTransform, ValuesAreRoundedThroughSinglePrecision)
{
    EXPECT_EQ(chartValue(1, 3, 1, 0), static_cast<double>(1.0f / 3.0f));
    // Just below 0.375 in double, exactly 0.375 as a float: the text rounds the tie to even.
    const double belowTie = 0.375 - 1e-12;
    EXPECT_EQ(chartValue(belowTie, 1, 1, 0), 0.375);
    EXPECT_EQ(str(valueText(chartValue(belowTie, 1, 1, 0))), "0.38");
    EXPECT_EQ(str(valueText(belowTie)), "0.37");
}

TEST(ChartTransform, ValuesThatAreNoNumbers)
{
    EXPECT_TRUE(std::isinf(chartValue(100, 0, 620, 520))); // height end on the origin's row
    EXPECT_TRUE(std::isnan(chartValue(0, 0, 620, 620)));
    // Finite in double, beyond the float range: overflows to infinity, never undefined.
    EXPECT_TRUE(std::isinf(chartValue(1e300, 1, 1, 0)));
    EXPECT_LT(chartValue(-1e300, 1, 1, 0), 0);
}

TEST(ChartTransform, Texts)
{
    EXPECT_EQ(str(valueText(12.5)), "12.50");
    EXPECT_EQ(str(pointReadout("Coords", 123, 45)), "Coords: 123/45");
    // Whole numbers round halves to the even neighbour.
    EXPECT_EQ(str(pointReadout("Origin", 2.5, 3.5)), "Origin: 2/4");
    EXPECT_EQ(str(pointReadout("Origin", -0.5, 480)), "Origin: 0/480");
    EXPECT_EQ(str(spanReadout("Width", 412, 100)), "Width: 412 - 100.0000");
    EXPECT_EQ(str(spanReadout("H\xF6he", -12.5, 0.00004)), "H\xF6he: -12 - 0.0000");
    EXPECT_EQ(str(unsetSpanReadout("Height", 0)), "Height: n/a - 0.0000");
}

} // namespace
