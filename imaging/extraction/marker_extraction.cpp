#include "imaging/extraction/marker_extraction.h"

#include "imaging/extraction/background_colour.h"
#include "imaging/extraction/colour_coverage.h"
#include "imaging/extraction/coverage_map.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The share of the progress that reading the picture takes; the blobs take the rest.
constexpr double SCAN_SHARE = 0.8;
// A blob of less than this share of the typical marker is a stray dot (noise, the tip of a label).
constexpr double DOT_SHARE = 0.3;
// A blob holds as many markers as its coverage holds typical markers, rounded; one of 1.5 or more
// is split.
constexpr int SPLIT_ROUNDS = 12;

// One row's stretch of pixels of a blob.
struct Run {
    int y;
    int left;
    int right; // one past the last pixel
    std::size_t blob;
};

struct Blob {
    double mass = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    bool matched = false;
    std::vector<std::size_t> runs;
};

std::size_t findRoot(std::vector<std::size_t>& parents, std::size_t label)
{
    while (parents[label] != label) {
        parents[label] = parents[parents[label]];
        label = parents[label];
    }
    return label;
}

// The blobs of the map: pixels of any coverage, joined across edges and corners, found run by run
// so that the memory needed grows with the runs, not with the area.
std::vector<Blob> findBlobs(const CoverageMap& map, std::vector<Run>& runs)
{
    std::vector<std::size_t> parents;
    std::size_t previousStart = 0;
    std::size_t previousEnd = 0;
    for (int y = 0; y < map.height; ++y) {
        const std::uint8_t* values = map.row(y);
        const std::size_t rowStart = runs.size();
        for (int x = 0; x < map.width;) {
            if (!CoverageMap::isSolid(values[x])) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < map.width && CoverageMap::isSolid(values[x]))
                ++x;
            const std::size_t label = parents.size();
            parents.push_back(label);
            runs.push_back({ y, left, x, label });
            for (std::size_t p = previousStart; p < previousEnd; ++p) {
                const Run& above = runs[p];
                if (above.right < left || above.left > x)
                    continue;
                const std::size_t a = findRoot(parents, above.blob);
                const std::size_t b = findRoot(parents, label);
                parents[std::max(a, b)] = std::min(a, b);
            }
        }
        previousStart = rowStart;
        previousEnd = runs.size();
    }
    std::vector<std::size_t> blobOfRoot(parents.size(), SIZE_MAX);
    std::vector<Blob> blobs;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        Run& run = runs[r];
        const std::size_t root = findRoot(parents, run.blob);
        if (blobOfRoot[root] == SIZE_MAX) {
            blobOfRoot[root] = blobs.size();
            blobs.emplace_back();
        }
        run.blob = blobOfRoot[root];
        Blob& blob = blobs[run.blob];
        blob.runs.push_back(r);
        const std::uint8_t* values = map.row(run.y);
        for (int x = run.left; x < run.right; ++x) {
            const double share = CoverageMap::solidShare(values[x]);
            blob.mass += share;
            blob.sumX += share * x;
            blob.sumY += share * run.y;
            blob.matched = blob.matched || (values[x] & CoverageMap::MATCH) != 0;
        }
    }
    return blobs;
}

// Faint pixels count only beside a marker's body (a pixel the colour covers at least half of):
// a light grey grid line passes for a faint edge of a dark colour, and one that touches a marker
// would otherwise join it, swell it and have it split into several. The faint edge of a marker
// always lies beside its body, so its centroid keeps every edge pixel.
void keepFaintPixelsBesideBodies(CoverageMap& map)
{
    constexpr auto BODY = static_cast<std::uint8_t>(CoverageMap::COVERAGE_FULL / 2 + 1);
    auto isBody = [](std::uint8_t value) { return (value & CoverageMap::COVERAGE_FULL) >= BODY; };
    std::vector<std::uint8_t> body(map.values.size());
    for (std::size_t i = 0; i < map.values.size(); ++i)
        body[i] = isBody(map.values[i]) ? 1 : 0;
    const auto width = static_cast<std::size_t>(map.width);
    for (int y = 0; y < map.height; ++y) {
        std::uint8_t* values = map.values.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < map.width; ++x) {
            if (!CoverageMap::isSolid(values[x]) || isBody(values[x]))
                continue;
            bool besideBody = false;
            for (int ny = std::max(0, y - 1); ny <= std::min(map.height - 1, y + 1) && !besideBody; ++ny)
                for (int nx = std::max(0, x - 1); nx <= std::min(map.width - 1, x + 1); ++nx)
                    if (body[static_cast<std::size_t>(ny) * width + static_cast<std::size_t>(nx)] != 0) {
                        besideBody = true;
                        break;
                    }
            if (!besideBody)
                values[x] &= static_cast<std::uint8_t>(~CoverageMap::COVERAGE_FULL);
        }
    }
}

struct Centre {
    double x;
    double y;
};

// Splits a blob of several touching markers of the typical size (radius in pixels) into that many
// centres: each pixel goes to its nearest centre and each centre moves to the centroid of its
// pixels. Where two markers overlap, the share of one that lies beyond the line between them went
// to the other; it is put back by mirroring the pixels on this side that the other marker also
// covers, which for markers of one shape is exactly what was lost.
std::vector<Centre> splitBlob(
    const CoverageMap& map, const std::vector<Run>& runs, const Blob& blob, int count, double radius)
{
    std::vector<Centre> centres;
    // Start from pixels far apart: the first the farthest from the blob's centroid, each next
    // the farthest from those chosen.
    auto farthest = [&](auto distanceOf) {
        Centre best { 0.0, 0.0 };
        double most = -1.0;
        for (const std::size_t r : blob.runs)
            for (int x = runs[r].left; x < runs[r].right; ++x) {
                const double distance = distanceOf(x, runs[r].y);
                if (distance > most) {
                    most = distance;
                    best = { static_cast<double>(x), static_cast<double>(runs[r].y) };
                }
            }
        return best;
    };
    const Centre middle { blob.sumX / blob.mass, blob.sumY / blob.mass };
    centres.push_back(farthest([&](int x, int y) { return std::hypot(x - middle.x, y - middle.y); }));
    while (static_cast<int>(centres.size()) < count)
        centres.push_back(farthest([&](int x, int y) {
            double nearest = 1e300;
            for (const Centre& c : centres)
                nearest = std::min(nearest, std::hypot(x - c.x, y - c.y));
            return nearest;
        }));
    std::vector<double> sums(centres.size() * 3);
    for (int round = 0; round < SPLIT_ROUNDS; ++round) {
        std::fill(sums.begin(), sums.end(), 0.0);
        for (const std::size_t r : blob.runs) {
            const Run& run = runs[r];
            const std::uint8_t* values = map.row(run.y);
            for (int x = run.left; x < run.right; ++x) {
                const double share = CoverageMap::solidShare(values[x]);
                std::size_t own = 0;
                double nearest = 1e300;
                for (std::size_t c = 0; c < centres.size(); ++c) {
                    const double distance = std::hypot(x - centres[c].x, run.y - centres[c].y);
                    if (distance < nearest) {
                        nearest = distance;
                        own = c;
                    }
                }
                sums[own * 3] += share;
                sums[own * 3 + 1] += share * x;
                sums[own * 3 + 2] += share * run.y;
                for (std::size_t c = 0; c < centres.size(); ++c) {
                    if (c == own || std::hypot(x - centres[c].x, run.y - centres[c].y) > radius)
                        continue;
                    // The pixel mirrored across the line halfway between the two centres.
                    const double nx = centres[c].x - centres[own].x;
                    const double ny = centres[c].y - centres[own].y;
                    const double length = std::hypot(nx, ny);
                    if (length <= 0.0)
                        continue;
                    const double ux = nx / length;
                    const double uy = ny / length;
                    const double beyond
                        = 2.0 * ((x - centres[own].x) * ux + (run.y - centres[own].y) * uy - length / 2.0);
                    sums[own * 3] += share;
                    sums[own * 3 + 1] += share * (x - beyond * ux);
                    sums[own * 3 + 2] += share * (run.y - beyond * uy);
                }
            }
        }
        for (std::size_t c = 0; c < centres.size(); ++c)
            if (sums[c * 3] > 0.0)
                centres[c] = { sums[c * 3 + 1] / sums[c * 3], sums[c * 3 + 2] / sums[c * 3] };
    }
    return centres;
}

} // namespace

Extraction extractMarkers(const PixelBuffer& pixels, const PixelArea& requested, Rgb colour, int tolerance,
    const ExtractionProgress& progress)
{
    Extraction extraction;
    const PixelArea area = clipArea(requested, pixels);
    if (area.isEmpty())
        return extraction;
    const ColourCoverage coverage(estimateBackground(pixels, area), colour, tolerance);
    if (!coverage.isUsable())
        return extraction;
    CoverageMap map = mapCoverage(pixels, area, coverage, progress, SCAN_SHARE);
    if (map.values.empty()) {
        extraction.stopped = true;
        return extraction;
    }
    keepFaintPixelsBesideBodies(map);
    std::vector<Run> runs;
    std::vector<Blob> blobs = findBlobs(map, runs);
    std::erase_if(blobs, [](const Blob& blob) { return !blob.matched; });
    if (blobs.empty())
        return extraction;
    std::vector<double> masses;
    for (const Blob& blob : blobs)
        masses.push_back(blob.mass);
    auto middle = masses.begin() + static_cast<std::ptrdiff_t>(masses.size() / 2);
    std::nth_element(masses.begin(), middle, masses.end());
    const double typical = *middle;
    const double radius = std::sqrt(typical / M_PI);
    for (std::size_t b = 0; b < blobs.size(); ++b) {
        if (progress && b % 64 == 0 && !progress(SCAN_SHARE + (1.0 - SCAN_SHARE) * b / blobs.size())) {
            extraction.stopped = true;
            break;
        }
        const Blob& blob = blobs[b];
        if (blob.mass < DOT_SHARE * typical)
            continue;
        const int count = static_cast<int>(std::lround(blob.mass / typical));
        if (count < 2) {
            extraction.points.push_back(
                { area.left + blob.sumX / blob.mass, area.top + blob.sumY / blob.mass });
            continue;
        }
        for (const Centre& centre : splitBlob(map, runs, blob, count, radius))
            extraction.points.push_back({ area.left + centre.x, area.top + centre.y });
    }
    std::sort(extraction.points.begin(), extraction.points.end(),
        [](const FoundPoint& a, const FoundPoint& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return extraction;
}
