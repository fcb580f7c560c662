#include "imaging/decoders/jpeg_source.h"

#include <cstddef>

#include <jerror.h>

namespace {

// An end-of-image marker handed to the library once the data has run out.
const JOCTET END_OF_IMAGE[2] = { 0xFF, JPEG_EOI };

JpegSource& sourceOf(j_decompress_ptr decompressor)
{
    // library is the first member, and the library hands back the pointer it was given.
    return *reinterpret_cast<JpegSource*>(decompressor->src);
}

void startSource(j_decompress_ptr)
{
}

boolean refillSource(j_decompress_ptr decompressor)
{
    JpegSource& source = sourceOf(decompressor);
    if (!source.ranOut) {
        source.ranOut = true;
        WARNMS(decompressor, JWRN_JPEG_EOF);
    }
    source.library.next_input_byte = END_OF_IMAGE;
    source.library.bytes_in_buffer = sizeof(END_OF_IMAGE);
    return TRUE;
}

void skipSourceBytes(j_decompress_ptr decompressor, long count)
{
    JpegSource& source = sourceOf(decompressor);
    if (count <= 0) {
        return;
    }
    auto wanted = static_cast<std::size_t>(count);
    if (wanted > source.library.bytes_in_buffer) {
        source.library.next_input_byte += source.library.bytes_in_buffer;
        source.library.bytes_in_buffer = 0;
        refillSource(decompressor);
        return;
    }
    source.library.next_input_byte += wanted;
    source.library.bytes_in_buffer -= wanted;
}

void endSource(j_decompress_ptr)
{
}

} // namespace

void attachJpegSource(
    jpeg_decompress_struct& decompressor, JpegSource& source, std::span<const std::uint8_t> bytes)
{
    static_assert(offsetof(JpegSource, library) == 0);
    source.bytes = bytes;
    source.ranOut = false;
    source.library.init_source = startSource;
    source.library.fill_input_buffer = refillSource;
    source.library.skip_input_data = skipSourceBytes;
    source.library.resync_to_restart = jpeg_resync_to_restart;
    source.library.term_source = endSource;
    source.library.next_input_byte = bytes.data();
    source.library.bytes_in_buffer = bytes.size();
    decompressor.src = &source.library;
}
