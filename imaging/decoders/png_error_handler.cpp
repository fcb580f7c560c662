#include "imaging/decoders/png_error_handler.h"

#include "imaging/decoders/decoder_support.h"
#include "imaging/decoders/image_limits.h"

#include <array>
#include <cstdio>

namespace {

// Ancillary chunks of real pictures (ICC profiles, text, EXIF) stay far below this; a chunk
// claiming more is refused instead of being allocated.
constexpr png_alloc_size_t MAX_CHUNK_BYTES = 8 * 1024 * 1024;
// Bounds the count of stored ancillary chunks (text, sPLT, unknown) that one file can make us keep.
constexpr png_uint_32 MAX_CACHED_CHUNKS = 256;

[[noreturn]] void failPngRead(png_structp png, png_const_charp message)
{
    // A buffer of our own, because noteDecodeFailure copies and this function never returns.
    std::array<char, 140> text {};
    std::snprintf(text.data(), text.size(), "PNG: %s", message != nullptr ? message : "error");
    noteDecodeFailure(text.data());
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp)
{
}

} // namespace

png_structp createPngReader()
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failPngRead, ignorePngWarning);
    if (png == nullptr) {
        return nullptr;
    }
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    png_set_chunk_malloc_max(png, MAX_CHUNK_BYTES);
    png_set_chunk_cache_max(png, MAX_CACHED_CHUNKS);
    return png;
}
