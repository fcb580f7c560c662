#pragma once

#include "imaging/pixel_buffer.h"
#include "runtime/object_number.h"

#include <memory>
#include <utility>

// Platform images: the immutable desktop images that gadgets show, one made over an image's
// pixel buffer whenever the image is created, scaled or drawn on.
//
// Rules:
// - A platform image shares ownership of the buffer it shows, so it stays valid as long as it is
//   referenced, whatever happens to the image it was made for. Making one copies no pixels.
// - makePlatformImage hands out one reference; retainPlatformImage adds one and
//   releasePlatformImage drops one. The last release destroys the platform image.
// - Handles are never reused; retaining, releasing or looking up a handle that is not live (or
//   was never made) does nothing.
// - All of this happens on the application's thread.

// A new platform image over the buffer with one reference, or 0 when it could not be made.
[[nodiscard]] Handle makePlatformImage(std::shared_ptr<const PixelBuffer> pixels);
void retainPlatformImage(Handle handle);
void releasePlatformImage(Handle handle);

// How many references the platform image has; 0 when the handle is not live.
int platformImageReferences(Handle handle);
// The buffer the platform image shows, or nullptr when the handle is not live.
const PixelBuffer* platformImagePixels(Handle handle);
// The number of live platform images (for leak checks).
int livePlatformImageCount();

// One reference to a platform image, as a gadget that shows it holds one: retained on taking,
// released on reset or destruction. Copies hold references of their own.
class PlatformImageReference {
public:
    PlatformImageReference() = default;
    explicit PlatformImageReference(Handle handle)
        : m_handle(handle)
    {
        retainPlatformImage(m_handle);
    }
    PlatformImageReference(const PlatformImageReference& other)
        : PlatformImageReference(other.m_handle)
    {
    }
    PlatformImageReference(PlatformImageReference&& other) noexcept
        : m_handle(other.m_handle)
    {
        other.m_handle = 0;
    }
    PlatformImageReference& operator=(PlatformImageReference other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    ~PlatformImageReference() { releasePlatformImage(m_handle); }

    Handle handle() const { return m_handle; }
    // Holds the new handle (or none) instead; taking the one already held changes nothing.
    void reset(Handle handle = 0) { *this = PlatformImageReference(handle); }

private:
    Handle m_handle = 0;
};
