#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// What the extraction of points by colour works with. Positions are picture pixels in the
// convention the capture model uses: x = 3.0 is the centre of pixel column 3, y grows downward.

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// A rectangle of picture pixels, half open: left <= x < right, top <= y < bottom.
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PixelArea&) const = default;
    bool isEmpty() const { return right <= left || bottom <= top; }
};

struct FoundPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const FoundPoint&) const = default;
};

// Called now and then with the share of the work done (0 to 1); answering false stops the work,
// which then returns what it found so far with `stopped` set.
using ExtractionProgress = std::function<bool(double done)>;

struct Extraction {
    std::vector<FoundPoint> points;
    bool stopped = false;
};

// The largest colour distance (Euclidean in RGB, 0 to 441) at which a pixel still counts as the
// picked colour, unless the user sets another.
inline constexpr int DEFAULT_COLOUR_TOLERANCE = 60;
