#include "toolkit/desktop.h"

#include "toolkit_test_support.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using DesktopTest = ToolkitTest;

TEST_F(DesktopTest, TheSnapshotHoldsTheScreensInDeviceIndependentPixels)
{
    EXPECT_EQ(desktopWidth(0), 0); // no snapshot yet

    const int count = examineDesktops();
    ASSERT_GE(count, 1);
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_GT(desktopWidth(0), 0);
    EXPECT_EQ(desktopWidth(0), primary.width());
    EXPECT_EQ(desktopHeight(0), primary.height());
    EXPECT_EQ(desktopX(0), primary.x());
    EXPECT_EQ(desktopY(0), primary.y());
    EXPECT_GT(desktopDepth(0), 0);
    EXPECT_GE(desktopFrequency(0), 0);

    for (int outside : { -1, count, MAX_DESKTOPS }) {
        EXPECT_EQ(desktopWidth(outside), 0) << outside;
        EXPECT_EQ(desktopHeight(outside), 0) << outside;
        EXPECT_EQ(desktopX(outside), 0) << outside;
        EXPECT_EQ(desktopDepth(outside), 0) << outside;
        EXPECT_EQ(desktopFrequency(outside), 0) << outside;
        EXPECT_EQ(desktopAvailableHeight(outside), 0) << outside;
        EXPECT_EQ(desktopAvailableWidth(outside), 0) << outside;
    }
}

TEST_F(DesktopTest, TheAvailableAreaIsTheScreensAreaForWindows)
{
    ASSERT_GE(examineDesktops(), 1);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(desktopAvailableX(0), available.x());
    EXPECT_EQ(desktopAvailableY(0), available.y());
    EXPECT_EQ(desktopAvailableWidth(0), available.width());
    EXPECT_EQ(desktopAvailableHeight(0), available.height());
    EXPECT_GT(desktopAvailableHeight(0), 0);
    EXPECT_LE(desktopAvailableHeight(0), desktopHeight(0));
}

} // namespace
