#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

#include <optional>

// A hand-made capture moved onto what was meant: the centre of the line, the centroid of the
// marker or the bar edge under the click, within radius picture pixels. Empty when nothing
// stands out from the background there, and the click then stays where it is.
[[nodiscard]] std::optional<FoundPoint> snapToFeature(
    const PixelBuffer& pixels, FoundPoint click, int radius);
