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

} // namespace

// Everything a RowResampler works with. Two orders of work, chosen by whether the height grows
// or shrinks:
// - Across first (the height grows or stays): each source row is filtered across at once into a
//   ring of rows at the target width, and every target row sums the ones it covers. The work
//   across then happens on the fewer rows.
// - Down first (the height shrinks): each source row is added, weighted, into the sums of the
//   target rows it lies under, at the full source width (long runs of contiguous samples, the
//   cheapest work there is per source byte); a target row whose sums are complete is filtered
//   across once. Nearly all the work is reading the source.
struct RowResamplerWork {
    RgbaTarget target {};
    int sourceWidth = 0;
    int sourceHeight = 0;
    RowPixels pixels = RowPixels::Rgba;
    AxisWeights across;
    AxisWeights down;
    bool downFirst = false;
    int sourceRow = 0; // rows taken so far
    int targetRow = 0; // the first target row not yet written

    // Down first: the sums of the target rows in progress, one slot each (target row y uses
    // slot y % slots), at the source width. A slot holds either plain sums of weight * byte,
    // while every row in it was opaque, or premultiplied sums once a row with transparency came.
    int slots = 0;
    std::size_t sourceSamples = 0; // samples per source row: 3 or 4 per pixel
    std::vector<std::uint32_t> sums;
    std::vector<char> premultipliedSlot;
    std::vector<std::uint16_t> premultiplied; // the current source row, premultiplied
    std::vector<std::uint16_t> column; // a complete target row's samples at the source width

    // Across first: the ring of filtered rows (the widest window of source rows a target row
    // needs), whether each is opaque, and the work row of the sums down.
    int ringRows = 0;
    std::vector<std::uint16_t> ring;
    std::vector<char> ringOpaque;
    std::vector<std::uint32_t> rowSums;
    std::vector<const std::uint16_t*> rows;
    std::vector<std::uint8_t> widened; // an R,G,B source row as R,G,B,255

    int lastSourceRow(int y) const { return down.first[y] + down.count[y] - 1; }
};

namespace {

// How many target rows can be in progress at once when the source rows come in order: those from
// the first one not yet complete to the last one that has begun.
int rowsInProgress(const AxisWeights& down, int sourceHeight, int targetHeight)
{
    int most = 1;
    int begun = -1;
    int complete = 0;
    for (int r = 0; r < sourceHeight; ++r) {
        while (begun + 1 < targetHeight && down.first[begun + 1] <= r)
            ++begun;
        most = std::max(most, begun - complete + 1);
        while (complete < targetHeight && down.first[complete] + down.count[complete] - 1 <= r)
            ++complete;
    }
    return most;
}

// sums[i] = weight * samples[i], or sums[i] += that; plain loops over contiguous samples, which the
// compiler vectorises.
template <typename Sample>
void addWeighted(
    std::uint32_t* sums, const Sample* samples, std::size_t count, std::uint32_t weight, bool first)
{
    if (first) {
        for (std::size_t i = 0; i < count; ++i)
            sums[i] = weight * samples[i];
    } else {
        for (std::size_t i = 0; i < count; ++i)
            sums[i] += weight * samples[i];
    }
}

// An R,G,B,A row premultiplied: colour * alpha and alpha * 255.
void premultiplyRow(const std::uint8_t* bytes, std::size_t samples, std::uint16_t* out)
{
    for (std::size_t i = 0; i < samples; i += 4) {
        const std::uint32_t alpha = bytes[i + 3];
        for (std::size_t c = 0; c < 3; ++c)
            out[i + c] = static_cast<std::uint16_t>(bytes[i + c] * alpha);
        out[i + 3] = static_cast<std::uint16_t>(alpha * 255);
    }
}

// Down first: adds source row r into the sums of every target row in progress that it lies under.
// An opaque row adds its bytes (premultiplying by 255 commutes with the weighted sum, so plain
// sums are premultiplied once complete, or when a row with transparency joins them: both give
// exactly the sums of premultiplied samples).
void addRowDown(RowResamplerWork& work, const std::uint8_t* bytes, int r)
{
    const bool opaque = work.pixels == RowPixels::Rgb || rowIsOpaque(bytes, work.sourceWidth);
    bool premultipliedReady = false;
    const std::size_t samples = work.sourceSamples;
    for (int y = work.targetRow; y < work.target.height && work.down.first[y] <= r; ++y) {
        const int k = r - work.down.first[y];
        if (k >= work.down.count[y])
            continue;
        const std::uint32_t weight = work.down.weights[static_cast<std::size_t>(work.down.offset[y] + k)];
        const auto slot = static_cast<std::size_t>(y % work.slots);
        std::uint32_t* sums = work.sums.data() + samples * slot;
        char& premultipliedSums = work.premultipliedSlot[slot];
        if (k == 0) {
            premultipliedSums = !opaque;
        } else if (!opaque && !premultipliedSums) {
            for (std::size_t i = 0; i < samples; ++i)
                sums[i] *= 255;
            premultipliedSums = 1;
        }
        if (opaque) {
            addWeighted(sums, bytes, samples, premultipliedSums ? weight * 255 : weight, k == 0);
            continue;
        }
        if (!premultipliedReady) {
            premultiplyRow(bytes, samples, work.premultiplied.data());
            premultipliedReady = true;
        }
        addWeighted(sums, work.premultiplied.data(), samples, weight, k == 0);
    }
}

// Down first, across an opaque row: the samples are colour * 255, so dividing by 255 gives the
// bytes; alpha is 255. `stride` is 3 or 4 samples per pixel: a pixel is read as four samples
// either way, the fourth of an R,G,B one (the next pixel's red, or the padding after the last)
// only to be dropped.
template <std::size_t stride>
void filterOpaqueColumn(const std::uint16_t* column, const AxisWeights& across, int width, std::uint8_t* out)
{
    const std::uint32_t* weights = across.weights.data();
    for (int t = 0; t < width; ++t, out += 4) {
        const std::uint16_t* p = column + stride * static_cast<std::size_t>(across.first[t]);
        const std::uint32_t* w = weights + across.offset[t];
        Lanes32 sum = { 0, 0, 0, 0 };
        for (int k = 0; k < across.count[t]; ++k, p += stride) {
            Lanes16 samples;
            std::memcpy(&samples, p, sizeof samples);
            sum += w[k] * __builtin_convertvector(samples, Lanes32);
        }
        const Lanes32 rounded = ((sum + WEIGHT_HALF) >> WEIGHT_BITS) + 128;
        Lanes8 bytes = __builtin_convertvector((rounded + (rounded >> 8)) >> 8, Lanes8);
        bytes[3] = 255;
        std::memcpy(out, &bytes, sizeof bytes);
    }
}

// Down first: target row y from its complete sums, filtered across.
void writeRowDown(RowResamplerWork& work, int y)
{
    const auto slot = static_cast<std::size_t>(y % work.slots);
    const std::uint32_t* sums = work.sums.data() + work.sourceSamples * slot;
    const bool opaque = !work.premultipliedSlot[slot];
    std::uint16_t* column = work.column.data();
    const std::uint32_t scale = opaque ? 255 : 1;
    for (std::size_t i = 0; i < work.sourceSamples; ++i)
        column[i] = static_cast<std::uint16_t>((sums[i] * scale + WEIGHT_HALF) >> WEIGHT_BITS);

    const AxisWeights& across = work.across;
    std::uint8_t* out = work.target.pixels + work.target.stride * static_cast<std::size_t>(y);
    if (work.pixels == RowPixels::Rgb) {
        filterOpaqueColumn<3>(column, across, work.target.width, out);
        return;
    }
    if (opaque) {
        filterOpaqueColumn<4>(column, across, work.target.width, out);
        return;
    }
    for (int t = 0; t < work.target.width; ++t, out += 4) {
        const std::uint16_t* p = column + 4 * static_cast<std::size_t>(across.first[t]);
        const std::uint32_t* w = across.weights.data() + across.offset[t];
        Lanes32 sum = { 0, 0, 0, 0 };
        for (int k = 0; k < across.count[t]; ++k, p += 4) {
            Lanes16 samples;
            std::memcpy(&samples, p, sizeof samples);
            sum += w[k] * __builtin_convertvector(samples, Lanes32);
        }
        sum = (sum + WEIGHT_HALF) >> WEIGHT_BITS;
        std::uint32_t sample[4];
        std::memcpy(sample, &sum, sizeof sample);
        storePixel(sample, out);
    }
}

// Across first: filters source row r into the ring.
void addRowAcross(RowResamplerWork& work, const std::uint8_t* bytes, int r)
{
    if (work.pixels == RowPixels::Rgb) {
        std::uint8_t* to = work.widened.data();
        for (int x = 0; x < work.sourceWidth; ++x, bytes += 3, to += 4) {
            to[0] = bytes[0];
            to[1] = bytes[1];
            to[2] = bytes[2];
            to[3] = 255;
        }
        bytes = work.widened.data();
    }
    const std::size_t rowSamples = 4 * static_cast<std::size_t>(work.target.width);
    const auto slot = static_cast<std::size_t>(r % work.ringRows);
    work.ringOpaque[slot] = filterRow(
        bytes, work.sourceWidth, work.across, work.target.width, work.ring.data() + rowSamples * slot);
}

// Across first: target row y from the filtered rows it covers.
void writeRowAcross(RowResamplerWork& work, int y)
{
    const std::size_t rowSamples = 4 * static_cast<std::size_t>(work.target.width);
    const int first = work.down.first[y];
    const int n = work.down.count[y];
    bool opaque = true;
    for (int k = 0; k < n; ++k) {
        const auto slot = static_cast<std::size_t>((first + k) % work.ringRows);
        work.rows[static_cast<std::size_t>(k)] = work.ring.data() + rowSamples * slot;
        opaque = opaque && work.ringOpaque[slot];
    }
    const std::uint32_t* weights = work.down.weights.data() + work.down.offset[y];
    std::uint8_t* out = work.target.pixels + work.target.stride * static_cast<std::size_t>(y);
    if (opaque)
        storeOpaqueRow(work.rows.data(), weights, n, rowSamples, work.rowSums.data(), out);
    else
        storeRow(work.rows.data(), weights, n, work.target.width, work.rowSums.data(), out);
}

void prepareWork(RowResamplerWork& work)
{
    const auto targetSamples = 4 * static_cast<std::size_t>(work.target.width);
    const int pixelBytes = work.pixels == RowPixels::Rgb ? 3 : 4;
    work.across = axisWeights(work.sourceWidth, work.target.width);
    work.down = axisWeights(work.sourceHeight, work.target.height);
    work.downFirst = work.sourceHeight > work.target.height;
    work.sourceSamples = static_cast<std::size_t>(pixelBytes) * static_cast<std::size_t>(work.sourceWidth);
    if (work.downFirst) {
        work.slots = rowsInProgress(work.down, work.sourceHeight, work.target.height);
        work.sums.assign(work.sourceSamples * static_cast<std::size_t>(work.slots), 0);
        work.premultipliedSlot.assign(static_cast<std::size_t>(work.slots), 0);
        if (work.pixels == RowPixels::Rgba)
            work.premultiplied.assign(work.sourceSamples, 0);
        work.column.assign(work.sourceSamples + 1, 0); // + 1: see filterOpaqueColumn
    } else {
        work.ringRows = work.down.maxCount;
        work.ring.assign(targetSamples * static_cast<std::size_t>(work.ringRows), 0);
        work.ringOpaque.assign(static_cast<std::size_t>(work.ringRows), 0);
        work.rowSums.assign(targetSamples, 0);
        work.rows.assign(static_cast<std::size_t>(work.ringRows), nullptr);
        if (work.pixels == RowPixels::Rgb)
            work.widened.assign(4 * static_cast<std::size_t>(work.sourceWidth), 0);
    }
}

// On x86-64 the work on a row is built twice, for the baseline and for AVX2 (whose 32-bit vector
// multiplies the inner loops live on), and the loader picks the one the processor runs. flatten
// pulls the helpers into each copy. Clang refuses flatten beside target_clones, and without it
// the AVX2 copy would call baseline helpers; clang builds (the sanitizer and fuzzing build) keep
// the baseline alone, where speed is not the point.
#if defined(__x86_64__) && defined(__linux__) && !defined(__clang__)
#define GRAPHONITE_RESAMPLER_CLONES __attribute__((flatten, target_clones("default", "avx2")))
#else
#define GRAPHONITE_RESAMPLER_CLONES
#endif

// One source row in: added where it belongs, then every target row it completes is written.
GRAPHONITE_RESAMPLER_CLONES
void takeSourceRow(RowResamplerWork& work, const std::uint8_t* bytes)
{
    const int r = work.sourceRow++;
    if (work.downFirst)
        addRowDown(work, bytes, r);
    else
        addRowAcross(work, bytes, r);
    for (; work.targetRow < work.target.height && work.lastSourceRow(work.targetRow) <= r; ++work.targetRow) {
        if (work.downFirst)
            writeRowDown(work, work.targetRow);
        else
            writeRowAcross(work, work.targetRow);
    }
}

} // namespace

RowResampler::RowResampler() = default;
RowResampler::~RowResampler() = default;

bool RowResampler::start(int sourceWidth, int sourceHeight, RowPixels pixels, const RgbaTarget& target)
{
    m_work.reset();
    if (sourceWidth <= 0 || sourceHeight <= 0 || target.width <= 0 || target.height <= 0)
        return false;
    try {
        auto work = std::make_unique<RowResamplerWork>();
        work->target = target;
        work->sourceWidth = sourceWidth;
        work->sourceHeight = sourceHeight;
        work->pixels = pixels;
        prepareWork(*work);
        m_work = std::move(work);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void RowResampler::addRow(const std::uint8_t* row)
{
    if (m_work && m_work->sourceRow < m_work->sourceHeight)
        takeSourceRow(*m_work, row);
}

bool RowResampler::finished() const
{
    return m_work && m_work->targetRow == m_work->target.height;
}

bool resampleRgba(const RgbaSource& source, const RgbaTarget& target)
{
    RowResampler resampler;
    if (!resampler.start(source.width, source.height, RowPixels::Rgba, target))
        return false;
    for (int y = 0; y < source.height; ++y)
        resampler.addRow(source.pixels + source.stride * static_cast<std::size_t>(y));
    return true;
}
