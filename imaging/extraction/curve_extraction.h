#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

#include <vector>

// The points of a curve drawn in one colour: at every x of sampleXs (picture pixels, ascending,
// inside the area), the sub-pixel centre of the curve's line in that column. Gaps where grid
// lines, labels or another curve cross are bridged; where the curve is steep or folds back, every
// branch at that x is kept as its own point (points of one x in ascending y). An x where the
// curve is absent and no gap can be bridged gives no point.
[[nodiscard]] Extraction extractCurve(const PixelBuffer& pixels, const PixelArea& area, Rgb colour,
    int tolerance, const std::vector<double>& sampleXs, const ExtractionProgress& progress = {});
