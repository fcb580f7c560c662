#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// How a new pixel buffer starts out.
enum class PixelFill {
    None, // contents undefined: the caller writes every byte
    OpaqueBlack, // red, green, blue 0, alpha 255
    Transparent, // every byte 0
};

// The pixels of one image: width x height pixels of four bytes R, G, B, A (not premultiplied),
// rows from top to bottom, each exactly width * 4 bytes long.
//
// Buffers are shared: the image that owns one and every platform image made over it hold it, so
// a platform image a gadget still shows keeps its pixels after the image was released or replaced.
// Whoever writes into a buffer must first make sure no platform image other than the image's own
// unretained one shows it (see imagePixelsForWriting).
class PixelBuffer {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // nullptr when the size is not one images accept (image_limits.h) or memory ran out.
    [[nodiscard]] static std::shared_ptr<PixelBuffer> allocate(int width, int height, PixelFill fill);
    // A copy of this buffer, or nullptr when memory ran out.
    [[nodiscard]] std::shared_ptr<PixelBuffer> clone() const;

    PixelBuffer(Passkey, int width, int height, std::uint8_t* bytes);
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t stride() const { return static_cast<std::size_t>(m_width) * 4; }
    std::size_t byteCount() const { return stride() * static_cast<std::size_t>(m_height); }

    std::uint8_t* data() { return m_bytes.get(); }
    const std::uint8_t* data() const { return m_bytes.get(); }
    std::uint8_t* row(int y) { return m_bytes.get() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return m_bytes.get() + stride() * static_cast<std::size_t>(y); }

private:
    struct FreeBytes {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };

    int m_width;
    int m_height;
    // malloc rather than new[]: a failed allocation is a null pointer, not an exception, and a
    // transparent buffer comes from calloc, which large buffers get as zero pages for free.
    std::unique_ptr<std::uint8_t, FreeBytes> m_bytes;
};
