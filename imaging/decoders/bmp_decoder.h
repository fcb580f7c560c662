#pragma once

#include "imaging/decoders/image_decoding.h"

// BMP files (Windows and OS/2 bitmaps): 1, 2, 4 and 8 bits per pixel through the palette (8 and 4
// also run-length encoded), 16 and 32 bits with default or explicit channel masks, 24 bits.
// Output is R,G,B, or R,G,B,A when the file gives an alpha mask; the source depth is the file's
// bits per pixel.
extern const ImageDecoder BMP_DECODER;
