// Extraction by colour at the sizes a user meets: a curve, the markers and a snap on the 960 x 720
// chart, the same on the 4000 x 3000 JPEG, and a curve across the data area of a 6000 x 4000
// photo (24 MP). The pictures are decoded once, outside the timing: what is timed is the
// extraction alone.

#include "imaging/decoders/image_decoding.h"
#include "imaging/extraction/curve_extraction.h"
#include "imaging/extraction/feature_snap.h"
#include "imaging/extraction/marker_extraction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

const std::filesystem::path CHARTS
    = std::filesystem::path(GRAPHONITE_SOURCE_DIR) / "tests" / "imaging" / "extraction_charts";

// The data area and the colours of the committed charts (see their truth files).
constexpr Rgb WALK { 31, 95, 180 };
constexpr Rgb SMOOTH { 214, 39, 40 };
constexpr Rgb SCATTER { 44, 140, 44 };

const PixelBuffer& chart(const std::string& name)
{
    static std::map<std::string, std::shared_ptr<PixelBuffer>> decoded;
    std::shared_ptr<PixelBuffer>& pixels = decoded[name];
    if (!pixels) {
        initImageDecoders();
        usePngDecoder();
        useJpegDecoder();
        if (openImageFile((CHARTS / name).c_str()) == 1) {
            pixels = PixelBuffer::allocate(decodedWidth(), decodedHeight(), PixelFill::None);
            if (readDecodedRowsAsRgba(pixels->data()) != 1)
                pixels.reset();
        }
        if (!pixels)
            std::abort();
    }
    return *pixels;
}

PixelArea dataArea(const PixelBuffer& pixels)
{
    // The axes span 10 % to 95 % of the width and 8 % to 90 % of the height (from the top).
    const int w = pixels.width();
    const int h = pixels.height();
    return { w / 10 + 3, h * 8 / 100 + 3, w * 95 / 100 - 3, h * 90 / 100 - 3 };
}

std::vector<double> everyColumn(const PixelArea& area)
{
    std::vector<double> xs;
    for (int x = area.left; x < area.right; ++x)
        xs.push_back(x);
    return xs;
}

// A 6000 x 4000 photo of a chart: slightly uneven paper with sensor noise, a grid, and two
// anti-aliased curves 12 pixels thick.
const PixelBuffer& photo()
{
    static std::shared_ptr<PixelBuffer> pixels;
    if (pixels)
        return *pixels;
    const int width = 6000, height = 4000;
    pixels = PixelBuffer::allocate(width, height, PixelFill::None);
    std::minstd_rand random(15);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels->row(y);
        for (int x = 0; x < width; ++x) {
            const bool grid = x % 500 < 4 || y % 400 < 4;
            const int paper = (grid ? 200 : 245) + static_cast<int>(random() % 9);
            row[x * 4] = static_cast<std::uint8_t>(paper);
            row[x * 4 + 1] = static_cast<std::uint8_t>(paper);
            row[x * 4 + 2] = static_cast<std::uint8_t>(paper - 4);
            row[x * 4 + 3] = 255;
        }
    }
    auto curve = [&](Rgb colour, double phase) {
        for (int x = 0; x < width; ++x) {
            const double centre = 2000 + 1400 * std::sin(x / 700.0 + phase);
            const double slope = 2.0 * std::cos(x / 700.0 + phase);
            const double half = 6.0 * std::sqrt(1.0 + slope * slope);
            for (int y = static_cast<int>(centre - half - 2); y <= static_cast<int>(centre + half + 2); ++y) {
                const double share = std::clamp(half + 0.5 - std::abs(y - centre), 0.0, 1.0);
                std::uint8_t* pixel = pixels->row(y) + static_cast<std::size_t>(x) * 4;
                const std::uint8_t channels[3] = { colour.r, colour.g, colour.b };
                for (int c = 0; c < 3; ++c)
                    pixel[c] = static_cast<std::uint8_t>(
                        std::lround(pixel[c] * (1.0 - share) + channels[c] * share));
            }
        }
    };
    curve(WALK, 0.0);
    curve(SMOOTH, 2.0);
    return *pixels;
}

void curveOf(benchmark::State& state, const PixelBuffer& pixels, Rgb colour)
{
    const PixelArea area = dataArea(pixels);
    const std::vector<double> xs = everyColumn(area);
    std::size_t found = 0;
    for (auto _ : state) {
        const Extraction extraction = extractCurve(pixels, area, colour, DEFAULT_COLOUR_TOLERANCE, xs);
        found = extraction.points.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["points"] = static_cast<double>(found);
    state.counters["area_px"] = static_cast<double>(area.right - area.left) * (area.bottom - area.top);
}

void BM_ExtractCurve960(benchmark::State& state)
{
    curveOf(state, chart("lines-960x720.png"), SMOOTH);
}
BENCHMARK(BM_ExtractCurve960)->Unit(benchmark::kMillisecond);

void BM_ExtractCurveWithMarkers960(benchmark::State& state)
{
    curveOf(state, chart("lines-960x720.png"), WALK);
}
BENCHMARK(BM_ExtractCurveWithMarkers960)->Unit(benchmark::kMillisecond);

void BM_ExtractCurve4000Jpeg(benchmark::State& state)
{
    curveOf(state, chart("lines-4000x3000.jpg"), SMOOTH);
}
BENCHMARK(BM_ExtractCurve4000Jpeg)->Unit(benchmark::kMillisecond);

void BM_ExtractCurvePhoto24MP(benchmark::State& state)
{
    curveOf(state, photo(), SMOOTH);
}
BENCHMARK(BM_ExtractCurvePhoto24MP)->Unit(benchmark::kMillisecond);

void markersOf(benchmark::State& state, const PixelBuffer& pixels)
{
    const PixelArea area = dataArea(pixels);
    std::size_t found = 0;
    for (auto _ : state) {
        found = extractMarkers(pixels, area, SCATTER, DEFAULT_COLOUR_TOLERANCE).points.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["markers"] = static_cast<double>(found);
}

void BM_ExtractMarkers960(benchmark::State& state)
{
    markersOf(state, chart("scatter-960x720.png"));
}
BENCHMARK(BM_ExtractMarkers960)->Unit(benchmark::kMillisecond);

void BM_ExtractMarkers4000Jpeg(benchmark::State& state)
{
    markersOf(state, chart("scatter-4000x3000.jpg"));
}
BENCHMARK(BM_ExtractMarkers4000Jpeg)->Unit(benchmark::kMillisecond);

// A click beside a line on the large picture: the snap reads a small window, but the paper's
// colour comes from the whole picture.
void BM_SnapToLine4000Jpeg(benchmark::State& state)
{
    const PixelBuffer& pixels = chart("lines-4000x3000.jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(snapToFeature(pixels, { 2000.0, 1000.0 }, 20));
}
BENCHMARK(BM_SnapToLine4000Jpeg)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
