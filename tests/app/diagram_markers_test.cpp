#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/data_table.h"
#include "app/diagram_markers.h"
#include "app/marker_palette.h"

#include "imaging/image.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int ARROW_LEFT = 256 | 0x7B;
constexpr int ARROW_RIGHT = 256 | 0x7C;
constexpr int ARROW_DOWN = 256 | 0x7D;
constexpr int ARROW_UP = 256 | 0x7E;
constexpr int DELETE_KEY = 127;

// The diagram's pixel as 0xAABBGGRR, the form the marker colours take.
std::uint32_t diagramPixel(int x, int y)
{
    const std::uint8_t* p
        = imagePixels(IMAGE_DIAGRAM) + (static_cast<std::size_t>(y) * imagePixelWidth(IMAGE_DIAGRAM) + x) * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t fillOf(int column)
{
    return markerColours(column).fill;
}

// Three points: (20, 249) and (60, 240) in the first column, (100, 230) in the second; a point
// at row y has the value 250 - y.
class Markers : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        start(sampleChartPath());
        useSimpleCalibration();
        m_bare[0] = diagramPixel(20, 249);
        m_bare[1] = diagramPixel(60, 240);
        m_bare[2] = diagramPixel(100, 230);
        choose(MENU_CATCH_POINTS);
        clickDiagram(20, 249);
        clickDiagram(60, 240);
        key(SHORTCUT_ALT | 'a');
        clickDiagram(100, 230);
        setDoubleClickInterval(0);
    }

    // A click on the table's row as the user makes it.
    void selectTableRow(int row)
    {
        for (int y = 2; y < gadgetHeight(GADGET_TABLE); y += 3) {
            clickGadget(GADGET_TABLE, GADGET_LEFT_CLICK, 20, y);
            settle();
            if (static_cast<int>(getGadgetState(GADGET_TABLE)) == row)
                return;
        }
        FAIL() << "no table row " << row;
    }

    std::uint32_t m_bare[3] = {};
};

TEST_F(Markers, EveryPointShowsInItsColumnsColourUntilHidden)
{
    EXPECT_EQ(diagramPixel(20, 249), fillOf(0));
    EXPECT_EQ(diagramPixel(60, 240), fillOf(0));
    EXPECT_EQ(diagramPixel(100, 230), fillOf(1));
    EXPECT_NE(fillOf(0), fillOf(1));

    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_TOGGLE_MARKERS), 1);
    choose(MENU_TOGGLE_MARKERS);
    EXPECT_FALSE(markersShown());
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_TOGGLE_MARKERS), 0);
    EXPECT_EQ(popupMenuItemChecked(POPUP_DIAGRAM, MENU_TOGGLE_MARKERS), 0);
    EXPECT_EQ(diagramPixel(20, 249), m_bare[0]);
    EXPECT_EQ(diagramPixel(100, 230), m_bare[2]);

    // The key changes no menu item by itself: the mark follows the markers.
    key(SHORTCUT_ALT | 'm');
    EXPECT_TRUE(markersShown());
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_TOGGLE_MARKERS), 1);
    EXPECT_EQ(diagramPixel(100, 230), fillOf(1));
}

TEST_F(Markers, UndoAndRedoKeepTheMarkersWithTheData)
{
    choose(MENU_UNDO);
    EXPECT_EQ(diagramPixel(100, 230), m_bare[2]);
    EXPECT_EQ(diagramPixel(60, 240), fillOf(0));
    choose(MENU_REDO);
    EXPECT_EQ(diagramPixel(100, 230), fillOf(1));
    for (int i = 0; i < 4; ++i)
        choose(MENU_UNDO);
    EXPECT_EQ(diagramPixel(100, 230), m_bare[2]);
    EXPECT_EQ(diagramPixel(20, 249), m_bare[0]);
    EXPECT_EQ(diagramPixel(60, 240), m_bare[1]);
}

TEST_F(Markers, TheMagnifierShowsTheMarkers)
{
    placeMouse(WINDOW_MAIN, 100, 230);
    pass();
    const std::uint8_t* p = imagePixels(IMAGE_MAGNIFIER) + (static_cast<std::size_t>(90) * 180 + 90) * 4;
    const std::uint32_t centre = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    EXPECT_EQ(centre, fillOf(1));
}

TEST_F(Markers, TheTableRowSelectsItsPointWhichTheArrowKeysMove)
{
    setGadgetState(GADGET_COLUMN_SELECT, 1);
    selectTableRow(0);
    EXPECT_EQ(selectedPointRow(), 0);
    EXPECT_EQ(selectedPointColumn(), 1);
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    selectTableRow(1);
    EXPECT_EQ(selectedPointRow(), 1);
    EXPECT_EQ(selectedPointColumn(), 0);

    // One picture pixel per key, ten with Shift (the sample is shown reduced); the marker and
    // the value follow.
    const PixelPoint start = captureModel().cell(1, 0).point;
    struct Step {
        int key;
        double dx;
        double dy;
    };
    const Step steps[] = {
        { ARROW_UP, 0, -1 },
        { ARROW_UP, 0, -2 },
        { ARROW_DOWN, 0, -1 },
        { ARROW_RIGHT, 1, -1 },
        { ARROW_LEFT, 0, -1 },
        { SHORTCUT_SHIFT | ARROW_UP, 0, -11 },
        { SHORTCUT_SHIFT | ARROW_LEFT, -10, -11 },
    };
    for (const Step& step : steps) {
        key(step.key);
        const Cell& cell = captureModel().cell(1, 0);
        EXPECT_EQ(cell.point.x, start.x + step.dx) << step.dx << "," << step.dy;
        EXPECT_EQ(cell.point.y, start.y + step.dy) << step.dx << "," << step.dy;
        const PixelPoint shown = captureModel().calibration(cell.calibration).displayedPixel(cell.point);
        EXPECT_EQ(
            diagramPixel(static_cast<int>(std::lround(shown.x)), static_cast<int>(std::lround(shown.y))),
            fillOf(0));
        EXPECT_EQ(tableRows()[1][0], cell.text);
        EXPECT_NEAR(std::stod(cell.text), 250 - shown.y, 0.006);
    }
    EXPECT_NE(tableRows()[1][0].substr(0, 3), "10.");
    EXPECT_EQ(diagramPixel(60, 240), m_bare[1]);

    // One undo step per key press.
    for (int i = 0; i < 7; ++i)
        choose(MENU_UNDO);
    EXPECT_EQ(diagramPixel(60, 240), fillOf(0));
    EXPECT_EQ(captureModel().cell(1, 0).point.y, start.y);
    EXPECT_EQ(tableRows()[1][0].substr(0, 3), "10.");
}

TEST_F(Markers, DeleteRemovesTheSelectedPointAndTheCellsBelowMoveUp)
{
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    selectTableRow(0);
    ASSERT_EQ(selectedPointColumn(), 0);
    const auto before = tableRows();
    key(DELETE_KEY);
    EXPECT_EQ(diagramPixel(20, 249), m_bare[0]);
    EXPECT_EQ(diagramPixel(60, 240), fillOf(0));
    auto rows = tableRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], before[1][0]);
    EXPECT_EQ(rows[0][1], before[0][1]);

    choose(MENU_UNDO);
    EXPECT_EQ(tableRows(), before);
    EXPECT_EQ(diagramPixel(20, 249), fillOf(0));
}

TEST_F(Markers, KeysWithoutASelectedPointChangeNothing)
{
    const auto before = tableRows();
    for (int code : { ARROW_UP, ARROW_LEFT, DELETE_KEY })
        key(code);
    EXPECT_EQ(tableRows(), before);
    EXPECT_EQ(diagramPixel(20, 249), fillOf(0));
}

TEST_F(Markers, TheNameFieldKeepsItsArrowAndDeleteKeys)
{
    selectTableRow(1);
    ASSERT_EQ(selectedPointRow(), 1);
    const auto before = tableRows();
    key(SHORTCUT_ALT | 'n');
    ASSERT_EQ(focusedGadget(), GADGET_COLUMN_NAME);
    for (int code : { ARROW_UP, ARROW_LEFT, DELETE_KEY })
        key(code);
    EXPECT_EQ(tableRows(), before);
}

// Ctrl+click within a few display pixels of a marker selects its point and table row; it never
// captures, and it leaves the unsaved mark as it was.
TEST_F(Markers, ControlClickSelectsTheNearestMarkersPoint)
{
    struct Pick {
        const char* name;
        int x;
        int y;
        int row; // the selected point afterwards; -1 none
        int column;
    };
    const Pick picks[] = {
        { "on the second point", 60, 240, 1, 0 },
        { "beside the third point", 103, 227, 0, 1 },
        { "beside the first point", 17, 251, 0, 0 },
        { "far from any marker keeps the selection", 150, 150, 0, 0 },
    };
    const auto rows = tableRows();
    const bool modified = isWindowModified(WINDOW_MAIN);
    for (const Pick& pick : picks) {
        SCOPED_TRACE(pick.name);
        EXPECT_EQ(clickGadget(GADGET_DIAGRAM, GADGET_LEFT_CLICK, pick.x, pick.y, SHORTCUT_CONTROL), 1);
        settle();
        EXPECT_EQ(selectedPointRow(), pick.row);
        EXPECT_EQ(selectedPointColumn(), pick.column);
        EXPECT_EQ(static_cast<int>(getGadgetState(GADGET_TABLE)), pick.row);
        EXPECT_EQ(tableRows(), rows);
        EXPECT_EQ(isWindowModified(WINDOW_MAIN), modified);
    }
    // Undo still takes back the last capture: picking made no step of its own.
    choose(MENU_UNDO);
    EXPECT_EQ(diagramPixel(100, 230), m_bare[2]);
}

TEST_F(Markers, ControlClickOnAHiddenMarkerSelectsNothing)
{
    selectPoint(-1, -1);
    choose(MENU_TOGGLE_MARKERS);
    ASSERT_FALSE(markersShown());
    clickGadget(GADGET_DIAGRAM, GADGET_LEFT_CLICK, 60, 240, SHORTCUT_CONTROL);
    settle();
    EXPECT_EQ(selectedPointRow(), -1);
    EXPECT_EQ(tableRows().size(), 2u);
}

// A drag that starts on a marker moves its point with the mouse: the marker and the table value
// follow every move, and Undo takes the whole drag back in one step.
TEST_F(Markers, DraggingAMarkerMovesItsPointAsOneStep)
{
    const PixelPoint start = captureModel().cell(1, 0).point;
    const std::string startText = tableRows()[1][0];
    ASSERT_EQ(pressGadget(GADGET_DIAGRAM, 61, 241), 1);
    settle();
    struct Step {
        int x;
        int y;
    };
    // Grabbed one pixel off the marker's centre: the marker keeps that offset.
    const Step path[] = { { 61, 231 }, { 71, 221 }, { 81, 201 } };
    for (const Step& step : path) {
        SCOPED_TRACE(step.y);
        moveInGadget(GADGET_DIAGRAM, step.x, step.y);
        settle();
        const Cell& cell = captureModel().cell(1, 0);
        const PixelPoint shown = captureModel().calibration(cell.calibration).displayedPixel(cell.point);
        EXPECT_NEAR(shown.x, step.x - 1, 0.01);
        EXPECT_NEAR(shown.y, step.y - 1, 0.01);
        EXPECT_EQ(diagramPixel(step.x - 1, step.y - 1), fillOf(0));
        EXPECT_EQ(tableRows()[1][0], cell.text);
        EXPECT_NEAR(std::stod(cell.text), 250 - shown.y, 0.006);
    }
    releaseGadget(GADGET_DIAGRAM, 81, 201);
    settle();
    EXPECT_EQ(selectedPointRow(), 1);
    EXPECT_EQ(selectedPointColumn(), 0);
    EXPECT_EQ(diagramPixel(60, 240), m_bare[1]);
    EXPECT_EQ(tableRows().size(), 2u);

    choose(MENU_UNDO);
    EXPECT_EQ(captureModel().cell(1, 0).point, start);
    EXPECT_EQ(tableRows()[1][0], startText);
    EXPECT_EQ(diagramPixel(60, 240), fillOf(0));
    // The step before the drag is the last capture.
    choose(MENU_UNDO);
    EXPECT_EQ(diagramPixel(100, 230), m_bare[2]);
}

// A drag away from every marker, and one beyond the picture's edge, change nothing and capture
// nothing; a dragged point stays on the picture.
TEST_F(Markers, DragsOffTheMarkersAndBeyondThePicture)
{
    const auto rows = tableRows();
    pressGadget(GADGET_DIAGRAM, 150, 150);
    moveInGadget(GADGET_DIAGRAM, 170, 170);
    releaseGadget(GADGET_DIAGRAM, 170, 170);
    settle();
    EXPECT_EQ(tableRows(), rows);

    pressGadget(GADGET_DIAGRAM, 20, 249);
    moveInGadget(GADGET_DIAGRAM, 30, 259);
    moveInGadget(GADGET_DIAGRAM, -50, 5000);
    releaseGadget(GADGET_DIAGRAM, -50, 5000);
    settle();
    const Cell& cell = captureModel().cell(0, 0);
    const PixelPoint shown = captureModel().calibration(cell.calibration).displayedPixel(cell.point);
    EXPECT_NEAR(shown.x, 0, 0.01);
    EXPECT_NEAR(shown.y, imagePixelHeight(IMAGE_DIAGRAM) - 1, 0.01);
    EXPECT_EQ(tableRows().size(), rows.size());
}

} // namespace
