#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

// One point at the centroid of every blob of the colour within the area (the markers of a
// scatter plot); markers of the same colour that touch are separated where their shape shows
// two or more. Points in reading order (by y, then x).
[[nodiscard]] Extraction extractMarkers(const PixelBuffer& pixels, const PixelArea& area, Rgb colour,
    int tolerance, const ExtractionProgress& progress = {});
