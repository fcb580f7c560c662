#pragma once

// What the imaging tests share: a fixture that starts the image layer with a test decoder and
// checks that no platform image is left over, and helpers to make and inspect images.

#include "imaging/decoders/image_decoding.h"
#include "imaging/drawing.h"
#include "imaging/image.h"
#include "imaging/platform_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

using Rgba = std::array<std::uint8_t, 4>;

// A decoder of a made-up format, so that loading can be tested without real files: "FAKE", width
// and height (16 bits, little-endian), output depth (24 or 32), source depth, then the rows.
// Data that ends early delivers the complete rows it holds and reports broken data.
namespace fake {

struct FileBytes : DecoderData {
    std::vector<std::uint8_t> bytes;
};

inline std::pair<const std::uint8_t*, std::size_t> source(DecodeState& state)
{
    if (state.fromMemory)
        return { state.data, state.dataSize };
    auto* file = static_cast<FileBytes*>(state.privateData);
    return { file->bytes.data(), file->bytes.size() };
}

inline int recognize(DecodeState& state)
{
    if (!state.fromMemory) {
        auto file = std::make_unique<FileBytes>();
        std::uint8_t chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, state.file)) > 0)
            file->bytes.insert(file->bytes.end(), chunk, chunk + got);
        state.privateData = file.release();
    }
    auto [data, size] = source(state);
    if (size < 10 || std::memcmp(data, "FAKE", 4) != 0 || (data[8] != 24 && data[8] != 32)) {
        std::unique_ptr<DecoderData> drop(state.privateData);
        state.privateData = nullptr;
        return 0;
    }
    state.width = data[4] | data[5] << 8;
    state.height = data[6] | data[7] << 8;
    state.outputDepth = data[8];
    state.sourceDepth = data[9];
    return 1;
}

inline int readRows(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags)
{
    auto [data, size] = source(state);
    const std::size_t rowBytes = static_cast<std::size_t>(state.width) * (state.outputDepth / 8);
    for (int r = 0; r < state.height; ++r) {
        const std::size_t at = 10 + rowBytes * static_cast<std::size_t>(r);
        if (at + rowBytes > size)
            return 0;
        const int target = (flags & DECODE_BOTTOM_UP) ? state.height - 1 - r : r;
        std::memcpy(buffer + stride * static_cast<std::size_t>(target), data + at, rowBytes);
    }
    return 1;
}

inline void finish(DecodeState& state)
{
    std::unique_ptr<DecoderData> drop(state.privateData);
    state.privateData = nullptr;
}

inline const ImageDecoder DECODER { recognize, readRows, finish };

// The encoded bytes of an image whose pixel (x, y) is colour(x, y); 24-bit output drops alpha.
inline std::vector<std::uint8_t> encode(
    int width, int height, int depth, int sourceDepth, const std::function<Rgba(int, int)>& colour)
{
    std::vector<std::uint8_t> out { 'F', 'A', 'K', 'E', std::uint8_t(width), std::uint8_t(width >> 8),
        std::uint8_t(height), std::uint8_t(height >> 8), std::uint8_t(depth), std::uint8_t(sourceDepth) };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            out.insert(out.end(), c.begin(), c.begin() + depth / 8);
        }
    }
    return out;
}

} // namespace fake

class ImagingTest : public ::testing::Test {
protected:
    ImagingTest()
    {
        initImageDecoders();
        registerImageDecoder(&fake::DECODER);
        initImages();
        initDrawing();
    }
    void TearDown() override
    {
        initDrawing();
        releaseAllImages();
        EXPECT_EQ(livePlatformImageCount(), m_platformImagesKept) << "platform images leaked";
        for (Handle handle : m_kept)
            releasePlatformImage(handle);
    }

    // Keeps a reference to a platform image as a gadget would, dropped when the test ends.
    void keep(Handle handle)
    {
        retainPlatformImage(handle);
        m_kept.push_back(handle);
        ++m_platformImagesKept;
    }

private:
    std::vector<Handle> m_kept;
    int m_platformImagesKept = 0;
};

// An image filled from colour(x, y).
inline Handle makePattern(int number, int width, int height, const std::function<Rgba(int, int)>& colour)
{
    auto pixels = PixelBuffer::allocate(width, height, PixelFill::None);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            std::memcpy(pixels->row(y) + 4 * x, colour(x, y).data(), 4);
    }
    return makeImageFromPixels(number, std::move(pixels));
}

inline Rgba pixelAt(int number, int x, int y)
{
    const std::uint8_t* p
        = imagePixels(number) + (static_cast<std::size_t>(y) * imagePixelWidth(number) + x) * 4;
    return { p[0], p[1], p[2], p[3] };
}

// Whether every pixel of the image satisfies the predicate (reporting the first that does not).
inline ::testing::AssertionResult everyPixel(int number, const std::function<bool(int, int, Rgba)>& ok)
{
    for (int y = 0; y < imagePixelHeight(number); ++y) {
        for (int x = 0; x < imagePixelWidth(number); ++x) {
            const Rgba p = pixelAt(number, x, y);
            if (!ok(x, y, p)) {
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") is " << int(p[0]) << "," << int(p[1]) << ","
                    << int(p[2]) << "," << int(p[3]);
            }
        }
    }
    return ::testing::AssertionSuccess();
}
