#include "imaging/pixel_buffer.h"

#include "imaging/decoders/image_limits.h"

#include <cstring>
#include <new>

namespace {

void fillOpaqueBlack(std::uint8_t* bytes, int width, int height)
{
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (std::size_t i = 0; i < stride; i += 4) {
        bytes[i] = 0;
        bytes[i + 1] = 0;
        bytes[i + 2] = 0;
        bytes[i + 3] = 255;
    }
    for (int y = 1; y < height; ++y)
        std::memcpy(bytes + stride * static_cast<std::size_t>(y), bytes, stride);
}

std::shared_ptr<PixelBuffer> wrap(int width, int height, std::uint8_t* bytes, auto passkey)
{
    if (!bytes)
        return nullptr;
    try {
        return std::make_shared<PixelBuffer>(passkey, width, height, bytes);
    } catch (const std::bad_alloc&) {
        std::free(bytes);
        return nullptr;
    }
}

} // namespace

PixelBuffer::PixelBuffer(Passkey, int width, int height, std::uint8_t* bytes)
    : m_width(width)
    , m_height(height)
    , m_bytes(bytes)
{
}

std::shared_ptr<PixelBuffer> PixelBuffer::allocate(int width, int height, PixelFill fill)
{
    if (!imageSizeAcceptable(width, height))
        return nullptr;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    auto* bytes = static_cast<std::uint8_t*>(
        fill == PixelFill::Transparent ? std::calloc(size, 1) : std::malloc(size));
    if (bytes && fill == PixelFill::OpaqueBlack)
        fillOpaqueBlack(bytes, width, height);
    return wrap(width, height, bytes, Passkey {});
}

std::shared_ptr<PixelBuffer> PixelBuffer::clone() const
{
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(byteCount()));
    if (bytes)
        std::memcpy(bytes, data(), byteCount());
    return wrap(m_width, m_height, bytes, Passkey {});
}
