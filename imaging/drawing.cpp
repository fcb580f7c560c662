#include "imaging/drawing.h"

#include "imaging/image.h"
#include "imaging/pixel_buffer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

class DrawingOutput {
public:
    // An output over an image's buffer.
    DrawingOutput(int imageNumber, std::shared_ptr<PixelBuffer> pixels)
        : m_width(pixels->width())
        , m_height(pixels->height())
        , m_stride(pixels->stride())
        , m_bytesPerPixel(4)
        , m_bottomUp(false)
        , m_isImage(true)
        , m_imageNumber(imageNumber)
        , m_base(pixels->data())
        , m_pixels(std::move(pixels))
    {
    }

    // An output over a caller's buffer.
    DrawingOutput(std::uint8_t* pixels, int width, int height, std::size_t stride, int flags)
        : m_width(width)
        , m_height(height)
        , m_stride(stride)
        , m_bytesPerPixel((flags & (OUTPUT_FOUR_BYTES | OUTPUT_FOUR_BYTES_ALT)) ? 4 : 3)
        , m_bottomUp((flags & OUTPUT_BOTTOM_UP) != 0)
        , m_isImage(false)
        , m_imageNumber(0)
        , m_base(pixels)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bytesPerPixel() const { return m_bytesPerPixel; }
    bool isImage() const { return m_isImage; }
    int imageNumber() const { return m_imageNumber; }
    const PixelBuffer* imagePixels() const { return m_pixels.get(); }

    // Whether the image this output was made over still holds the pixels it draws on.
    bool imageStillThere() const { return !m_isImage || imagePixelBuffer(m_imageNumber) == m_pixels; }

    const std::uint8_t* rowToRead(int y) const
    {
        return m_base + m_stride * static_cast<std::size_t>(storedRow(y));
    }

    // Call before every primitive that writes: an image's pixels that a platform image someone
    // holds still shows are exchanged for a copy first. false when there is nothing to write to.
    bool prepareWriting()
    {
        if (!m_isImage)
            return true;
        std::shared_ptr<PixelBuffer> writable = imagePixelsForWriting(m_imageNumber, m_pixels);
        if (!writable)
            return false;
        if (writable != m_pixels) {
            m_base = writable->data();
            m_pixels = std::move(writable);
        }
        return true;
    }
    std::uint8_t* rowToWrite(int y) { return m_base + m_stride * static_cast<std::size_t>(storedRow(y)); }

    int mode = 0;
    std::uint32_t frontColour = 0;

private:
    int storedRow(int y) const { return m_bottomUp ? m_height - 1 - y : y; }

    int m_width;
    int m_height;
    std::size_t m_stride;
    int m_bytesPerPixel;
    bool m_bottomUp;
    bool m_isImage;
    int m_imageNumber;
    std::uint8_t* m_base;
    std::shared_ptr<PixelBuffer> m_pixels; // keeps an image's pixels alive while drawing reads them
};

namespace {

thread_local std::unique_ptr<DrawingOutput> t_current;

DrawingOutput* makeCurrent(auto&&... arguments)
{
    endDrawing();
    try {
        t_current = std::make_unique<DrawingOutput>(std::forward<decltype(arguments)>(arguments)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return t_current.get();
}

// Writes `count` pixels from `pixel` on in the output's current mode and front colour.
void writeSpan(std::uint8_t* pixel, int count, int bytesPerPixel, int mode, std::uint32_t colour)
{
    const std::uint8_t red = colour & 0xFF;
    const std::uint8_t green = (colour >> 8) & 0xFF;
    const std::uint8_t blue = (colour >> 16) & 0xFF;
    const std::uint8_t alpha = colour >> 24;
    const bool fourBytes = bytesPerPixel == 4;
    const std::uint8_t* end
        = pixel + static_cast<std::size_t>(count) * static_cast<std::size_t>(bytesPerPixel);

    if (mode & DRAW_ALL_CHANNELS) {
        for (; pixel < end; pixel += bytesPerPixel) {
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
            if (fourBytes)
                pixel[3] = alpha;
        }
    } else if (mode & DRAW_ALPHA_ONLY) {
        if (fourBytes) {
            for (; pixel < end; pixel += 4)
                pixel[3] = alpha;
        }
    } else if (mode & DRAW_ALPHA_BLEND) {
        const unsigned inverse = 255u - alpha;
        auto blend = [&](unsigned over, unsigned under) {
            return static_cast<std::uint8_t>((over * alpha + under * inverse + 127) / 255);
        };
        for (; pixel < end; pixel += bytesPerPixel) {
            pixel[0] = blend(red, pixel[0]);
            pixel[1] = blend(green, pixel[1]);
            pixel[2] = blend(blue, pixel[2]);
            if (fourBytes)
                pixel[3] = static_cast<std::uint8_t>(alpha + (pixel[3] * inverse + 127) / 255);
        }
    } else if (mode & DRAW_XOR) {
        for (; pixel < end; pixel += bytesPerPixel) {
            pixel[0] ^= red;
            pixel[1] ^= green;
            pixel[2] ^= blue;
        }
    } else {
        for (; pixel < end; pixel += bytesPerPixel) {
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
        }
    }
}

// Fills the rectangle, clipped to the output. 64-bit coordinates: x + width cannot overflow.
void fillRectangle(
    DrawingOutput& output, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
{
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + width, output.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + height, output.height());
    if (left >= right || top >= bottom)
        return;
    const int bytesPerPixel = output.bytesPerPixel();
    for (auto row = static_cast<int>(top); row < bottom; ++row) {
        writeSpan(
            output.rowToWrite(row) + static_cast<std::size_t>(left) * static_cast<std::size_t>(bytesPerPixel),
            static_cast<int>(right - left), bytesPerPixel, output.mode, output.frontColour);
    }
}

} // namespace

void initDrawing()
{
    t_current.reset();
}

DrawingOutput* imageDrawTarget(int number)
{
    std::shared_ptr<PixelBuffer> pixels = imagePixelBuffer(number);
    if (!pixels)
        return nullptr;
    return makeCurrent(number, std::move(pixels));
}

DrawingOutput* bufferDrawTarget(std::uint8_t* pixels, int width, int height, std::size_t stride, int flags)
{
    const std::size_t bytesPerPixel = (flags & (OUTPUT_FOUR_BYTES | OUTPUT_FOUR_BYTES_ALT)) ? 4 : 3;
    if (!pixels || width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * bytesPerPixel)
        return nullptr;
    return makeCurrent(pixels, width, height, stride, flags);
}

DrawingOutput* currentDrawingOutput()
{
    return t_current.get();
}

int beginDrawing(DrawingOutput* output)
{
    if (!output || output != t_current.get())
        return 0;
    if (!output->imageStillThere()) {
        t_current.reset();
        return 0;
    }
    return 1;
}

void endDrawing()
{
    std::unique_ptr<DrawingOutput> output = std::move(t_current);
    if (output && output->isImage())
        renewImagePlatformImage(output->imageNumber(), output->imagePixels());
}

void drawingMode(int flags)
{
    if (t_current)
        t_current->mode = flags;
}

void drawBox(int x, int y, int width, int height, std::uint32_t colour)
{
    DrawingOutput* output = t_current.get();
    if (!output)
        return;
    output->frontColour = colour;
    std::int64_t left = x, top = y, w = width, h = height;
    if (w < 0) {
        left += w;
        w = -w;
    }
    if (h < 0) {
        top += h;
        h = -h;
    }
    if (w == 0 || h == 0 || !output->prepareWriting())
        return;
    if (!(output->mode & DRAW_OUTLINE)) {
        fillRectangle(*output, left, top, w, h);
        return;
    }
    // Each outline pixel is written once, so that XOR outlines of thin boxes do not cancel out.
    fillRectangle(*output, left, top, w, 1);
    if (h > 1)
        fillRectangle(*output, left, top + h - 1, w, 1);
    if (h > 2) {
        fillRectangle(*output, left, top + 1, 1, h - 2);
        if (w > 1)
            fillRectangle(*output, left + w - 1, top + 1, 1, h - 2);
    }
}

Handle copyAreaToImage(int number, int x, int y, int width, int height)
{
    const DrawingOutput* output = t_current.get();
    if (!output)
        return 0;
    std::shared_ptr<PixelBuffer> copy = PixelBuffer::allocate(width, height, PixelFill::OpaqueBlack);
    if (!copy)
        return 0;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t { x } + width, output->width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t { y } + height, output->height());
    if (left < right && top < bottom) {
        const auto count = static_cast<std::size_t>(right - left);
        const auto bytesPerPixel = static_cast<std::size_t>(output->bytesPerPixel());
        for (std::int64_t row = top; row < bottom; ++row) {
            const std::uint8_t* from
                = output->rowToRead(static_cast<int>(row)) + static_cast<std::size_t>(left) * bytesPerPixel;
            std::uint8_t* to = copy->row(static_cast<int>(row - y)) + static_cast<std::size_t>(left - x) * 4;
            if (bytesPerPixel == 4) {
                std::memcpy(to, from, count * 4);
                continue;
            }
            for (std::size_t i = 0; i < count; ++i, from += 3, to += 4) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
                to[3] = 255;
            }
        }
    }
    return makeImageFromPixels(number, std::move(copy));
}
