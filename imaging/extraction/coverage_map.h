#pragma once

#include "imaging/extraction/colour_coverage.h"
#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

#include <cstdint>
#include <vector>

// How much the colour covers each pixel of an area, one byte a pixel, rows from the top: the low
// six bits hold the coverage (0 to COVERAGE_FULL), MATCH marks pixels that are the colour itself
// within the tolerance, FOREIGN those of another colour that stands out from the background.
struct CoverageMap {
    static constexpr std::uint8_t MATCH = 0x80;
    static constexpr std::uint8_t FOREIGN = 0x40;
    static constexpr std::uint8_t COVERAGE_FULL = 0x3F;

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values;

    const std::uint8_t* row(int y) const { return values.data() + static_cast<std::size_t>(y) * width; }
    static constexpr std::uint8_t SOLID
        = static_cast<std::uint8_t>(ColourCoverage::SOLID_COVERAGE * COVERAGE_FULL + 0.5F);

    static float share(std::uint8_t value)
    {
        return static_cast<float>(value & COVERAGE_FULL) / COVERAGE_FULL;
    }
    // Whether the pixel counts on its own, not only as the faint edge of something beside it.
    static bool isSolid(std::uint8_t value) { return (value & COVERAGE_FULL) >= SOLID; }
    static float solidShare(std::uint8_t value) { return isSolid(value) ? share(value) : 0.0F; }
};

// The map of an area (inside the picture). `progress` hears the share of rows read, scaled by
// progressShare; when it answers false, reading ends and the map comes back empty.
[[nodiscard]] CoverageMap mapCoverage(const PixelBuffer& pixels, const PixelArea& area,
    const ColourCoverage& coverage, const ExtractionProgress& progress, double progressShare);

// The pixels (1) that lie in a blob too broad for a line of the given thickness (a marker, a
// label, a bar), grown by a pixel: what a line passes under there is hidden. Only the windows
// (in the map's own coordinates) are searched; without any the answer is empty.
[[nodiscard]] std::vector<std::uint8_t> mapBroadBlobs(
    const CoverageMap& map, double lineThickness, const std::vector<PixelArea>& windows);

// The area clipped to the picture.
[[nodiscard]] PixelArea clipArea(const PixelArea& area, const PixelBuffer& pixels);
