// The PNG decoder on pictures written here with libpng: output formats and source depths,
// transparency, 16-bit and interlaced files, limits, and data that breaks off.

#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixel = std::vector<int>;

PngPicture pngOf(int width, int height, int colourType, int bitDepth)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    return picture;
}

// A width x height RGB picture whose pixel (x, y) is (x * 8, y * 8, x + y).
PngPicture gradient(int width, int height)
{
    PngPicture picture = pngOf(width, height, PNG_COLOR_TYPE_RGB, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.rows.push_back(static_cast<std::uint8_t>(x * 8));
            picture.rows.push_back(static_cast<std::uint8_t>(y * 8));
            picture.rows.push_back(static_cast<std::uint8_t>(x + y));
        }
    }
    return picture;
}

Pixel gradientAt(int x, int y)
{
    return { (x * 8) & 0xFF, (y * 8) & 0xFF, (x + y) & 0xFF, 255 };
}

// Rewrites the IHDR's width (and its CRC) of an encoded PNG.
Bytes withWidth(Bytes png, std::uint32_t width)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    }
    auto crc = static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17));
    for (int i = 0; i < 4; ++i) {
        png[29 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return png;
}

// The IHDR's width and height rewritten (and its CRC).
Bytes withSize(Bytes png, std::uint32_t width, std::uint32_t height)
{
    for (int i = 0; i < 4; ++i) {
        png[20 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    return withWidth(png, width); // which also recomputes the CRC over the new height
}

void appendBigEndian(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * i)));
    }
}

// The length, type and data of a chunk that claims `length` bytes of data, without its CRC.
Bytes chunkWithoutCrc(const char* type, const Bytes& data, std::uint32_t length)
{
    Bytes out;
    appendBigEndian(out, length);
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A chunk of the type and data with its CRC, claiming `length` bytes of data.
Bytes chunk(const char* type, const Bytes& data, std::uint32_t length)
{
    Bytes out = chunkWithoutCrc(type, data, length);
    appendBigEndian(
        out, static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(4 + data.size()))));
    return out;
}

// The same PNG with all its IDAT chunks joined into one.
Bytes withOneImageDataChunk(const Bytes& png)
{
    Bytes before(png.begin(), png.begin() + 8);
    Bytes imageData;
    Bytes after;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        std::uint32_t length = (std::uint32_t { png[at] } << 24) | (std::uint32_t { png[at + 1] } << 16)
            | (std::uint32_t { png[at + 2] } << 8) | png[at + 3];
        std::string type(png.begin() + static_cast<long>(at + 4), png.begin() + static_cast<long>(at + 8));
        Bytes whole(png.begin() + static_cast<long>(at), png.begin() + static_cast<long>(at + 12 + length));
        if (type == "IDAT") {
            imageData.insert(imageData.end(), whole.begin() + 8, whole.end() - 4);
        } else {
            Bytes& chunks = imageData.empty() ? before : after;
            chunks.insert(chunks.end(), whole.begin(), whole.end());
        }
        at += 12 + length;
    }
    Bytes joined = chunk("IDAT", imageData, static_cast<std::uint32_t>(imageData.size()));
    before.insert(before.end(), joined.begin(), joined.end());
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

TEST(PngDecoder, OutputFormatsAndSourceDepths)
{
    // Grey 2-bit: four levels widened to 0, 85, 170, 255; delivered as RGB.
    PngPicture grey2 = pngOf(4, 1, PNG_COLOR_TYPE_GRAY, 2);
    grey2.rows = { 0b00011011 };
    Decoded decoded = decodeMemory(encodePng(grey2));
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.depth, 24);
    EXPECT_EQ(decoded.sourceDepth, 2);
    EXPECT_EQ(pixelAt(decoded, 1, 0), (Pixel { 85, 85, 85, 255 }));
    EXPECT_EQ(pixelAt(decoded, 3, 0), (Pixel { 255, 255, 255, 255 }));

    // Palette with a transparency chunk of one entry: RGBA, entry 0 fully transparent.
    PngPicture icon = pngOf(3, 1, PNG_COLOR_TYPE_PALETTE, 8);
    icon.palette = { 255, 255, 255, 0, 0, 0, 10, 20, 30 };
    icon.transparency = { 0 };
    icon.rows = { 0, 1, 2 };
    decoded = decodeMemory(encodePng(icon));
    EXPECT_EQ(decoded.depth, 32);
    EXPECT_EQ(decoded.sourceDepth, 8);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 255, 255, 255, 0 }));
    EXPECT_EQ(pixelAt(decoded, 1, 0), (Pixel { 0, 0, 0, 255 }));
    EXPECT_EQ(pixelAt(decoded, 2, 0), (Pixel { 10, 20, 30, 255 }));

    // 16-bit RGB: the high byte of each sample; source depth 24.
    PngPicture rgb16 = pngOf(1, 1, PNG_COLOR_TYPE_RGB, 16);
    rgb16.rows = { 0x12, 0xFF, 0xAB, 0x01, 0x00, 0x80 };
    decoded = decodeMemory(encodePng(rgb16));
    EXPECT_EQ(decoded.depth, 24);
    EXPECT_EQ(decoded.sourceDepth, 24);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 0x12, 0xAB, 0x00, 255 }));

    // Grey with alpha, 16 bits: RGBA; source depth is the bit depth.
    PngPicture greyAlpha = pngOf(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16);
    greyAlpha.rows = { 0x40, 0x00, 0x80, 0xFF };
    decoded = decodeMemory(encodePng(greyAlpha));
    EXPECT_EQ(decoded.depth, 32);
    EXPECT_EQ(decoded.sourceDepth, 16);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 0x40, 0x40, 0x40, 0x80 }));

    // RGBA: source depth 32.
    PngPicture rgba = pngOf(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    rgba.rows = { 1, 2, 3, 4 };
    decoded = decodeMemory(encodePng(rgba));
    EXPECT_EQ(decoded.sourceDepth, 32);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 1, 2, 3, 4 }));
}

TEST(PngDecoder, InterlacedPicturesComeOutComplete)
{
    PngPicture picture = gradient(13, 11);
    picture.interlaced = true;
    for (int flags : { 0, DECODE_BOTTOM_UP }) {
        Bytes bytes = encodePng(picture);
        useAllDecoders();
        ASSERT_EQ(openImageMemory(bytes.data(), bytes.size()), 1);
        std::vector<std::uint8_t> rows(13 * 3 * 11, 0);
        ASSERT_EQ(readDecodedRows(rows.data(), 13 * 3, flags), 1);
        for (int y = 0; y < 11; ++y) {
            int place = flags == 0 ? y : 10 - y;
            for (int x = 0; x < 13; ++x) {
                const std::uint8_t* pixel = rows.data() + place * 39 + x * 3;
                EXPECT_EQ((Pixel { pixel[0], pixel[1], pixel[2], 255 }), gradientAt(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(PngDecoder, DataCutShortKeepsTheRowsItHas)
{
    PngPicture picture = gradient(80, 80);
    picture.compressionLevel = 0; // stored blocks: the first half of the file holds the top rows
    Bytes whole = encodePng(picture);
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
    for (const Decoded& decoded : { decodeMemory(cut), decodeFile(writeTemporaryFile("cut.png", cut)) }) {
        ASSERT_EQ(decoded.opened, 1);
        EXPECT_EQ(decoded.result, 0);
        EXPECT_EQ(pixelAt(decoded, 79, 0), gradientAt(79, 0));
        EXPECT_EQ(pixelAt(decoded, 5, 30), gradientAt(5, 30));
        EXPECT_EQ(pixelAt(decoded, 0, 79), (Pixel { 0, 0, 0, 255 }));
        EXPECT_EQ(pixelAt(decoded, 79, 79), (Pixel { 0, 0, 0, 255 }));
    }
    EXPECT_STRNE(lastDecodeFailure(), "");

    // The same with all rows in one IDAT chunk, whose length then runs past the end of the data
    // from the start: the picture still opens and gives the rows before the cut.
    Bytes single = withOneImageDataChunk(whole);
    Bytes singleCut(single.begin(), single.begin() + static_cast<long>(single.size() / 2));
    for (const Decoded& decoded :
        { decodeMemory(singleCut), decodeFile(writeTemporaryFile("cut-single.png", singleCut)) }) {
        ASSERT_EQ(decoded.opened, 1);
        EXPECT_EQ(decoded.result, 0);
        EXPECT_EQ(pixelAt(decoded, 79, 0), gradientAt(79, 0));
        EXPECT_EQ(pixelAt(decoded, 5, 30), gradientAt(5, 30));
        EXPECT_EQ(pixelAt(decoded, 79, 79), (Pixel { 0, 0, 0, 255 }));
    }
}

TEST(PngDecoder, SizesAndBrokenHeadersAreRefused)
{
    Bytes small = encodePng(gradient(4, 4));
    ASSERT_EQ(decodeMemory(small).opened, 1);
    Bytes badCrc = small;
    badCrc[30] ^= 0xFF;
    Bytes hugeChunk = small;
    hugeChunk.insert(hugeChunk.begin() + 33, { 0x40, 0, 0, 0, 't', 'E', 'X', 't', 'a', 0, 'b' });
    PngPicture wide = pngOf(33000, 1, PNG_COLOR_TYPE_GRAY, 1);
    wide.rows.assign(33000 / 8 + 1, 0);
    PngPicture tall = pngOf(1, 32767, PNG_COLOR_TYPE_GRAY, 1);
    tall.rows.assign(32767, 0);
    struct Case {
        const char* what;
        Bytes bytes;
        int opened;
    };
    const Case cases[] = {
        { "33000 wide", encodePng(wide), 0 },
        { "32767 tall", encodePng(tall), 1 },
        { "0 wide", withWidth(small, 0), 0 },
        { "IHDR CRC wrong", badCrc, 0 },
        { "chunk longer than the file", hugeChunk, 0 },
        { "signature only", Bytes(small.begin(), small.begin() + 8), 0 },
        { "seven signature bytes", Bytes(small.begin(), small.begin() + 7), 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeMemory(c.bytes).opened, c.opened) << c.what;
    }

    // An ancillary chunk that claims more than the file holds, behind a valid one: refused by our
    // own check before libpng sets aside the claimed size (1 MiB is within libpng's own limit).
    Bytes lateHugeChunk = small;
    Bytes gamma = chunk("gAMA", { 0, 0, 0xB1, 0x8F }, 4);
    // No CRC: the chunk just claims to go on.
    Bytes text = chunkWithoutCrc("tEXt", { 'a', 0, 'b' }, 1u << 20);
    gamma.insert(gamma.end(), text.begin(), text.end());
    lateHugeChunk.insert(lateHugeChunk.begin() + 33, gamma.begin(), gamma.end());
    EXPECT_EQ(decodeMemory(lateHugeChunk).opened, 0);
    EXPECT_STREQ(lastDecodeFailure(), "PNG: a chunk runs past the end of the data");

    // 20000 x 20000 is within 32767 per side but over the 2^27-pixel bound: refused at the header,
    // before anyone sets aside rows for it.
    Bytes bomb = withSize(small, 20000, 20000);
    useAllDecoders();
    EXPECT_EQ(openImageMemory(bomb.data(), bomb.size()), 0);
    EXPECT_STREQ(lastDecodeFailure(), "PNG: width or height out of range");
    finishDecoding();
}

} // namespace
