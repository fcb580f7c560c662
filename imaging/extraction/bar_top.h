#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

#include <optional>

// The top edge of the bar clicked inside, found to a fraction of a pixel: x stays the click's,
// y is where the bar's colour gives way to what lies above it. Empty when the click is not inside
// a bar (nothing of the clicked colour extends below and around it).
[[nodiscard]] std::optional<FoundPoint> findBarTop(const PixelBuffer& pixels, FoundPoint click);
