#include "imaging/image.h"

#include "imaging/decoders/image_decoding.h"
#include "imaging/decoders/image_limits.h"
#include "imaging/image_scaling.h"
#include "imaging/platform_image.h"
#include "runtime/object_table.h"

#include <cstring>

namespace {

struct ImageRecord {
    Handle handle = 0; // the platform image; non-zero while the image exists
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t depth = 0;
    std::int16_t sourceDepth = 0; // bits per pixel of the file it came from; 32 when made empty
    std::shared_ptr<PixelBuffer> pixels;
};

using ImageTable = ObjectTable<ImageRecord>;

constexpr int IMAGE_TABLE_GROWTH = 16;
constexpr int IMAGE_DEPTH = 32;

std::unique_ptr<ImageTable> g_images;

ImageRecord* liveImage(int number)
{
    return g_images ? g_images->objectRecord(number) : nullptr;
}

void freeImage(int number)
{
    if (ImageRecord* record = liveImage(number)) {
        releasePlatformImage(record->handle);
        g_images->releaseObject(number);
    }
}

bool numberUsable(int number)
{
    return g_images
        && (number == DYNAMIC_NUMBER || (number >= 0 && number < ImageTable::FIRST_DYNAMIC_NUMBER));
}

// Takes the number (releasing a live image of it) only once the platform image exists, so that
// nothing can fail after the old image is gone.
Handle installImage(int number, std::shared_ptr<PixelBuffer> pixels, int sourceDepth)
{
    if (!pixels || !numberUsable(number))
        return 0;
    const Handle platform = makePlatformImage(pixels);
    if (!platform)
        return 0;
    ImageRecord* record = g_images->allocObject(number);
    if (!record) {
        releasePlatformImage(platform);
        return 0;
    }
    record->handle = platform;
    record->width = static_cast<std::int16_t>(pixels->width());
    record->height = static_cast<std::int16_t>(pixels->height());
    record->depth = IMAGE_DEPTH;
    record->sourceDepth = static_cast<std::int16_t>(sourceDepth);
    record->pixels = std::move(pixels);
    return number == DYNAMIC_NUMBER ? g_images->numberOf(record) : platform;
}

// After a decoder recognised the data: decode all of it into a new buffer, then install it.
Handle installDecodedImage(int number)
{
    const int width = decodedWidth();
    const int height = decodedHeight();
    const int sourceDepth = decodedSourceDepth();
    auto pixels = PixelBuffer::allocate(width, height, PixelFill::None);
    if (!pixels) {
        finishDecoding();
        return 0;
    }
    // A result of 0 (broken data) still gives a complete image: the missing rows are opaque black.
    if (readDecodedRowsAsRgba(pixels->data()) < 0)
        return 0;
    return installImage(number, std::move(pixels), sourceDepth);
}

// Takes a picture's rows as they are decoded and resamples them into the target buffer, or
// copies them when the picture already has the target's size.
class ScalingRowSink : public DecodedRowSink {
public:
    explicit ScalingRowSink(PixelBuffer& target)
        : m_target(target)
    {
    }

    bool beginRows(int width, int height, int pixelBytes) override
    {
        m_pixelBytes = pixelBytes;
        m_copy = width == m_target.width() && height == m_target.height();
        m_row = 0;
        return m_copy
            || m_resampler.start(width, height, pixelBytes == 3 ? RowPixels::Rgb : RowPixels::Rgba,
                { m_target.data(), m_target.width(), m_target.height(), m_target.stride() });
    }

    void takeRow(const std::uint8_t* row) override
    {
        if (!m_copy) {
            m_resampler.addRow(row);
            return;
        }
        if (m_row >= m_target.height())
            return;
        std::uint8_t* to = m_target.row(m_row++);
        if (m_pixelBytes == 4) {
            std::memcpy(to, row, m_target.stride());
            return;
        }
        for (int x = 0; x < m_target.width(); ++x, row += 3, to += 4) {
            to[0] = row[0];
            to[1] = row[1];
            to[2] = row[2];
            to[3] = 255;
        }
    }

private:
    PixelBuffer& m_target;
    RowResampler m_resampler;
    int m_pixelBytes = 4;
    bool m_copy = false;
    int m_row = 0;
};

} // namespace

void initImages()
{
    releaseAllImages();
    g_images = std::make_unique<ImageTable>(IMAGE_TABLE_GROWTH, freeImage);
}

Handle makeImage(int number, int width, int height, int flags)
{
    if (!numberUsable(number))
        return 0;
    auto pixels = PixelBuffer::allocate(
        width, height, (flags & IMAGE_TRANSPARENT) ? PixelFill::Transparent : PixelFill::OpaqueBlack);
    return installImage(number, std::move(pixels), IMAGE_DEPTH);
}

Handle loadImageFile(int number, const char* path)
{
    if (!numberUsable(number) || !path || !openImageFile(path))
        return 0;
    return installDecodedImage(number);
}

bool readImageFileSize(const char* path, ImageFileSize& size)
{
    if (!path || !openImageFile(path))
        return false;
    size = { decodedWidth(), decodedHeight() };
    finishDecoding();
    return true;
}

Handle loadImageFileScaled(int number, const char* path, int width, int height, DecodedRowCount* rows)
{
    // The decoder may deliver the picture reduced to no less than the target (JPEG does), and
    // its rows are resampled as they come: the full-size picture need never exist.
    if (!numberUsable(number) || !path || !imageSizeAcceptable(width, height)
        || !openImageFileReduced(path, width, height))
        return 0;
    const int sourceDepth = decodedSourceDepth();
    auto scaled = PixelBuffer::allocate(width, height, PixelFill::None);
    if (!scaled) {
        finishDecoding();
        return 0;
    }
    ScalingRowSink sink(*scaled);
    // A result of 0 (broken data) still gives a complete image, from opaque black missing rows.
    if (readDecodedRowsInOrder(sink) < 0)
        return 0;
    const Handle handle = installImage(number, std::move(scaled), sourceDepth);
    if (handle && rows)
        *rows = lastDecodedRowCount();
    return handle;
}

Handle decodeImageMemory(int number, const void* data, std::size_t size)
{
    if (!numberUsable(number) || !data || size == 0 || !openImageMemory(data, size))
        return 0;
    return installDecodedImage(number);
}

Handle makeImageFromPixels(int number, std::shared_ptr<PixelBuffer> pixels, int sourceDepth)
{
    return installImage(number, std::move(pixels), sourceDepth);
}

void releaseImage(int number)
{
    freeImage(number);
}

void releaseAllImages()
{
    if (g_images)
        g_images->freeAllObjects();
}

int imageExists(int number)
{
    return liveImage(number) ? 1 : 0;
}

int imagePixelWidth(int number)
{
    const ImageRecord* record = liveImage(number);
    return record ? record->width : 0;
}

int imagePixelHeight(int number)
{
    const ImageRecord* record = liveImage(number);
    return record ? record->height : 0;
}

int imageBitDepth(int number, int which)
{
    const ImageRecord* record = liveImage(number);
    if (!record)
        return 0;
    return which == -2 ? record->sourceDepth : record->depth;
}

Handle imagePlatformHandle(int number)
{
    const ImageRecord* record = liveImage(number);
    return record ? record->handle : 0;
}

int scaleImage(int number, int width, int height)
{
    ImageRecord* record = liveImage(number);
    if (!record || (width == record->width && height == record->height))
        return 0;
    auto scaled = PixelBuffer::allocate(width, height, PixelFill::None);
    if (!scaled)
        return 0;
    const PixelBuffer& source = *record->pixels;
    if (!resampleRgba({ source.data(), source.width(), source.height(), source.stride() },
            { scaled->data(), scaled->width(), scaled->height(), scaled->stride() }))
        return 0;
    const Handle platform = makePlatformImage(scaled);
    if (!platform)
        return 0;
    releasePlatformImage(record->handle);
    record->handle = platform;
    record->width = static_cast<std::int16_t>(width);
    record->height = static_cast<std::int16_t>(height);
    record->pixels = std::move(scaled);
    return 1;
}

const std::uint8_t* imagePixels(int number)
{
    const ImageRecord* record = liveImage(number);
    return record ? record->pixels->data() : nullptr;
}

std::shared_ptr<PixelBuffer> imagePixelBuffer(int number)
{
    const ImageRecord* record = liveImage(number);
    return record ? record->pixels : nullptr;
}

std::shared_ptr<PixelBuffer> imagePixelsForWriting(int number, const std::shared_ptr<PixelBuffer>& held)
{
    ImageRecord* record = liveImage(number);
    if (!record || !held || record->pixels != held)
        return nullptr;
    // Who may hold the buffer without seeing the writes: the image, the caller, and the image's
    // own platform image while nothing else references it, since drawing replaces that one when
    // it ends. Anyone beyond them (a gadget's platform image, a copy of its QImage) shows the old
    // pixels, so the image continues on a copy.
    long owners = 2;
    if (platformImagePixels(record->handle) == held.get() && platformImageReferences(record->handle) == 1)
        ++owners;
    if (held.use_count() <= owners)
        return held;
    auto copy = held->clone();
    if (copy)
        record->pixels = copy;
    return copy;
}

void renewImagePlatformImage(int number, const PixelBuffer* drawn)
{
    ImageRecord* record = liveImage(number);
    if (!record || record->pixels.get() != drawn)
        return;
    const Handle platform = makePlatformImage(record->pixels);
    if (!platform)
        return;
    releasePlatformImage(record->handle);
    record->handle = platform;
}
