#pragma once

#include "imaging/decoders/image_decoding.h"

// PNG files through libpng: every colour type and bit depth, interlaced or not, delivered as
// 8-bit R,G,B (no transparency) or R,G,B,A (an alpha channel or a tRNS chunk). Samples are the
// file's own: no gamma or colour-space conversion. The source depth is the bit depth for grey,
// grey with alpha and palette files, 24 for RGB and 32 for RGBA.
extern const ImageDecoder PNG_DECODER;
