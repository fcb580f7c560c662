#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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

// What the rows given to a RowResampler hold.
enum class RowPixels {
    Rgb, // 3 bytes R, G, B per pixel: opaque
    Rgba, // 4 bytes R, G, B, A
};

struct RowResamplerWork;

// The resampler for a picture that arrives one row at a time from the top, as a decoder makes
// it, so that the picture never needs to be whole in memory. Same arithmetic as resampleRgba: the
// target comes out byte for byte as resampleRgba makes it from the whole picture (R,G,B rows
// counting as R,G,B,255). A target row is written as soon as the last source row under it is
// in; at any time the resampler holds a few rows of sums, at the source width when the height
// shrinks and at the target width when it grows.
class RowResampler {
public:
    RowResampler();
    ~RowResampler();
    RowResampler(const RowResampler&) = delete;
    RowResampler& operator=(const RowResampler&) = delete;

    // Gets ready for a source of sourceWidth x sourceHeight pixels. false when memory for the
    // work rows ran out or a size is not positive.
    [[nodiscard]] bool start(int sourceWidth, int sourceHeight, RowPixels pixels, const RgbaTarget& target);
    // The next source row: sourceWidth pixels. Rows after the last are ignored, as is a row
    // before a successful start.
    void addRow(const std::uint8_t* row);
    // Whether every target row has been written.
    bool finished() const;

private:
    std::unique_ptr<RowResamplerWork> m_work;
};
