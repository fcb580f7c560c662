#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The layout of a BMP file as its headers describe it, checked against the file's real size.
//
// Read: the 14-byte file header, then an OS/2 1.x core header (12 bytes, 16-bit sizes, 3-byte
// palette entries), an OS/2 2.x header (16 to 64 bytes) or a Windows info header (40 bytes, or the
// V2/V3/V4/V5 forms of 52, 56, 108 and 124 bytes that carry the channel masks in the header).

enum class BmpCompression { None, Rle8, Rle4, Bitfields };

// One colour channel of a 16- or 32-bit pixel: which bits hold it and how to widen it to 8 bits.
struct BmpChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::array<std::uint8_t, 256> widen {}; // for bits <= 8: value -> 0..255
};

struct BmpLayout {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    BmpCompression compression = BmpCompression::None;
    std::size_t pixelOffset = 0;
    std::size_t rowBytes = 0; // an uncompressed row with its padding to 4 bytes
    // R,G,B; entries past those the file gives stay black.
    std::array<std::array<std::uint8_t, 3>, 256> palette {};
    std::array<BmpChannel, 4> channels {}; // red, green, blue, alpha (16/32 bits per pixel)
    bool hasAlpha = false;
};

// Fills layout from the file's bytes; false (with reason set) when the file is no BMP this
// decoder can read or any header field does not fit the file.
[[nodiscard]] bool readBmpLayout(std::span<const std::uint8_t> file, BmpLayout& layout, const char*& reason);

// True when the bytes start like a BMP file ("BM" and the two reserved fields 0).
[[nodiscard]] bool hasBmpSignature(std::span<const std::uint8_t> start);
