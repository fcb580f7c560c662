#include "toolkit/click_tracker.h"
#include "toolkit/list_row_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ListRowText, CellsAreLines)
{
    struct Case {
        const char* text;
        int index;
        const char* cell;
    };
    const Case cases[] = {
        { "a\nb", 0, "a" },
        { "a\nb", 1, "b" },
        { "a\nb", 2, "" },
        { "a\nb\n", 1, "b" },
        { "a\nb\n", 2, "" }, // the final line feed starts no further line
        { "\n\nc", 2, "c" },
        { "\n\nc", 1, "" },
        { "", 0, "" },
        { "a", -1, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowCell(c.text, c.index), c.cell) << c.text << " " << c.index;
    EXPECT_EQ(rowCellCount(""), 0);
    EXPECT_EQ(rowCellCount("a"), 1);
    EXPECT_EQ(rowCellCount("a\nb\n"), 2);
    EXPECT_EQ(rowCellCount("\n\n"), 2);
}

TEST(ListRowText, SettingACellRebuildsOneLinePerColumn)
{
    struct Case {
        const char* text;
        int columns;
        int column;
        const char* cell;
        const char* row;
    };
    const Case cases[] = {
        { "a\nb", 3, 2, "x", "a\nb\nx\n" },
        { "", 3, 2, "x", "\n\nx\n" },
        { "a\nb\nc\nd", 2, 0, "x", "x\nb\n" }, // lines beyond the columns are dropped
        { "a", 1, 0, "", "\n" },
        { "12.50\n", 2, 1, "3.00", "12.50\n3.00\n" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowWithCell(c.text, c.columns, c.column, c.cell), c.row) << c.text;
}

TEST(ListRowText, RemovingAndInsertingCells)
{
    struct Case {
        const char* text;
        int index;
        const char* without;
        const char* withEmpty;
    };
    const Case cases[] = {
        { "a\nb\n", 0, "b\n", "\na\nb\n" },
        { "a\nb\n", 1, "a\n", "a\n\nb\n" },
        { "a\nb\n", 2, "a\nb\n", "a\nb\n" },
        { "a\nb", 1, "a\n", "a\n\nb" },
        { "a\nb\nc", 1, "a\nc", "a\n\nb\nc" },
        { "a", 0, "", "\na" },
        { "", 0, "", "" },
        { "a\n", -1, "a\n", "a\n" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rowWithoutCell(c.text, c.index), c.without) << c.text << " " << c.index;
        EXPECT_EQ(rowWithEmptyCell(c.text, c.index), c.withEmpty) << c.text << " " << c.index;
    }
}

TEST(ClickTracker, DoubleClicksNeedTheSameGadgetKindAndInterval)
{
    struct Step {
        int gadget;
        ClickKind kind;
        int time;
        bool isDouble;
    };
    const Step steps[] = {
        { 0, ClickKind::Left, 1000, false }, { 0, ClickKind::Left, 1100, true },
        { 0, ClickKind::Left, 1200, true }, // every click is recorded
        { 0, ClickKind::Left, 1600, false }, // the interval is 400
        { 5, ClickKind::Left, 1700, false }, // another gadget
        { 0, ClickKind::Left, 1800, false }, { 0, ClickKind::Contextual, 1850, false },
        { 0, ClickKind::Left, 1900, false }, // a contextual click in between
        { 0, ClickKind::Contextual, 2000, false }, { 0, ClickKind::Contextual, 2100, true },
        { 0, ClickKind::Contextual, 2000, false }, // time going back is no double click
    };
    ClickTracker tracker;
    for (const Step& step : steps)
        EXPECT_EQ(tracker.click(step.gadget, step.kind, { 50, 50 }, step.time, { 400, 5 }), step.isDouble)
            << step.time;
}

// Two quick clicks at different points are two captures, not one double click: the second
// counts only within the desktop's double-click distance on each axis.
TEST(ClickTracker, DoubleClicksNeedTheSamePlace)
{
    struct Step {
        ClickPoint point;
        int time;
        bool isDouble;
    };
    const Step steps[] = {
        { { 100, 100 }, 1000, false }, { { 200, 120 }, 1150, false }, // far away: a new click
        { { 205, 115 }, 1250, true }, // within 5 on both axes of the one before
        { { 300, 300 }, 1300, false }, { { 300, 306 }, 1350, false }, // 6 below is too far
        { { 296, 306 }, 1400, true }, // measured from the previous click, not the first one
        { { -10, -10 }, 2000, false }, { { -15, -5 }, 2100, true }, // left of and above the gadget
    };
    ClickTracker tracker;
    for (const Step& step : steps)
        EXPECT_EQ(tracker.click(0, ClickKind::Left, step.point, step.time, { 400, 5 }), step.isDouble)
            << step.time;
}

} // namespace
