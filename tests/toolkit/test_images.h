#pragma once

#include "imaging/pixel_buffer.h"
#include "imaging/platform_image.h"

#include <cstdint>

// A platform image of one colour, for gadgets to show; the test holds one reference for its life.
class TestImage {
public:
    TestImage(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
    {
        auto pixels = PixelBuffer::allocate(width, height, PixelFill::None);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = pixels->row(y);
            for (int x = 0; x < width; ++x) {
                row[4 * x] = red;
                row[4 * x + 1] = green;
                row[4 * x + 2] = blue;
                row[4 * x + 3] = 255;
            }
        }
        m_handle = makePlatformImage(std::move(pixels));
    }
    ~TestImage() { releasePlatformImage(m_handle); }
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;

    Handle handle() const { return m_handle; }
    // References held by others than the test.
    int otherReferences() const { return platformImageReferences(m_handle) - 1; }

private:
    Handle m_handle = 0;
};
