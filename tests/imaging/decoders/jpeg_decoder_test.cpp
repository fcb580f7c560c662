// The JPEG decoder on pictures written here with libjpeg: greyscale, colour, four-component
// files, progressive files, and data that breaks off.

#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixel = std::vector<int>;

JpegPicture flat(int width, int height, std::vector<std::uint8_t> sample)
{
    JpegPicture picture;
    picture.width = width;
    picture.height = height;
    picture.components = static_cast<int>(sample.size());
    picture.quality = 100;
    for (int i = 0; i < width * height; ++i) {
        picture.samples.insert(picture.samples.end(), sample.begin(), sample.end());
    }
    return picture;
}

// A 64 x 64 colour picture whose rows differ: a gradient with a band every 8 rows.
JpegPicture banded(bool progressive)
{
    JpegPicture picture;
    picture.width = 64;
    picture.height = 64;
    picture.progressive = progressive;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            bool band = (y / 8) % 2 == 1;
            picture.samples.push_back(static_cast<std::uint8_t>(x * 4));
            picture.samples.push_back(static_cast<std::uint8_t>(band ? 200 : y * 2));
            picture.samples.push_back(static_cast<std::uint8_t>(band ? 40 : 255 - x * 2));
        }
    }
    return picture;
}

void expectNear(const Pixel& actual, const Pixel& expected, int tolerance)
{
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "channel " << i;
    }
}

TEST(JpegDecoder, GreyscaleAndColourComeOutAsRgb)
{
    Decoded grey = decodeMemory(encodeJpeg(flat(16, 16, { 90 })));
    ASSERT_EQ(grey.opened, 1);
    EXPECT_EQ(grey.depth, 24);
    EXPECT_EQ(grey.sourceDepth, 8);
    EXPECT_EQ(grey.result, 1);
    expectNear(pixelAt(grey, 7, 7), { 90, 90, 90, 255 }, 1);

    Decoded colour = decodeMemory(encodeJpeg(flat(16, 16, { 200, 30, 90 })));
    EXPECT_EQ(colour.depth, 24);
    EXPECT_EQ(colour.sourceDepth, 24);
    expectNear(pixelAt(colour, 3, 12), { 200, 30, 90, 255 }, 3);
}

TEST(JpegDecoder, FourComponentFilesAreConvertedToRgb)
{
    // Ink values C, M, Y, K for an orange (255, 128, 0): no cyan, half magenta, full yellow.
    const std::vector<std::uint8_t> ink { 0, 127, 255, 0 };
    const std::vector<std::uint8_t> inverted { 255, 128, 0, 255 }; // as Adobe applications store it
    struct Case {
        const char* what;
        std::vector<std::uint8_t> stored;
        bool adobe;
        bool ycck;
    };
    const Case cases[] = {
        { "plain CMYK", ink, false, false },
        { "Adobe inverted CMYK", inverted, true, false },
        { "Adobe YCCK", inverted, true, true },
    };
    for (const Case& c : cases) {
        JpegPicture picture = flat(16, 16, c.stored);
        picture.adobeMarker = c.adobe;
        picture.ycck = c.ycck;
        Decoded decoded = decodeMemory(encodeJpeg(picture));
        ASSERT_EQ(decoded.opened, 1) << c.what;
        EXPECT_EQ(decoded.depth, 24) << c.what;
        EXPECT_EQ(decoded.sourceDepth, 32) << c.what;
        SCOPED_TRACE(c.what);
        expectNear(pixelAt(decoded, 8, 8), { 255, 128, 0, 255 }, 3);
    }
}

TEST(JpegDecoder, ProgressiveDecodesLikeBaseline)
{
    Decoded baseline = decodeMemory(encodeJpeg(banded(false)));
    Decoded progressive = decodeMemory(encodeJpeg(banded(true)));
    ASSERT_EQ(progressive.result, 1);
    EXPECT_TRUE(baseline.rgba == progressive.rgba);
}

TEST(JpegDecoder, DataCutShortKeepsOnlyRealRows)
{
    Bytes whole = encodeJpeg(banded(false));
    Decoded complete = decodeMemory(whole);
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() * 6 / 10));
    for (const Decoded& decoded : { decodeMemory(cut), decodeFile(writeTemporaryFile("cut.jpg", cut)) }) {
        ASSERT_EQ(decoded.opened, 1);
        EXPECT_EQ(decoded.result, 0);
        int realRows = 0;
        while (realRows < 64
            && std::equal(decoded.rgba.begin() + realRows * 256, decoded.rgba.begin() + (realRows + 1) * 256,
                complete.rgba.begin() + realRows * 256)) {
            ++realRows;
        }
        EXPECT_GE(realRows, 8);
        EXPECT_LT(realRows, 64);
        for (int y = realRows; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(pixelAt(decoded, x, y), (Pixel { 0, 0, 0, 255 })) << x << "," << y;
            }
        }
    }

    // A progressive file reads all its scans before the first row: cut short, it still gives the
    // whole (coarser) picture, but reports the data as broken.
    Bytes progressive = encodeJpeg(banded(true));
    Bytes cutProgressive(
        progressive.begin(), progressive.begin() + static_cast<long>(progressive.size() * 6 / 10));
    Decoded decoded = decodeMemory(cutProgressive);
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.result, 0);

    // A file that lacks only its end marker is whole.
    Bytes noEnd(whole.begin(), whole.end() - 2);
    EXPECT_EQ(decodeMemory(noEnd).result, 1);
}

TEST(JpegDecoder, ShortAndBrokenHeadersAreRefused)
{
    static constexpr std::uint8_t START_ONLY[] = { 0xFF, 0xD8 };
    static_assert(sizeof(START_ONLY) == 2);
    static constexpr std::uint8_t START_AND_MARKER[] = { 0xFF, 0xD8, 0xFF };
    static_assert(sizeof(START_AND_MARKER) == 3);
    Bytes whole = encodeJpeg(flat(16, 16, { 1, 2, 3 }));
    auto withSize = [&](int width, int height) {
        Bytes bytes = whole;
        for (std::size_t i = 2; i + 8 < bytes.size(); ++i) {
            if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) { // SOF0: length, precision, height, width
                bytes[i + 5] = static_cast<std::uint8_t>(height >> 8);
                bytes[i + 6] = static_cast<std::uint8_t>(height);
                bytes[i + 7] = static_cast<std::uint8_t>(width >> 8);
                bytes[i + 8] = static_cast<std::uint8_t>(width);
                break;
            }
        }
        return bytes;
    };
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        { "FF D8 alone", Bytes(std::begin(START_ONLY), std::end(START_ONLY)) },
        { "FF D8 FF", Bytes(std::begin(START_AND_MARKER), std::end(START_AND_MARKER)) },
        { "header cut short", Bytes(whole.begin(), whole.begin() + 100) },
        { "0 wide", withSize(0, 16) },
        { "33000 wide", withSize(33000, 16) },
        { "over the pixel bound", withSize(30000, 30000) },
        { "garbage after the start", Bytes { 0xFF, 0xD8, 0x00, 0x11, 0x22, 0x33, 0x44 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeMemory(c.bytes).opened, 0) << c.what;
        EXPECT_EQ(decodeFile(writeTemporaryFile("refused.jpg", c.bytes)).opened, 0) << c.what;
    }
    EXPECT_EQ(decodeMemory(withSize(16, 16)).opened, 1);
}

} // namespace
