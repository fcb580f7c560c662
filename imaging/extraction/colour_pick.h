#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

// The colour a click on a curve, marker or bar means: the pixel that stands out most from the
// background near (x, y), so that a click half a pixel beside a thin anti-aliased line still picks
// the line's colour rather than the paper's.
[[nodiscard]] Rgb pickColour(const PixelBuffer& pixels, int x, int y);
