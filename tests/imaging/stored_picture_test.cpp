#include "imaging_fixture.h"

#include "imaging/stored_picture.h"

#include <zlib.h>

#include <string>

namespace {

std::uint32_t bigEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

// The chunks of a PNG file, checking the signature, the lengths and every CRC (PNG format,
// section 5). Empty when anything is wrong.
std::vector<Chunk> pngChunks(StoredPictureBytes png)
{
    static const std::uint8_t signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (png.size < 8 || std::memcmp(png.data, signature, 8) != 0)
        return {};
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size) {
        const std::uint32_t length = bigEndian(png.data + at);
        if (length > png.size - at - 12)
            return {};
        const std::uint8_t* typeAndData = png.data + at + 4;
        const auto crc = static_cast<std::uint32_t>(crc32(0, typeAndData, length + 4));
        if (crc != bigEndian(typeAndData + 4 + length))
            return {};
        chunks.push_back({ std::string(reinterpret_cast<const char*>(typeAndData), 4),
            std::vector<std::uint8_t>(typeAndData + 4, typeAndData + 4 + length) });
        at += 12 + length;
    }
    return at == png.size ? chunks : std::vector<Chunk> {};
}

std::vector<std::uint8_t> inflated(const std::vector<std::uint8_t>& compressed, std::size_t size)
{
    std::vector<std::uint8_t> out(size + 1);
    uLongf outSize = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &outSize, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK)
        return {};
    out.resize(outSize);
    return out;
}

TEST(StoredPicture, EachIsACompletePngOfTheRightKind)
{
    struct Case {
        StoredPicture picture;
        std::uint32_t width, height;
        int colourType; // 3 palette, 6 RGBA
    };
    const Case cases[] = {
        { StoredPicture::DialogQuestion, 120, 90, 3 },
        { StoredPicture::DialogProhibition, 120, 90, 3 },
        { StoredPicture::DialogLightBulb, 120, 90, 3 },
        { StoredPicture::DialogInformation, 120, 90, 3 },
        { StoredPicture::DialogPadlock, 120, 90, 3 },
        { StoredPicture::Pen, 24, 24, 6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.picture));
        const std::vector<Chunk> chunks = pngChunks(storedPicture(c.picture));
        std::string order;
        for (const Chunk& chunk : chunks)
            order += chunk.type + " ";
        ASSERT_EQ(order, c.colourType == 3 ? "IHDR PLTE tRNS IDAT IEND " : "IHDR IDAT IEND ");

        const std::vector<std::uint8_t>& header = chunks[0].data;
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(bigEndian(&header[0]), c.width);
        EXPECT_EQ(bigEndian(&header[4]), c.height);
        EXPECT_EQ(header[8], 8); // bit depth
        EXPECT_EQ(header[9], c.colourType);
        EXPECT_EQ(header[12], 0); // not interlaced

        const std::size_t bytesPerPixel = c.colourType == 3 ? 1 : 4;
        const std::size_t rowBytes = 1 + c.width * bytesPerPixel;
        const std::vector<std::uint8_t> rows
            = inflated(chunks[c.colourType == 3 ? 3 : 1].data, rowBytes * c.height);
        ASSERT_EQ(rows.size(), rowBytes * c.height);
        auto sample
            = [&](std::uint32_t x, std::uint32_t y) { return &rows[y * rowBytes + 1 + x * bytesPerPixel]; };

        // The background (all four corners) is transparent; a good part of the picture is drawn.
        std::size_t drawn = 0;
        for (std::uint32_t y = 0; y < c.height; ++y) {
            ASSERT_EQ(rows[y * rowBytes], 0) << "filter type of row " << y;
            for (std::uint32_t x = 0; x < c.width; ++x)
                drawn += c.colourType == 3 ? sample(x, y)[0] != 0 : sample(x, y)[3] == 255;
        }
        for (auto [x, y] : { std::pair { 0u, 0u }, { c.width - 1, 0u }, { 0u, c.height - 1 },
                 { c.width - 1, c.height - 1 } })
            EXPECT_EQ(sample(x, y)[c.colourType == 3 ? 0 : 3], 0) << x << ", " << y;
        EXPECT_GT(drawn, c.width * c.height / 20);

        if (c.colourType == 3) {
            // Index 0 alone is transparent; the drawing (index 1) is black.
            EXPECT_EQ(chunks[2].data, std::vector<std::uint8_t> { 0 });
            ASSERT_GE(chunks[1].data.size(), 6u);
            EXPECT_EQ(chunks[1].data[3] | chunks[1].data[4] | chunks[1].data[5], 0);
            for (std::size_t i = 0; i < c.width * c.height; ++i)
                ASSERT_LT(rows[i / c.width * rowBytes + 1 + i % c.width], chunks[1].data.size() / 3);
        }
    }
    EXPECT_EQ(storedPicture(static_cast<StoredPicture>(6)).data, nullptr);
}

} // namespace
