#pragma once

#include <cstdint>

// Sizes every decoder and image operation accepts. Width and height live in 16-bit fields; the
// pixel bound keeps a hostile header (a "decompression bomb") from making us allocate gigabytes:
// 2^27 pixels is 512 MiB of RGBA, more than any real chart photo needs.
inline constexpr int MAX_IMAGE_SIDE = 32767;
inline constexpr std::int64_t MAX_IMAGE_PIXELS = std::int64_t { 1 } << 27;

inline bool imageSizeAcceptable(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= MAX_IMAGE_SIDE && height <= MAX_IMAGE_SIDE
        && width * height <= MAX_IMAGE_PIXELS;
}
