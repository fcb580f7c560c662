#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

// The colour of the paper within an area: the most common colour, so that lines, markers, grid
// and labels, which cover far less of a chart than the paper does, do not count. Large areas are
// sampled on a grid of pixels rather than read whole. The area must lie inside the picture and
// not be empty.
[[nodiscard]] Rgb estimateBackground(const PixelBuffer& pixels, const PixelArea& area);
