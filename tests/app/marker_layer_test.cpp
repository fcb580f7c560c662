#include "app/marker_layer.h"

#include "app/marker_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t GREY = 0xFF808080;
constexpr std::uint8_t GUARD = 0xA5;

// RGBA pixels inside a larger block whose margin (and the gap after each row) must stay as the
// guard bytes: anything written outside the picture shows there.
class GuardedPixels {
public:
    GuardedPixels(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_stride(static_cast<std::size_t>(width) * 4 + 12)
        , m_bytes(m_stride * (height + 2) + 24, GUARD)
    {
    }
    PixelView view() { return { m_bytes.data() + m_stride + 12, m_width, m_height, m_stride }; }
    std::uint32_t pixel(int x, int y)
    {
        std::uint32_t colour;
        std::memcpy(&colour, view().pixels + m_stride * y + x * 4, 4);
        return colour;
    }
    void fill(std::uint32_t colour)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                std::memcpy(view().pixels + m_stride * y + x * 4, &colour, 4);
    }
    bool guardsIntact() const
    {
        std::vector<std::uint8_t> expected(m_bytes.size(), GUARD);
        for (int y = 0; y < m_height; ++y)
            std::memcpy(expected.data() + m_stride * (y + 1) + 12, m_bytes.data() + m_stride * (y + 1) + 12,
                static_cast<std::size_t>(m_width) * 4);
        return expected == m_bytes;
    }
    std::vector<std::uint8_t> picture() const
    {
        std::vector<std::uint8_t> rows;
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* row = m_bytes.data() + m_stride * (y + 1) + 12;
            rows.insert(rows.end(), row, row + m_width * 4);
        }
        return rows;
    }

private:
    int m_width;
    int m_height;
    std::size_t m_stride;
    std::vector<std::uint8_t> m_bytes;
};

std::vector<std::uint8_t> randomPicture(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

MarkerLayer layerOver(int width, int height, std::uint32_t colour)
{
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(width) * height, colour);
    MarkerLayer layer;
    EXPECT_TRUE(layer.setPicture(reinterpret_cast<const std::uint8_t*>(picture.data()), width, height,
        static_cast<std::size_t>(width) * 4));
    return layer;
}

TEST(MarkerLayer, DrawsADiscWithItsOutlineAndTheSelectedOneLargerAndRinged)
{
    MarkerLayer layer = layerOver(40, 30, GREY);
    const int plain = layer.addMarker(10, 10, 2);
    const int chosen = layer.addMarker(28, 15, 4);
    layer.selectMarker(chosen);
    GuardedPixels shown(40, 30);
    layer.paintChanges(shown.view());
    const MarkerColours green = markerColours(2);
    const MarkerColours purple = markerColours(4);
    struct Case {
        int x, y;
        std::uint32_t colour;
    };
    const Case cases[] = {
        // Radius 2.5 filled, out to 3.5 outlined: 7 pixels across.
        { 10, 10, green.fill },
        { 12, 11, green.fill },
        { 12, 12, green.outline },
        { 13, 10, green.outline },
        { 7, 10, green.outline },
        { 10, 13, green.outline },
        { 13, 11, green.outline },
        { 14, 10, GREY },
        { 13, 12, GREY },
        { 6, 10, GREY },
        // Selected: filled to 3.5, outlined to 4.5, ringed to 5.5.
        { 28, 15, purple.fill },
        { 31, 15, purple.fill },
        { 32, 15, purple.outline },
        { 33, 15, purple.halo },
        { 28, 10, purple.halo },
        { 34, 15, GREY },
        { 32, 19, GREY },
    };
    for (const Case& c : cases)
        EXPECT_EQ(shown.pixel(c.x, c.y), c.colour) << c.x << ", " << c.y;
    EXPECT_NE(green.outline, GREY);

    // Fractions move the disc: at 10.5 the pixels 7 and 14 are both 3.5 away.
    layer.moveMarker(plain, 10.5, 10);
    layer.paintChanges(shown.view());
    EXPECT_EQ(shown.pixel(7, 10), green.outline);
    EXPECT_EQ(shown.pixel(14, 10), green.outline);
    EXPECT_EQ(shown.pixel(10, 10), green.fill);
    EXPECT_EQ(shown.pixel(6, 10), GREY);
    EXPECT_TRUE(shown.guardsIntact());
}

TEST(MarkerLayer, ClipsAtThePicturesEdgesAndWritesNothingOutside)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [width, height] : { std::pair { 1, 1 }, { 2, 3 }, { 7, 1 }, { 12, 9 } }) {
        const std::vector<std::uint8_t> picture = randomPicture(width, height, 3);
        MarkerLayer layer;
        ASSERT_TRUE(layer.setPicture(picture.data(), width, height, static_cast<std::size_t>(width) * 4));
        GuardedPixels incremental(width, height);
        layer.paintChanges(incremental.view());
        const double w = width;
        const double h = height;
        const double positions[][2]
            = { { 0, 0 }, { w - 1, h - 1 }, { -3, -3 }, { w + 2.4, 0.5 }, { -0.5, h - 0.5 }, { w / 2, -5.4 },
                  { -6, h / 2 }, { 1e9, 1e9 }, { -1e18, 3 }, { w + 20, h + 20 } };
        int column = 0;
        for (const auto& position : positions) {
            const int number = layer.addMarker(position[0], position[1], column++);
            ASSERT_GE(number, 0);
            layer.selectMarker(number);
            layer.paintChanges(incremental.view());
            ASSERT_TRUE(incremental.guardsIntact()) << width << "x" << height << " at " << position[0];
        }
        EXPECT_EQ(layer.addMarker(nan, 1, 0), -1);
        for (int number = 0; number < 10; number += 2)
            layer.moveMarker(number, w - number, number - 1.5);
        layer.removeMarker(1);
        layer.paintChanges(incremental.view());
        GuardedPixels whole(width, height);
        layer.paintAll(whole.view());
        EXPECT_TRUE(incremental.guardsIntact());
        EXPECT_TRUE(whole.guardsIntact());
        EXPECT_EQ(incremental.picture(), whole.picture()) << width << "x" << height;
    }
}

// Random sequences of every kind of change, painted incrementally after each few, must leave
// exactly the bytes of painting everything; pixels outside the reported rectangle must not change.
TEST(MarkerLayer, IncrementalPaintingEqualsPaintingEverything)
{
    constexpr int WIDTH = 64;
    constexpr int HEIGHT = 48;
    const std::vector<std::uint8_t> picture = randomPicture(WIDTH, HEIGHT, 5);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> across(-8, WIDTH + 8);
        std::uniform_real_distribution<double> down(-8, HEIGHT + 8);
        MarkerLayer layer;
        ASSERT_TRUE(layer.setPicture(picture.data(), WIDTH, HEIGHT, WIDTH * 4));
        GuardedPixels shown(WIDTH, HEIGHT);
        shown.fill(0x12345678); // what the target held before is no concern of the first paint
        std::vector<int> numbers;
        for (int step = 0; step < 150; ++step) {
            const int any = numbers.empty() ? -1 : numbers[random() % numbers.size()];
            switch (random() % 9) {
            case 0:
            case 1:
            case 2:
                numbers.push_back(
                    layer.addMarker(across(random), down(random), static_cast<int>(random() % 14)));
                break;
            case 3:
            case 4: {
                // Drags are small steps, jumps go anywhere.
                const std::optional<Marker> marker = layer.marker(any);
                if (marker && random() % 2)
                    layer.moveMarker(any, marker->x + (random() % 3) - 1.0, marker->y + (random() % 3) - 1.0);
                else
                    layer.moveMarker(any, across(random), down(random));
                break;
            }
            case 5:
                if (layer.removeMarker(any))
                    numbers.erase(std::find(numbers.begin(), numbers.end(), any));
                break;
            case 6:
                layer.selectMarker(random() % 4 ? any : -1);
                break;
            case 7:
                layer.setMarkerColumn(any, static_cast<int>(random() % 12));
                break;
            default:
                if (random() % 6 == 0)
                    layer.showMarkers(!layer.markersShown());
                // A dragged rectangle's frame, reaching past the edges now and then, or none.
                else if (random() % 3 == 0)
                    layer.setFrame(random() % 4 ? std::optional<PixelRect>(PixelRect {
                                       static_cast<int>(across(random)), static_cast<int>(down(random)),
                                       static_cast<int>(random() % 40), static_cast<int>(random() % 30) })
                                                : std::nullopt);
                break;
            }
            if (random() % 3)
                continue;
            const std::vector<std::uint8_t> before = shown.picture();
            const PixelRect painted = layer.paintChanges(shown.view());
            ASSERT_FALSE(layer.hasChanges());
            GuardedPixels whole(WIDTH, HEIGHT);
            layer.paintAll(whole.view());
            const std::vector<std::uint8_t> after = shown.picture();
            ASSERT_EQ(after, whole.picture()) << "seed " << seed << " step " << step;
            for (int y = 0; y < HEIGHT; ++y) {
                for (int x = 0; x < WIDTH; ++x) {
                    const bool inside = x >= painted.x && x < painted.x + painted.width && y >= painted.y
                        && y < painted.y + painted.height;
                    if (!inside) {
                        ASSERT_EQ(
                            std::memcmp(&before[(y * WIDTH + x) * 4], &after[(y * WIDTH + x) * 4], 4), 0)
                            << "seed " << seed << " step " << step << " changed " << x << ", " << y;
                    }
                }
            }
            ASSERT_TRUE(shown.guardsIntact());
        }
    }
}

TEST(MarkerLayer, AFrameIsDashedAroundItsRectangleAboveTheMarkersAndGoesAgain)
{
    MarkerLayer layer = layerOver(40, 30, GREY);
    layer.addMarker(10, 5, 0);
    layer.setFrame(PixelRect { 2, 5, 20, 10 });
    GuardedPixels shown(40, 30);
    ASSERT_FALSE(layer.paintChanges(shown.view()).empty());
    constexpr std::uint32_t BLACK = 0xFF000000;
    constexpr std::uint32_t WHITE = 0xFFFFFFFF;
    const struct {
        int x, y;
        std::uint32_t colour;
    } pixels[] = { // Four pixels black, four white, along the edges from the top-left corner.
        { 2, 5, BLACK }, { 5, 5, BLACK }, { 6, 5, WHITE }, { 10, 5, BLACK }, // over the marker
        { 21, 5, BLACK }, { 2, 9, WHITE }, { 2, 14, BLACK }, { 21, 14, WHITE },
        // Inside and outside the frame: the picture.
        { 5, 8, GREY }, { 22, 5, GREY }, { 2, 15, GREY }, { 20, 13, GREY }
    };
    for (const auto& p : pixels)
        EXPECT_EQ(shown.pixel(p.x, p.y), p.colour) << p.x << ", " << p.y;
    // Frames shown while the markers are hidden, too; an empty rectangle is none.
    layer.showMarkers(false);
    (void)layer.paintChanges(shown.view());
    EXPECT_EQ(shown.pixel(2, 5), BLACK);
    layer.setFrame(PixelRect { 3, 3, 0, 5 });
    EXPECT_FALSE(layer.frame());
    (void)layer.paintChanges(shown.view());
    for (const auto& p : pixels)
        EXPECT_EQ(shown.pixel(p.x, p.y), GREY) << p.x << ", " << p.y;
    EXPECT_TRUE(shown.guardsIntact());
}

TEST(MarkerLayer, KeepsTrackOfMarkersSelectionAndVisibility)
{
    MarkerLayer layer = layerOver(50, 50, GREY);
    GuardedPixels shown(50, 50);
    const int first = layer.addMarker(10, 10, 0);
    const int second = layer.addMarker(30, 30, 1);
    EXPECT_EQ(layer.markerCount(), 2u);
    EXPECT_EQ(layer.markerNear(12, 11, 3), first);
    EXPECT_EQ(layer.markerNear(20, 20, 3), -1);

    layer.selectMarker(second);
    EXPECT_EQ(layer.selectedMarker(), second);
    layer.selectMarker(99);
    EXPECT_EQ(layer.selectedMarker(), -1) << "a number that names no marker selects none";
    layer.selectMarker(second);
    EXPECT_TRUE(layer.removeMarker(second));
    EXPECT_EQ(layer.selectedMarker(), -1);
    EXPECT_FALSE(layer.marker(second).has_value());
    EXPECT_FALSE(layer.moveMarker(second, 1, 1));
    EXPECT_EQ(layer.addMarker(5, 5, 3), second) << "the freed number comes back";

    layer.paintChanges(shown.view());
    EXPECT_NE(shown.pixel(10, 10), GREY);
    layer.showMarkers(false);
    EXPECT_EQ(layer.markerNear(10, 10, 1), first) << "hidden markers can still be found";
    layer.moveMarker(first, 40, 40); // hidden changes must show once shown again
    layer.paintChanges(shown.view());
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(shown.pixel(x, y), GREY) << x << ", " << y;
    layer.showMarkers(true);
    layer.paintChanges(shown.view());
    EXPECT_EQ(shown.pixel(40, 40), markerColours(0).fill);
    EXPECT_EQ(shown.pixel(10, 10), GREY);

    layer.removeAllMarkers();
    EXPECT_EQ(layer.markerCount(), 0u);
    layer.paintChanges(shown.view());
    EXPECT_EQ(shown.pixel(40, 40), GREY);
}

TEST(MarkerLayer, RefusesPicturesAndTargetsThatDoNotFit)
{
    const std::vector<std::uint8_t> picture = randomPicture(8, 8, 9);
    MarkerLayer layer;
    GuardedPixels shown(8, 8);
    EXPECT_TRUE(layer.paintChanges(shown.view()).empty()) << "no picture yet";
    EXPECT_FALSE(layer.setPicture(nullptr, 8, 8, 32));
    EXPECT_FALSE(layer.setPicture(picture.data(), 8, 8, 31));
    EXPECT_FALSE(layer.setPicture(picture.data(), 0, 8, 32));
    EXPECT_FALSE(layer.setPicture(picture.data(), 8, -1, 32));
    EXPECT_EQ(layer.pictureWidth(), 0);
    ASSERT_TRUE(layer.setPicture(picture.data(), 8, 8, 32));
    layer.addMarker(4, 4, 0);
    GuardedPixels other(8, 7);
    EXPECT_TRUE(layer.paintChanges(other.view()).empty());
    EXPECT_TRUE(layer.paintChanges({ nullptr, 8, 8, 32 }).empty());
    EXPECT_TRUE(layer.paintChanges({ shown.view().pixels, 8, 8, 28 }).empty());
    EXPECT_TRUE(other.guardsIntact());
    EXPECT_TRUE(layer.hasChanges()) << "the changes wait for a target that fits";
    const PixelRect painted = layer.paintChanges(shown.view());
    EXPECT_EQ(painted.width, 8);
    EXPECT_EQ(painted.height, 8);
    EXPECT_NE(shown.pixel(4, 4), 0u);
}

} // namespace
