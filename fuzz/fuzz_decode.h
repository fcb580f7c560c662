#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz input through the decode interface with only the given decoder registered. The last
// byte chooses the mode, so that one target covers all of them:
//   bit 0  read from a file instead of memory
//   bit 1  rows bottom-up (DECODE_BOTTOM_UP)
//   bit 2  readDecodedRowsAsRgba instead of readDecodedRows
//   bit 3  finishDecoding without reading rows
//   bits 4-5  open reduced to at least 0 (the full size), 1, 64 or 300 pixels square: the JPEG
//             decoder then decodes at 1/8 .. 8/8 of the size
//   bit 6  the rows through readDecodedRowsInOrder and a sink that counts them, instead of
//          bits 1 and 2
// The rest is the picture.
void fuzzDecode(const std::uint8_t* data, std::size_t size, void (*useDecoder)());
