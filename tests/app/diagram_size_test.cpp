#include "app/diagram_size.h"

#include <gtest/gtest.h>

namespace {

TEST(DiagramSize, WidthAndHeightBothBoundThePicture)
{
    struct Case {
        int pictureWidth, pictureHeight;
        double maxWidth, maxHeight;
        double width, height;
        int pixelWidth, pixelHeight;
    };
    const Case cases[] = {
        // The display width rules while the height fits.
        { 960, 720, 640, 0, 640, 480, 640, 480 },
        { 1000, 500, 640, 488, 640, 320, 640, 320 },
        { 480, 360, 640, 488, 640, 480, 640, 480 }, // small pictures are enlarged
        { 960, 720, 640, 480, 640, 480, 640, 480 }, // exactly at the bound
        { 300, 200, 0, 0, 300, 200, 300, 200 }, // no desktop width: its own
        // Tall pictures: the height bound rules, the width keeps the shape.
        { 960, 2000, 400, 488, 960.0 / 2000 * 488, 488, 234, 488 },
        { 20, 3000, 400, 488, 20.0 / 3000 * 488, 488, 3, 488 },
        { 1, 30000, 640, 488, 1.0 / 30000 * 488, 488, 1, 488 },
        // Very wide ones keep one row at least.
        { 3000, 1, 400, 488, 400, static_cast<float>(1.0 / 3000 * 400), 400, 1 },
    };
    for (const Case& c : cases) {
        const ShownSize size = shownDiagramSize(c.pictureWidth, c.pictureHeight, c.maxWidth, c.maxHeight);
        const std::string name = std::to_string(c.pictureWidth) + "x" + std::to_string(c.pictureHeight);
        EXPECT_DOUBLE_EQ(size.width, c.width) << name;
        EXPECT_DOUBLE_EQ(size.height, c.height) << name;
        EXPECT_EQ(size.pixelWidth, c.pixelWidth) << name;
        EXPECT_EQ(size.pixelHeight, c.pixelHeight) << name;
    }
    // The height is the 32-bit float the calibration has always started from.
    EXPECT_EQ(shownDiagramSize(960, 721, 640, 0).height,
        static_cast<double>(static_cast<float>(721.0 / 960 * 640)));
}

TEST(DiagramSize, TheWindowFitsTheAvailableHeight)
{
    EXPECT_EQ(diagramHeightLimit(600), 600 - WINDOW_DECORATION_HEIGHT - 22);
    EXPECT_EQ(diagramHeightLimit(1000), 888);
    EXPECT_EQ(diagramHeightLimit(0), 0) << "no height told: no bound";
    EXPECT_EQ(diagramHeightLimit(50), 1);
}

} // namespace
