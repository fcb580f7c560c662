// Extraction by colour on pictures drawn here with known geometry: anti-aliased lines, discs and
// bars are drawn by supersampling, so that every edge pixel carries the share of it the shape
// covers, as a chart renderer draws them.

#include "imaging/extraction/background_colour.h"
#include "imaging/extraction/bar_top.h"
#include "imaging/extraction/colour_coverage.h"
#include "imaging/extraction/colour_pick.h"
#include "imaging/extraction/curve_extraction.h"
#include "imaging/extraction/feature_snap.h"
#include "imaging/extraction/marker_extraction.h"
#include "imaging/extraction/quadratic_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

// How GoogleTest shows found points in its messages.
[[maybe_unused]] static void PrintTo(const FoundPoint& point, std::ostream* out)
{
    *out << "(" << point.x << ", " << point.y << ")";
}

namespace {

constexpr Rgb WHITE { 255, 255, 255 };
constexpr Rgb BLUE { 31, 95, 180 };
constexpr Rgb RED { 214, 39, 40 };
constexpr Rgb GREY { 176, 176, 176 };

// A picture on white paper. Pixel (x, y) covers x - 0.5 to x + 0.5 and y - 0.5 to y + 0.5.
class Canvas {
public:
    Canvas(int width, int height)
        : m_pixels(PixelBuffer::allocate(width, height, PixelFill::None))
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                set(x, y, WHITE, 1.0);
    }

    const PixelBuffer& pixels() const { return *m_pixels; }
    PixelArea all() const { return { 0, 0, m_pixels->width(), m_pixels->height() }; }

    // Paints the colour over every pixel by the share of its 16 x 16 sub-samples inside the shape.
    void paint(Rgb colour, const std::function<bool(double, double)>& inside)
    {
        paint(colour, inside, { 0, 0, m_pixels->width(), m_pixels->height() });
    }

    // The same within the bounds alone, which must hold the whole shape.
    void paint(Rgb colour, const std::function<bool(double, double)>& inside, PixelArea bounds)
    {
        for (int y = std::max(0, bounds.top); y < std::min(m_pixels->height(), bounds.bottom); ++y)
            for (int x = std::max(0, bounds.left); x < std::min(m_pixels->width(), bounds.right); ++x) {
                int hits = 0;
                for (int sy = 0; sy < 16; ++sy)
                    for (int sx = 0; sx < 16; ++sx)
                        hits += inside(x - 0.5 + (sx + 0.5) / 16.0, y - 0.5 + (sy + 0.5) / 16.0) ? 1 : 0;
                if (hits > 0)
                    set(x, y, colour, hits / 256.0);
            }
    }

    void line(double x0, double y0, double x1, double y1, double width, Rgb colour)
    {
        paint(
            colour,
            [=](double x, double y) {
                const double dx = x1 - x0, dy = y1 - y0;
                const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2.0;
            },
            around(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), width));
    }

    void disc(double cx, double cy, double radius, Rgb colour)
    {
        paint(
            colour, [=](double x, double y) { return std::hypot(x - cx, y - cy) <= radius; },
            around(cx, cy, cx, cy, 2 * radius));
    }

    // Edges are picture coordinates of the rectangle's sides (a side at 10.0 runs through the
    // middle of pixel 10).
    void rectangle(double left, double top, double right, double bottom, Rgb colour)
    {
        paint(
            colour, [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; },
            around(left, top, right, bottom, 0));
    }

    // Adds to every channel of every pixel an even noise of up to `amount` either way, the same
    // for every run of the test (seeded).
    void addNoise(int amount, unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> noise(-amount, amount);
        for (int y = 0; y < m_pixels->height(); ++y)
            for (int x = 0; x < m_pixels->width(); ++x) {
                std::uint8_t* pixel = m_pixels->row(y) + static_cast<std::size_t>(x) * 4;
                for (int c = 0; c < 3; ++c)
                    pixel[c] = static_cast<std::uint8_t>(std::clamp(pixel[c] + noise(random), 0, 255));
            }
    }

private:
    static PixelArea around(double left, double top, double right, double bottom, double width)
    {
        const double margin = width / 2.0 + 2.0;
        return { static_cast<int>(std::floor(left - margin)), static_cast<int>(std::floor(top - margin)),
            static_cast<int>(std::ceil(right + margin)), static_cast<int>(std::ceil(bottom + margin)) };
    }

    void set(int x, int y, Rgb colour, double share)
    {
        std::uint8_t* pixel = m_pixels->row(y) + static_cast<std::size_t>(x) * 4;
        const std::uint8_t channels[3] = { colour.r, colour.g, colour.b };
        for (int c = 0; c < 3; ++c)
            pixel[c] = static_cast<std::uint8_t>(std::lround(pixel[c] * (1.0 - share) + channels[c] * share));
        pixel[3] = 255;
    }

    std::shared_ptr<PixelBuffer> m_pixels;
};

std::vector<double> columns(int from, int to)
{
    std::vector<double> xs;
    for (int x = from; x <= to; ++x)
        xs.push_back(x);
    return xs;
}

// The found points at x, in the order found.
std::vector<double> ysAt(const Extraction& found, double x)
{
    std::vector<double> ys;
    for (const FoundPoint& point : found.points)
        if (point.x == x)
            ys.push_back(point.y);
    return ys;
}

TEST(ColourCoverageTest, SharesOfBlendsMatchesAndOtherColours)
{
    const ColourCoverage coverage(WHITE, BLUE, DEFAULT_COLOUR_TOLERANCE);
    auto blend = [](Rgb colour, double share) {
        return std::array<std::uint8_t, 4> { static_cast<std::uint8_t>(
                                                 std::lround(255 + (colour.r - 255) * share)),
            static_cast<std::uint8_t>(std::lround(255 + (colour.g - 255) * share)),
            static_cast<std::uint8_t>(std::lround(255 + (colour.b - 255) * share)), 255 };
    };
    struct Case {
        std::array<std::uint8_t, 4> pixel;
        float share; // FOREIGN for another colour
        bool match;
    };
    const Case cases[] = {
        { blend(BLUE, 1.0), 1.0F, true },
        { blend(BLUE, 0.75), 0.75F, false },
        { blend(BLUE, 0.5), 0.5F, false },
        { blend(BLUE, 0.25), 0.25F, false },
        { blend(BLUE, 0.1), 0.1F, false }, // faint: the edge of a line beside it
        { blend(BLUE, 0.04), 0.0F, false }, // too faint to tell from noise
        { blend(WHITE, 1.0), 0.0F, false },
        { { 41, 105, 170, 255 }, 0.95F, true }, // within the tolerance, a little lighter
        { { 0, 40, 120, 255 }, 1.0F, false }, // darker than the colour: covers it whole, yet another shade
        { blend(GREY, 1.0), ColourCoverage::FOREIGN, false }, // a grid line is not the line's edge
        { blend(RED, 1.0), ColourCoverage::FOREIGN, false },
        { { 120, 150, 90, 255 }, ColourCoverage::FOREIGN, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << int(c.pixel[0]) << "," << int(c.pixel[1]) << "," << int(c.pixel[2]));
        EXPECT_NEAR(coverage.coverage(c.pixel.data()), c.share, 0.02F);
        EXPECT_EQ(coverage.isMatch(c.pixel.data()), c.match);
    }
}

TEST(ColourCoverageTest, ToleranceDecidesWhatMatches)
{
    const std::array<std::uint8_t, 4> near { 31 + 30, 95, 180, 255 }; // 30 away
    const std::array<std::uint8_t, 4> far { 31 + 80, 95, 180, 255 }; // 80 away
    struct Case {
        int tolerance;
        bool nearMatches;
        bool farMatches;
    };
    for (const Case c : { Case { 0, false, false }, Case { 29, false, false }, Case { 30, true, false },
             Case { 60, true, false }, Case { 80, true, true }, Case { 1000, true, true } }) {
        const ColourCoverage coverage(WHITE, BLUE, c.tolerance);
        EXPECT_EQ(coverage.isMatch(near.data()), c.nearMatches) << c.tolerance;
        EXPECT_EQ(coverage.isMatch(far.data()), c.farMatches) << c.tolerance;
    }
    // A colour the tolerance cannot tell from the paper finds nothing at all.
    EXPECT_FALSE(ColourCoverage(WHITE, { 250, 250, 250 }, DEFAULT_COLOUR_TOLERANCE).isUsable());
    EXPECT_FALSE(ColourCoverage(WHITE, WHITE, 0).isUsable());
    EXPECT_TRUE(ColourCoverage(WHITE, BLUE, DEFAULT_COLOUR_TOLERANCE).isUsable());
}

TEST(BackgroundAndPickTest, PaperIsTheMostCommonColourAndAClickBesideALinePicksTheLine)
{
    Canvas canvas(80, 60);
    canvas.line(0, 30.3, 79, 30.3, 2.0, BLUE);
    canvas.rectangle(39.5, 0, 41.5, 60, GREY);
    EXPECT_EQ(estimateBackground(canvas.pixels(), canvas.all()), WHITE);
    EXPECT_EQ(estimateBackground(canvas.pixels(), { 39, 0, 42, 60 }), GREY);

    // Clicks on the line, half a pixel and two pixels beside it, and on the paper.
    for (const int y : { 30, 31, 28, 33 }) {
        const Rgb picked = pickColour(canvas.pixels(), 20, y);
        EXPECT_LT(std::abs(picked.r - BLUE.r) + std::abs(picked.g - BLUE.g) + std::abs(picked.b - BLUE.b), 60)
            << y;
    }
    EXPECT_EQ(pickColour(canvas.pixels(), 20, 10), WHITE);
    // Clicks off the picture are taken at its edge rather than read outside it.
    EXPECT_EQ(pickColour(canvas.pixels(), -5, 500), WHITE);
}

TEST(QuadraticFitTest, ParabolasAreRecoveredAndTooFewColumnsRefused)
{
    // Far from the origin of x, as columns of a wide picture lie, the parabola comes back exactly.
    QuadraticFit fit(3000.0);
    for (int x = 2980; x <= 3020; x += 4)
        fit.add(x, 1500.0 - 2.5 * (x - 3000) + 0.01 * (x - 3000) * (x - 3000));
    ASSERT_TRUE(fit.solve());
    for (const double x : { 2990.0, 3000.0, 3013.5, 3040.0 })
        EXPECT_NEAR(fit.at(x), 1500.0 - 2.5 * (x - 3000) + 0.01 * (x - 3000) * (x - 3000), 1e-6) << x;
    // Points in two columns fix no parabola, however many there are.
    QuadraticFit two(10.0);
    for (const int x : { 8, 8, 12, 12, 12 })
        two.add(x, x * 2.0);
    EXPECT_FALSE(two.solve());
    EXPECT_FALSE(QuadraticFit(0.0).solve());
}

TEST(CurveExtractionTest, CentresOfStraightLinesAtAnySlope)
{
    struct Case {
        double y0;
        double slope;
        double width;
        double precision;
    };
    const Case cases[] = {
        { 40.3, 0.0, 2.0, 0.05 },
        { 40.75, 0.0, 1.2, 0.05 },
        { 20.2, 0.37, 2.0, 0.05 },
        { 160.6, -0.8, 2.5, 0.05 },
        { 10.4, 2.5, 2.0, 0.1 }, // steep: many rows of one column
        { 8.1, 6.0, 3.0, 0.2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "y = " << c.y0 << " + " << c.slope << " x, width " << c.width);
        Canvas canvas(120, 200);
        // The line ends where it would leave the picture (10 pixels before its edge).
        const double x1
            = c.slope == 0.0 ? 119.0 : std::min(119.0, ((c.slope > 0 ? 190.0 : 10.0) - c.y0) / c.slope);
        canvas.line(5, c.y0 + c.slope * 5, x1, c.y0 + c.slope * x1, c.width, BLUE);
        const std::vector<double> xs = columns(10, static_cast<int>(x1) - 5);
        const Extraction found
            = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
        ASSERT_EQ(found.points.size(), xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i) {
            EXPECT_EQ(found.points[i].x, xs[i]);
            EXPECT_NEAR(found.points[i].y, c.y0 + c.slope * xs[i], c.precision) << "x " << xs[i];
        }
    }
}

TEST(CurveExtractionTest, SamplesBetweenColumnsAndOutsideTheCurve)
{
    Canvas canvas(100, 60);
    canvas.line(10, 20.0, 90, 40.0, 2.0, BLUE);
    const Extraction found = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE,
        { 2.0, 30.25, 50.5, 70.75, 97.0, 150.0 });
    ASSERT_EQ(found.points.size(), 3U);
    for (const FoundPoint& point : found.points)
        EXPECT_NEAR(point.y, 20.0 + (point.x - 10.0) * 0.25, 0.05) << point.x;
}

TEST(CurveExtractionTest, GapsAreBridgedAlongTheCurvesDirection)
{
    struct Case {
        const char* what;
        std::function<void(Canvas&)> hide;
        double largest; // the largest error allowed in the bridge
    };
    const Case cases[] = {
        { "paper, as between a dashed line's dashes", [](Canvas& c) { c.rectangle(50, 0, 55, 100, WHITE); },
            0.1 },
        { "another curve crossing", [](Canvas& c) { c.line(48, 0, 56, 100, 3.0, RED); }, 0.15 },
        { "a label", [](Canvas& c) { c.rectangle(45, 30, 60, 50, GREY); }, 0.1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(110, 100);
        canvas.line(5, 20.0, 105, 60.0, 2.0, BLUE);
        c.hide(canvas);
        const std::vector<double> xs = columns(10, 100);
        const Extraction found
            = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
        ASSERT_EQ(found.points.size(), xs.size()) << testing::PrintToString(found.points);
        for (const FoundPoint& point : found.points)
            EXPECT_NEAR(point.y, 20.0 + (point.x - 5.0) * 0.4, c.largest) << point.x;
    }
}

TEST(CurveExtractionTest, ACornerUnderAMarkerOfTheCurvesColourIsKept)
{
    Canvas canvas(120, 100);
    canvas.line(5, 80.0, 60, 30.0, 2.0, BLUE);
    canvas.line(60, 30.0, 115, 70.0, 2.0, BLUE);
    canvas.disc(60, 30.0, 5.0, BLUE);
    const std::vector<double> xs = columns(10, 110);
    const Extraction found = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
    ASSERT_EQ(found.points.size(), xs.size());
    for (const FoundPoint& point : found.points) {
        const double truth
            = point.x <= 60 ? 80.0 - (point.x - 5.0) * 50.0 / 55.0 : 30.0 + (point.x - 60.0) * 40.0 / 55.0;
        EXPECT_NEAR(point.y, truth, 0.3) << point.x;
    }
}

// A curve drawn as a polyline of short segments, as a chart renderer draws a smooth function.
void curve(
    Canvas& canvas, const std::function<double(double)>& f, double from, double to, double width, Rgb colour)
{
    for (double x = from; x < to; x += 2.0)
        canvas.line(x, f(x), std::min(x + 2.0, to), f(std::min(x + 2.0, to)), width, colour);
}

// Where a curve bends under what hides it, the bridge follows the bend: two straight ends meeting
// in the gap would cut across its inside. A corner under a marker of the curve's colour stays a
// corner (ACornerUnderAMarkerOfTheCurvesColourIsKept).
TEST(CurveExtractionTest, BridgesFollowABendThatSomethingElseHides)
{
    struct Case {
        const char* what;
        std::function<double(double)> f;
        double width;
        std::function<void(Canvas&)> hide;
    };
    const Case cases[] = {
        { "a parabola under a crossing curve",
            [](double x) { return 20.0 + 0.012 * (x - 20.0) * (x - 20.0); }, 2.0,
            [](Canvas& c) { c.line(84, 0, 90, 200, 3.0, RED); } },
        { "a steep bend under a label", [](double x) { return 190.0 - 0.02 * (x - 10.0) * (x - 10.0); }, 2.0,
            [](Canvas& c) { c.rectangle(70, 0, 77, 200, GREY); } },
        { "a thick line bending under a crossing curve",
            [](double x) { return 30.0 + 0.01 * (x - 10.0) * (x - 10.0); }, 6.0,
            [](Canvas& c) { c.line(100, 0, 104, 200, 6.0, RED); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(160, 200);
        curve(canvas, c.f, 5, 155, c.width, BLUE);
        c.hide(canvas);
        const std::vector<double> xs = columns(15, 145);
        const Extraction found
            = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
        double largest = 0.0;
        for (const FoundPoint& point : found.points)
            if (c.f(point.x) > 5 && c.f(point.x) < 195)
                largest = std::max(largest, std::abs(point.y - c.f(point.x)));
        EXPECT_LT(largest, 0.5) << testing::PrintToString(found.points);
    }
}

// A line turns a corner under a marker. The bridge keeps the corner, under a marker of the line's
// own colour and under one of another colour drawn over it alike, instead of rounding it off (a
// band as tall as the picture is no marker: the bend under one is followed, see above). Where the
// line, a little farther on, passes under a curve of another colour, the direction on either side
// of that curve comes from the short piece between the two alone, not from the points before the
// marker, which run the other way.
TEST(CurveExtractionTest, BridgesKeepTheCornersMarkersHideAndTakeDirectionsFromTheirOwnPieces)
{
    struct Case {
        const char* what;
        double corner; // the column of the corner, under the marker
        double slope; // after the corner
        Rgb marker;
        bool crossed; // a curve of another colour crosses 20 columns after the corner
    };
    const Case cases[] = {
        { "a marker of the line's colour, then a crossing curve", 120, 0.4, BLUE, true },
        { "a marker of another colour", 140, 0.5, RED, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(300, 200);
        auto truth = [&c](double x) {
            return x <= c.corner ? 150.0 - (x - 10.0) * 90.0 / (c.corner - 10.0)
                                 : 60.0 + (x - c.corner) * c.slope;
        };
        canvas.line(10, truth(10), c.corner, truth(c.corner), 3.0, BLUE);
        canvas.line(c.corner, truth(c.corner), 290, truth(290), 3.0, BLUE);
        canvas.disc(c.corner, truth(c.corner), 8.0, c.marker);
        if (c.crossed)
            canvas.line(c.corner + 20, 0, c.corner + 22, 200, 4.0, RED);
        const std::vector<double> xs = columns(25, 275);
        const Extraction found
            = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
        EXPECT_EQ(found.points.size(), xs.size());
        for (const FoundPoint& point : found.points)
            EXPECT_NEAR(point.y, truth(point.x), 0.5) << point.x;
    }
}

// A steep line crosses a column over many rows, and noise at its two edges (as a JPEG picture
// holds) moves each column's centre by the slope times as much as it moves the line across; the
// neighbouring columns, which measure the same course, steady it. A speck of another colour that
// cuts a column short breaks nothing.
TEST(CurveExtractionTest, SteepLinesInNoisyPicturesStayWithinAPixel)
{
    struct Case {
        double slope;
        double width;
    };
    for (const Case c : { Case { 3.0, 3.0 }, Case { 5.0, 4.0 }, Case { -6.0, 3.0 } }) {
        SCOPED_TRACE(testing::Message() << "slope " << c.slope << ", width " << c.width);
        Canvas canvas(140, 400);
        const double y0 = c.slope > 0 ? 20.0 : 380.0;
        auto truth = [&](double x) { return y0 + c.slope * (x - 10.0); };
        const double x1 = 10.0 + 340.0 / std::abs(c.slope);
        canvas.line(10, truth(10), x1, truth(x1), c.width, BLUE);
        // Specks of a dark grey on the line's edge in a few columns.
        for (const double x : { 25.0, 40.0, 55.0 })
            if (x < x1 - 5)
                canvas.rectangle(x - 0.5, truth(x) - 1.0, x + 0.5, truth(x) + 1.0, { 60, 60, 60 });
        canvas.addNoise(14, 7);
        const std::vector<double> xs = columns(15, static_cast<int>(x1) - 5);
        const Extraction found
            = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs);
        EXPECT_EQ(found.points.size(), xs.size());
        double largest = 0.0;
        for (const FoundPoint& point : found.points)
            largest = std::max(largest, std::abs(point.y - truth(point.x)));
        EXPECT_LT(largest, 1.0);
    }
}

TEST(CurveExtractionTest, GapsTooLongAndStrayDotsAreNotCurves)
{
    Canvas canvas(200, 60);
    canvas.line(5, 30.0, 195, 30.0, 2.0, BLUE);
    canvas.rectangle(60, 0, 140, 60, WHITE);
    canvas.disc(100, 10, 0.9, BLUE); // a stray dot
    const Extraction found
        = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, columns(0, 199));
    for (const FoundPoint& point : found.points) {
        EXPECT_TRUE(point.x < 60 || point.x >= 140) << point.x;
        EXPECT_NEAR(point.y, 30.0, 0.05);
    }
    EXPECT_FALSE(found.points.empty());
}

TEST(CurveExtractionTest, EveryBranchAtOneXIsKept)
{
    // Two curves of one colour, and an ellipse whose outline folds back: each x gives every
    // branch, in ascending y.
    Canvas canvas(160, 120);
    canvas.line(5, 15.0, 155, 25.0, 2.0, BLUE);
    canvas.paint(BLUE, [](double x, double y) {
        const double r = std::hypot((x - 80.0) / 50.0, (y - 75.0) / 30.0);
        return std::abs(r - 1.0) * 30.0 <= 1.0;
    });
    const Extraction found = extractCurve(
        canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, { 20.0, 60.0, 80.0, 100.0 });
    EXPECT_EQ(ysAt(found, 20.0).size(), 1U);
    for (const double x : { 60.0, 80.0, 100.0 }) {
        const std::vector<double> ys = ysAt(found, x);
        ASSERT_EQ(ys.size(), 3U) << x;
        const double half = 30.0 * std::sqrt(1.0 - std::pow((x - 80.0) / 50.0, 2));
        EXPECT_NEAR(ys[0], 15.0 + (x - 5.0) / 15.0, 0.05) << x;
        EXPECT_NEAR(ys[1], 75.0 - half, 0.3) << x;
        EXPECT_NEAR(ys[2], 75.0 + half, 0.3) << x;
    }
}

TEST(CurveExtractionTest, NothingToFindAndStopping)
{
    Canvas canvas(100, 60);
    canvas.line(5, 30.0, 95, 30.0, 2.0, BLUE);
    const std::vector<double> xs = columns(10, 90);
    struct Case {
        const char* what;
        PixelArea area;
        Rgb colour;
        std::vector<double> xs;
    };
    const Case cases[] = {
        { "empty area", { 50, 10, 50, 50 }, BLUE, xs },
        { "area off the picture", { 200, 200, 300, 300 }, BLUE, xs },
        { "no samples", canvas.all(), BLUE, {} },
        { "colour not there", canvas.all(), RED, xs },
        { "the paper's colour", canvas.all(), WHITE, xs },
        { "area beside the curve", { 0, 0, 100, 20 }, BLUE, xs },
    };
    for (const Case& c : cases) {
        const Extraction found
            = extractCurve(canvas.pixels(), c.area, c.colour, DEFAULT_COLOUR_TOLERANCE, c.xs);
        EXPECT_TRUE(found.points.empty()) << c.what;
        EXPECT_FALSE(found.stopped) << c.what;
    }

    std::vector<double> heard;
    const Extraction whole
        = extractCurve(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs, [&](double done) {
              heard.push_back(done);
              return true;
          });
    EXPECT_EQ(whole.points.size(), xs.size());
    ASSERT_FALSE(heard.empty());
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
    EXPECT_GE(heard.front(), 0.0);
    EXPECT_LE(heard.back(), 1.0);

    const Extraction stopped = extractCurve(
        canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, xs, [](double) { return false; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.points.empty());
}

TEST(MarkerExtractionTest, CentroidsOfDiscsInReadingOrder)
{
    Canvas canvas(120, 100);
    const FoundPoint centres[]
        = { { 20.3, 15.7 }, { 80.55, 15.2 }, { 50.0, 50.45 }, { 15.8, 80.1 }, { 100.25, 85.9 } };
    for (const FoundPoint& centre : centres)
        canvas.disc(centre.x, centre.y, 4.3, BLUE);
    canvas.line(0, 60, 119, 60, 1.0, GREY); // a grid line under nothing
    const Extraction found = extractMarkers(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE);
    ASSERT_EQ(found.points.size(), std::size(centres));
    const FoundPoint reading[] = { centres[1], centres[0], centres[2], centres[3], centres[4] };
    for (std::size_t i = 0; i < found.points.size(); ++i) {
        EXPECT_NEAR(found.points[i].x, reading[i].x, 0.05) << i;
        EXPECT_NEAR(found.points[i].y, reading[i].y, 0.05) << i;
    }
    // Only the markers within the area count.
    EXPECT_EQ(
        extractMarkers(canvas.pixels(), { 0, 0, 60, 40 }, BLUE, DEFAULT_COLOUR_TOLERANCE).points.size(), 1U);
}

TEST(MarkerExtractionTest, LightGridLinesThroughMarkersDoNotJoinThem)
{
    // A light grey grid passes for a faint edge of a dark purple; markers sitting on its lines
    // must stay one point each, at their own centres.
    constexpr Rgb PURPLE { 128, 48, 160 };
    constexpr Rgb LIGHT_GREY { 221, 221, 221 };
    Canvas canvas(160, 120);
    for (const int at : { 20, 60, 100 })
        canvas.line(0, at, 159, at, 1.0, LIGHT_GREY);
    for (const int at : { 40, 80, 120 })
        canvas.line(at, 0, at, 119, 1.0, LIGHT_GREY);
    const FoundPoint centres[] = { { 40.0, 60.0 }, { 81.3, 20.0 }, { 120.0, 99.6 }, { 25.4, 100.0 } };
    for (const FoundPoint& centre : centres)
        canvas.disc(centre.x, centre.y, 4.3, PURPLE);
    const Extraction found = extractMarkers(canvas.pixels(), canvas.all(), PURPLE, DEFAULT_COLOUR_TOLERANCE);
    ASSERT_EQ(found.points.size(), std::size(centres)) << testing::PrintToString(found.points);
    for (const FoundPoint& truth : centres) {
        double nearest = 1e9;
        for (const FoundPoint& point : found.points)
            nearest = std::min(nearest, std::hypot(point.x - truth.x, point.y - truth.y));
        EXPECT_LT(nearest, 0.1) << truth.x << ", " << truth.y;
    }
}

TEST(MarkerExtractionTest, TouchingMarkersAreSplitAndStrayDotsIgnored)
{
    struct Case {
        const char* what;
        std::vector<FoundPoint> touching;
        double precision;
    };
    const Case cases[] = {
        { "two overlapping", { { 40.0, 40.0 }, { 47.5, 42.0 } }, 0.3 },
        { "two barely touching", { { 40.0, 40.0 }, { 48.6, 40.0 } }, 0.2 },
        { "three in a row", { { 30.0, 40.0 }, { 37.0, 40.0 }, { 44.0, 40.0 } }, 0.7 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(100, 80);
        const std::vector<FoundPoint> alone
            = { { 15.0, 12.0 }, { 80.0, 15.0 }, { 85.0, 65.0 }, { 20.0, 70.0 } };
        for (const FoundPoint& centre : alone)
            canvas.disc(centre.x, centre.y, 4.3, BLUE);
        for (const FoundPoint& centre : c.touching)
            canvas.disc(centre.x, centre.y, 4.3, BLUE);
        canvas.disc(60, 70, 0.8, BLUE); // a stray dot
        const Extraction found
            = extractMarkers(canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE);
        ASSERT_EQ(found.points.size(), alone.size() + c.touching.size())
            << testing::PrintToString(found.points);
        for (const FoundPoint& truth : c.touching) {
            double nearest = 1e9;
            for (const FoundPoint& point : found.points)
                nearest = std::min(nearest, std::hypot(point.x - truth.x, point.y - truth.y));
            EXPECT_LT(nearest, c.precision) << truth.x;
        }
    }
}

TEST(MarkerExtractionTest, NothingToFindAndStopping)
{
    Canvas canvas(60, 40);
    canvas.disc(30, 20, 4, BLUE);
    EXPECT_TRUE(
        extractMarkers(canvas.pixels(), { 10, 10, 10, 30 }, BLUE, DEFAULT_COLOUR_TOLERANCE).points.empty());
    EXPECT_TRUE(extractMarkers(canvas.pixels(), canvas.all(), RED, DEFAULT_COLOUR_TOLERANCE).points.empty());
    EXPECT_TRUE(
        extractMarkers(canvas.pixels(), canvas.all(), WHITE, DEFAULT_COLOUR_TOLERANCE).points.empty());
    EXPECT_TRUE(extractMarkers(canvas.pixels(), { -100, -100, -10, -10 }, BLUE, DEFAULT_COLOUR_TOLERANCE)
                    .points.empty());
    const Extraction stopped = extractMarkers(
        canvas.pixels(), canvas.all(), BLUE, DEFAULT_COLOUR_TOLERANCE, [](double) { return false; });
    EXPECT_TRUE(stopped.stopped);
}

TEST(BarTopTest, TopEdgeBetweenPixelRows)
{
    for (const double top : { 30.0, 30.25, 30.5, 30.8, 12.1 }) {
        Canvas canvas(80, 100);
        canvas.rectangle(0, 50, 80, 51, GREY); // a grid line behind the bar
        canvas.rectangle(20, top, 45, 95, RED);
        for (const double clickY : { 60.0, top + 1.5, 93.0 }) {
            const std::optional<FoundPoint> found = findBarTop(canvas.pixels(), { 32.4, clickY });
            ASSERT_TRUE(found) << top << " " << clickY;
            EXPECT_EQ(found->x, 32.4);
            EXPECT_NEAR(found->y, top, 0.03) << top;
        }
    }
}

TEST(BarTopTest, ClicksOutsideABar)
{
    Canvas canvas(80, 100);
    canvas.rectangle(20, 30, 45, 95, RED);
    for (const FoundPoint click :
        { FoundPoint { 60, 60 }, FoundPoint { 32, 10 }, FoundPoint { -3, 50 }, FoundPoint { 32, 100 } })
        EXPECT_FALSE(findBarTop(canvas.pixels(), click)) << click.x << " " << click.y;
    // A bar that reaches the picture's top has no edge to find.
    Canvas tall(40, 40);
    tall.rectangle(10, -1, 30, 40, RED);
    EXPECT_FALSE(findBarTop(tall.pixels(), { 20, 20 }));
}

TEST(FeatureSnapTest, ClicksMoveOntoMarkersLinesAndEdges)
{
    Canvas canvas(200, 140);
    canvas.disc(30.4, 30.7, 4.3, BLUE);
    canvas.line(60, 40.3, 190, 40.3, 2.0, RED); // level
    canvas.line(100, 60, 100.0, 130, 2.0, BLUE); // upright, at x = 100
    canvas.rectangle(140, 90.3, 170, 135, RED); // a bar
    struct Case {
        FoundPoint click;
        std::optional<FoundPoint> snapped;
        double precision;
    };
    const Case cases[] = {
        { { 32, 28 }, FoundPoint { 30.4, 30.7 }, 0.05 }, { { 80, 43 }, FoundPoint { 80, 40.3 }, 0.05 },
        { { 97.5, 90 }, FoundPoint { 100.0, 90 }, 0.05 }, { { 155, 92 }, FoundPoint { 155, 90.3 }, 0.05 },
        { { 30, 90 }, std::nullopt, 0 }, // nothing near
        { { 80, 52 }, std::nullopt, 0 }, // the line is farther than the radius
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.click.x << ", " << c.click.y);
        const std::optional<FoundPoint> snapped = snapToFeature(canvas.pixels(), c.click, 5);
        ASSERT_EQ(snapped.has_value(), c.snapped.has_value());
        if (snapped) {
            EXPECT_NEAR(snapped->x, c.snapped->x, c.precision);
            EXPECT_NEAR(snapped->y, c.snapped->y, c.precision);
        }
    }
    EXPECT_FALSE(snapToFeature(canvas.pixels(), { 32, 28 }, 0));
    EXPECT_FALSE(snapToFeature(canvas.pixels(), { -20, 28 }, 5));
}

// Odd input never crashes nor reads outside the picture (the sanitizer lane watches this test):
// noise, areas and clicks partly or wholly outside, a picture of one pixel, samples and clicks
// that are not numbers, tolerances and radii out of range. What is found lies inside the area.
TEST(ExtractionRobustnessTest, OddInputFindsNothingOrWhatLiesInside)
{
    std::minstd_rand random(15);
    auto noise = PixelBuffer::allocate(64, 48, PixelFill::None);
    for (std::size_t i = 0; i < noise->byteCount(); ++i)
        noise->data()[i] = static_cast<std::uint8_t>(random());
    auto single = PixelBuffer::allocate(1, 1, PixelFill::OpaqueBlack);
    const double nan = std::nan("");
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<double> xs
        = { nan, -infinity, -3.0, 0.0, 0.5, 17.25, 63.0, 63.5, 64.0, 1e300, infinity };
    const PixelArea areas[] = { { 0, 0, 64, 48 }, { -10, -10, 20, 20 }, { 50, 40, 200, 200 },
        { 10, 10, 11, 11 }, { 30, 30, 10, 10 }, { INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX } };
    const Rgb colours[] = { { 0, 0, 0 }, { 255, 255, 255 }, { 128, 64, 200 } };
    for (const PixelBuffer* pixels : { noise.get(), single.get() })
        for (const PixelArea& area : areas)
            for (const Rgb colour : colours)
                for (const int tolerance : { -5, 0, 60, 441, 100000 }) {
                    const PixelArea inside { std::max(area.left, 0), std::max(area.top, 0),
                        std::min(area.right, pixels->width()), std::min(area.bottom, pixels->height()) };
                    for (const FoundPoint& point :
                        extractCurve(*pixels, area, colour, tolerance, xs).points) {
                        EXPECT_GE(point.x, inside.left);
                        EXPECT_LT(point.x, inside.right);
                        EXPECT_TRUE(std::isfinite(point.y));
                    }
                    for (const FoundPoint& point : extractMarkers(*pixels, area, colour, tolerance).points) {
                        EXPECT_GE(point.x, inside.left - 0.5);
                        EXPECT_LE(point.x, inside.right - 0.5);
                        EXPECT_GE(point.y, inside.top - 0.5);
                        EXPECT_LE(point.y, inside.bottom - 0.5);
                    }
                }
    for (const PixelBuffer* pixels : { noise.get(), single.get() })
        for (const FoundPoint click :
            { FoundPoint { nan, 3 }, FoundPoint { 3, infinity }, FoundPoint { -0.6, 0 }, FoundPoint { 0, 0 },
                FoundPoint { 63.4, 47.4 }, FoundPoint { 1e12, -1e12 } })
            for (const int radius : { -1, 0, 1, 5, INT32_MAX }) {
                if (const std::optional<FoundPoint> snapped = snapToFeature(*pixels, click, radius)) {
                    EXPECT_TRUE(std::isfinite(snapped->x) && std::isfinite(snapped->y));
                }
                if (const std::optional<FoundPoint> top = findBarTop(*pixels, click)) {
                    EXPECT_TRUE(std::isfinite(top->y));
                }
                // A click's pixel is a whole number: NaN has none.
                if (std::isfinite(click.x))
                    (void)pickColour(*pixels, static_cast<int>(std::clamp(click.x, -1e6, 1e6)), 0);
            }
}

} // namespace
