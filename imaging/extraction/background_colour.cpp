#include "imaging/extraction/background_colour.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Colours are counted in bins of 16 levels per channel, coarse enough that the noise of a JPEG
// picture keeps the paper in one bin, fine enough to tell a pale fill from the paper.
constexpr int BIN_BITS = 4;
constexpr int BIN_COUNT = 1 << (3 * BIN_BITS);
// About this many pixels are sampled, however large the area.
constexpr double SAMPLES = 250000.0;

struct Bin {
    std::uint32_t count = 0;
    std::uint64_t sums[3] = { 0, 0, 0 };
};

} // namespace

Rgb estimateBackground(const PixelBuffer& pixels, const PixelArea& area)
{
    const double areaPixels = static_cast<double>(area.right - area.left) * (area.bottom - area.top);
    const int step = std::max(1, static_cast<int>(std::sqrt(areaPixels / SAMPLES)));
    std::vector<Bin> bins(BIN_COUNT);
    for (int y = area.top; y < area.bottom; y += step) {
        const std::uint8_t* row = pixels.row(y);
        for (int x = area.left; x < area.right; x += step) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 4;
            const int index = ((pixel[0] >> (8 - BIN_BITS)) << (2 * BIN_BITS))
                | ((pixel[1] >> (8 - BIN_BITS)) << BIN_BITS) | (pixel[2] >> (8 - BIN_BITS));
            Bin& bin = bins[static_cast<std::size_t>(index)];
            ++bin.count;
            for (int channel = 0; channel < 3; ++channel)
                bin.sums[channel] += pixel[channel];
        }
    }
    const Bin& most = *std::max_element(
        bins.begin(), bins.end(), [](const Bin& a, const Bin& b) { return a.count < b.count; });
    if (most.count == 0)
        return {};
    auto mean = [&](int channel) {
        return static_cast<std::uint8_t>((most.sums[channel] + most.count / 2) / most.count);
    };
    return { mean(0), mean(1), mean(2) };
}
