#include "imaging_fixture.h"

#include "imaging/image_scaling.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr Rgba RED { 255, 0, 0, 255 };
constexpr Rgba BLUE { 0, 0, 255, 255 };

using ScaleImageTest = ImagingTest;

TEST_F(ScaleImageTest, SameSizeOrNoImageGivesZeroAndLeavesTheImage)
{
    const Handle handle = makePattern(1, 60, 60, [](int x, int) { return x < 30 ? RED : BLUE; });
    const std::uint8_t* pixels = imagePixels(1);
    EXPECT_EQ(scaleImage(1, 60, 60), 0);
    EXPECT_EQ(imagePlatformHandle(1), handle);
    EXPECT_EQ(imagePixels(1), pixels);
    EXPECT_EQ(scaleImage(2, 180, 180), 0);
    EXPECT_EQ(imageExists(2), 0);
}

TEST_F(ScaleImageTest, ScalingReplacesBufferAndPlatformImage)
{
    const Handle before = makeImage(1, 60, 60, 32);
    EXPECT_EQ(scaleImage(1, 180, 120), 1);
    EXPECT_EQ(imagePixelWidth(1), 180);
    EXPECT_EQ(imagePixelHeight(1), 120);
    EXPECT_NE(imagePlatformHandle(1), before);
    EXPECT_EQ(platformImageReferences(before), 0);
    EXPECT_EQ(livePlatformImageCount(), 1);
    EXPECT_TRUE(everyPixel(1, [](int, int, Rgba p) { return p == Rgba { 0, 0, 0, 255 }; }));
}

TEST_F(ScaleImageTest, EnlargingThreeTimesIsSmoothNotBlocky)
{
    // A vertical edge between red and blue at x = 30, as in the magnifier.
    makePattern(1, 60, 60, [](int x, int) { return x < 30 ? RED : BLUE; });
    ASSERT_EQ(scaleImage(1, 180, 180), 1);

    std::set<int> reds;
    int previous = 256;
    for (int x = 0; x < 180; ++x) {
        const Rgba p = pixelAt(1, x, 90);
        EXPECT_NEAR(p[0] + p[2], 255, 1) << x; // a mix of the two, nothing else
        EXPECT_EQ(p[1], 0);
        EXPECT_EQ(p[3], 255);
        EXPECT_LE(p[0], previous) << "red must fall monotonically, x = " << x;
        previous = p[0];
        reds.insert(p[0]);
    }
    // Nearest neighbour would give only 255 and 0; linear interpolation gives a ramp.
    EXPECT_GE(reds.size(), 4u);
    EXPECT_EQ(pixelAt(1, 0, 90), RED);
    EXPECT_EQ(pixelAt(1, 179, 90), BLUE);
    // Plain areas keep their colour exactly, and every row is alike.
    EXPECT_TRUE(
        everyPixel(1, [](int x, int, Rgba p) { return p == pixelAt(1, x, 0) && (x > 5 || p == RED); }));
}

TEST_F(ScaleImageTest, EnlargedSinglePixelsBecomeGradientsNotSquares)
{
    makePattern(1, 3, 3, [](int x, int y) {
        return x == 1 && y == 1 ? Rgba { 255, 255, 255, 255 } : Rgba { 0, 0, 0, 255 };
    });
    ASSERT_EQ(scaleImage(1, 9, 9), 1);
    // Within the enlarged centre pixel the brightness peaks at its centre and falls off.
    EXPECT_EQ(pixelAt(1, 4, 4)[0], 255);
    EXPECT_LT(pixelAt(1, 3, 4)[0], 255);
    EXPECT_GT(pixelAt(1, 3, 4)[0], 0);
    EXPECT_LT(pixelAt(1, 3, 3)[0], pixelAt(1, 3, 4)[0]);
}

TEST_F(ScaleImageTest, EnlargingThreePixelsToNineRepeatsTheEdgePixels)
{
    const Rgba colours[] = { { 10, 20, 30, 255 }, { 100, 110, 120, 255 }, { 250, 200, 150, 255 } };
    makePattern(1, 3, 1, [&](int x, int) { return colours[x]; });
    makePattern(2, 1, 3, [&](int, int y) { return colours[y]; });
    ASSERT_EQ(scaleImage(1, 9, 1), 1);
    ASSERT_EQ(scaleImage(2, 1, 9), 1);
    // Target pixels 0, 1 and 7, 8 lie at or beyond the outer source centres; 4 sits on the middle one.
    for (auto [target, source] : { std::pair { 0, 0 }, { 1, 0 }, { 4, 1 }, { 7, 2 }, { 8, 2 } }) {
        EXPECT_EQ(pixelAt(1, target, 0), colours[source]) << target;
        EXPECT_EQ(pixelAt(2, 0, target), colours[source]) << target;
    }
}

TEST_F(ScaleImageTest, ShrinkingByAFractionGivesTheAreaWeightedMeanOfStripes)
{
    // Ten stripes of distinct levels shrunk to four: each target pixel covers two and a half
    // stripes, so the stripe it covers by half must count half. Across (width) and down (height)
    // take different paths.
    const auto level = [](int i) { return static_cast<std::uint8_t>(i * 37 % 256); };
    makePattern(1, 10, 3, [&](int x, int) { return Rgba { level(x), 0, 0, 255 }; });
    makePattern(2, 3, 10, [&](int, int y) { return Rgba { level(y), 0, 0, 255 }; });
    ASSERT_EQ(scaleImage(1, 4, 3), 1);
    ASSERT_EQ(scaleImage(2, 3, 4), 1);
    for (int t = 0; t < 4; ++t) {
        double sum = 0;
        for (int i = 0; i < 10; ++i) {
            const double covered = std::min(i + 1.0, 2.5 * (t + 1)) - std::max(i + 0.0, 2.5 * t);
            sum += std::max(covered, 0.0) * level(i);
        }
        const double mean = sum / 2.5;
        EXPECT_NEAR(pixelAt(1, t, 1)[0], mean, 0.51) << t;
        EXPECT_NEAR(pixelAt(2, 1, t)[0], mean, 0.51) << t;
    }
}

TEST_F(ScaleImageTest, ShrinkingAveragesInsteadOfAliasing)
{
    struct Case {
        int sourceWidth, sourceHeight, width, height;
    };
    const auto checkerboard = [](int x, int y) {
        return (x + y) % 2 ? Rgba { 255, 255, 255, 255 } : Rgba { 0, 0, 0, 255 };
    };
    for (Case c : { Case { 600, 400, 96, 64 }, Case { 640, 480, 320, 240 }, Case { 997, 503, 100, 50 },
             Case { 1000, 10, 7, 3 } }) {
        SCOPED_TRACE(testing::Message()
            << c.sourceWidth << "x" << c.sourceHeight << " to " << c.width << "x" << c.height);
        makePattern(1, c.sourceWidth, c.sourceHeight, checkerboard);
        ASSERT_EQ(scaleImage(1, c.width, c.height), 1);
        EXPECT_TRUE(everyPixel(1, [](int, int, Rgba p) {
            return std::abs(p[0] - 128) <= 8 && p[0] == p[1] && p[1] == p[2] && p[3] == 255;
        }));
    }
}

TEST_F(ScaleImageTest, ShrinkingByWholeFactorsGivesTheExactMean)
{
    // Columns 0, 60, 120, 180, 240 repeated: each group of five averages to 120.
    makePattern(1, 20, 10, [](int x, int y) {
        return Rgba { std::uint8_t(x % 5 * 60), std::uint8_t(y * 20), 7, 255 };
    });
    ASSERT_EQ(scaleImage(1, 4, 5), 1);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(pixelAt(1, 0, y), (Rgba { 120, std::uint8_t(40 * y + 10), 7, 255 })) << y;
}

TEST_F(ScaleImageTest, TransparentPixelsLendNoColour)
{
    // Opaque red beside fully transparent black: the mix is red at half alpha, not dark red.
    makePattern(1, 2, 1, [](int x, int) { return x == 0 ? RED : Rgba { 0, 0, 0, 0 }; });
    ASSERT_EQ(scaleImage(1, 1, 1), 1);
    const Rgba p = pixelAt(1, 0, 0);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_NEAR(p[3], 128, 1);

    // The same upright, where the rows are summed first.
    makePattern(3, 1, 2, [](int, int y) { return y == 0 ? RED : Rgba { 0, 0, 0, 0 }; });
    ASSERT_EQ(scaleImage(3, 1, 1), 1);
    EXPECT_EQ(pixelAt(3, 0, 0)[0], 255);
    EXPECT_NEAR(pixelAt(3, 0, 0)[3], 128, 1);

    makeImage(2, 8, 8, 32 | IMAGE_TRANSPARENT);
    ASSERT_EQ(scaleImage(2, 3, 20), 1);
    EXPECT_TRUE(everyPixel(2, [](int, int, Rgba q) { return q == Rgba { 0, 0, 0, 0 }; }));
}

TEST_F(ScaleImageTest, ShrinkingByWholeFactorsGivesTheAlphaWeightedMeanOfEachBlock)
{
    // Random colours and alphas, some rows fully opaque and some fully transparent.
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245 + 12345, std::uint8_t(seed >> 16); };
    std::vector<Rgba> source(40 * 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x)
            source[y * 40 + x] = { next(), next(), next(), std::uint8_t(y < 6 ? 255 : y < 9 ? 0 : next()) };
    }
    makePattern(1, 40, 30, [&](int x, int y) { return source[y * 40 + x]; });
    ASSERT_EQ(scaleImage(1, 10, 10), 1); // blocks of 4 x 3
    EXPECT_TRUE(everyPixel(1, [&](int bx, int by, Rgba p) {
        double alpha = 0, colour[3] = { 0, 0, 0 };
        for (int y = by * 3; y < by * 3 + 3; ++y) {
            for (int x = bx * 4; x < bx * 4 + 4; ++x) {
                const Rgba s = source[y * 40 + x];
                alpha += s[3];
                for (int c = 0; c < 3; ++c)
                    colour[c] += s[c] * s[3];
            }
        }
        if (std::abs(p[3] - alpha / 12) > 1)
            return false;
        for (int c = 0; c < 3; ++c) {
            if (alpha > 0 && std::abs(p[c] - colour[c] / alpha) > 1.5)
                return false;
        }
        return alpha > 0 || p == Rgba { 0, 0, 0, 0 };
    }));
}

TEST(ResampleRgba, HonoursStridesAndGrowsOneAxisWhileShrinkingTheOther)
{
    // Source 4 x 2 with 4 spare bytes per row; target 2 x 6 with 8 spare bytes that must stay.
    const std::uint8_t source[] = {
        0,
        0,
        0,
        255,
        100,
        0,
        0,
        255,
        200,
        0,
        0,
        255,
        40,
        0,
        0,
        255,
        9,
        9,
        9,
        9,
        0,
        0,
        0,
        255,
        100,
        0,
        0,
        255,
        200,
        0,
        0,
        255,
        40,
        0,
        0,
        255,
        9,
        9,
        9,
        9,
    };
    static_assert(sizeof source == 2 * 20);
    std::uint8_t target[6 * 16];
    std::fill(std::begin(target), std::end(target), 0xAB);
    ASSERT_TRUE(resampleRgba({ source, 4, 2, 20 }, { target, 2, 6, 16 }));
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(target[16 * y], 50) << y;
        EXPECT_EQ(target[16 * y + 4], 120) << y;
        EXPECT_EQ(target[16 * y + 7], 255) << y;
        EXPECT_EQ(target[16 * y + 8], 0xAB) << y;
    }
    EXPECT_FALSE(resampleRgba({ source, 0, 2, 20 }, { target, 2, 6, 16 }));
}

} // namespace
