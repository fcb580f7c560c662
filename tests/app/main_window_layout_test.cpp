#include "app/main_window_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MainWindowLayout, DiagramOf960By720)
{
    const MainWindowLayout layout = mainWindowLayout(960.0, 720.0);
    EXPECT_EQ(layout.contentWidth, 1350);
    EXPECT_EQ(layout.contentHeight, 742);
    EXPECT_EQ(layout.diagram, (GadgetRect { 0, 0, 960, 720 }));
    EXPECT_EQ(layout.coords, (GadgetRect { 970, 10, 180, 20 }));
    EXPECT_EQ(layout.origin, (GadgetRect { 970, 30, 180, 20 }));
    EXPECT_EQ(layout.width, (GadgetRect { 970, 50, 180, 20 }));
    EXPECT_EQ(layout.height, (GadgetRect { 970, 70, 180, 20 }));
    EXPECT_EQ(layout.message, (GadgetRect { 970, 100, 180, 90 }));
    EXPECT_EQ(layout.magnifier, (GadgetRect { 970, 530, 180, 180 }));
    EXPECT_EQ(layout.columnSelect, (GadgetRect { 1160, 10, 140, 20 }));
    EXPECT_EQ(layout.renameButton, (GadgetRect { 1310, 10, 20, 20 }));
    EXPECT_EQ(layout.columnName, (GadgetRect { 1160, -30, 140, 20 }));
    EXPECT_EQ(layout.table, (GadgetRect { 1160, 40, 180, 680 }));
}

TEST(MainWindowLayout, HalfPixelsRoundToTheEvenNeighbour)
{
    // A desktop 1025 pixels wide shows diagrams 512.5 pixels wide.
    const MainWindowLayout layout = mainWindowLayout(512.5, 384.5);
    EXPECT_EQ(layout.coords.x, 522); // 522.5
    EXPECT_EQ(layout.columnSelect.x, 712); // 712.5
    EXPECT_EQ(layout.renameButton.x, 862); // 862.5
    EXPECT_EQ(layout.contentWidth, 902); // 902.5
    EXPECT_EQ(layout.diagram.width, 512);
    EXPECT_EQ(layout.diagram.height, 384); // 384.5
    EXPECT_EQ(layout.contentHeight, 406); // 406.5
    EXPECT_EQ(layout.magnifier.y, 194); // 194.5
    EXPECT_EQ(layout.table.height, 344); // 344.5
}

TEST(MainWindowLayout, LowDiagramsKeepTheRightHandColumnsUsable)
{
    const MainWindowLayout low = mainWindowLayout(960.0, 100.0);
    EXPECT_EQ(low.diagram, (GadgetRect { 0, 0, 960, 100 }));
    EXPECT_EQ(low.contentHeight, MINIMUM_LAYOUT_HEIGHT + 22);
    EXPECT_EQ(low.magnifier.y, MINIMUM_LAYOUT_HEIGHT - 190);
    EXPECT_EQ(low.table.height, MINIMUM_LAYOUT_HEIGHT - 40);
    EXPECT_GT(low.table.height, 0);
    EXPECT_GE(low.magnifier.y, 0);

    // At the bound and above it the diagram's own height rules.
    EXPECT_EQ(mainWindowLayout(960.0, 380.0).contentHeight, 402);
    EXPECT_EQ(mainWindowLayout(960.0, 381.0).contentHeight, 403);

    // Sizes that are no numbers never reach a window.
    const MainWindowLayout broken = mainWindowLayout(0.0 / 0.0, 1.0 / 0.0);
    EXPECT_EQ(broken.diagram.width, 0);
    EXPECT_EQ(broken.contentWidth, 390);
    EXPECT_EQ(broken.contentHeight, 402);
}

bool overlap(const GadgetRect& a, const GadgetRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(MainWindowLayout, NoGadgetBesideTheDiagramCoversAnother)
{
    for (const double height : { 6.0, 229.0, 230.0, 300.0, 379.0, 380.0, 720.0 }) {
        const MainWindowLayout l = mainWindowLayout(400.0, height);
        EXPECT_EQ(l.diagram, (GadgetRect { 0, 0, 400, static_cast<int>(height) })) << height;
        const struct {
            const char* name;
            GadgetRect rect;
        } shown[] = {
            { "coords", l.coords },
            { "origin", l.origin },
            { "width", l.width },
            { "height", l.height },
            { "message", l.message },
            { "magnifier", l.magnifier },
            { "select", l.columnSelect },
            { "pen", l.renameButton },
            { "table", l.table },
        };
        for (const auto& a : shown) {
            // Inside the content, above the status bar, right of the diagram.
            EXPECT_GE(a.rect.y, 0) << a.name << " at " << height;
            EXPECT_LE(a.rect.y + a.rect.height, l.contentHeight - STATUS_BAR_HEIGHT)
                << a.name << " at " << height;
            EXPECT_GE(a.rect.x, l.diagram.width) << a.name << " at " << height;
            EXPECT_GT(a.rect.height, 0) << a.name << " at " << height;
            for (const auto& b : shown) {
                if (&a != &b) {
                    EXPECT_FALSE(overlap(a.rect, b.rect)) << a.name << " and " << b.name << " at " << height;
                }
            }
        }
    }
}

} // namespace
