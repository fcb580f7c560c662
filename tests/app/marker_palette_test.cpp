#include "app/marker_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

struct Rgb {
    double r, g, b; // linear, 0 .. 1
};

double linear(unsigned channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb linearRgb(std::uint32_t colour)
{
    return { linear(colour & 0xFF), linear((colour >> 8) & 0xFF), linear((colour >> 16) & 0xFF) };
}

double luminance(std::uint32_t colour)
{
    const Rgb c = linearRgb(colour);
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

// The contrast ratio of the web's accessibility guidelines: 1 (none) to 21 (black on white).
double contrast(std::uint32_t a, std::uint32_t b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Lab {
    double l, a, b;
};

// CIE L*a*b* under D65.
Lab lab(std::uint32_t colour)
{
    const Rgb c = linearRgb(colour);
    const double x = (0.4124 * c.r + 0.3576 * c.g + 0.1805 * c.b) / 0.95047;
    const double y = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    const double z = (0.0193 * c.r + 0.1192 * c.g + 0.9505 * c.b) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return { 116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z)) };
}

double deltaE(std::uint32_t first, std::uint32_t second)
{
    const Lab a = lab(first);
    const Lab b = lab(second);
    return std::hypot(a.l - b.l, a.a - b.a, a.b - b.b);
}

constexpr std::uint32_t WHITE = 0xFFFFFFFF;
constexpr std::uint32_t BLACK = 0xFF000000;
constexpr std::uint32_t GREY = 0xFF808080;

TEST(MarkerPalette, TheTwelveColumnColoursStayApart)
{
    double smallest = 1000;
    std::string closest;
    for (int i = 0; i < MARKER_COLOUR_COUNT; ++i) {
        for (int j = i + 1; j < MARKER_COLOUR_COUNT; ++j) {
            const double distance = deltaE(markerColours(i).fill, markerColours(j).fill);
            if (distance < smallest) {
                smallest = distance;
                closest = std::to_string(i) + " and " + std::to_string(j);
            }
        }
    }
    // 2.3 is just noticeable side by side; markers are small and far apart, so ask for far more.
    EXPECT_GE(smallest, 25.0) << "columns " << closest;
}

TEST(MarkerPalette, EveryMarkerShowsOnLightDarkAndMiddleBackgrounds)
{
    for (int column = 0; column < MARKER_COLOUR_COUNT; ++column) {
        const MarkerColours colours = markerColours(column);
        const std::string name = "column " + std::to_string(column);
        EXPECT_EQ(colours.fill >> 24, 0xFFu) << name;
        EXPECT_TRUE(colours.outline == BLACK || colours.outline == WHITE) << name;
        EXPECT_EQ(colours.halo, colours.outline == BLACK ? WHITE : BLACK) << name;
        // The outline is whichever of black and white sets the fill off more.
        EXPECT_EQ(contrast(colours.fill, colours.outline),
            std::max(contrast(colours.fill, BLACK), contrast(colours.fill, WHITE)))
            << name;
        EXPECT_GE(contrast(colours.fill, colours.outline), 3.0) << name;
        // Visible: some ring of the marker stands out from the background (4.5 is the guidelines'
        // level for text, 3 for graphics).
        for (const auto& [background, least] : { std::pair { WHITE, 4.5 }, { BLACK, 4.5 }, { GREY, 3.0 } }) {
            EXPECT_GE(
                std::max(contrast(colours.fill, background), contrast(colours.outline, background)), least)
                << name << " on " << std::hex << background;
        }
        // The selected marker carries both black and white, so its rings show anywhere.
        EXPECT_GE(std::max(contrast(colours.outline, GREY), contrast(colours.halo, GREY)), 3.0) << name;
    }
}

TEST(MarkerPalette, ColumnsBeyondTheTwelfthReuseTheColours)
{
    for (const auto& [column, same] :
        { std::pair { 12, 0 }, { 13, 1 }, { 35, 11 }, { -1, 0 }, { -100, 0 } }) {
        EXPECT_EQ(markerColours(column).fill, markerColours(same).fill) << column;
        EXPECT_EQ(markerColours(column).outline, markerColours(same).outline) << column;
    }
}

} // namespace
