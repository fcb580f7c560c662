#include "imaging/decoders/bmp_header.h"

#include "imaging/decoders/image_limits.h"

#include <bit>
#include <limits>

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t CORE_HEADER_SIZE = 12;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;

// Compression values of the info header's field (BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS and
// BI_ALPHABITFIELDS). OS/2 2.x headers use 3 and 4 for Huffman 1D and 24-bit RLE instead.
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

std::uint16_t u16At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t u32At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8)
        | (static_cast<std::uint32_t>(bytes[at + 2]) << 16)
        | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

bool isWindowsHeaderSize(std::uint32_t size)
{
    return size == INFO_HEADER_SIZE || size == 52 || size == 56 || size == 108 || size == 124;
}

bool isOs2HeaderSize(std::uint32_t size)
{
    return size >= 16 && size <= 64 && !isWindowsHeaderSize(size);
}

// A mask must be one run of set bits inside the pixel; an empty mask makes a channel of 0.
bool setChannel(BmpChannel& channel, std::uint32_t mask, int bitsPerPixel)
{
    channel = BmpChannel {};
    if (mask == 0) {
        return true;
    }
    if (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0) {
        return false;
    }
    int shift = std::countr_zero(mask);
    std::uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) {
        return false;
    }
    channel.mask = mask;
    channel.shift = shift;
    channel.bits = std::popcount(run);
    if (channel.bits <= 8) {
        std::uint32_t top = run;
        for (std::uint32_t value = 0; value <= top; ++value) {
            channel.widen[value] = static_cast<std::uint8_t>((value * 255 + top / 2) / top);
        }
    }
    return true;
}

struct Fields {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
};

bool readFields(std::span<const std::uint8_t> file, Fields& fields, const char*& reason)
{
    fields.headerSize = u32At(file, FILE_HEADER_SIZE);
    if (fields.headerSize != CORE_HEADER_SIZE && !isWindowsHeaderSize(fields.headerSize)
        && !isOs2HeaderSize(fields.headerSize)) {
        reason = "BMP: unknown header size";
        return false;
    }
    if (FILE_HEADER_SIZE + fields.headerSize > file.size()) {
        reason = "BMP: header cut short";
        return false;
    }
    if (fields.headerSize == CORE_HEADER_SIZE) {
        fields.width = u16At(file, 18);
        fields.height = u16At(file, 20);
        fields.planes = u16At(file, 22);
        fields.bitsPerPixel = u16At(file, 24);
        return true;
    }
    fields.width = static_cast<std::int32_t>(u32At(file, 18));
    fields.height = static_cast<std::int32_t>(u32At(file, 22));
    fields.planes = u16At(file, 26);
    fields.bitsPerPixel = u16At(file, 28);
    if (fields.headerSize >= 20) {
        fields.compression = u32At(file, 30);
    }
    if (fields.headerSize >= 36) {
        fields.coloursUsed = u32At(file, 46);
    }
    return true;
}

bool readCompression(const Fields& fields, BmpLayout& layout, const char*& reason)
{
    std::uint32_t bpp = fields.bitsPerPixel;
    bool os2 = isOs2HeaderSize(fields.headerSize);
    switch (fields.compression) {
    case BI_RGB:
        if (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) {
            layout.compression = BmpCompression::None;
            return true;
        }
        break;
    case BI_RLE8:
        if (bpp == 8) {
            layout.compression = BmpCompression::Rle8;
            return true;
        }
        break;
    case BI_RLE4:
        if (bpp == 4) {
            layout.compression = BmpCompression::Rle4;
            return true;
        }
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (!os2 && (bpp == 16 || bpp == 32)) {
            layout.compression = BmpCompression::Bitfields;
            return true;
        }
        break;
    default:
        break;
    }
    reason = "BMP: unsupported compression or bit depth";
    return false;
}

bool readMasks(
    std::span<const std::uint8_t> file, const Fields& fields, BmpLayout& layout, const char*& reason)
{
    std::uint32_t masks[4] = { 0, 0, 0, 0 };
    if (layout.compression == BmpCompression::Bitfields) {
        // A 40-byte header is followed by the masks (three, or four with BI_ALPHABITFIELDS);
        // the larger headers hold them at the same place inside.
        std::size_t count = fields.compression == BI_ALPHABITFIELDS || fields.headerSize >= 56 ? 4 : 3;
        if (FILE_HEADER_SIZE + INFO_HEADER_SIZE + count * 4 > file.size()) {
            reason = "BMP: channel masks cut short";
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            masks[i] = u32At(file, FILE_HEADER_SIZE + INFO_HEADER_SIZE + i * 4);
        }
    } else if (layout.bitsPerPixel == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (layout.bitsPerPixel == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    for (int i = 0; i < 4; ++i) {
        if (!setChannel(layout.channels[i], masks[i], layout.bitsPerPixel)) {
            reason = "BMP: bad channel mask";
            return false;
        }
    }
    layout.hasAlpha = masks[3] != 0;
    return true;
}

bool readPalette(std::span<const std::uint8_t> file, const Fields& fields, std::size_t pixelOffset,
    BmpLayout& layout, const char*& reason)
{
    if (layout.bitsPerPixel > 8) {
        return true;
    }
    std::size_t entrySize = fields.headerSize == CORE_HEADER_SIZE ? 3 : 4;
    std::size_t start = FILE_HEADER_SIZE + fields.headerSize;
    std::size_t count = std::size_t { 1 } << layout.bitsPerPixel;
    if (fields.coloursUsed != 0 && fields.coloursUsed < count) {
        count = fields.coloursUsed;
    }
    if (pixelOffset < start) {
        reason = "BMP: pixel data overlaps the header";
        return false;
    }
    // A palette that the pixel data's offset cuts short has only the entries before it.
    if (start + count * entrySize > pixelOffset) {
        count = (pixelOffset - start) / entrySize;
    }
    if (start + count * entrySize > file.size()) {
        reason = "BMP: palette cut short";
        return false;
    }
    if (count == 0 && layout.bitsPerPixel == 1) {
        layout.palette[1] = { 255, 255, 255 }; // a paletteless 1-bit picture is black and white
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = file.data() + start + i * entrySize;
        layout.palette[i] = { entry[2], entry[1], entry[0] };
    }
    return true;
}

} // namespace

bool hasBmpSignature(std::span<const std::uint8_t> start)
{
    return start.size() >= 10 && start[0] == 'B' && start[1] == 'M' && start[6] == 0 && start[7] == 0
        && start[8] == 0 && start[9] == 0;
}

bool readBmpLayout(std::span<const std::uint8_t> file, BmpLayout& layout, const char*& reason)
{
    layout = BmpLayout {};
    if (file.size() < FILE_HEADER_SIZE + 4 || !hasBmpSignature(file)) {
        reason = "BMP: not a BMP file";
        return false;
    }
    Fields fields;
    if (!readFields(file, fields, reason)) {
        return false;
    }
    if (fields.height < 0 && fields.headerSize != CORE_HEADER_SIZE) {
        layout.topDown = true;
        fields.height = -fields.height;
    }
    if (!imageSizeAcceptable(fields.width, fields.height)) {
        reason = "BMP: width or height out of range";
        return false;
    }
    if (fields.planes != 1) {
        reason = "BMP: plane count is not 1";
        return false;
    }
    layout.width = static_cast<int>(fields.width);
    layout.height = static_cast<int>(fields.height);
    layout.bitsPerPixel = static_cast<int>(fields.bitsPerPixel);
    if (!readCompression(fields, layout, reason)) {
        return false;
    }
    if (layout.topDown && layout.compression != BmpCompression::None
        && layout.compression != BmpCompression::Bitfields) {
        reason = "BMP: compressed pictures cannot be stored top-down";
        return false;
    }
    layout.pixelOffset = u32At(file, 10);
    if (layout.pixelOffset >= file.size()) {
        reason = "BMP: pixel data lies past the end of the file";
        return false;
    }
    if (layout.pixelOffset < FILE_HEADER_SIZE + fields.headerSize) {
        reason = "BMP: pixel data overlaps the header";
        return false;
    }
    layout.rowBytes
        = (static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.bitsPerPixel) + 31) / 32
        * 4;
    return readMasks(file, fields, layout, reason)
        && readPalette(file, fields, layout.pixelOffset, layout, reason);
}
