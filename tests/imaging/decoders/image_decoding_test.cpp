// The decoder registry and the decode state: registration rules, the order decoders are tried
// in, detection by content, the row order flag and the RGBA conversion.

#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixel = std::vector<int>;

// A decoder that reads a byte of a file source (moving its position) and declines.
int peekingRecognize(DecodeState& state)
{
    if (state.file != nullptr) {
        std::fgetc(state.file);
    }
    return 0;
}
int noRows(DecodeState&, std::uint8_t*, std::size_t, int)
{
    return 0;
}
void noFinish(DecodeState&)
{
}
const ImageDecoder PEEKING_DECODER { peekingRecognize, noRows, noFinish };

// A decoder that takes anything as a 1 x 1 picture.
int acceptAll(DecodeState& state)
{
    state.width = state.height = 1;
    state.outputDepth = 24;
    state.sourceDepth = 24;
    return 1;
}
int oneRedRow(DecodeState&, std::uint8_t* buffer, std::size_t, int)
{
    buffer[0] = 255;
    buffer[1] = buffer[2] = 0;
    return 1;
}
const ImageDecoder GREEDY_DECODER { acceptAll, oneRedRow, noFinish };

Bytes smallPng()
{
    PngPicture picture;
    picture.width = 3;
    picture.height = 2;
    picture.colourType = PNG_COLOR_TYPE_RGB;
    picture.rows = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18 };
    return encodePng(picture);
}

Bytes smallJpeg()
{
    JpegPicture picture;
    picture.width = 5;
    picture.height = 4;
    picture.components = 1;
    picture.samples.assign(20, 77);
    return encodeJpeg(picture);
}

// A 1 x 2 24-bit BMP: bottom row blue, top row red.
constexpr std::uint8_t TWO_ROW_BMP[] = {
    'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
    40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0,
    0, // info header
    255, 0, 0, 0, 0, 0, 255, 0, // pixels, bottom row first
};
static_assert(sizeof(TWO_ROW_BMP) == 62);

TEST(DecoderRegistry, RegistrationRules)
{
    initImageDecoders();
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(registerImageDecoder(&PEEKING_DECODER), i);
    }
    EXPECT_EQ(registerImageDecoder(&PEEKING_DECODER), 0); // the table holds 30

    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    EXPECT_EQ(registerImageDecoder(&PEEKING_DECODER), 4); // each built-in decoder is in once
}

TEST(DecoderRegistry, DecodersAreTriedInOrderEachFromTheStart)
{
    Bytes bmp(std::begin(TWO_ROW_BMP), std::end(TWO_ROW_BMP));
    std::string path = writeTemporaryFile("order.bmp", bmp);
    initImageDecoders();
    registerImageDecoder(&PEEKING_DECODER);
    useBmpDecoder();
    ASSERT_EQ(openImageFile(path.c_str()), 1); // the BMP decoder still sees "BM" at the start
    EXPECT_EQ(decodedHeight(), 2);
    finishDecoding();

    initImageDecoders();
    registerImageDecoder(&GREEDY_DECODER);
    useBmpDecoder();
    ASSERT_EQ(openImageMemory(bmp.data(), bmp.size()), 1);
    EXPECT_EQ(decodedHeight(), 1); // the first decoder that accepts wins
    std::vector<std::uint8_t> rgba(4);
    EXPECT_EQ(readDecodedRowsAsRgba(rgba.data()), 1);
    EXPECT_EQ(rgba, (std::vector<std::uint8_t> { 255, 0, 0, 255 }));
}

TEST(DecoderRegistry, ContentDecidesNotTheFileName)
{
    Decoded pngNamedJpg = decodeFile(writeTemporaryFile("picture.jpg", smallPng()));
    ASSERT_EQ(pngNamedJpg.opened, 1);
    EXPECT_EQ(pngNamedJpg.width, 3);
    EXPECT_EQ(pngNamedJpg.sourceDepth, 24);
    EXPECT_EQ(pixelAt(pngNamedJpg, 2, 1), (Pixel { 16, 17, 18, 255 }));

    Decoded jpegNamedPng = decodeFile(writeTemporaryFile("picture.png", smallJpeg()));
    ASSERT_EQ(jpegNamedPng.opened, 1);
    EXPECT_EQ(jpegNamedPng.width, 5);
    EXPECT_EQ(jpegNamedPng.sourceDepth, 8);

    Decoded bmpNamedPng = decodeFile(
        writeTemporaryFile("picture2.png", Bytes(std::begin(TWO_ROW_BMP), std::end(TWO_ROW_BMP))));
    ASSERT_EQ(bmpNamedPng.opened, 1);
    EXPECT_EQ(pixelAt(bmpNamedPng, 0, 0), (Pixel { 255, 0, 0, 255 }));
}

TEST(DecoderRegistry, BottomUpFlagReversesTheRows)
{
    for (const Bytes& bytes :
        { Bytes(std::begin(TWO_ROW_BMP), std::end(TWO_ROW_BMP)), smallPng(), smallJpeg() }) {
        Decoded topDown = decodeMemory(bytes);
        ASSERT_EQ(topDown.opened, 1);
        useAllDecoders();
        ASSERT_EQ(openImageMemory(bytes.data(), bytes.size()), 1);
        int width = decodedWidth();
        int height = decodedHeight();
        std::size_t stride = static_cast<std::size_t>(width) * 3 + 5; // rows may have slack
        std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height), 0);
        ASSERT_EQ(readDecodedRows(rows.data(), stride, DECODE_BOTTOM_UP), 1);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(
                    (Pixel { row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255 }), pixelAt(topDown, x, y));
            }
        }
    }
}

TEST(DecoderRegistry, NothingOpenOrNothingRecognised)
{
    useAllDecoders();
    std::vector<std::uint8_t> rgba(4, 7);
    EXPECT_EQ(readDecodedRowsAsRgba(rgba.data()), -1);
    EXPECT_EQ(rgba, (std::vector<std::uint8_t>(4, 7)));
    EXPECT_EQ(readDecodedRows(rgba.data(), 4, 0), 0);
    finishDecoding();

    EXPECT_EQ(openImageFile("/nonexistent/picture.png"), 0);
    EXPECT_EQ(openImageMemory(nullptr, 10), 0);
    EXPECT_EQ(openImageMemory(TWO_ROW_BMP, 0), 0);
    Bytes text { 'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n' };
    EXPECT_EQ(openImageMemory(text.data(), text.size()), 0);
    EXPECT_STREQ(lastDecodeFailure(), "not a BMP, PNG or JPEG picture");
    EXPECT_EQ(openImageFile(writeTemporaryFile("text.png", text).c_str()), 0);
    EXPECT_EQ(decodedWidth(), 0);

    // An open load is finished by the next open.
    Bytes png = smallPng();
    ASSERT_EQ(openImageMemory(png.data(), png.size()), 1);
    ASSERT_EQ(openImageMemory(TWO_ROW_BMP, sizeof(TWO_ROW_BMP)), 1);
    EXPECT_EQ(decodedHeight(), 2);
    finishDecoding();
    EXPECT_EQ(decodedHeight(), 0);
}

} // namespace
