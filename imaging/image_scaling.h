#pragma once

#include <cstddef>
#include <cstdint>

// Resampling of RGBA pixels (bytes R, G, B, A, not premultiplied) in plain integer arithmetic,
// so that a scaled image is the same on every display.
//
// Each axis is filtered on its own: an axis that grows uses linear interpolation between the two
// nearest source pixels (pixel centres aligned, edges clamped); an axis that shrinks averages the
// source pixels under each target pixel, weighted by how much of them it covers, so fine
// patterns become their mean colour instead of aliasing. Colours are weighted by their alpha,
// so transparent pixels lend no colour to their neighbours.

struct RgbaSource {
    const std::uint8_t* pixels;
    int width;
    int height;
    std::size_t stride; // bytes from one row to the next
};

struct RgbaTarget {
    std::uint8_t* pixels;
    int width;
    int height;
    std::size_t stride;
};

// Fills the whole target from the whole source. false (target unspecified) when memory for the
// work rows ran out or a size is not positive.
[[nodiscard]] bool resampleRgba(const RgbaSource& source, const RgbaTarget& target);
