// Platform images over Qt's QImage. The only Qt code of the imaging layer.
//
// Implements:
// - makePlatformImage: a QImage in Format_RGBA8888 (bytes R, G, B, A, not premultiplied: the
//   pixel buffer's own layout) made over the buffer without copying; the QImage owns a
//   reference to the buffer, so that also its copies keep the pixels alive.
// - retainPlatformImage, releasePlatformImage: a reference count per handle.
// - platformImageOf: the QImage for the toolkit.
// - platformImageReferences, platformImagePixels, livePlatformImageCount: for the image store
//   and for tests.

#include "imaging/platform_image.h"
#include "imaging/platform_image_qt.h"

#include <QImage>

#include <new>
#include <unordered_map>

namespace {

struct PlatformImage {
    QImage image;
    const PixelBuffer* pixels = nullptr;
    int references = 0;
};

// Handles count up from a value that no small object number resembles; one per image made.
Handle g_nextHandle = 0x10000;

std::unordered_map<Handle, PlatformImage>& platformImages()
{
    static std::unordered_map<Handle, PlatformImage> images;
    return images;
}

PlatformImage* findPlatformImage(Handle handle)
{
    auto& images = platformImages();
    auto it = images.find(handle);
    return it == images.end() ? nullptr : &it->second;
}

using BufferReference = std::shared_ptr<const PixelBuffer>;

void dropBufferReference(void* info)
{
    std::unique_ptr<BufferReference> reference(static_cast<BufferReference*>(info));
}

} // namespace

Handle makePlatformImage(std::shared_ptr<const PixelBuffer> pixels)
{
    if (!pixels)
        return 0;
    try {
        auto reference = std::make_unique<BufferReference>(pixels);
        QImage image(pixels->data(), pixels->width(), pixels->height(),
            static_cast<qsizetype>(pixels->stride()), QImage::Format_RGBA8888, dropBufferReference,
            reference.get());
        if (image.isNull())
            return 0;
        // From here on the QImage's data owns the reference and drops it when the last copy goes.
        static_cast<void>(reference.release());
        Handle handle = g_nextHandle++;
        platformImages().emplace(handle, PlatformImage { std::move(image), pixels.get(), 1 });
        return handle;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void retainPlatformImage(Handle handle)
{
    if (PlatformImage* image = findPlatformImage(handle))
        ++image->references;
}

void releasePlatformImage(Handle handle)
{
    PlatformImage* image = findPlatformImage(handle);
    if (image && --image->references <= 0)
        platformImages().erase(handle);
}

int platformImageReferences(Handle handle)
{
    const PlatformImage* image = findPlatformImage(handle);
    return image ? image->references : 0;
}

const PixelBuffer* platformImagePixels(Handle handle)
{
    const PlatformImage* image = findPlatformImage(handle);
    return image ? image->pixels : nullptr;
}

int livePlatformImageCount()
{
    return static_cast<int>(platformImages().size());
}

const QImage* platformImageOf(Handle handle)
{
    const PlatformImage* image = findPlatformImage(handle);
    return image ? &image->image : nullptr;
}
