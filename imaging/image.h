#pragma once

#include "imaging/pixel_buffer.h"
#include "runtime/object_number.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Images: numbered objects holding an RGBA pixel buffer (see PixelBuffer for the layout) and a
// platform image that shows it. Colour values passed as one integer are 0xAABBGGRR, so that the
// little-endian bytes of such an integer are exactly one pixel.
//
// The creating operations return, for a fixed number, the platform handle (non-zero) or 0 on
// failure; for DYNAMIC_NUMBER the new image's number. They check everything that can fail (the
// size, the data, memory) before they take the number, so a failed creation leaves an image that
// held the number before untouched; a successful one replaces it.
//
// Every operation on a number that is not live does nothing and returns 0. Images are used from
// the application's thread only.

// makeImage flag: every byte 0 (transparent black) instead of opaque black.
inline constexpr int IMAGE_TRANSPARENT = 0x100;

// Creates the image table; at start-up. Releases any images of an earlier call.
void initImages();

// A width x height image; the low bits of flags give the depth, which is always 32.
Handle makeImage(int number, int width, int height, int flags);
// The image decoded by the registered decoders from a file or from `size` bytes in memory. Rows
// that broken data did not deliver are opaque black.
Handle loadImageFile(int number, const char* path);
Handle decodeImageMemory(int number, const void* data, std::size_t size);
// The width and height of the picture in a file, read by the registered decoders from its header
// without decoding the pixels. false when no decoder recognises the file or its size is not
// acceptable (lastDecodeFailure tells why).
struct ImageFileSize {
    int width = 0;
    int height = 0;
};
bool readImageFileSize(const char* path, ImageFileSize& size);

// The picture of a file, resampled to width x height as scaleImage would: for showing a large
// picture small without keeping it at full size. Rows are resampled as they are decoded, and a
// JPEG is decoded reduced (to the smallest n/8 of its size that still covers the target), which
// comes out close to, not byte for byte as, loadImageFile and scaleImage. Results as
// loadImageFile, broken data included; a size that is not acceptable fails before anything is
// decoded. When rows is given, a successful load tells there how many rows of the picture the
// data delivered, of how many (in the decoder's rows, see lastDecodedRowCount).
struct DecodedRowCount;
Handle loadImageFileScaled(
    int number, const char* path, int width, int height, DecodedRowCount* rows = nullptr);

// An image over pixels the caller filled in (source depth as imageBitDepth(-2) reports it).
Handle makeImageFromPixels(int number, std::shared_ptr<PixelBuffer> pixels, int sourceDepth = 32);

// Releases the image and frees its number; platform images still referenced elsewhere live on.
void releaseImage(int number);
// Releases every live image; at shut-down.
void releaseAllImages();

int imageExists(int number);
int imagePixelWidth(int number);
int imagePixelHeight(int number);
// which = -2: the bits per pixel of the source it was decoded from; otherwise the depth (32).
int imageBitDepth(int number, int which);
Handle imagePlatformHandle(int number);

// Resamples the image to the new size (smoothly, the same on every display). 1 when it was
// scaled; 0, leaving it untouched, when the number is not live, the size is unchanged or not
// acceptable, or memory ran out.
int scaleImage(int number, int width, int height);

// The pixels, to read (rows top to bottom, width * 4 bytes each), or nullptr. Valid until the
// image is released, replaced, scaled or drawn on.
const std::uint8_t* imagePixels(int number);

// For drawing (drawing.cpp).
// The image's buffer, or nullptr.
std::shared_ptr<PixelBuffer> imagePixelBuffer(int number);
// Makes the buffer `held` (which the caller got from imagePixelBuffer) safe to write: when a
// platform image that someone else holds shows it, the image gets a copy to write into instead.
// Returns the buffer to write into, or nullptr when the image no longer holds `held` or memory
// ran out.
std::shared_ptr<PixelBuffer> imagePixelsForWriting(int number, const std::shared_ptr<PixelBuffer>& held);
// Gives the image a new platform image over its buffer after drawing, when it still holds
// `drawn`; the old platform image is released.
void renewImagePlatformImage(int number, const PixelBuffer* drawn);
