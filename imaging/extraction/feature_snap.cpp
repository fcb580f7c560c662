#include "imaging/extraction/feature_snap.h"

#include "imaging/extraction/background_colour.h"
#include "imaging/extraction/colour_coverage.h"
#include "imaging/extraction/colour_pick.h"
#include "imaging/extraction/column_runs.h"
#include "imaging/extraction/coverage_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A pixel must differ this much from the background to stand out at all.
constexpr int STANDS_OUT = 48;

// Where a stretch of coverage that runs on past `far` ends at `near` (one pixel beyond its last
// covered pixel toward near is `step` away): the edge lies before the first whole pixel by the
// summed shares of the partly covered ones.
double edgeOf(const std::vector<float>& shares, int start, int step)
{
    double partial = 0.0;
    int index = start;
    while (index >= 0 && index < static_cast<int>(shares.size())
        && shares[static_cast<std::size_t>(index)] < 0.98F) {
        partial += shares[static_cast<std::size_t>(index)];
        index += step;
    }
    return index - step * (0.5 + partial);
}

struct Stretch {
    int first = 0; // index of its first covered sample
    int last = -1; // index of its last
    double centre = 0.0;
    double mass = 0.0;
};

// The inner edge of a stretch that runs out of the window at one end (a bar seen through it):
// the end that lies inside; empty when it fills the window's whole line.
std::optional<double> innerEdge(const std::vector<float>& shares, const Stretch& stretch)
{
    if (stretch.first > 0)
        return edgeOf(shares, stretch.first, 1);
    if (stretch.last < static_cast<int>(shares.size()) - 1)
        return edgeOf(shares, stretch.last, -1);
    return std::nullopt;
}

// The covered stretch of a line of samples nearest to `at`.
Stretch stretchNear(const std::vector<float>& shares, int at)
{
    Stretch best;
    int nearest = INT32_MAX;
    const int count = static_cast<int>(shares.size());
    for (int i = 0; i < count;) {
        if (shares[static_cast<std::size_t>(i)] <= 0.0F) {
            ++i;
            continue;
        }
        Stretch stretch;
        stretch.first = i;
        LineCentre centre;
        for (; i < count && shares[static_cast<std::size_t>(i)] > 0.0F; ++i) {
            stretch.mass += shares[static_cast<std::size_t>(i)];
            centre.add(i, shares[static_cast<std::size_t>(i)]);
        }
        stretch.last = i - 1;
        stretch.centre = centre.centre();
        const int distance
            = at < stretch.first ? stretch.first - at : (at > stretch.last ? at - stretch.last : 0);
        if (distance < nearest) {
            nearest = distance;
            best = stretch;
        }
    }
    return best;
}

} // namespace

std::optional<FoundPoint> snapToFeature(const PixelBuffer& pixels, FoundPoint click, int radius)
{
    if (radius < 1 || !(click.x > -0.5 && click.x < pixels.width() - 0.5)
        || !(click.y > -0.5 && click.y < pixels.height() - 0.5))
        return std::nullopt;
    const int x = static_cast<int>(std::lround(click.x));
    const int y = static_cast<int>(std::lround(click.y));
    // Nothing is searched beyond the picture, whatever the radius.
    radius = std::min(radius, std::max(pixels.width(), pixels.height()));
    // The window holds a marker or a line's cross-section whole around anything within the radius.
    const int reach = 3 * radius + 4;
    const PixelArea window { std::max(0, x - reach), std::max(0, y - reach),
        std::min(pixels.width(), x + reach + 1), std::min(pixels.height(), y + reach + 1) };
    // The paper of the whole picture: around a click near a bar's top the bar may fill most of
    // the window.
    const Rgb background = estimateBackground(pixels, { 0, 0, pixels.width(), pixels.height() });
    int most = -1;
    int standingX = x;
    int standingY = y;
    for (int row = std::max(0, y - radius); row <= std::min(pixels.height() - 1, y + radius); ++row)
        for (int column = std::max(0, x - radius); column <= std::min(pixels.width() - 1, x + radius);
             ++column) {
            const std::uint8_t* pixel = pixels.row(row) + static_cast<std::size_t>(column) * 4;
            const int dr = pixel[0] - background.r, dg = pixel[1] - background.g,
                      db = pixel[2] - background.b;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance > most) {
                most = distance;
                standingX = column;
                standingY = row;
            }
        }
    if (most < STANDS_OUT * STANDS_OUT)
        return std::nullopt;
    const ColourCoverage coverage(
        background, pickColour(pixels, standingX, standingY), DEFAULT_COLOUR_TOLERANCE);
    const CoverageMap map = mapCoverage(pixels, window, coverage, {}, 1.0);
    const int width = map.width;
    const int height = map.height;
    auto shareAt = [&](int column, int row) {
        return CoverageMap::solidShare(map.values[static_cast<std::size_t>(row) * width + column]);
    };

    // The blob under the click, by a fill from the pixel that stands out most.
    std::vector<std::uint8_t> seen(map.values.size());
    std::vector<std::pair<int, int>> stack { { standingX - window.left, standingY - window.top } };
    seen[static_cast<std::size_t>(stack.back().second) * width + stack.back().first] = 1;
    double mass = 0.0, sumX = 0.0, sumY = 0.0;
    bool open = false; // it runs out of the window: a line or a bar, not a marker
    while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        stack.pop_back();
        const double share = shareAt(cx, cy);
        mass += share;
        sumX += share * cx;
        sumY += share * cy;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = cx + dx, ny = cy + dy;
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) {
                    open = true;
                    continue;
                }
                std::uint8_t& mark = seen[static_cast<std::size_t>(ny) * width + nx];
                if (mark || shareAt(nx, ny) <= 0.0F)
                    continue;
                mark = 1;
                stack.push_back({ nx, ny });
            }
    }
    if (mass <= 0.0)
        return std::nullopt;
    FoundPoint snapped = click;
    if (!open) {
        snapped = { window.left + sumX / mass, window.top + sumY / mass };
    } else {
        // A line or an edge: the cross-sections through the click along its column and its row.
        const int localX = x - window.left;
        const int localY = y - window.top;
        std::vector<float> column(static_cast<std::size_t>(height));
        std::vector<float> row(static_cast<std::size_t>(width));
        for (int i = 0; i < height; ++i)
            column[static_cast<std::size_t>(i)] = shareAt(localX, i);
        for (int i = 0; i < width; ++i)
            row[static_cast<std::size_t>(i)] = shareAt(i, localY);
        const Stretch down = stretchNear(column, localY);
        const Stretch across = stretchNear(row, localX);
        const bool downOpen = down.last >= down.first && (down.first == 0 || down.last == height - 1);
        const bool acrossOpen
            = across.last >= across.first && (across.first == 0 || across.last == width - 1);
        if (down.last >= down.first && downOpen && !(acrossOpen && across.mass < down.mass)) {
            // A filled area running out of the window along the column: snap to its end that
            // lies in the window (a bar's top or bottom edge).
            const std::optional<double> edge = innerEdge(column, down);
            if (!edge)
                return std::nullopt;
            snapped.y = window.top + *edge;
        } else if (across.last >= across.first && acrossOpen) {
            const std::optional<double> edge = innerEdge(row, across);
            if (!edge)
                return std::nullopt;
            snapped.x = window.left + *edge;
        } else if (down.last >= down.first && (across.last < across.first || down.mass <= across.mass)) {
            snapped.y = window.top + down.centre; // a line running more across than down
        } else if (across.last >= across.first) {
            snapped.x = window.left + across.centre;
        } else {
            return std::nullopt;
        }
    }
    if (std::hypot(snapped.x - click.x, snapped.y - click.y) > radius + 1.0)
        return std::nullopt;
    return snapped;
}
