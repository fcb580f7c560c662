#include "imaging/extraction/bar_top.h"

#include "imaging/extraction/background_colour.h"

#include <algorithm>
#include <cmath>

namespace {

// A pixel this close to the bar's colour is wholly the bar.
constexpr int WHOLE_PIXEL = 30;
// The edge is measured in this many columns either side of the click and averaged, which evens out
// the noise of a JPEG picture.
constexpr int COLUMN_REACH = 2;

int distanceSquared(const std::uint8_t* a, const int b[3])
{
    const int dr = a[0] - b[0];
    const int dg = a[1] - b[1];
    const int db = a[2] - b[2];
    return dr * dr + dg * dg + db * db;
}

const std::uint8_t* pixelAt(const PixelBuffer& pixels, int x, int y)
{
    return pixels.row(y) + static_cast<std::size_t>(x) * 4;
}

// The top edge in one column: above the highest whole pixel of the bar, the next pixel is a blend
// of the bar and what lies above, and the share of the bar in it is the share of that pixel below
// the edge.
std::optional<double> columnEdge(const PixelBuffer& pixels, int x, int y, const int bar[3])
{
    if (distanceSquared(pixelAt(pixels, x, y), bar) > WHOLE_PIXEL * WHOLE_PIXEL)
        return std::nullopt;
    int top = y;
    while (top > 0 && distanceSquared(pixelAt(pixels, x, top - 1), bar) <= WHOLE_PIXEL * WHOLE_PIXEL)
        --top;
    if (top == 0)
        return std::nullopt;
    const std::uint8_t* blend = pixelAt(pixels, x, top - 1);
    const std::uint8_t* above = top >= 2 ? pixelAt(pixels, x, top - 2) : blend;
    double along = 0.0;
    double length = 0.0;
    for (int channel = 0; channel < 3; ++channel) {
        const double way = bar[channel] - above[channel];
        along += (blend[channel] - above[channel]) * way;
        length += way * way;
    }
    const double share = length > 0.0 ? std::clamp(along / length, 0.0, 1.0) : 0.0;
    return top - 0.5 - share;
}

} // namespace

std::optional<FoundPoint> findBarTop(const PixelBuffer& pixels, FoundPoint click)
{
    if (!(click.x > -0.5 && click.x < pixels.width() - 0.5)
        || !(click.y > -0.5 && click.y < pixels.height() - 0.5))
        return std::nullopt;
    const int x = static_cast<int>(std::lround(click.x));
    const int y = static_cast<int>(std::lround(click.y));
    // The bar's colour: the mean of the pixels around the click that are close to the clicked
    // one, so that a click next to the edge does not mix in the edge's blend.
    const std::uint8_t* clicked = pixelAt(pixels, x, y);
    const int clickedSamples[3] = { clicked[0], clicked[1], clicked[2] };
    int bar[3] = { 0, 0, 0 };
    int count = 0;
    for (int row = std::max(0, y - 1); row <= std::min(pixels.height() - 1, y + 1); ++row)
        for (int column = std::max(0, x - 1); column <= std::min(pixels.width() - 1, x + 1); ++column) {
            const std::uint8_t* pixel = pixelAt(pixels, column, row);
            if (distanceSquared(pixel, clickedSamples) > WHOLE_PIXEL * WHOLE_PIXEL / 4)
                continue;
            for (int channel = 0; channel < 3; ++channel)
                bar[channel] += pixel[channel];
            ++count;
        }
    for (int& channel : bar)
        channel = (channel + count / 2) / count;
    // A click on the paper is not inside a bar.
    const Rgb paper = estimateBackground(pixels, { 0, 0, pixels.width(), pixels.height() });
    const int paperSamples[3] = { paper.r, paper.g, paper.b };
    const std::uint8_t barSamples[3] = { static_cast<std::uint8_t>(bar[0]), static_cast<std::uint8_t>(bar[1]),
        static_cast<std::uint8_t>(bar[2]) };
    if (distanceSquared(barSamples, paperSamples) <= DEFAULT_COLOUR_TOLERANCE * DEFAULT_COLOUR_TOLERANCE)
        return std::nullopt;
    const std::optional<double> own = columnEdge(pixels, x, y, bar);
    if (!own)
        return std::nullopt;
    // Columns beside the click count where their edge is the same one (not a neighbouring bar's
    // or a label's).
    double sum = 0.0;
    int edges = 0;
    for (int column = std::max(0, x - COLUMN_REACH); column <= std::min(pixels.width() - 1, x + COLUMN_REACH);
         ++column)
        if (const std::optional<double> edge = columnEdge(pixels, column, y, bar);
            edge && std::abs(*edge - *own) < 1.0) {
            sum += *edge;
            ++edges;
        }
    return FoundPoint { click.x, sum / edges };
}
