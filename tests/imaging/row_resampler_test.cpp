// The resampler that takes a picture one row at a time: R,G,B rows, rows mixing opaque and
// transparent pixels within one target row, and target rows written as soon as their source rows
// are in.

#include "imaging/image_scaling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Size {
    int width, height;
};

// Pseudo-random bytes that repeat from run to run.
class Noise {
public:
    std::uint8_t next() { return static_cast<std::uint8_t>((m_seed = m_seed * 1103515245 + 12345) >> 16); }

private:
    std::uint32_t m_seed = 4711;
};

// Resamples rows of pixelBytes bytes given one by one; the target starts out as 0x5A everywhere.
Bytes resampleRows(const Bytes& rows, Size source, RowPixels pixels, Size target)
{
    const std::size_t pixelBytes = pixels == RowPixels::Rgb ? 3 : 4;
    Bytes out(static_cast<std::size_t>(target.width) * target.height * 4, 0x5A);
    RowResampler resampler;
    EXPECT_TRUE(resampler.start(source.width, source.height, pixels,
        { out.data(), target.width, target.height, static_cast<std::size_t>(target.width) * 4 }));
    for (int y = 0; y < source.height; ++y)
        resampler.addRow(rows.data() + static_cast<std::size_t>(y) * source.width * pixelBytes);
    EXPECT_TRUE(resampler.finished());
    return out;
}

TEST(RowResampler, RgbRowsGiveWhatOpaqueRgbaRowsGive)
{
    // Shrinking and growing in either direction, by whole and by odd factors.
    const Size cases[][2] = {
        { { 60, 40 }, { 13, 9 } },
        { { 60, 40 }, { 150, 100 } },
        { { 33, 71 }, { 70, 20 } },
        { { 71, 33 }, { 20, 70 } },
        { { 17, 17 }, { 17, 17 } },
        { { 1, 1 }, { 5, 3 } },
    };
    for (const auto& c : cases) {
        const Size source = c[0];
        const Size target = c[1];
        SCOPED_TRACE(testing::Message()
            << source.width << "x" << source.height << " to " << target.width << "x" << target.height);
        Noise noise;
        Bytes rgb;
        Bytes rgba;
        for (int i = 0; i < source.width * source.height; ++i) {
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t sample = noise.next();
                rgb.push_back(sample);
                rgba.push_back(sample);
            }
            rgba.push_back(255);
        }
        EXPECT_EQ(resampleRows(rgb, source, RowPixels::Rgb, target),
            resampleRows(rgba, source, RowPixels::Rgba, target));
    }
}

// The area average of the source under target pixel (tx, ty), colours weighted by alpha.
std::vector<double> areaAverage(const Bytes& rgba, Size source, Size target, int tx, int ty)
{
    const double sx = static_cast<double>(source.width) / target.width;
    const double sy = static_cast<double>(source.height) / target.height;
    double weights = 0;
    double alpha = 0;
    double colour[3] = { 0, 0, 0 };
    for (int y = 0; y < source.height; ++y) {
        const double h = std::min(y + 1.0, (ty + 1) * sy) - std::max(static_cast<double>(y), ty * sy);
        for (int x = 0; x < source.width && h > 0; ++x) {
            const double w = std::min(x + 1.0, (tx + 1) * sx) - std::max(static_cast<double>(x), tx * sx);
            if (w <= 0)
                continue;
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * source.width + x) * 4];
            weights += w * h;
            alpha += w * h * p[3];
            for (int c = 0; c < 3; ++c)
                colour[c] += w * h * p[3] * p[c];
        }
    }
    if (alpha == 0)
        return { 0, 0, 0, 0 };
    return { colour[0] / alpha, colour[1] / alpha, colour[2] / alpha, alpha / weights };
}

TEST(RowResampler, TargetRowsMixingOpaqueAndTransparentRowsAreAlphaWeightedAverages)
{
    // Every target row covers about 2.6 source rows, where opaque rows, fully transparent ones
    // and rows of random alpha alternate in different orders: the sums of a target row begin
    // plain and turn premultiplied when the first row with transparency joins them.
    const Size source { 45, 60 };
    const Size target { 16, 23 };
    Noise noise;
    Bytes rgba;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const int kind = (y * 7 / 3) % 5;
            rgba.push_back(noise.next());
            rgba.push_back(noise.next());
            rgba.push_back(noise.next());
            rgba.push_back(kind < 2 ? 255 : kind == 2 ? 0 : noise.next());
        }
    }
    const Bytes out = resampleRows(rgba, source, RowPixels::Rgba, target);
    for (int ty = 0; ty < target.height; ++ty) {
        for (int tx = 0; tx < target.width; ++tx) {
            const std::vector<double> expected = areaAverage(rgba, source, target, tx, ty);
            const std::uint8_t* p = &out[(static_cast<std::size_t>(ty) * target.width + tx) * 4];
            EXPECT_NEAR(p[3], expected[3], 1.0) << tx << ", " << ty;
            // The colour of a nearly transparent average is rounded from few bits.
            const double tolerance = expected[3] >= 16 ? 1.5 : 255;
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(p[c], expected[c], tolerance) << tx << ", " << ty << " channel " << c;
        }
    }
}

TEST(RowResampler, WritesEachTargetRowAsSoonAsTheRowsUnderItAreIn)
{
    // Shrinking 5 to 1 down (and growing across), target row y covers source rows 5y to 5y + 4.
    // Growing 1 to 4 down, it mixes the two source rows whose centres enclose its centre,
    // (2y - 3) / 8 in source rows.
    struct Case {
        Size source, target;
        int (*lastRowNeeded)(int y);
    };
    const Case cases[] = {
        { { 10, 50 }, { 20, 10 }, [](int y) { return 5 * y + 4; } },
        { { 10, 10 }, { 20, 40 },
            [](int y) { return std::clamp(static_cast<int>(std::floor((2 * y - 3) / 8.0)) + 1, 0, 9); } },
    };
    for (const Case& c : cases) {
        Bytes out(static_cast<std::size_t>(c.target.width) * c.target.height * 4, 0x5A);
        const Bytes row(static_cast<std::size_t>(c.source.width) * 3, 200);
        RowResampler resampler;
        ASSERT_TRUE(resampler.start(c.source.width, c.source.height, RowPixels::Rgb,
            { out.data(), c.target.width, c.target.height, static_cast<std::size_t>(c.target.width) * 4 }));
        for (int r = 0; r < c.source.height; ++r) {
            EXPECT_FALSE(resampler.finished());
            resampler.addRow(row.data());
            for (int y = 0; y < c.target.height; ++y) {
                const std::uint8_t first = out[static_cast<std::size_t>(y) * c.target.width * 4];
                EXPECT_EQ(first, c.lastRowNeeded(y) <= r ? 200 : 0x5A) << "row " << y << " after " << r;
            }
        }
        EXPECT_TRUE(resampler.finished());
        resampler.addRow(row.data()); // rows beyond the last are ignored
    }
}

TEST(RowResampler, RefusesSizesThatAreNotPositive)
{
    std::uint8_t target[16] = {};
    RowResampler resampler;
    EXPECT_FALSE(resampler.start(0, 5, RowPixels::Rgba, { target, 2, 2, 8 }));
    EXPECT_FALSE(resampler.start(5, -1, RowPixels::Rgba, { target, 2, 2, 8 }));
    EXPECT_FALSE(resampler.start(5, 5, RowPixels::Rgb, { target, 0, 2, 8 }));
    EXPECT_FALSE(resampler.finished());
    const std::uint8_t row[15] = {};
    resampler.addRow(row); // no start: nothing happens
    EXPECT_EQ(target[0], 0);
}

} // namespace
