#include "imaging/image_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
    std::vector<int> first; // first source index
    std::vector<int> count; // number of source indices
    std::vector<int> offset; // where its weights start in `weights`
    std::vector<std::uint32_t> weights; // each target's weights sum to exactly WEIGHT_ONE
    int maxCount = 0;
    std::vector<std::uint32_t> scratch; // reused while building
};

// Turns real weights into fixed point that sums to exactly WEIGHT_ONE (so a plain area keeps its
// colour exactly) and drops weights that round to nothing from both ends.
void appendFixedWeights(AxisWeights& axis, int first, const std::vector<double>& raw)
{
    double total = 0;
    for (double weight : raw)
        total += weight;
    std::vector<std::uint32_t>& fixed = axis.scratch;
    fixed.assign(raw.size(), 0);
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

// The four samples of one pixel as one value: GCC and Clang vector extensions, which compile to
// SIMD instructions on every target they support.
using Lanes32 = std::uint32_t __attribute__((vector_size(16)));
using Lanes16 = std::uint16_t __attribute__((vector_size(8)));
using Lanes8 = std::uint8_t __attribute__((vector_size(4)));

inline Lanes32 loadPixel(const std::uint8_t* p)
{
    Lanes8 bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return __builtin_convertvector(bytes, Lanes32);
}

inline void storeSamples(std::uint16_t* out, Lanes32 samples)
{
    const Lanes16 narrow = __builtin_convertvector(samples, Lanes16);
    std::memcpy(out, &narrow, sizeof narrow);
}

// One source row filtered along x into premultiplied 16-bit samples, four per target pixel.
// Returns whether the row is opaque.
bool filterRow(
    const std::uint8_t* source, int sourceWidth, const AxisWeights& axis, int targetWidth, std::uint16_t* out)
{
    unsigned alphaAnd = 255;
    for (int x = 0; x < sourceWidth; ++x)
        alphaAnd &= source[4 * x + 3];

    const std::uint32_t* weights = axis.weights.data();
    const int* first = axis.first.data();
    const int* count = axis.count.data();
    const int* offset = axis.offset.data();
    if (alphaAnd == 255) {
        // Opaque row: premultiplying by alpha (255) commutes with the weighted sum, so it is done
        // once per target pixel instead of once per source pixel. The alpha sample comes out as
        // exactly OPAQUE_SAMPLE.
        for (int t = 0; t < targetWidth; ++t) {
            const std::uint8_t* p = source + 4 * static_cast<std::size_t>(first[t]);
            const std::uint32_t* w = weights + offset[t];
            Lanes32 sum = w[0] * loadPixel(p);
            for (int k = 1; k < count[t]; ++k)
                sum += w[k] * loadPixel(p + 4 * k);
            storeSamples(out + 4 * static_cast<std::size_t>(t), (sum * 255 + WEIGHT_HALF) >> WEIGHT_BITS);
        }
        return true;
    }
    for (int t = 0; t < targetWidth; ++t) {
        const std::uint8_t* p = source + 4 * static_cast<std::size_t>(first[t]);
        const std::uint32_t* w = weights + offset[t];
        Lanes32 sum = { 0, 0, 0, 0 };
        for (int k = 0; k < count[t]; ++k, p += 4) {
            const std::uint32_t alpha = p[3];
            const Lanes32 factor = { alpha, alpha, alpha, 255 };
            sum += w[k] * (loadPixel(p) * factor);
        }
        storeSamples(out + 4 * static_cast<std::size_t>(t), (sum + WEIGHT_HALF) >> WEIGHT_BITS);
    }
    return false;
}

// x / 255 rounded to the nearest, exact for x up to 65535, without a division.
inline std::uint8_t divideBy255(std::uint32_t x)
{
    x += 128;
    return static_cast<std::uint8_t>((x + (x >> 8)) >> 8);
}

// sums[i] = sum over k of weights[k] * rows[k][i]; plain loops over contiguous samples, which the
// compiler vectorises.
void sumRows(const std::uint16_t* const* rows, const std::uint32_t* weights, int count, std::size_t samples,
    std::uint32_t* sums)
{
    const std::uint16_t* first = rows[0];
    const std::uint32_t w0 = weights[0];
    for (std::size_t i = 0; i < samples; ++i)
        sums[i] = w0 * first[i];
    for (int k = 1; k < count; ++k) {
        const std::uint16_t* row = rows[k];
        const std::uint32_t w = weights[k];
        for (std::size_t i = 0; i < samples; ++i)
            sums[i] += w * row[i];
    }
}

// One target row of an opaque area: the premultiplied samples are colour * 255 (and alpha
// 255 * 255), so dividing by 255 gives the bytes, alpha 255 included. Enlarging mixes two rows,
// which is done in the same pass.
void storeOpaqueRow(const std::uint16_t* const* rows, const std::uint32_t* weights, int count,
    std::size_t samples, std::uint32_t* sums, std::uint8_t* out)
{
    if (count == 2) {
        const std::uint16_t* first = rows[0];
        const std::uint16_t* second = rows[1];
        const std::uint32_t w0 = weights[0];
        const std::uint32_t w1 = weights[1];
        for (std::size_t i = 0; i < samples; ++i)
            out[i] = divideBy255((w0 * first[i] + w1 * second[i] + WEIGHT_HALF) >> WEIGHT_BITS);
        return;
    }
    sumRows(rows, weights, count, samples, sums);
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = divideBy255((sums[i] + WEIGHT_HALF) >> WEIGHT_BITS);
}

// One pixel back from premultiplied samples (already divided by the weight scale) to straight
// RGBA.
inline void storePixel(const std::uint32_t* sample, std::uint8_t* out)
{
    const std::uint32_t alpha = sample[3];
    if (alpha >= OPAQUE_SAMPLE) {
        for (int c = 0; c < 3; ++c)
            out[c] = divideBy255(sample[c]);
        out[3] = 255;
    } else if (alpha == 0) {
        out[0] = out[1] = out[2] = out[3] = 0;
    } else {
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>(
                std::min<std::uint32_t>(255, (sample[c] * 255 + alpha / 2) / alpha));
        out[3] = divideBy255(alpha);
    }
}

// One target row with transparency.
void storeRow(const std::uint16_t* const* rows, const std::uint32_t* weights, int count, int width,
    std::uint32_t* sums, std::uint8_t* out)
{
    const std::size_t samples = 4 * static_cast<std::size_t>(width);
    sumRows(rows, weights, count, samples, sums);
    for (std::size_t i = 0; i < samples; ++i)
        sums[i] = (sums[i] + WEIGHT_HALF) >> WEIGHT_BITS;
    for (std::size_t i = 0; i < samples; i += 4)
        storePixel(sums + i, out + i);
}

bool rowIsOpaque(const std::uint8_t* row, int width)
{
    unsigned alphaAnd = 255;
    for (int x = 0; x < width; ++x)
        alphaAnd &= row[4 * x + 3];
    return alphaAnd == 255;
}

// Across first, then down: each source row is filtered across once into a ring of rows at the
// target width, and every target row sums the ones it covers. The better order when the height
// grows, since the work across then happens on the fewer source rows.
void resampleAcrossFirst(
    const RgbaSource& source, const RgbaTarget& target, const AxisWeights& across, const AxisWeights& down)
{
    const std::size_t rowSamples = 4 * static_cast<std::size_t>(target.width);
    // The rows a target row needs are a window that only moves down, so a ring of the widest
    // window's size holds them and each source row is filtered once.
    const int ringRows = down.maxCount;
    std::vector<std::uint16_t> ring(rowSamples * static_cast<std::size_t>(ringRows));
    std::vector<char> ringOpaque(static_cast<std::size_t>(ringRows));
    std::vector<std::uint32_t> sums(rowSamples);
    std::vector<const std::uint16_t*> rows(static_cast<std::size_t>(ringRows));
    int nextSourceRow = 0;

    for (int y = 0; y < target.height; ++y) {
        const int first = down.first[y];
        const int n = down.count[y];
        for (int r = std::max(nextSourceRow, first); r < first + n; ++r) {
            const auto slot = static_cast<std::size_t>(r % ringRows);
            ringOpaque[slot] = filterRow(source.pixels + source.stride * static_cast<std::size_t>(r),
                source.width, across, target.width, ring.data() + rowSamples * slot);
        }
        nextSourceRow = std::max(nextSourceRow, first + n);

        bool opaque = true;
        for (int k = 0; k < n; ++k) {
            const auto slot = static_cast<std::size_t>((first + k) % ringRows);
            rows[static_cast<std::size_t>(k)] = ring.data() + rowSamples * slot;
            opaque = opaque && ringOpaque[slot];
        }
        const std::uint32_t* weights = down.weights.data() + down.offset[y];
        std::uint8_t* out = target.pixels + target.stride * static_cast<std::size_t>(y);
        if (opaque)
            storeOpaqueRow(rows.data(), weights, n, rowSamples, sums.data(), out);
        else
            storeRow(rows.data(), weights, n, target.width, sums.data(), out);
    }
}

// Down first, then across: every target row sums its source rows at the full source width
// (long runs of contiguous bytes, the cheapest work there is per source byte), then filters that
// one row across. The better order when the height shrinks, where nearly all the work is reading
// the source.
void resampleDownFirst(
    const RgbaSource& source, const RgbaTarget& target, const AxisWeights& across, const AxisWeights& down)
{
    const std::size_t sourceSamples = 4 * static_cast<std::size_t>(source.width);
    std::vector<signed char> opaqueRows(static_cast<std::size_t>(source.height), -1);
    std::vector<std::uint32_t> sums(sourceSamples);
    std::vector<std::uint16_t> premultiplied(sourceSamples);
    std::vector<std::uint16_t> column(sourceSamples); // the target row's samples at the source width
    const std::uint32_t* acrossWeights = across.weights.data();

    for (int y = 0; y < target.height; ++y) {
        const int first = down.first[y];
        const int n = down.count[y];
        const std::uint32_t* weights = down.weights.data() + down.offset[y];
        auto sourceRow
            = [&](int k) { return source.pixels + source.stride * static_cast<std::size_t>(first + k); };

        bool opaque = true;
        for (int k = 0; k < n; ++k) {
            signed char& known = opaqueRows[static_cast<std::size_t>(first + k)];
            if (known < 0)
                known = rowIsOpaque(sourceRow(k), source.width) ? 1 : 0;
            opaque = opaque && known;
        }
        for (int k = 0; k < n; ++k) {
            const std::uint32_t w = weights[k];
            const std::uint8_t* bytes = sourceRow(k);
            if (opaque) {
                // Opaque: the bytes themselves, premultiplied by 255 once the sum is made.
                if (k == 0) {
                    for (std::size_t i = 0; i < sourceSamples; ++i)
                        sums[i] = w * bytes[i];
                } else {
                    for (std::size_t i = 0; i < sourceSamples; ++i)
                        sums[i] += w * bytes[i];
                }
                continue;
            }
            for (std::size_t i = 0; i < sourceSamples; i += 4) {
                const std::uint32_t alpha = bytes[i + 3];
                for (std::size_t c = 0; c < 3; ++c)
                    premultiplied[i + c] = static_cast<std::uint16_t>(bytes[i + c] * alpha);
                premultiplied[i + 3] = static_cast<std::uint16_t>(alpha * 255);
            }
            if (k == 0) {
                for (std::size_t i = 0; i < sourceSamples; ++i)
                    sums[i] = w * premultiplied[i];
            } else {
                for (std::size_t i = 0; i < sourceSamples; ++i)
                    sums[i] += w * premultiplied[i];
            }
        }
        const std::uint32_t scale = opaque ? 255 : 1;
        for (std::size_t i = 0; i < sourceSamples; ++i)
            column[i] = static_cast<std::uint16_t>((sums[i] * scale + WEIGHT_HALF) >> WEIGHT_BITS);

        std::uint8_t* out = target.pixels + target.stride * static_cast<std::size_t>(y);
        for (int t = 0; t < target.width; ++t, out += 4) {
            const std::uint16_t* p = column.data() + 4 * static_cast<std::size_t>(across.first[t]);
            const std::uint32_t* w = acrossWeights + across.offset[t];
            Lanes32 sum = { 0, 0, 0, 0 };
            for (int k = 0; k < across.count[t]; ++k, p += 4) {
                Lanes16 samples;
                std::memcpy(&samples, p, sizeof samples);
                sum += w[k] * __builtin_convertvector(samples, Lanes32);
            }
            sum = (sum + WEIGHT_HALF) >> WEIGHT_BITS;
            if (opaque) {
                const Lanes32 rounded = sum + 128;
                const Lanes8 bytes = __builtin_convertvector((rounded + (rounded >> 8)) >> 8, Lanes8);
                std::memcpy(out, &bytes, sizeof bytes);
            } else {
                std::uint32_t sample[4];
                std::memcpy(sample, &sum, sizeof sample);
                storePixel(sample, out);
            }
        }
    }
}

} // namespace

// On x86-64 the resampler is built twice, for the baseline and for AVX2 (whose 32-bit vector
// multiplies the inner loops live on), and the loader picks the one the processor runs. flatten
// pulls the helpers into each copy.
#if defined(__x86_64__) && defined(__linux__)
#define GRAPHONITE_RESAMPLER_CLONES __attribute__((flatten, target_clones("default", "avx2")))
#else
#define GRAPHONITE_RESAMPLER_CLONES
#endif

GRAPHONITE_RESAMPLER_CLONES
bool resampleRgba(const RgbaSource& source, const RgbaTarget& target)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return false;
    try {
        const AxisWeights across = axisWeights(source.width, target.width);
        const AxisWeights down = axisWeights(source.height, target.height);
        if (source.height > target.height)
            resampleDownFirst(source, target, across, down);
        else
            resampleAcrossFirst(source, target, across, down);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
