#pragma once

#include <cstdint>

// The colours of the markers on the diagram: one per column, twelve that stay apart from each
// other, each with an outline of black or white, whichever stands out more against its fill. A
// marker is thus visible on light and on dark charts alike: where the background swallows the
// fill, the outline stands out, and the other way round. Columns beyond the twelfth reuse the
// colours in turn. Colours are 0xAABBGGRR, as images take them.

inline constexpr int MARKER_COLOUR_COUNT = 12;

struct MarkerColours {
    std::uint32_t fill = 0;
    std::uint32_t outline = 0;
    // The selected marker's outer ring: the opposite of the outline, so that the selected marker
    // carries both black and white and shows on any background.
    std::uint32_t halo = 0;
};

// The colours of a column (0 for the first); a negative column counts as the first.
MarkerColours markerColours(int column);
