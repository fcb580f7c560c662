#pragma once

#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <span>

#include <jpeglib.h>

// A libjpeg data source over bytes in memory that never reads past them. When the library wants
// more than there is, it gets an end-of-image marker (so that it can finish its work) and the
// source remembers that it ran out. (Running out is not yet a loss: the library reads ahead, and a
// file may lack only its end marker.)
struct JpegSource {
    jpeg_source_mgr library {};
    std::span<const std::uint8_t> bytes;
    bool ranOut = false;
};

// Makes `source` the decompressor's data source over `bytes`; after jpeg_create_decompress.
void attachJpegSource(
    jpeg_decompress_struct& decompressor, JpegSource& source, std::span<const std::uint8_t> bytes);
