#include "imaging/decoders/bmp_decoder.h"

#include "imaging/decoders/bmp_header.h"
#include "imaging/decoders/decoder_support.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace {

struct BmpData : DecoderData {
    std::vector<std::uint8_t> fileBytes; // file source only
    std::span<const std::uint8_t> bytes;
    BmpLayout layout;
};

// Where the decoded pixels go: the caller's buffer, its stride, the row order asked for and
// the bytes per output pixel.
struct RowTarget {
    std::uint8_t* buffer;
    std::size_t stride;
    int flags;
    int height;
    int pixelBytes;

    std::uint8_t* row(int topRow) const { return decodedRowAddress(buffer, stride, topRow, height, flags); }
};

int recognizeBmp(DecodeState& state)
{
    std::array<std::uint8_t, 14> start {};
    if (peekSourceBytes(state, start) < start.size() || !hasBmpSignature(start)) {
        return 0;
    }
    auto data = std::make_unique<BmpData>();
    data->bytes = wholeSource(state, data->fileBytes);
    const char* reason = "";
    if (!readBmpLayout(data->bytes, data->layout, reason)) {
        noteDecodeFailure(reason);
        return 0;
    }
    state.width = data->layout.width;
    state.height = data->layout.height;
    state.outputDepth = data->layout.hasAlpha ? 32 : 24;
    state.sourceDepth = data->layout.bitsPerPixel;
    adoptDecoderData(state, std::move(data));
    return 1;
}

// Writes one pixel of pixelBytes (3, or 4 with alpha 255) from the palette.
void putPaletteColour(const BmpLayout& layout, unsigned index, std::uint8_t* to, int pixelBytes)
{
    const auto& colour = layout.palette[index & 0xFF];
    to[0] = colour[0];
    to[1] = colour[1];
    to[2] = colour[2];
    if (pixelBytes == 4) {
        to[3] = 255;
    }
}

std::uint8_t channelValue(const BmpChannel& channel, std::uint32_t pixel)
{
    if (channel.bits == 0) {
        return 0;
    }
    std::uint32_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.bits <= 8) {
        return channel.widen[value];
    }
    return static_cast<std::uint8_t>(value >> (channel.bits - 8));
}

void convertIndexedRow(const BmpLayout& layout, const std::uint8_t* from, std::uint8_t* to, int pixelBytes)
{
    int bits = layout.bitsPerPixel;
    unsigned perByte = 8U / static_cast<unsigned>(bits);
    unsigned mask = (1U << bits) - 1;
    for (int x = 0; x < layout.width; ++x) {
        unsigned byte = from[static_cast<unsigned>(x) / perByte];
        // The leftmost pixel sits in a byte's highest bits.
        unsigned shift = 8U - static_cast<unsigned>(bits) * (static_cast<unsigned>(x) % perByte + 1);
        putPaletteColour(
            layout, (byte >> shift) & mask, to + static_cast<std::size_t>(x) * pixelBytes, pixelBytes);
    }
}

void convertMaskedRow(const BmpLayout& layout, const std::uint8_t* from, std::uint8_t* to, int pixelBytes)
{
    for (int x = 0; x < layout.width; ++x) {
        std::uint32_t pixel;
        if (layout.bitsPerPixel == 16) {
            pixel = static_cast<std::uint32_t>(from[0] | (from[1] << 8));
            from += 2;
        } else {
            pixel = static_cast<std::uint32_t>(from[0]) | (static_cast<std::uint32_t>(from[1]) << 8)
                | (static_cast<std::uint32_t>(from[2]) << 16) | (static_cast<std::uint32_t>(from[3]) << 24);
            from += 4;
        }
        to[0] = channelValue(layout.channels[0], pixel);
        to[1] = channelValue(layout.channels[1], pixel);
        to[2] = channelValue(layout.channels[2], pixel);
        if (pixelBytes == 4) {
            to[3] = layout.hasAlpha ? channelValue(layout.channels[3], pixel) : 255;
        }
        to += pixelBytes;
    }
}

// Copies the blue, green, red bytes of 24- and 32-bit pixels (fromBytes apart) as R,G,B[,255].
void convertBgrRow(int width, const std::uint8_t* from, int fromBytes, std::uint8_t* to, int pixelBytes)
{
    for (int x = 0; x < width; ++x, from += fromBytes, to += pixelBytes) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        if (pixelBytes == 4) {
            to[3] = 255;
        }
    }
}

void convertRow(const BmpLayout& layout, const std::uint8_t* from, std::uint8_t* to, int pixelBytes)
{
    if (layout.bitsPerPixel == 24) {
        convertBgrRow(layout.width, from, 3, to, pixelBytes);
    } else if (layout.bitsPerPixel == 32 && layout.compression == BmpCompression::None) {
        convertBgrRow(layout.width, from, 4, to, pixelBytes);
    } else if (layout.bitsPerPixel == 16 || layout.bitsPerPixel == 32) {
        convertMaskedRow(layout, from, to, pixelBytes);
    } else {
        convertIndexedRow(layout, from, to, pixelBytes);
    }
}

// Uncompressed rows, padded to 4 bytes, bottom row first unless the file is top-down. A file
// that ends early delivers the rows it holds.
int readUncompressed(const BmpData& data, const RowTarget& target, int& delivered)
{
    const BmpLayout& layout = data.layout;
    std::size_t used
        = (static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.bitsPerPixel) + 7) / 8;
    for (int fileRow = 0; fileRow < layout.height; ++fileRow) {
        std::size_t at = layout.pixelOffset + static_cast<std::size_t>(fileRow) * layout.rowBytes;
        if (at + used > data.bytes.size()) {
            delivered = fileRow;
            return 0;
        }
        int topRow = layout.topDown ? fileRow : layout.height - 1 - fileRow;
        convertRow(layout, data.bytes.data() + at, target.row(topRow), target.pixelBytes);
    }
    return 1;
}

// BI_RLE8 and BI_RLE4 (always bottom-up): pairs of a count and a value repeat the value (for
// 4 bits, its two nibbles by turns); a 0 count starts an escape: 0 ends a line, 1 the picture,
// 2 moves right and up by the next two bytes, and n >= 3 gives n literal indices padded to an
// even byte count. Pixels the stream never sets stay black; pixels past the picture are dropped.
int readRunLength(const BmpData& data, const RowTarget& target, int& delivered)
{
    const BmpLayout& layout = data.layout;
    for (int y = 0; y < layout.height; ++y) {
        std::uint8_t* row = target.row(y);
        for (int x = 0; x < layout.width; ++x) {
            std::uint8_t* pixel = row + static_cast<std::size_t>(x) * target.pixelBytes;
            pixel[0] = pixel[1] = pixel[2] = 0;
            if (target.pixelBytes == 4) {
                pixel[3] = 255;
            }
        }
    }
    bool fourBits = layout.compression == BmpCompression::Rle4;
    std::span<const std::uint8_t> bytes = data.bytes;
    std::size_t at = layout.pixelOffset;
    std::int64_t x = 0;
    std::int64_t y = 0; // counted from the bottom
    auto put = [&](unsigned index) {
        if (x < layout.width && y < layout.height) {
            putPaletteColour(layout, index,
                target.row(layout.height - 1 - static_cast<int>(y)) + x * target.pixelBytes,
                target.pixelBytes);
        }
        ++x;
    };
    while (y < layout.height) {
        if (at + 2 > bytes.size()) {
            delivered = static_cast<int>(std::min<std::int64_t>(y, layout.height));
            return 0;
        }
        unsigned count = bytes[at];
        unsigned value = bytes[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < layout.width; ++i) {
                put(fourBits ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            }
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return 1;
        } else if (value == 2) {
            if (at + 2 > bytes.size()) {
                delivered = static_cast<int>(std::min<std::int64_t>(y, layout.height));
                return 0;
            }
            x += bytes[at];
            y += bytes[at + 1];
            at += 2;
        } else {
            std::size_t literalBytes = fourBits ? (value + 1) / 2 : value;
            if (at + literalBytes > bytes.size()) {
                delivered = static_cast<int>(std::min<std::int64_t>(y, layout.height));
                return 0;
            }
            for (unsigned i = 0; i < value && x < layout.width; ++i) {
                unsigned byte = bytes[at + (fourBits ? i / 2 : i)];
                put(fourBits ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
            }
            at += literalBytes + (literalBytes % 2);
        }
    }
    return 1;
}

int readBmpRows(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    const BmpData& data = decoderData<BmpData>(state);
    int pixelBytes = data.layout.hasAlpha || (flags & DECODE_RGBA) != 0 ? 4 : 3;
    RowTarget target { buffer, stride, flags, data.layout.height, pixelBytes };
    if (data.layout.compression == BmpCompression::Rle8 || data.layout.compression == BmpCompression::Rle4) {
        return readRunLength(data, target, state.deliveredRows);
    }
    return readUncompressed(data, target, state.deliveredRows);
}

void finishBmp(DecodeState& state)
{
    releaseDecoderData(state);
}

} // namespace

const ImageDecoder BMP_DECODER { recognizeBmp, readBmpRows, finishBmp };
