#include "imaging_fixture.h"

#include "imaging/decoders/image_limits.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr Rgba OPAQUE_BLACK { 0, 0, 0, 255 };

Rgba gradient(int x, int y)
{
    return { std::uint8_t(x * 7), std::uint8_t(y * 5), std::uint8_t(x + y), std::uint8_t(255 - x) };
}

using ImageTest = ImagingTest;

TEST_F(ImageTest, MakeImageFillsOpaqueBlackOrTransparent)
{
    struct Case {
        int flags;
        Rgba every;
    };
    for (const Case& c :
        { Case { 32, OPAQUE_BLACK }, Case { 32 | IMAGE_TRANSPARENT, Rgba { 0, 0, 0, 0 } } }) {
        SCOPED_TRACE(c.flags);
        const Handle handle = makeImage(1, 180, 180, c.flags);
        EXPECT_NE(handle, 0);
        EXPECT_EQ(imagePlatformHandle(1), handle);
        EXPECT_EQ(imagePixelWidth(1), 180);
        EXPECT_EQ(imagePixelHeight(1), 180);
        EXPECT_EQ(imageBitDepth(1, 0), 32);
        EXPECT_EQ(imageBitDepth(1, -2), 32);
        EXPECT_TRUE(everyPixel(1, [&](int, int, Rgba p) { return p == c.every; }));
    }
}

TEST_F(ImageTest, NumbersThatAreNotLiveGiveZeroAndChangeNothing)
{
    makeImage(3, 4, 4, 32);
    releaseImage(3);
    for (int number : { 0, 3, 15, 16, 5000, -7, DYNAMIC_NUMBER, 0x40000000, 0x40000123 }) {
        SCOPED_TRACE(number);
        EXPECT_EQ(imageExists(number), 0);
        EXPECT_EQ(imagePixelWidth(number), 0);
        EXPECT_EQ(imagePixelHeight(number), 0);
        EXPECT_EQ(imageBitDepth(number, -2), 0);
        EXPECT_EQ(imageBitDepth(number, 0), 0);
        EXPECT_EQ(imagePlatformHandle(number), 0);
        EXPECT_EQ(imagePixels(number), nullptr);
        EXPECT_EQ(scaleImage(number, 10, 10), 0);
        releaseImage(number);
    }
    EXPECT_EQ(livePlatformImageCount(), 0);
}

TEST_F(ImageTest, SizesImagesCannotHaveAreRefusedAndLeaveTheNumbersImage)
{
    const Handle before = makePattern(5, 8, 6, gradient);
    struct Size {
        int width, height;
    };
    for (Size s : { Size { 0, 10 }, Size { 10, 0 }, Size { -4, 10 }, Size { 10, -4 }, Size { 32768, 1 },
             Size { 1, 32768 }, Size { 20000, 20000 } }) { // the last is beyond MAX_IMAGE_PIXELS
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height);
        EXPECT_EQ(makeImage(5, s.width, s.height, 32), 0);
        EXPECT_EQ(makeImage(DYNAMIC_NUMBER, s.width, s.height, 32), 0);
        EXPECT_EQ(scaleImage(5, s.width, s.height), 0);
        EXPECT_EQ(imagePlatformHandle(5), before);
        EXPECT_EQ(imagePixelWidth(5), 8);
        EXPECT_TRUE(everyPixel(5, [](int x, int y, Rgba p) { return p == gradient(x, y); }));
    }
    EXPECT_NE(makeImage(6, 32767, 1, 32), 0);
    EXPECT_NE(makeImage(7, 1, 32767, 32), 0);
}

TEST_F(ImageTest, NumbersOutsideTheTableAreRefusedWithoutTakingAnything)
{
    for (int number : { -2, -100, 0x40000000, 0x7FFFFFFF }) {
        EXPECT_EQ(makeImage(number, 4, 4, 32), 0) << number;
        const auto data = fake::encode(2, 2, 24, 24, gradient);
        EXPECT_EQ(decodeImageMemory(number, data.data(), data.size()), 0) << number;
    }
    EXPECT_EQ(livePlatformImageCount(), 0);
}

TEST_F(ImageTest, DynamicNumbersAreFreshAndLive)
{
    const auto first = static_cast<int>(makeImage(DYNAMIC_NUMBER, 3, 2, 32));
    const auto second = static_cast<int>(makeImage(DYNAMIC_NUMBER, 5, 4, 32));
    EXPECT_GE(first, 0x40000000);
    EXPECT_NE(first, second);
    EXPECT_EQ(imagePixelWidth(first), 3);
    EXPECT_EQ(imagePixelWidth(second), 5);
    EXPECT_NE(imagePlatformHandle(first), 0);
    releaseImage(first);
    EXPECT_EQ(imageExists(first), 0);
    EXPECT_NE(imageExists(second), 0);
}

TEST_F(ImageTest, ReusingALiveNumberReleasesThePreviousImage)
{
    const Handle old = makeImage(1, 10, 10, 32);
    EXPECT_EQ(platformImageReferences(old), 1);
    const Handle made = makeImage(1, 20, 20, 32 | IMAGE_TRANSPARENT);
    EXPECT_NE(made, old);
    EXPECT_EQ(platformImageReferences(old), 0);
    EXPECT_EQ(livePlatformImageCount(), 1);
    const auto data = fake::encode(3, 3, 24, 24, gradient);
    const Handle decoded = decodeImageMemory(1, data.data(), data.size());
    EXPECT_EQ(platformImageReferences(made), 0);
    EXPECT_EQ(imagePlatformHandle(1), decoded);
    EXPECT_EQ(livePlatformImageCount(), 1);
}

TEST_F(ImageTest, DecodingKeepsColoursAndGivesOpaqueAlphaToThreeByteRows)
{
    struct Case {
        int depth, sourceDepth;
    };
    for (Case c : { Case { 24, 24 }, Case { 24, 2 }, Case { 32, 32 }, Case { 32, 8 } }) {
        SCOPED_TRACE(testing::Message() << c.depth << " from " << c.sourceDepth);
        const auto data = fake::encode(13, 7, c.depth, c.sourceDepth, gradient);
        EXPECT_NE(decodeImageMemory(0, data.data(), data.size()), 0);
        EXPECT_EQ(imagePixelWidth(0), 13);
        EXPECT_EQ(imagePixelHeight(0), 7);
        EXPECT_EQ(imageBitDepth(0, -2), c.sourceDepth);
        EXPECT_EQ(imageBitDepth(0, 1), 32);
        EXPECT_TRUE(everyPixel(0, [&](int x, int y, Rgba p) {
            Rgba want = gradient(x, y);
            if (c.depth == 24)
                want[3] = 255;
            return p == want;
        }));
    }
}

TEST_F(ImageTest, MissingRowsOfBrokenDataAreOpaqueBlackAndOnlyTheGivenSizeIsRead)
{
    auto data = fake::encode(4, 6, 32, 32, gradient);
    // Cut in the middle of row 3: rows 0-2 decode, 3-5 do not. The bytes after the size passed
    // are still there, so reading past it would show up as colour.
    const std::size_t cut = 10 + 3 * 16 + 5;
    EXPECT_NE(decodeImageMemory(2, data.data(), cut), 0);
    EXPECT_TRUE(
        everyPixel(2, [](int x, int y, Rgba p) { return y < 3 ? p == gradient(x, y) : p == OPAQUE_BLACK; }));
}

TEST_F(ImageTest, DataNoDecoderTakesLeavesTheNumbersImageInPlace)
{
    const Handle picture = makePattern(0, 9, 9, gradient);
    const std::uint8_t* pixels = imagePixels(0);
    const char text[] = "Just some text, not a picture.";
    const auto tooWide = fake::encode(1, 1, 24, 24, gradient);
    auto tooWideHeader = tooWide;
    tooWideHeader[4] = 0x90; // 40080 pixels wide: beyond what an image may have
    tooWideHeader[5] = 0x9C;

    const std::filesystem::path textFile = std::filesystem::path(testing::TempDir()) / "not_a_picture.png";
    std::ofstream(textFile) << text;

    EXPECT_EQ(decodeImageMemory(0, text, sizeof text), 0);
    EXPECT_EQ(decodeImageMemory(0, text, 0), 0);
    EXPECT_EQ(decodeImageMemory(0, nullptr, 100), 0);
    EXPECT_EQ(decodeImageMemory(0, tooWideHeader.data(), tooWideHeader.size()), 0);
    EXPECT_EQ(loadImageFile(0, textFile.c_str()), 0);
    EXPECT_EQ(loadImageFile(0, "/nonexistent/folder/diagram.png"), 0);
    EXPECT_EQ(loadImageFile(0, nullptr), 0);

    EXPECT_EQ(imagePlatformHandle(0), picture);
    EXPECT_EQ(imagePixels(0), pixels);
    EXPECT_TRUE(everyPixel(0, [](int x, int y, Rgba p) { return p == gradient(x, y); }));
    std::filesystem::remove(textFile);
}

TEST_F(ImageTest, LoadsFilesByContentWhateverTheirName)
{
    const auto data = fake::encode(5, 3, 24, 24, gradient);
    const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "chart.jpg";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));

    const Handle handle = loadImageFile(0, file.c_str());
    EXPECT_NE(handle, 0);
    EXPECT_EQ(imagePlatformHandle(0), handle);
    EXPECT_EQ(imagePixelWidth(0), 5);
    const auto number = static_cast<int>(loadImageFile(DYNAMIC_NUMBER, file.c_str()));
    EXPECT_GE(number, 0x40000000);
    EXPECT_EQ(pixelAt(number, 4, 2), (Rgba { 28, 10, 6, 255 }));
    std::filesystem::remove(file);
}

TEST_F(ImageTest, ReleaseAllImagesFreesEveryNumber)
{
    makeImage(0, 2, 2, 32);
    makeImage(40, 2, 2, 32);
    const auto dynamic = static_cast<int>(makeImage(DYNAMIC_NUMBER, 2, 2, 32));
    EXPECT_EQ(livePlatformImageCount(), 3);
    releaseAllImages();
    EXPECT_EQ(livePlatformImageCount(), 0);
    for (int number : { 0, 40, dynamic })
        EXPECT_EQ(imageExists(number), 0) << number;
    EXPECT_NE(makeImage(40, 2, 2, 32), 0); // the table is still usable
}

} // namespace
