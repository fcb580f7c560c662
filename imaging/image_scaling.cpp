#include "imaging/image_scaling.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

// The two passes work on premultiplied 16-bit samples: a colour sample is colour * alpha and the
// alpha sample is alpha * 255, both 0 .. 65025. Weights are 14-bit fixed point, so every sum of
// weight * sample stays below 2^30 and fits an unsigned 32-bit accumulator.

namespace {

constexpr int WEIGHT_BITS = 14;
constexpr std::uint32_t WEIGHT_ONE = 1u << WEIGHT_BITS;
constexpr std::uint32_t WEIGHT_HALF = WEIGHT_ONE / 2;
constexpr std::uint32_t OPAQUE_SAMPLE = 255 * 255;

// For every target index along one axis: the source indices that make it up and their weights.
struct AxisWeights {
    std::vector<int> first;  // first source index
    std::vector<int> count;  // number of source indices
    std::vector<int> offset; // where its weights start in `weights`
    std::vector<std::uint32_t> weights; // each target's weights sum to exactly WEIGHT_ONE
    int maxCount = 0;
};

// Turns real weights into fixed point that sums to exactly WEIGHT_ONE (so a plain area keeps its
// colour exactly) and drops weights that round to nothing from both ends.
void appendFixedWeights(AxisWeights& axis, int first, const std::vector<double>& raw)
{
    double total = 0;
    for (double weight : raw)
        total += weight;
    std::vector<std::uint32_t> fixed(raw.size());
    std::uint32_t sum = 0;
    std::size_t largest = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        fixed[i] = static_cast<std::uint32_t>(std::lround(raw[i] / total * WEIGHT_ONE));
        sum += fixed[i];
        if (fixed[i] > fixed[largest])
            largest = i;
    }
    fixed[largest] += WEIGHT_ONE - sum; // wraps correctly in unsigned arithmetic when sum is larger

    std::size_t begin = 0;
    std::size_t end = fixed.size();
    while (begin + 1 < end && fixed[begin] == 0)
        ++begin;
    while (end - 1 > begin && fixed[end - 1] == 0)
        --end;
    axis.first.push_back(first + static_cast<int>(begin));
    axis.count.push_back(static_cast<int>(end - begin));
    axis.offset.push_back(static_cast<int>(axis.weights.size()));
    axis.weights.insert(axis.weights.end(), fixed.begin() + static_cast<std::ptrdiff_t>(begin),
        fixed.begin() + static_cast<std::ptrdiff_t>(end));
    axis.maxCount = std::max(axis.maxCount, static_cast<int>(end - begin));
}

AxisWeights axisWeights(int sourceSize, int targetSize)
{
    AxisWeights axis;
    axis.first.reserve(static_cast<std::size_t>(targetSize));
    axis.count.reserve(static_cast<std::size_t>(targetSize));
    axis.offset.reserve(static_cast<std::size_t>(targetSize));
    std::vector<double> raw;
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t) {
        raw.clear();
        int first = 0;
        if (sourceSize > targetSize) {
            // Area average: the target pixel covers [lo, hi) of the source axis.
            const double lo = t * scale;
            const double hi = std::min(static_cast<double>(sourceSize), (t + 1) * scale);
            first = std::min(sourceSize - 1, static_cast<int>(std::floor(lo)));
            const int end = std::max(first + 1, std::min(sourceSize, static_cast<int>(std::ceil(hi))));
            for (int i = first; i < end; ++i)
                raw.push_back(std::max(0.0, std::min(hi, i + 1.0) - std::max(lo, static_cast<double>(i))));
        } else {
            // Linear interpolation between the two source pixels whose centres enclose the
            // target pixel's centre; beyond the outer centres the edge pixel is repeated.
            const double centre = (t + 0.5) * scale - 0.5;
            if (centre <= 0) {
                raw.push_back(1);
            } else if (centre >= sourceSize - 1) {
                first = sourceSize - 1;
                raw.push_back(1);
            } else {
                first = static_cast<int>(std::floor(centre));
                const double fraction = centre - first;
                raw.push_back(1 - fraction);
                raw.push_back(fraction);
            }
        }
        if (raw.size() == 1 || std::all_of(raw.begin(), raw.end(), [](double w) { return w <= 0; }))
            raw.assign(1, 1.0);
        appendFixedWeights(axis, first, raw);
    }
    return axis;
}

// One source row filtered along x into premultiplied 16-bit samples, four per target pixel.
void filterRow(const std::uint8_t* source, int sourceWidth, const AxisWeights& axis, int targetWidth,
    std::uint16_t* out)
{
    unsigned alphaAnd = 255;
    for (int x = 0; x < sourceWidth; ++x)
        alphaAnd &= source[4 * x + 3];

    const std::uint32_t* weights = axis.weights.data();
    if (alphaAnd == 255) {
        // Opaque row: premultiplying by 255 commutes with the weighted sum, so it is done once per
        // target pixel instead of once per source pixel.
        for (int t = 0; t < targetWidth; ++t) {
            const std::uint8_t* p = source + 4 * static_cast<std::size_t>(axis.first[t]);
            const std::uint32_t* w = weights + axis.offset[t];
            const int n = axis.count[t];
            std::uint32_t r = 0, g = 0, b = 0;
            for (int k = 0; k < n; ++k, p += 4) {
                r += w[k] * p[0];
                g += w[k] * p[1];
                b += w[k] * p[2];
            }
            std::uint16_t* o = out + 4 * static_cast<std::size_t>(t);
            o[0] = static_cast<std::uint16_t>((r * 255 + WEIGHT_HALF) >> WEIGHT_BITS);
            o[1] = static_cast<std::uint16_t>((g * 255 + WEIGHT_HALF) >> WEIGHT_BITS);
            o[2] = static_cast<std::uint16_t>((b * 255 + WEIGHT_HALF) >> WEIGHT_BITS);
            o[3] = static_cast<std::uint16_t>(OPAQUE_SAMPLE);
        }
        return;
    }
    for (int t = 0; t < targetWidth; ++t) {
        const std::uint8_t* p = source + 4 * static_cast<std::size_t>(axis.first[t]);
        const std::uint32_t* w = weights + axis.offset[t];
        const int n = axis.count[t];
        std::uint32_t r = 0, g = 0, b = 0, a = 0;
        for (int k = 0; k < n; ++k, p += 4) {
            const std::uint32_t alpha = p[3];
            r += w[k] * (p[0] * alpha);
            g += w[k] * (p[1] * alpha);
            b += w[k] * (p[2] * alpha);
            a += w[k] * (alpha * 255);
        }
        std::uint16_t* o = out + 4 * static_cast<std::size_t>(t);
        o[0] = static_cast<std::uint16_t>((r + WEIGHT_HALF) >> WEIGHT_BITS);
        o[1] = static_cast<std::uint16_t>((g + WEIGHT_HALF) >> WEIGHT_BITS);
        o[2] = static_cast<std::uint16_t>((b + WEIGHT_HALF) >> WEIGHT_BITS);
        o[3] = static_cast<std::uint16_t>((a + WEIGHT_HALF) >> WEIGHT_BITS);
    }
}

// Accumulated premultiplied samples of one target row back to straight RGBA bytes.
void storeRow(const std::uint32_t* sums, int width, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x, sums += 4, out += 4) {
        const std::uint32_t alpha = (sums[3] + WEIGHT_HALF) >> WEIGHT_BITS;
        if (alpha >= OPAQUE_SAMPLE) {
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>((((sums[c] + WEIGHT_HALF) >> WEIGHT_BITS) + 127) / 255);
            out[3] = 255;
        } else if (alpha == 0) {
            out[0] = out[1] = out[2] = out[3] = 0;
        } else {
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t sample = (sums[c] + WEIGHT_HALF) >> WEIGHT_BITS;
                out[c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (sample * 255 + alpha / 2) / alpha));
            }
            out[3] = static_cast<std::uint8_t>((alpha + 127) / 255);
        }
    }
}

} // namespace

bool resampleRgba(const RgbaSource& source, const RgbaTarget& target)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return false;
    try {
        const AxisWeights across = axisWeights(source.width, target.width);
        const AxisWeights down = axisWeights(source.height, target.height);
        const std::size_t rowSamples = 4 * static_cast<std::size_t>(target.width);

        // Filtered source rows, kept in a ring: the rows a target row needs are a window that only
        // moves down, so each source row is filtered once.
        const int ringRows = down.maxCount;
        std::vector<std::uint16_t> ring(rowSamples * static_cast<std::size_t>(ringRows));
        std::vector<std::uint32_t> sums(rowSamples);
        int nextSourceRow = 0;

        for (int y = 0; y < target.height; ++y) {
            const int first = down.first[y];
            const int n = down.count[y];
            for (int r = std::max(nextSourceRow, first); r < first + n; ++r) {
                filterRow(source.pixels + source.stride * static_cast<std::size_t>(r), source.width, across,
                    target.width, ring.data() + rowSamples * static_cast<std::size_t>(r % ringRows));
            }
            nextSourceRow = std::max(nextSourceRow, first + n);

            const std::uint32_t* w = down.weights.data() + down.offset[y];
            std::fill(sums.begin(), sums.end(), 0u);
            for (int k = 0; k < n; ++k) {
                const std::uint16_t* row = ring.data() + rowSamples * static_cast<std::size_t>((first + k) % ringRows);
                const std::uint32_t weight = w[k];
                for (std::size_t i = 0; i < rowSamples; ++i)
                    sums[i] += weight * row[i];
            }
            storeRow(sums.data(), target.width, target.pixels + target.stride * static_cast<std::size_t>(y));
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
