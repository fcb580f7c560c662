#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/status_prompt.h"

#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

// Captures of known values: the simple calibration, capture mode.
class DataTable : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        start(sampleChartPath());
        useSimpleCalibration();
        choose(MENU_CATCH_POINTS);
    }

    void capture(int value) { clickDiagram(20, 250 - value); }

    void selectColumn(int column) { setGadgetState(GADGET_COLUMN_SELECT, column); }
};

TEST_F(DataTable, ColumnsFillFromTheTopIndependently)
{
    capture(1);
    capture(2);
    capture(3);
    key(SHORTCUT_ALT | 'a');
    EXPECT_EQ(text(GADGET_COLUMN_SELECT), "Column 2") << "a new column is selected";
    capture(4);
    capture(5);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "4.00" }, { "2.00", "5.00" }, { "3.00", "" } }));

    // Deleting a row moves the rows below up; the gap left in a column is filled first.
    setGadgetState(GADGET_TABLE, 0);
    key(SHORTCUT_ALT | 'd');
    EXPECT_EQ(tableRows(), (Rows { { "2.00", "5.00" }, { "3.00", "" } }));
    capture(6);
    EXPECT_EQ(tableRows(), (Rows { { "2.00", "5.00" }, { "3.00", "6.00" } }));

    // Option D without a selected row does nothing.
    setGadgetState(GADGET_TABLE, -1);
    key(SHORTCUT_ALT | 'd');
    EXPECT_EQ(tableRows().size(), 2u);

    answerNextDialogWithKey('y'); // the captures are not saved
    key(SHORTCUT_ALT | 'e');
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(columnTitles(), (Strings { "1", "2" }));
    capture(7);
    EXPECT_EQ(tableRows(), (Rows { { "", "7.00" } }));
}

TEST_F(DataTable, FirstCaptureIntoALaterColumn)
{
    key(SHORTCUT_ALT | 'a');
    key(SHORTCUT_ALT | 'a');
    capture(9);
    EXPECT_EQ(tableRows(), (Rows { { "", "", "9.00" } }));
    selectColumn(0);
    capture(8);
    EXPECT_EQ(tableRows(), (Rows { { "8.00", "", "9.00" } }));
    selectColumn(-1);
    capture(7);
    EXPECT_EQ(tableRows(), (Rows { { "8.00", "", "9.00" }, { "7.00", "", "" } })) << "no selection: column 0";
}

TEST_F(DataTable, ManyColumnsAreCountedExactly)
{
    for (int i = 0; i < 11; ++i)
        key(SHORTCUT_ALT | 'a');
    EXPECT_EQ(countTableColumns(), 12);
    EXPECT_EQ(columnTitles().back(), "12");
    EXPECT_EQ(selectorItems().back(), "Column 12");
    capture(1);
    EXPECT_EQ(tableRows().front().back(), "1.00");
    key(SHORTCUT_ALT | 'r');
    EXPECT_EQ(countTableColumns(), 11);
    EXPECT_EQ(selectorItems().size(), 11u);
    EXPECT_EQ(tableRows().front().size(), 11u);
}

TEST_F(DataTable, RemoveLastColumnNeedsTwo)
{
    key(SHORTCUT_ALT | 'a');
    capture(3);
    key(SHORTCUT_ALT | 'r');
    key(SHORTCUT_ALT | 'r'); // still registered, finds one column
    EXPECT_EQ(columnTitles(), (Strings { "1" }));
    EXPECT_EQ(selectorItems(), (Strings { "Column 1" }));
    EXPECT_TRUE(tableRows().front() == (Strings { "" }));
}

TEST_F(DataTable, CapturesThatAreNoNumbersAreNotStored)
{
    spanHeight = 0;
    capture(5);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(std::string(statusText.c_str()), "Please click for setting the Height of Dataarea.");
    EXPECT_EQ(clickMode, CLICK_HEIGHT) << "the next click sets the height, as the prompt asks";

    // Without a height reference every value is zero.
    choose(MENU_CATCH_POINTS);
    spanHeight = 100;
    heightReference = 0;
    capture(5);
    capture(-5);
    EXPECT_EQ(tableRows(), (Rows { { "0.00" }, { "0.00" } }));
}

TEST_F(DataTable, RenamingWithThePen)
{
    key(SHORTCUT_ALT | 'a');
    selectColumn(0);
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    EXPECT_EQ(gadgetY(GADGET_COLUMN_NAME), 13); // the field lies 3 pixels inside its rectangle
    EXPECT_NE(gadgetY(GADGET_COLUMN_SELECT), 10);
    EXPECT_EQ(text(GADGET_COLUMN_NAME), "Column 1");
    typeText(GADGET_COLUMN_NAME, "X");
    setGadgetText(GADGET_COLUMN_NAME, "Pressure");
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    EXPECT_EQ(gadgetY(GADGET_COLUMN_SELECT), 10);
    EXPECT_EQ(selectorItems(), (Strings { "Pressure", "Column 2" }));
    EXPECT_EQ(columnTitles(), (Strings { "Pressure", "2" }));

    // Add Column while the field is open: the name still goes to the column it was opened for.
    selectColumn(1);
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    key(SHORTCUT_ALT | 'a');
    setGadgetText(GADGET_COLUMN_NAME, "Flow");
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    EXPECT_EQ(selectorItems(), (Strings { "Pressure", "Flow", "Column 3" }));
    EXPECT_EQ(columnTitles(), (Strings { "Pressure", "Flow", "3" }));

    // The column goes while the field is open: the field just closes.
    selectColumn(2);
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    key(SHORTCUT_ALT | 'r');
    setGadgetText(GADGET_COLUMN_NAME, "Gone");
    clickGadget(GADGET_RENAME_BUTTON);
    settle();
    EXPECT_EQ(selectorItems(), (Strings { "Pressure", "Flow" }));
    EXPECT_EQ(columnTitles(), (Strings { "Pressure", "Flow" }));
    EXPECT_EQ(gadgetY(GADGET_COLUMN_SELECT), 10);
}

TEST_F(DataTable, ColumnCommandsLeaveTheModifiedMark)
{
    key(SHORTCUT_ALT | 'a');
    key(SHORTCUT_ALT | 'e');
    key(SHORTCUT_ALT | 'r');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(dataModified, 0);
    capture(2);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(dataModified, 1);
}

} // namespace
