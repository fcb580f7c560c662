// The BMP decoder on files built here: each header form, depth and compression, and headers
// that lie about the file.

#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& out, std::size_t at, std::uint32_t value)
{
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

// A BMP file: file header, an info header of headerSize bytes (12 gives the OS/2 core form),
// the bytes that follow it (masks, palette) and the pixel data.
struct BmpFile {
    std::uint32_t headerSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint32_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    Bytes afterHeader; // masks and palette
    Bytes pixels;

    Bytes bytes() const
    {
        std::size_t offset = 14 + headerSize + afterHeader.size();
        Bytes out(offset, 0);
        out[0] = 'B';
        out[1] = 'M';
        put32(out, 2, static_cast<std::uint32_t>(offset + pixels.size()));
        put32(out, 10, static_cast<std::uint32_t>(offset));
        put32(out, 14, headerSize);
        if (headerSize == 12) {
            put16(out, 18, static_cast<std::uint32_t>(width));
            put16(out, 20, static_cast<std::uint32_t>(height));
            put16(out, 22, 1);
            put16(out, 24, bitsPerPixel);
        } else {
            put32(out, 18, static_cast<std::uint32_t>(width));
            put32(out, 22, static_cast<std::uint32_t>(height));
            put16(out, 26, 1);
            put16(out, 28, bitsPerPixel);
            put32(out, 30, compression);
            put32(out, 46, coloursUsed);
        }
        std::copy(afterHeader.begin(), afterHeader.end(), out.begin() + 14 + headerSize);
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// Palette entries as a BMP stores them: blue, green, red and a zero.
Bytes paletteOf(std::initializer_list<std::vector<int>> colours, int entryBytes = 4)
{
    Bytes out;
    for (const auto& rgb : colours) {
        out.push_back(static_cast<std::uint8_t>(rgb[2]));
        out.push_back(static_cast<std::uint8_t>(rgb[1]));
        out.push_back(static_cast<std::uint8_t>(rgb[0]));
        if (entryBytes == 4) {
            out.push_back(0);
        }
    }
    return out;
}

using Pixel = std::vector<int>;
const Pixel BLACK { 0, 0, 0, 255 };
const Pixel WHITE { 255, 255, 255, 255 };
const Pixel RED { 255, 0, 0, 255 };
const Pixel GREEN { 0, 255, 0, 255 };
const Pixel BLUE { 0, 0, 255, 255 };

TEST(BmpDecoder, TrueColourDepths)
{
    // 2 x 2, bottom row first: red, green / blue, white, each row padded to 4 bytes.
    BmpFile rgb24;
    rgb24.pixels = { 0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0 };
    Decoded decoded = decodeMemory(rgb24.bytes());
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.depth, 24);
    EXPECT_EQ(decoded.sourceDepth, 24);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_EQ(pixelAt(decoded, 0, 1), RED);
    EXPECT_EQ(pixelAt(decoded, 1, 1), GREEN);
    EXPECT_EQ(pixelAt(decoded, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(decoded, 1, 0), WHITE);

    // 16 bits, default 5-5-5: full channels widen to 255, not 248.
    BmpFile rgb16;
    rgb16.bitsPerPixel = 16;
    rgb16.height = 1;
    rgb16.pixels = { 0x00, 0x7C, 0xFF, 0x7F };
    decoded = decodeMemory(rgb16.bytes());
    EXPECT_EQ(decoded.sourceDepth, 16);
    EXPECT_EQ(pixelAt(decoded, 0, 0), RED);
    EXPECT_EQ(pixelAt(decoded, 1, 0), WHITE);

    // 16 bits with BITFIELDS 5-6-5.
    BmpFile rgb565 = rgb16;
    rgb565.compression = 3;
    rgb565.afterHeader = { 0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0 };
    rgb565.pixels = { 0xE0, 0x07, 0x1F, 0x00 };
    decoded = decodeMemory(rgb565.bytes());
    EXPECT_EQ(pixelAt(decoded, 0, 0), GREEN);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLUE);

    // 32 bits: blue, green, red and an ignored byte.
    BmpFile rgb32;
    rgb32.bitsPerPixel = 32;
    rgb32.height = 1;
    rgb32.pixels = { 0, 0, 255, 0x12, 255, 0, 0, 0x34 };
    decoded = decodeMemory(rgb32.bytes());
    EXPECT_EQ(decoded.depth, 24);
    EXPECT_EQ(pixelAt(decoded, 0, 0), RED);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLUE);
}

TEST(BmpDecoder, V5HeaderWithAlphaMaskGivesAlpha)
{
    BmpFile file;
    file.headerSize = 124;
    file.bitsPerPixel = 32;
    file.compression = 3;
    file.width = 2;
    file.height = 1;
    Bytes bytes;
    file.pixels = { 0, 0, 255, 128, 255, 0, 0, 0 };
    bytes = file.bytes();
    put32(bytes, 54, 0x00FF0000);
    put32(bytes, 58, 0x0000FF00);
    put32(bytes, 62, 0x000000FF);
    put32(bytes, 66, 0xFF000000);
    Decoded decoded = decodeMemory(bytes);
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.depth, 32);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 255, 0, 0, 128 }));
    EXPECT_EQ(pixelAt(decoded, 1, 0), (Pixel { 0, 0, 255, 0 }));
}

TEST(BmpDecoder, PalettedDepths)
{
    // 8 bits with colours-used 0: the palette has 2^8 entries, and index 200 is its 201st.
    BmpFile pal8;
    pal8.bitsPerPixel = 8;
    pal8.width = 2;
    pal8.height = 1;
    for (int i = 0; i < 256; ++i) {
        Bytes entry = paletteOf({ { i, 255 - i, i / 2 } });
        pal8.afterHeader.insert(pal8.afterHeader.end(), entry.begin(), entry.end());
    }
    pal8.pixels = { 200, 3, 0, 0 };
    Decoded decoded = decodeMemory(pal8.bytes());
    EXPECT_EQ(decoded.sourceDepth, 8);
    EXPECT_EQ(pixelAt(decoded, 0, 0), (Pixel { 200, 55, 100, 255 }));
    EXPECT_EQ(pixelAt(decoded, 1, 0), (Pixel { 3, 252, 1, 255 }));

    // Indices past the colours-used count are black, never bytes beyond the palette.
    BmpFile shortPalette = pal8;
    shortPalette.coloursUsed = 2;
    shortPalette.afterHeader = paletteOf({ { 255, 0, 0 }, { 0, 255, 0 } });
    shortPalette.pixels = { 1, 250, 0, 0 };
    decoded = decodeMemory(shortPalette.bytes());
    EXPECT_EQ(pixelAt(decoded, 0, 0), GREEN);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLACK);

    // 4 bits, high nibble first.
    BmpFile pal4;
    pal4.bitsPerPixel = 4;
    pal4.width = 3;
    pal4.height = 1;
    pal4.coloursUsed = 3;
    pal4.afterHeader = paletteOf({ { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } });
    pal4.pixels = { 0x21, 0x00, 0, 0 };
    decoded = decodeMemory(pal4.bytes());
    EXPECT_EQ(pixelAt(decoded, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(decoded, 1, 0), GREEN);
    EXPECT_EQ(pixelAt(decoded, 2, 0), RED);
}

TEST(BmpDecoder, OneBitPicturesUseTheirPalette)
{
    BmpFile blackWhite;
    blackWhite.bitsPerPixel = 1;
    blackWhite.width = 3;
    blackWhite.height = 1;
    blackWhite.afterHeader = paletteOf({ { 0, 0, 0 }, { 255, 255, 255 } });
    blackWhite.pixels = { 0b10100000, 0, 0, 0 };
    Decoded decoded = decodeMemory(blackWhite.bytes());
    EXPECT_EQ(decoded.sourceDepth, 1);
    EXPECT_EQ(pixelAt(decoded, 0, 0), WHITE);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLACK);
    EXPECT_EQ(pixelAt(decoded, 2, 0), WHITE);

    // A white-then-black palette (as BMP Suite's pal1wb.bmp has) must not come out inverted.
    BmpFile whiteBlack = blackWhite;
    whiteBlack.afterHeader = paletteOf({ { 255, 255, 255 }, { 0, 0, 0 } });
    decoded = decodeMemory(whiteBlack.bytes());
    EXPECT_EQ(pixelAt(decoded, 0, 0), BLACK);
    EXPECT_EQ(pixelAt(decoded, 1, 0), WHITE);

    // Without palette entries a 1-bit picture is black and white.
    BmpFile noPalette = blackWhite;
    noPalette.afterHeader.clear();
    decoded = decodeMemory(noPalette.bytes());
    EXPECT_EQ(pixelAt(decoded, 0, 0), WHITE);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLACK);
}

TEST(BmpDecoder, Os2CoreHeaderAndTopDownRows)
{
    // OS/2 1.x: 12-byte header, 16-bit sizes, palette entries of 3 bytes.
    BmpFile os2;
    os2.headerSize = 12;
    os2.bitsPerPixel = 1;
    os2.width = 2;
    os2.height = 1;
    os2.afterHeader = paletteOf({ { 0, 0, 255 }, { 255, 0, 0 } }, 3);
    os2.pixels = { 0b01000000, 0, 0, 0 };
    Decoded decoded = decodeMemory(os2.bytes());
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(pixelAt(decoded, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(decoded, 1, 0), RED);

    // A negative height stores the top row first.
    BmpFile topDown;
    topDown.width = 1;
    topDown.height = -2;
    topDown.pixels = { 0, 0, 255, 0, /**/ 255, 0, 0, 0 };
    decoded = decodeMemory(topDown.bytes());
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.height, 2);
    EXPECT_EQ(pixelAt(decoded, 0, 0), RED);
    EXPECT_EQ(pixelAt(decoded, 0, 1), BLUE);
}

TEST(BmpDecoder, RunLengthEncoding)
{
    // 8-bit RLE, 4 x 3, bottom row first: a run of 2, a move right 1 and up 1, a run of 9 that
    // the row's end clips, end of line, a literal of 3 (padded to 4 bytes), end of picture.
    BmpFile rle8;
    rle8.bitsPerPixel = 8;
    rle8.compression = 1;
    rle8.width = 4;
    rle8.height = 3;
    rle8.coloursUsed = 3;
    rle8.afterHeader = paletteOf({ { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } });
    rle8.pixels = { 2, 1, 0, 2, 1, 1, 9, 0, 0, 0, 0, 3, 2, 0, 2, 0, 0, 1 };
    Decoded decoded = decodeMemory(rle8.bytes());
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.result, 1);
    const Pixel expected[3][4] = {
        { BLUE, RED, BLUE, BLACK }, { BLACK, BLACK, BLACK, RED },
        { GREEN, GREEN, BLACK, BLACK }, // pixels the stream skips are black
    };
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixelAt(decoded, x, y), expected[y][x]) << x << "," << y;
        }
    }

    // 4-bit RLE: a run alternates the two nibbles, a literal of 3 takes 2 bytes (padded to 4).
    BmpFile rle4 = rle8;
    rle4.bitsPerPixel = 4;
    rle4.compression = 2;
    rle4.height = 1;
    rle4.width = 7;
    rle4.pixels = { 4, 0x12, 0, 3, 0x20, 0x10, 0, 1 };
    decoded = decodeMemory(rle4.bytes());
    EXPECT_EQ(decoded.result, 1);
    EXPECT_EQ(pixelAt(decoded, 0, 0), GREEN);
    EXPECT_EQ(pixelAt(decoded, 1, 0), BLUE);
    EXPECT_EQ(pixelAt(decoded, 2, 0), GREEN);
    EXPECT_EQ(pixelAt(decoded, 4, 0), BLUE);
    EXPECT_EQ(pixelAt(decoded, 5, 0), RED);
    EXPECT_EQ(pixelAt(decoded, 6, 0), GREEN);

    // Data that stops in the middle of a literal or before the end marker is broken, not read on.
    BmpFile cut = rle8;
    for (const Bytes& pixels : { Bytes { 2, 1, 0, 9, 1 }, Bytes { 2, 1, 0, 2, 1 }, Bytes { 2, 1, 0, 0 } }) {
        cut.pixels = pixels;
        decoded = decodeMemory(cut.bytes());
        ASSERT_EQ(decoded.opened, 1);
        EXPECT_EQ(decoded.result, 0);
        EXPECT_EQ(pixelAt(decoded, 0, 2), GREEN);
        EXPECT_EQ(pixelAt(decoded, 0, 0), BLACK);
    }
}

TEST(BmpDecoder, TruncatedRowsAreBrokenAndMissingRowsBlack)
{
    BmpFile file;
    file.width = 1;
    file.height = 3;
    file.pixels = { 0, 0, 255, 0, /**/ 0, 255, 0 }; // bottom row whole, the next one unpadded
    Decoded decoded = decodeFile(writeTemporaryFile("cut.bmp", file.bytes()));
    ASSERT_EQ(decoded.opened, 1);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(pixelAt(decoded, 0, 2), RED);
    EXPECT_EQ(pixelAt(decoded, 0, 1), GREEN); // a last row without its padding is still whole
    EXPECT_EQ(pixelAt(decoded, 0, 0), BLACK);
}

TEST(BmpDecoder, MalformedHeadersAreRefused)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    BmpFile valid;
    valid.pixels = Bytes(16, 0x80);
    ASSERT_EQ(decodeMemory(valid.bytes()).opened, 1);
    auto changed = [&](auto change) {
        BmpFile file = valid;
        change(file);
        return file.bytes();
    };
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes bytes = valid.bytes();
        put32(bytes, at, value);
        return bytes;
    };
    auto patched16 = [&](std::size_t at, std::uint32_t value) {
        Bytes bytes = valid.bytes();
        put16(bytes, at, value);
        return bytes;
    };
    const Case cases[] = {
        { "width 0", changed([](BmpFile& f) { f.width = 0; }) },
        { "width 33000", changed([](BmpFile& f) { f.width = 33000; }) },
        { "negative width", changed([](BmpFile& f) { f.width = -2; }) },
        { "height 33000", changed([](BmpFile& f) { f.height = 33000; }) },
        { "lowest height", changed([](BmpFile& f) { f.height = INT32_MIN; }) },
        { "over the pixel bound", changed([](BmpFile& f) { f.width = 30000, f.height = 30000; }) },
        { "bits per pixel 7", changed([](BmpFile& f) { f.bitsPerPixel = 7; }) },
        { "RLE8 at 24 bits", changed([](BmpFile& f) { f.compression = 1; }) },
        { "embedded JPEG", changed([](BmpFile& f) { f.compression = 4; }) },
        { "RLE top-down", changed([](BmpFile& f) { f.bitsPerPixel = 8, f.compression = 1, f.height = -2; }) },
        { "bitfields cut off", changed([](BmpFile& f) { f.bitsPerPixel = 16, f.compression = 3; }) },
        { "mask with a gap", changed([](BmpFile& f) {
             f.bitsPerPixel = 16, f.compression = 3,
             f.afterHeader = Bytes { 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
         }) },
        { "mask wider than the pixel", changed([](BmpFile& f) {
             f.bitsPerPixel = 16, f.compression = 3,
             f.afterHeader = Bytes { 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
         }) },
        { "header size 41", patched(14, 41) },
        { "header size past the file", patched(14, 124) },
        { "planes 2", patched16(26, 2) },
        { "pixel offset past the end", patched(10, 1000) },
        { "pixel offset at the end", patched(10, static_cast<std::uint32_t>(valid.bytes().size())) },
        { "pixel offset inside the header", patched(10, 20) },
        { "reserved field set", patched16(6, 1) },
    };
    for (const Case& c : cases) {
        Decoded decoded = decodeMemory(c.bytes);
        EXPECT_EQ(decoded.opened, 0) << c.what;
    }
}

TEST(BmpDecoder, ShortestFilesAreRefused)
{
    static constexpr std::uint8_t HEADER_ONLY[] = { 'B', 'M', 14, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0 };
    static_assert(sizeof(HEADER_ONLY) == 14);
    static constexpr std::uint8_t CORE_CUT[]
        = { 'B', 'M', 30, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1 };
    static_assert(sizeof(CORE_CUT) == 21);
    for (Bytes bytes : { Bytes(std::begin(HEADER_ONLY), std::end(HEADER_ONLY)),
             Bytes(std::begin(CORE_CUT), std::end(CORE_CUT)), Bytes { 'B', 'M' } }) {
        EXPECT_EQ(decodeMemory(bytes).opened, 0) << bytes.size();
        EXPECT_EQ(decodeFile(writeTemporaryFile("short.bmp", bytes)).opened, 0) << bytes.size();
    }
}

} // namespace
