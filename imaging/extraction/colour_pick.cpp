#include "imaging/extraction/colour_pick.h"

#include "imaging/extraction/background_colour.h"

#include <algorithm>

namespace {

// The pixel that stands out is looked for this far from the click.
constexpr int PICK_REACH = 3;
// Pixels this close to the one that stands out most are averaged with it, so that the noise of a
// JPEG picture does not decide the colour.
constexpr int SAME_COLOUR = 30;

int distanceSquared(const std::uint8_t* pixel, Rgb colour)
{
    const int dr = pixel[0] - colour.r;
    const int dg = pixel[1] - colour.g;
    const int db = pixel[2] - colour.b;
    return dr * dr + dg * dg + db * db;
}

} // namespace

Rgb pickColour(const PixelBuffer& pixels, int x, int y)
{
    if (pixels.width() <= 0 || pixels.height() <= 0)
        return {};
    x = std::clamp(x, 0, pixels.width() - 1);
    y = std::clamp(y, 0, pixels.height() - 1);
    // The paper of the whole picture (sampled): around a click inside a bar, the bar itself would
    // be the most common colour nearby.
    const Rgb background = estimateBackground(pixels, { 0, 0, pixels.width(), pixels.height() });
    const PixelArea near { std::max(0, x - PICK_REACH), std::max(0, y - PICK_REACH),
        std::min(pixels.width(), x + PICK_REACH + 1), std::min(pixels.height(), y + PICK_REACH + 1) };
    const std::uint8_t* standing = pixels.row(y) + static_cast<std::size_t>(x) * 4;
    int most = -1;
    for (int row = near.top; row < near.bottom; ++row)
        for (int column = near.left; column < near.right; ++column) {
            const std::uint8_t* pixel = pixels.row(row) + static_cast<std::size_t>(column) * 4;
            const int distance = distanceSquared(pixel, background);
            if (distance > most) {
                most = distance;
                standing = pixel;
            }
        }
    const Rgb peak { standing[0], standing[1], standing[2] };
    int sums[3] = { 0, 0, 0 };
    int count = 0;
    for (int row = near.top; row < near.bottom; ++row)
        for (int column = near.left; column < near.right; ++column) {
            const std::uint8_t* pixel = pixels.row(row) + static_cast<std::size_t>(column) * 4;
            if (distanceSquared(pixel, peak) > SAME_COLOUR * SAME_COLOUR)
                continue;
            for (int channel = 0; channel < 3; ++channel)
                sums[channel] += pixel[channel];
            ++count;
        }
    auto mean = [&](int channel) { return static_cast<std::uint8_t>((sums[channel] + count / 2) / count); };
    return { mean(0), mean(1), mean(2) };
}
