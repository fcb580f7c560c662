#pragma once

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

// How libjpeg reports to the JPEG decoder. A fatal error keeps the library's message as the
// load's failure reason and longjmps to `jump`, which the decoder arms with setjmp around every
// call into the library; warnings (corrupt but decodable data) are counted by the library and
// not printed. A scan guard makes a progressive file with an absurd number of scans an error:
// each scan walks the whole picture, so thousands of tiny scans would take minutes.
struct JpegErrorManager {
    jpeg_error_mgr library {};
    jpeg_progress_mgr progress {};
    std::jmp_buf jump {};
};

// Connects the error manager and the scan guard to a decompressor before jpeg_create_decompress.
void attachJpegErrorManager(jpeg_decompress_struct& decompressor, JpegErrorManager& manager);
