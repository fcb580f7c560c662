#pragma once

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

// How libjpeg reports to the JPEG decoder. A fatal error keeps the library's message as the
// load's failure reason and longjmps to `jump`, which the decoder arms with setjmp around every
// call into the library; warnings are counted and not printed. The warning that the entropy
// decoder ran out of data in the middle of a scan (it then makes up zeros) is remembered in
// `dataLacking`: rows made after it are not the picture's. A scan guard makes a progressive file with an
// absurd number of scans an error: each scan walks the whole picture, so thousands of tiny scans would take
// minutes.
struct JpegErrorManager {
    jpeg_error_mgr library {};
    jpeg_progress_mgr progress {};
    std::jmp_buf jump {};
    bool dataLacking = false;
};

// Connects the error manager and the scan guard to a decompressor before jpeg_create_decompress.
void attachJpegErrorManager(jpeg_decompress_struct& decompressor, JpegErrorManager& manager);
