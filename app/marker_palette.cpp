#include "marker_palette.h"

namespace {

constexpr std::uint32_t BLACK = 0xFF000000u;
constexpr std::uint32_t WHITE = 0xFFFFFFFFu;

// From 0xRRGGBB, as colours are usually written, to the images' 0xAABBGGRR.
constexpr std::uint32_t opaque(std::uint32_t rgb)
{
    return BLACK | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// Chosen for a large smallest distance between any two in CIE Lab (above 30, where 2 is just
// noticeable), with lightnesses that keep every fill off pure black and pure white. The first
// ones are the most familiar, as most charts have few columns.
struct PaletteEntry {
    std::uint32_t fill;
    std::uint32_t outline;
};
constexpr PaletteEntry PALETTE[MARKER_COLOUR_COUNT] = {
    { opaque(0xE6194B), BLACK }, // red
    { opaque(0x1F5FE0), WHITE }, // blue
    { opaque(0x2BA02B), BLACK }, // green
    { opaque(0xFF8C00), BLACK }, // orange
    { opaque(0x8E2BC2), WHITE }, // purple
    { opaque(0x00C8E0), BLACK }, // cyan
    { opaque(0xF032E6), BLACK }, // magenta
    { opaque(0xF5D800), BLACK }, // yellow
    { opaque(0x8B4513), WHITE }, // brown
    { opaque(0xFFA0B4), BLACK }, // pink
    { opaque(0x00806E), WHITE }, // teal
    { opaque(0x141E64), WHITE }, // navy
};

} // namespace

MarkerColours markerColours(int column)
{
    const PaletteEntry& entry = PALETTE[column > 0 ? column % MARKER_COLOUR_COUNT : 0];
    return { entry.fill, entry.outline, entry.outline == BLACK ? WHITE : BLACK };
}
