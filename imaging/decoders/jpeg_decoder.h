#pragma once

#include "imaging/decoders/image_decoding.h"

// JPEG files through libjpeg (8-bit samples; baseline, extended, progressive, arithmetic-coded),
// decoded with the accurate integer DCT and delivered as R,G,B: greyscale is widened, and CMYK and
// YCCK (including Adobe's inverted CMYK) are converted. The source depth is 8 bits per component.
extern const ImageDecoder JPEG_DECODER;
