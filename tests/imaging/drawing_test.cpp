#include "imaging_fixture.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

constexpr Rgba FILL { 100, 150, 200, 77 };
constexpr Rgba OPAQUE_BLACK { 0, 0, 0, 255 };

Rgba gradient(int x, int y)
{
    return { std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y), 255 };
}

struct Rect {
    int left, top, right, bottom; // inclusive; right < left for none
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

using DrawingTest = ImagingTest;

TEST_F(DrawingTest, FilledBoxesCoverExactlyTheirClippedRectangle)
{
    struct Case {
        int x, y, width, height;
        Rect covered;
    };
    const Case cases[] = {
        { 89, 70, 3, 18, { 89, 70, 91, 87 } }, // the magnifier's cross-hair arms
        { 89, 92, 3, 18, { 89, 92, 91, 109 } },
        { 70, 89, 18, 3, { 70, 89, 87, 91 } },
        { 10, 5, -3, 2, { 7, 5, 9, 6 } }, // negative sizes extend left and up
        { 10, 5, 2, -3, { 10, 2, 11, 4 } },
        { 10, 10, -3, -3, { 7, 7, 9, 9 } },
        { -5, -5, 8, 7, { 0, 0, 2, 1 } }, // cut at the edges
        { 175, 178, 20, 20, { 175, 178, 179, 179 } },
        { -10, 50, 400, 1, { 0, 50, 179, 50 } },
        { 180, 0, 5, 5, { 1, 1, 0, 0 } }, // entirely outside
        { 0, -6, 5, 6, { 1, 1, 0, 0 } },
        { -3, 0, 3, 5, { 1, 1, 0, 0 } },
        { 20, 20, 0, 5, { 1, 1, 0, 0 } }, // empty
        { INT_MAX, INT_MAX, INT_MAX, INT_MAX, { 1, 1, 0, 0 } }, // no overflow into the image
        { INT_MIN, 3, INT_MAX, 1, { 1, 1, 0, 0 } },
        { 170, 3, INT_MIN, 1, { 0, 3, 169, 3 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
            << "drawBox(" << c.x << ", " << c.y << ", " << c.width << ", " << c.height << ")");
        makePattern(1, 180, 180, [](int, int) { return FILL; });
        ASSERT_TRUE(beginDrawing(imageDrawTarget(1)));
        drawBox(c.x, c.y, c.width, c.height, 0);
        endDrawing();
        EXPECT_TRUE(everyPixel(1, [&](int x, int y, Rgba p) {
            return p == (c.covered.contains(x, y) ? Rgba { 0, 0, 0, FILL[3] } : FILL);
        }));
    }
}

TEST_F(DrawingTest, ModesWriteTheirChannels)
{
    struct Case {
        int mode;
        std::uint32_t colour;
        Rgba result; // of the pixel 100, 150, 200, 77
    };
    const Case cases[] = {
        { 0, 0x11223344, { 0x44, 0x33, 0x22, 77 } },
        { DRAW_XOR, 0x80FF00F0, { 100 ^ 0xF0, 150, 200 ^ 0xFF, 77 } },
        { DRAW_ALPHA_ONLY, 0x80FF00F0, { 100, 150, 200, 0x80 } },
        { DRAW_ALL_CHANNELS, 0x80FF00F0, { 0xF0, 0, 0xFF, 0x80 } },
        { DRAW_ALPHA_BLEND, 0xFFFFFFFF, { 255, 255, 255, 255 } },
        { DRAW_ALPHA_BLEND, 0x00FFFFFF, FILL },
        { DRAW_ALPHA_BLEND, 0x80000000, { 50, 75, 100, 166 } }, // half black over it
        { DRAW_ALL_CHANNELS | DRAW_XOR, 0x01020304, { 4, 3, 2, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " colour " << std::hex << c.colour);
        makePattern(1, 4, 4, [](int, int) { return FILL; });
        ScopedDrawing drawing(imageDrawTarget(1));
        ASSERT_TRUE(drawing);
        drawingMode(c.mode);
        drawBox(1, 1, 2, 2, c.colour);
        EXPECT_EQ(pixelAt(1, 1, 1), c.result);
        EXPECT_EQ(pixelAt(1, 2, 2), c.result);
        EXPECT_EQ(pixelAt(1, 0, 0), FILL);
    }

    // Blending rounds each channel to the nearest: 1 x 127 / 255 is 0.498, 1 x 128 / 255 is 0.502.
    struct Blend {
        std::uint32_t colour;
        Rgba under, result;
    };
    const Blend blends[] = {
        { 0x7F000001, { 0, 0, 0, 255 }, { 0, 0, 0, 255 } },
        { 0x80000001, { 0, 0, 0, 255 }, { 1, 0, 0, 255 } },
        { 0x7F0000FF, { 0, 0, 0, 0 }, { 127, 0, 0, 127 } },
        { 0x7F000000, { 2, 0, 0, 1 }, { 1, 0, 0, 128 } }, // 2 x 128 / 255 = 1.004; 127 + 1 x 128 / 255
    };
    for (const Blend& b : blends) {
        SCOPED_TRACE(testing::Message() << "blend " << std::hex << b.colour);
        makePattern(1, 1, 1, [&](int, int) { return b.under; });
        ScopedDrawing drawing(imageDrawTarget(1));
        ASSERT_TRUE(drawing);
        drawingMode(DRAW_ALPHA_BLEND);
        drawBox(0, 0, 1, 1, b.colour);
        EXPECT_EQ(pixelAt(1, 0, 0), b.result);
    }
}

TEST_F(DrawingTest, OutlinesDrawEachEdgePixelOnce)
{
    struct Case {
        int width, height;
        const char* rows; // 8 x 6 pixels, '#' changed
    };
    const Case cases[] = {
        { 5, 4,
            ".#####.."
            ".#...#.."
            ".#...#.."
            ".#####.."
            "........"
            "........" },
        { 5, 1,
            ".#####.."
            "........"
            "........"
            "........"
            "........"
            "........" },
        { 1, 4,
            ".#......"
            ".#......"
            ".#......"
            ".#......"
            "........"
            "........" },
        { 2, 2,
            ".##....."
            ".##....."
            "........"
            "........"
            "........"
            "........" },
        { 9, 9,
            ".#######"
            ".#......"
            ".#......"
            ".#......"
            ".#......"
            ".#......" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        makePattern(1, 8, 6, [](int, int) { return OPAQUE_BLACK; });
        ScopedDrawing drawing(imageDrawTarget(1));
        drawingMode(DRAW_OUTLINE | DRAW_XOR); // a pixel written twice would come back black
        drawBox(1, 0, c.width, c.height, 0xFFFFFF);
        EXPECT_TRUE(everyPixel(
            1, [&](int x, int y, Rgba p) { return p[0] == (c.rows[y * 8 + x] == '#' ? 255 : 0); }));
    }
}

TEST_F(DrawingTest, EndingDrawingGivesANewPlatformImage)
{
    const Handle before = makeImage(1, 180, 180, 32);
    DrawingOutput* output = imageDrawTarget(1);
    EXPECT_EQ(currentDrawingOutput(), output);
    ASSERT_TRUE(beginDrawing(output));
    drawBox(0, 0, 1, 1, 0xFFFFFF);
    EXPECT_EQ(imagePlatformHandle(1), before);
    endDrawing();
    EXPECT_EQ(currentDrawingOutput(), nullptr);
    const Handle after = imagePlatformHandle(1);
    EXPECT_NE(after, before);
    EXPECT_EQ(platformImageReferences(before), 0);
    EXPECT_EQ(platformImagePixels(after)->data(), imagePixels(1)); // made over the buffer, not a copy
    EXPECT_EQ(pixelAt(1, 0, 0), (Rgba { 255, 255, 255, 255 }));
}

TEST_F(DrawingTest, OutputsThatCannotBeDrawnOnAreRefused)
{
    EXPECT_EQ(imageDrawTarget(9), nullptr);
    EXPECT_EQ(beginDrawing(nullptr), 0);
    endDrawing(); // nothing current: nothing happens
    drawBox(0, 0, 5, 5, 0);
    EXPECT_EQ(copyAreaToImage(3, 0, 0, 5, 5), 0);
    EXPECT_EQ(imageExists(3), 0);

    makeImage(1, 10, 10, 32);
    makeImage(2, 10, 10, 32);
    DrawingOutput* first = imageDrawTarget(1);
    DrawingOutput* second = imageDrawTarget(2); // ends the first
    EXPECT_EQ(beginDrawing(second), 1);
    EXPECT_EQ(beginDrawing(first == second ? nullptr : first), 0);
    endDrawing();

    // The image goes away between getting its output and beginning: the output is released.
    DrawingOutput* orphan = imageDrawTarget(1);
    releaseImage(1);
    EXPECT_EQ(beginDrawing(orphan), 0);
    EXPECT_EQ(currentDrawingOutput(), nullptr);
}

TEST_F(DrawingTest, ReleasingOrReplacingTheImageWhileDrawingStopsTheOutput)
{
    makePattern(1, 20, 20, gradient);
    ASSERT_TRUE(beginDrawing(imageDrawTarget(1)));
    // Copying the output's own area into its own number replaces the image being drawn on.
    const Handle copy = copyAreaToImage(1, 5, 5, 10, 10);
    EXPECT_NE(copy, 0);
    EXPECT_TRUE(everyPixel(1, [](int x, int y, Rgba p) { return p == gradient(x + 5, y + 5); }));
    drawBox(0, 0, 20, 20, 0xFFFFFF); // the old output is gone: nothing is written
    endDrawing();
    EXPECT_EQ(imagePlatformHandle(1), copy);
    EXPECT_TRUE(everyPixel(1, [](int x, int y, Rgba p) { return p == gradient(x + 5, y + 5); }));

    ASSERT_TRUE(beginDrawing(imageDrawTarget(1)));
    releaseImage(1);
    drawBox(0, 0, 20, 20, 0xFFFFFF);
    endDrawing();
    EXPECT_EQ(imageExists(1), 0);
}

TEST_F(DrawingTest, CopyAreaFillsWhatLiesOutsideTheOutputWithOpaqueBlack)
{
    struct Case {
        int x, y;
        Rect inside; // of the copy, inclusive
    };
    const Case cases[] = {
        { 100, 100, { 0, 0, 59, 59 } },
        { -30, 200, { 30, 0, 59, 59 } }, // mouse at the left edge
        { 300, -12, { 0, 12, 59, 59 } },
        { 930, 610, { 0, 0, 29, 29 } },
        { -30, -30, { 30, 30, 59, 59 } },
        { 960, 0, { 1, 1, 0, 0 } }, // entirely outside
        { -60, 300, { 1, 1, 0, 0 } },
        { 0, -1000, { 1, 1, 0, 0 } },
    };
    makePattern(0, 960, 640, gradient);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "copy at " << c.x << ", " << c.y);
        ScopedDrawing drawing(imageDrawTarget(0));
        const Handle handle = copyAreaToImage(1, c.x, c.y, 60, 60);
        EXPECT_EQ(handle, imagePlatformHandle(1));
        EXPECT_EQ(imagePixelWidth(1), 60);
        EXPECT_TRUE(everyPixel(1, [&](int x, int y, Rgba p) {
            return p == (c.inside.contains(x, y) ? gradient(c.x + x, c.y + y) : OPAQUE_BLACK);
        }));
    }
    ScopedDrawing drawing(imageDrawTarget(0));
    const auto number = static_cast<int>(copyAreaToImage(DYNAMIC_NUMBER, 1, 2, 3, 4));
    EXPECT_GE(number, 0x40000000);
    EXPECT_EQ(pixelAt(number, 2, 3), gradient(3, 5));
    EXPECT_EQ(copyAreaToImage(2, 0, 0, 0, 10), 0);
    EXPECT_EQ(copyAreaToImage(2, 0, 0, 40000, 10), 0);
}

TEST_F(DrawingTest, BufferOutputsOfThreeBytesAndBottomUpRows)
{
    // 3 x 2 pixels of R, G, B, rows stored bottom-up with 2 bytes of padding.
    std::uint8_t rows[] = {
        10, 11, 12, 20, 21, 22, 30, 31, 32, 0, 0, // row 1 (the lower row)
        40, 41, 42, 50, 51, 52, 60, 61, 62, 0, 0, // row 0
    };
    static_assert(sizeof rows == 2 * 11);
    ScopedDrawing drawing(bufferDrawTarget(rows, 3, 2, 11, OUTPUT_BOTTOM_UP));
    ASSERT_TRUE(drawing);
    EXPECT_NE(copyAreaToImage(1, -1, 0, 3, 3), 0);
    EXPECT_EQ(pixelAt(1, 0, 0), OPAQUE_BLACK);
    EXPECT_EQ(pixelAt(1, 1, 0), (Rgba { 40, 41, 42, 255 }));
    EXPECT_EQ(pixelAt(1, 2, 1), (Rgba { 20, 21, 22, 255 }));
    EXPECT_EQ(pixelAt(1, 2, 2), OPAQUE_BLACK);

    drawingMode(DRAW_ALPHA_ONLY); // no alpha to write in 3-byte pixels
    drawBox(0, 0, 3, 2, 0xFF000000);
    drawingMode(0);
    drawBox(2, 0, 5, 1, 0x030201);
    const std::uint8_t expected[] = {
        10,
        11,
        12,
        20,
        21,
        22,
        30,
        31,
        32,
        0,
        0,
        40,
        41,
        42,
        50,
        51,
        52,
        1,
        2,
        3,
        0,
        0,
    };
    static_assert(sizeof expected == sizeof rows);
    EXPECT_TRUE(std::equal(std::begin(rows), std::end(rows), std::begin(expected)));
    EXPECT_EQ(bufferDrawTarget(rows, 3, 2, 8, 0), nullptr); // stride shorter than a row

    // Rows packed without any padding: the stride is exactly width x bytes per pixel.
    EXPECT_NE(bufferDrawTarget(rows, 3, 2, 9, 0), nullptr);
    std::uint8_t packed[2 * 2 * 4] = {};
    ScopedDrawing packedDrawing(bufferDrawTarget(packed, 2, 2, 8, OUTPUT_FOUR_BYTES));
    ASSERT_TRUE(packedDrawing);
    drawingMode(DRAW_ALL_CHANNELS);
    drawBox(1, 1, 1, 1, 0x04030201);
    const std::uint8_t packedExpected[] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4 };
    static_assert(sizeof packedExpected == sizeof packed);
    EXPECT_TRUE(std::equal(std::begin(packed), std::end(packed), std::begin(packedExpected)));
}

TEST_F(DrawingTest, MagnifierStep)
{
    makePattern(0, 960, 640, gradient);
    makeImage(1, 180, 180, 32);
    const int mouseX = 500, mouseY = 20;
    {
        ScopedDrawing diagram(imageDrawTarget(0));
        ASSERT_TRUE(diagram);
        copyAreaToImage(1, mouseX - 30, mouseY - 30, 60, 60);
        EXPECT_EQ(scaleImage(1, 180, 180), 1);
    }
    {
        ScopedDrawing magnifier(imageDrawTarget(1));
        ASSERT_TRUE(magnifier);
        drawBox(89, 70, 3, 18, 0);
        drawBox(89, 92, 3, 18, 0);
        drawBox(70, 89, 18, 3, 0);
        drawBox(92, 89, 18, 3, 0);
    }
    // The pixel under the mouse shows in the open middle square (rows and columns 88 to 91),
    // unmixed where an enlarged pixel's centre falls.
    EXPECT_EQ(pixelAt(1, 91, 91), gradient(mouseX, mouseY));
    for (int y = 88; y <= 91; ++y) {
        for (int x = 88; x <= 91; ++x)
            EXPECT_GT(pixelAt(1, x, y)[0], 200) << x << ", " << y;
    }
    EXPECT_EQ(pixelAt(1, 90, 80), OPAQUE_BLACK);
    EXPECT_EQ(pixelAt(1, 80, 90), OPAQUE_BLACK);
    // The ten rows above the diagram's top edge come out black, three times enlarged; the
    // enlarged edge is smooth.
    EXPECT_EQ(pixelAt(1, 20, 0), OPAQUE_BLACK);
    EXPECT_EQ(pixelAt(1, 20, 28), OPAQUE_BLACK);
    EXPECT_GT(pixelAt(1, 20, 29)[0], 0);
    EXPECT_LT(pixelAt(1, 20, 29)[0], pixelAt(1, 20, 31)[0]);
}

} // namespace
