#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/csv_table.h"
#include "app/data_table.h"

#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <fstream>
#include <sstream>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

// A chart calibrated on both axes (column x reads (x - 10) / 10, row y reads 250 - y) with the
// points (1, 1) and (2, 2) in the first column and (3, 3) in the second.
class XyFlow : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        start(sampleChartPath());
        useSimpleCalibration();
        originX = 10;
        spanWidth = 100;
        widthReference = 10;
        choose(MENU_CATCH_POINTS);
        clickDiagram(20, 249);
        clickDiagram(30, 248);
        key(SHORTCUT_ALT | 'a');
        clickDiagram(40, 247);
    }
};

TEST_F(XyFlow, TheOptionShowsBothValuesAndUndoTakesItBack)
{
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 0);
    EXPECT_EQ(columnTitles(), (Strings { "1", "2" }));
    choose(MENU_CAPTURE_XY);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 1);
    EXPECT_EQ(columnTitles(), (Strings { "1 x", "1 y", "2 x", "2 y" }));
    EXPECT_EQ(selectorItems(), (Strings { "Column 1", "Column 2" }));
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "1.00", "3.00", "3.00" }, { "2.00", "2.00", "", "" } }));

    // A capture fills both cells of its point in the selected column.
    clickDiagram(50, 246);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "1.00", "3.00", "3.00" }, { "2.00", "2.00", "4.00", "4.00" } }));

    choose(MENU_UNDO);
    choose(MENU_UNDO);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 0);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "3.00" }, { "2.00", "" } }));
    choose(MENU_REDO);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 1);
    EXPECT_EQ(columnTitles(), (Strings { "1 x", "1 y", "2 x", "2 y" }));
}

TEST_F(XyFlow, SaveLoadAndCopyCarryBothValues)
{
    const std::string path = writeTemporaryFile("pairs.csv", "");
    choose(MENU_CAPTURE_XY);
    scriptSaveFileAnswer(path);
    key(SHORTCUT_COMMAND | 's');
    EXPECT_EQ(contentOf(path), "1 x,1 y,2 x,2 y\n1.00,1.00,3.00,3.00\n2.00,2.00,,\n");
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    key(SHORTCUT_COMMAND | 'c');
    EXPECT_EQ(
        std::string(clipboardText().c_str()), "1 x\t1 y\t2 x\t2 y\n1.00\t1.00\t3.00\t3.00\n2.00\t2.00\t\t\n");

    // Switched off and emptied, the table loads the file back as it was.
    const Rows saved = tableRows();
    choose(MENU_CAPTURE_XY);
    answerNextDialogWithKey('y'); // Empty Table asks first
    key(SHORTCUT_ALT | 'e');
    ASSERT_TRUE(tableRows().empty());
    scriptOpenFileAnswer({ path });
    answerNextDialogWithKey('y');
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 1);
    EXPECT_EQ(tableRows(), saved);
    EXPECT_EQ(columnTitles(), (Strings { "1 x", "1 y", "2 x", "2 y" }));
    EXPECT_EQ(selectorItems(), (Strings { "1", "2" }));
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    // Saved again, the loaded pairs give the same file.
    const std::string again = writeTemporaryFile("again.csv", "");
    scriptSaveFileAnswer(again);
    key(SHORTCUT_COMMAND | 's');
    EXPECT_EQ(contentOf(again), contentOf(path));
}

// The table stops at 64 columns, the most a file or a project brings back; as x,y pairs those
// are 128 cells a line, and the file loads back whole.
TEST_F(XyFlow, TheWidestTableLoadsBackAsPairs)
{
    for (int column = 2; column < 64; ++column)
        choose(MENU_ADD_COLUMN);
    ASSERT_EQ(selectorItems().size(), 64u);
    std::string refusal;
    actInNextDialog([&refusal](int window) {
        refusal = shownWindowTitle(window).c_str();
        pressKey(window, 13);
    });
    choose(MENU_ADD_COLUMN);
    EXPECT_EQ(refusal, "Add Column");
    EXPECT_EQ(selectorItems().size(), 64u);
    EXPECT_EQ(selectorItems().back(), "Column 64");
    clickDiagram(60, 245); // into the selected, last column

    choose(MENU_CAPTURE_XY);
    const Rows saved = tableRows();
    ASSERT_EQ(saved.front().size(), 128u);
    EXPECT_EQ(saved.front().back(), "5.00");
    const std::string path = writeTemporaryFile("widest.csv", "");
    scriptSaveFileAnswer(path);
    key(SHORTCUT_COMMAND | 's');
    answerNextDialogWithKey('y');
    key(SHORTCUT_ALT | 'e');
    ASSERT_TRUE(tableRows().empty());
    scriptOpenFileAnswer({ path });
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(tableRows(), saved);
    EXPECT_EQ(selectorItems().size(), 64u);
}

// Pairs count as one cell of the table: a file of x,y pairs holds twice the cells a plain one may.
TEST_F(XyFlow, PairsCountAsOneCellOfTheTable)
{
    std::string pairs = "1 x,1 y\n";
    for (std::size_t row = 0; row <= MAX_CSV_CELLS / 2; ++row)
        pairs += "1,2\n";
    scriptOpenFileAnswer({ writeTemporaryFile("long-pairs.csv", pairs) });
    answerNextDialogWithKey('y'); // the captures may go
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(tableRows().size(), MAX_CSV_CELLS / 2 + 1);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 1);
}

TEST_F(XyFlow, APlainFileLoadsAsThePlainTable)
{
    choose(MENU_CAPTURE_XY);
    const std::string plain = writeTemporaryFile("plain.csv", "A,B\n1,2\n");
    scriptOpenFileAnswer({ plain });
    answerNextDialogWithKey('y');
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_CAPTURE_XY), 0);
    EXPECT_EQ(columnTitles(), (Strings { "A", "B" }));
    EXPECT_EQ(tableRows(), (Rows { { "1", "2" } }));
}

} // namespace
