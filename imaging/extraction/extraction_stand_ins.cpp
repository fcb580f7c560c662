// Plain versions of the extraction by colour, so that the application links and its tests run
// before the real search is in place: whole pixels, no bridging, no separation of touching
// markers. Nothing outside this file relies on how they find what they find.

#include "imaging/extraction/bar_top.h"
#include "imaging/extraction/colour_pick.h"
#include "imaging/extraction/curve_extraction.h"
#include "imaging/extraction/feature_snap.h"
#include "imaging/extraction/marker_extraction.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

Rgb pixelAt(const PixelBuffer& pixels, int x, int y)
{
    const std::uint8_t* p = pixels.row(y) + static_cast<std::size_t>(x) * 4;
    return { p[0], p[1], p[2] };
}

int distance(Rgb a, Rgb b)
{
    const int r = a.r - b.r;
    const int g = a.g - b.g;
    const int b2 = a.b - b.b;
    return static_cast<int>(std::lround(std::sqrt(static_cast<double>(r * r + g * g + b2 * b2))));
}

// The paper: pixels this light are never a feature.
bool isBackground(Rgb colour)
{
    return colour.r >= 230 && colour.g >= 230 && colour.b >= 230;
}

bool inside(const PixelBuffer& pixels, int x, int y)
{
    return x >= 0 && y >= 0 && x < pixels.width() && y < pixels.height();
}

PixelArea clipped(const PixelBuffer& pixels, const PixelArea& area)
{
    return { std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, pixels.width()),
        std::min(area.bottom, pixels.height()) };
}

bool matches(const PixelBuffer& pixels, int x, int y, Rgb colour, int tolerance)
{
    return distance(pixelAt(pixels, x, y), colour) <= tolerance;
}

} // namespace

Rgb pickColour(const PixelBuffer& pixels, int x, int y)
{
    x = std::clamp(x, 0, std::max(pixels.width() - 1, 0));
    y = std::clamp(y, 0, std::max(pixels.height() - 1, 0));
    Rgb best = pixelAt(pixels, x, y);
    if (!isBackground(best))
        return best;
    int bestDarkness = -1;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (!inside(pixels, x + dx, y + dy))
                continue;
            const Rgb colour = pixelAt(pixels, x + dx, y + dy);
            const int darkness = 765 - colour.r - colour.g - colour.b;
            if (darkness > bestDarkness) {
                bestDarkness = darkness;
                best = colour;
            }
        }
    }
    return best;
}

Extraction extractCurve(const PixelBuffer& pixels, const PixelArea& area, Rgb colour, int tolerance,
    const std::vector<double>& sampleXs, const ExtractionProgress& progress)
{
    Extraction result;
    const PixelArea within = clipped(pixels, area);
    for (std::size_t i = 0; i < sampleXs.size(); ++i) {
        if (progress && !progress(static_cast<double>(i) / static_cast<double>(sampleXs.size()))) {
            result.stopped = true;
            return result;
        }
        const int x = static_cast<int>(std::lround(sampleXs[i]));
        if (x < within.left || x >= within.right)
            continue;
        // Every run of the colour in the column is a branch; its middle is the point.
        int runStart = -1;
        for (int y = within.top; y <= within.bottom; ++y) {
            const bool on = y < within.bottom && matches(pixels, x, y, colour, tolerance);
            if (on && runStart < 0)
                runStart = y;
            if (!on && runStart >= 0) {
                result.points.push_back({ sampleXs[i], (runStart + y - 1) / 2.0 });
                runStart = -1;
            }
        }
    }
    return result;
}

Extraction extractMarkers(const PixelBuffer& pixels, const PixelArea& area, Rgb colour, int tolerance,
    const ExtractionProgress& progress)
{
    Extraction result;
    const PixelArea within = clipped(pixels, area);
    if (within.isEmpty())
        return result;
    const int width = within.right - within.left;
    std::vector<char> seen(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(within.bottom - within.top));
    auto index = [&](int x, int y) {
        return static_cast<std::size_t>(y - within.top) * static_cast<std::size_t>(width)
            + static_cast<std::size_t>(x - within.left);
    };
    std::vector<std::pair<int, int>> stack;
    for (int y = within.top; y < within.bottom; ++y) {
        if (progress && !progress(static_cast<double>(y - within.top) / (within.bottom - within.top))) {
            result.stopped = true;
            return result;
        }
        for (int x = within.left; x < within.right; ++x) {
            if (seen[index(x, y)] || !matches(pixels, x, y, colour, tolerance))
                continue;
            double sumX = 0;
            double sumY = 0;
            int count = 0;
            stack.assign(1, { x, y });
            seen[index(x, y)] = 1;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                sumX += px;
                sumY += py;
                ++count;
                const int next[4][2] = { { px + 1, py }, { px - 1, py }, { px, py + 1 }, { px, py - 1 } };
                for (const auto& n : next) {
                    if (n[0] < within.left || n[0] >= within.right || n[1] < within.top
                        || n[1] >= within.bottom)
                        continue;
                    if (seen[index(n[0], n[1])] || !matches(pixels, n[0], n[1], colour, tolerance))
                        continue;
                    seen[index(n[0], n[1])] = 1;
                    stack.push_back({ n[0], n[1] });
                }
            }
            result.points.push_back({ sumX / count, sumY / count });
        }
    }
    std::sort(result.points.begin(), result.points.end(),
        [](const FoundPoint& a, const FoundPoint& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return result;
}

std::optional<FoundPoint> snapToFeature(const PixelBuffer& pixels, FoundPoint click, int radius)
{
    const int cx = static_cast<int>(std::lround(click.x));
    const int cy = static_cast<int>(std::lround(click.y));
    // The darkest pixel within reach names the feature's colour.
    Rgb colour { 255, 255, 255 };
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (!inside(pixels, x, y))
                continue;
            const Rgb here = pixelAt(pixels, x, y);
            if (here.r + here.g + here.b < colour.r + colour.g + colour.b)
                colour = here;
        }
    }
    if (isBackground(colour))
        return std::nullopt;
    double sumX = 0;
    double sumY = 0;
    int count = 0;
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (inside(pixels, x, y) && matches(pixels, x, y, colour, DEFAULT_COLOUR_TOLERANCE)) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    if (count == 0)
        return std::nullopt;
    return FoundPoint { sumX / count, sumY / count };
}

std::optional<FoundPoint> findBarTop(const PixelBuffer& pixels, FoundPoint click)
{
    const int cx = static_cast<int>(std::lround(click.x));
    const int cy = static_cast<int>(std::lround(click.y));
    if (!inside(pixels, cx, cy))
        return std::nullopt;
    const Rgb colour = pixelAt(pixels, cx, cy);
    if (isBackground(colour))
        return std::nullopt;
    int y = cy;
    while (y > 0 && matches(pixels, cx, y - 1, colour, DEFAULT_COLOUR_TOLERANCE))
        --y;
    return FoundPoint { click.x, y - 0.5 };
}
