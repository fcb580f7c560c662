#include "imaging/extraction/coverage_map.h"

#include <algorithm>
#include <cmath>

namespace {

// Every so many rows the scan reports its progress and asks whether to go on.
constexpr int ROWS_PER_REPORT = 64;
// A pixel at least half covered is the blob's body; fainter ones are its rim.
constexpr std::uint8_t BODY = CoverageMap::COVERAGE_FULL / 2 + 1;

// Erosion (`all`: a pixel stays 1 where every pixel within `reach` of it along the row is 1, none
// near the ends) or dilation (a pixel becomes 1 where any is) of every row, in place.
void filterRows(std::vector<std::uint8_t>& mask, int width, int height, int reach, bool all)
{
    std::vector<int> prefix(static_cast<std::size_t>(width) + 1);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = mask.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            prefix[static_cast<std::size_t>(x) + 1] = prefix[static_cast<std::size_t>(x)] + line[x];
        for (int x = 0; x < width; ++x) {
            const int from = std::max(0, x - reach);
            const int to = std::min(width, x + reach + 1);
            const int ones = prefix[static_cast<std::size_t>(to)] - prefix[static_cast<std::size_t>(from)];
            line[x] = all ? (x - reach >= 0 && x + reach < width && ones == to - from) : ones > 0;
        }
    }
}

// The same along the columns, read row by row with a running count per column so that the
// memory is walked in order.
void filterColumns(std::vector<std::uint8_t>& mask, int width, int height, int reach, bool all)
{
    std::vector<std::uint8_t> out(mask.size());
    std::vector<int> counts(static_cast<std::size_t>(width));
    auto add = [&](int y, int sign) {
        const std::uint8_t* line = mask.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            counts[static_cast<std::size_t>(x)] += sign * line[x];
    };
    for (int y = 0; y < std::min(reach, height); ++y)
        add(y, 1);
    for (int y = 0; y < height; ++y) {
        if (y + reach < height)
            add(y + reach, 1);
        if (y - reach - 1 >= 0)
            add(y - reach - 1, -1);
        const int window = std::min(height, y + reach + 1) - std::max(0, y - reach);
        const bool inside = y - reach >= 0 && y + reach < height;
        std::uint8_t* line = out.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const int ones = counts[static_cast<std::size_t>(x)];
            line[x] = all ? (inside && ones == window) : ones > 0;
        }
    }
    mask.swap(out);
}

} // namespace

CoverageMap mapCoverage(const PixelBuffer& pixels, const PixelArea& area, const ColourCoverage& coverage,
    const ExtractionProgress& progress, double progressShare)
{
    CoverageMap map;
    map.width = area.right - area.left;
    map.height = area.bottom - area.top;
    map.values.resize(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height));
    std::uint8_t* out = map.values.data();
    for (int y = 0; y < map.height; ++y) {
        if (progress && y % ROWS_PER_REPORT == 0 && !progress(progressShare * y / map.height)) {
            map = {};
            return map;
        }
        const std::uint8_t* pixel = pixels.row(area.top + y) + static_cast<std::size_t>(area.left) * 4;
        for (int x = 0; x < map.width; ++x, pixel += 4, ++out) {
            const float share = coverage.coverage(pixel);
            if (share <= 0.0F) {
                *out = share < 0.0F ? CoverageMap::FOREIGN : 0;
                continue;
            }
            const auto value
                = static_cast<std::uint8_t>(std::max(1.0F, std::round(share * CoverageMap::COVERAGE_FULL)));
            *out = coverage.isMatch(pixel) ? static_cast<std::uint8_t>(value | CoverageMap::MATCH) : value;
        }
    }
    return map;
}

std::vector<std::uint8_t> mapBroadBlobs(
    const CoverageMap& map, double lineThickness, const std::vector<PixelArea>& windows)
{
    std::vector<std::uint8_t> broad;
    if (windows.empty())
        return broad;
    broad.resize(map.values.size());
    // An opening by a square wider than the line: no square of that size fits in the line,
    // whatever its direction, so what remains after the erosion is broader than a line.
    const int reach = static_cast<int>(std::ceil(lineThickness / 2.0)) + 1;
    std::vector<std::uint8_t> mask;
    for (const PixelArea& requested : windows) {
        const PixelArea window { std::max(requested.left, 0), std::max(requested.top, 0),
            std::min(requested.right, map.width), std::min(requested.bottom, map.height) };
        if (window.isEmpty())
            continue;
        const int width = window.right - window.left;
        const int height = window.bottom - window.top;
        mask.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* values = map.row(window.top + y) + window.left;
            std::uint8_t* line = mask.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x)
                line[x] = (values[x] & CoverageMap::COVERAGE_FULL) >= BODY;
        }
        filterRows(mask, width, height, reach, true);
        filterColumns(mask, width, height, reach, true);
        filterRows(mask, width, height, reach + 1, false);
        filterColumns(mask, width, height, reach + 1, false);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* line = mask.data() + static_cast<std::size_t>(y) * width;
            std::uint8_t* out
                = broad.data() + static_cast<std::size_t>(window.top + y) * map.width + window.left;
            for (int x = 0; x < width; ++x)
                out[x] |= line[x];
        }
    }
    return broad;
}

PixelArea clipArea(const PixelArea& area, const PixelBuffer& pixels)
{
    return { std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, pixels.width()),
        std::min(area.bottom, pixels.height()) };
}
