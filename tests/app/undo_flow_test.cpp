#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/table_view.h"

#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <functional>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

constexpr int UNDO_KEY = SHORTCUT_COMMAND | 'z';
constexpr int REDO_KEY = SHORTCUT_COMMAND | 'y';
constexpr int REDO_SHIFT_KEY = SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'z';

// What the user sees of the data.
struct Shown {
    Rows rows;
    Strings titles;
    Strings selector;
    bool operator==(const Shown&) const = default;
};

// Two columns with captures (1, 2 and 3), saved.
class Undo : public AppTest {
public:
    using AppTest::choose;
    using AppTest::clickDiagram;
    using AppTest::key;
    using AppTest::settle;

protected:
    void SetUp() override
    {
        AppTest::SetUp();
        startWithThreeCaptures();
        setGadgetState(GADGET_COLUMN_SELECT, 0);
        save();
    }

    void save()
    {
        scriptSaveFileAnswer(writeTemporaryFile("saved.csv", ""));
        key(SHORTCUT_COMMAND | 's');
        ASSERT_FALSE(isWindowModified(WINDOW_MAIN));
    }

    static Shown shown() { return { tableRows(), columnTitles(), selectorItems() }; }

    // The gadgets show exactly what the model holds.
    static void expectViewOfModel()
    {
        const CaptureModel& model = captureModel();
        Rows rows;
        Strings titles;
        Strings selector;
        for (int row = 0; row < model.rowCount(); ++row) {
            auto& cells = rows.emplace_back();
            for (int column = 0; column < model.columnCount(); ++column)
                cells.push_back(model.cellText(row, column));
        }
        for (int column = 0; column < model.columnCount(); ++column) {
            titles.push_back(model.series(column).title);
            selector.push_back(columnLabel(model, column));
        }
        EXPECT_EQ(shown(), (Shown { rows, titles, selector }));
    }
};

TEST_F(Undo, EveryChangeOfTheDataGoesBackAndComesAgain)
{
    const std::string csv = writeTemporaryFile("loaded.csv", "a,b,c\n1,2,3\n");
    const struct {
        const char* name;
        std::function<void(Undo&)> change;
        // A loaded table is what its file holds: the table before it is unsaved.
        bool loads = false;
    } changes[] = {
        { "capture", [](Undo& t) { t.clickDiagram(20, 240); } },
        { "capture into a gap of the second column",
            [](Undo& t) {
                setGadgetState(GADGET_COLUMN_SELECT, 1);
                t.clickDiagram(20, 240);
            } },
        { "delete row",
            [](Undo& t) {
                setGadgetState(GADGET_TABLE, 0);
                t.key(SHORTCUT_ALT | 'd');
            } },
        { "empty table", [](Undo& t) { t.key(SHORTCUT_ALT | 'e'); } },
        { "add column", [](Undo& t) { t.key(SHORTCUT_ALT | 'a'); } },
        { "remove last column", [](Undo& t) { t.key(SHORTCUT_ALT | 'r'); } },
        { "rename",
            [](Undo& t) {
                t.key(SHORTCUT_ALT | 'n');
                setGadgetText(GADGET_COLUMN_NAME, "Speed");
                t.key(13);
            } },
        { "load",
            [&csv](Undo& t) {
                scriptOpenFileAnswer({ csv });
                t.key(SHORTCUT_COMMAND | 'l');
            },
            true },
        { "apply calibration",
            [](Undo& t) {
                heightReference = 200;
                t.choose(MENU_APPLY_CALIBRATION);
            } },
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        SetUp();
        const Shown before = shown();
        c.change(*this);
        const Shown after = shown();
        ASSERT_NE(after, before);
        expectViewOfModel();
        for (const int redo : { REDO_KEY, REDO_SHIFT_KEY }) {
            key(UNDO_KEY);
            EXPECT_EQ(shown(), before);
            EXPECT_EQ(isWindowModified(WINDOW_MAIN), c.loads) << "undone back to the save";
            expectViewOfModel();
            key(redo);
            EXPECT_EQ(shown(), after);
            expectViewOfModel();
        }
        // The Edit menu and the table popup reach the same commands.
        choose(MENU_UNDO);
        EXPECT_EQ(shown(), before);
        choose(MENU_REDO);
        EXPECT_EQ(shown(), after);
        TearDown();
    }
}

TEST_F(Undo, TheMarkFollowsTheHistory)
{
    clickDiagram(20, 240);
    clickDiagram(20, 239);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    key(UNDO_KEY);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    key(UNDO_KEY);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    key(UNDO_KEY);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << "before the save";
    key(REDO_KEY);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    // Undo reaches back to the fresh table of the diagram, and no further.
    for (int i = 0; i < 10; ++i)
        key(UNDO_KEY);
    EXPECT_EQ(tableRows(), Rows {});
    EXPECT_EQ(columnTitles(), Strings { "1" });
    EXPECT_FALSE(canUndoChange());
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << "the saved table had values";

    // A new diagram starts a new history.
    scriptOpenFileAnswer({ sampleChartPath() });
    answerNextDialogWithKey('y');
    choose(MENU_OPEN_DIAGRAM);
    EXPECT_FALSE(canUndoChange());
    EXPECT_FALSE(canRedoChange());
}

TEST_F(Undo, AFocusedTextFieldKeepsItsOwnUndo)
{
    key(SHORTCUT_ALT | 'n');
    ASSERT_EQ(focusedGadget(), GADGET_COLUMN_NAME);
    key(UNDO_KEY);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "3.00" }, { "2.00", "" } })) << "the table is untouched";
}

TEST_F(Undo, ValuesKeepTheCalibrationTheyWereCapturedUnder)
{
    // A second y axis: calibrate again and capture into the second column.
    heightReference = 100;
    key(SHORTCUT_ALT | 'h');
    clickDiagram(20, 200); // the height end 50 rows above the origin: 2 units per row
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: 50 - 100.0000");
    setGadgetState(GADGET_COLUMN_SELECT, 1);
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "3.00" }, { "2.00", "2.00" } }));

    // Applying the calibration to the first column recomputes its values; undo takes it back.
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    choose(MENU_APPLY_CALIBRATION);
    EXPECT_EQ(tableRows(), (Rows { { "2.00", "3.00" }, { "4.00", "2.00" } }));
    key(UNDO_KEY);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "3.00" }, { "2.00", "2.00" } }));

    // Undoing the capture and then the height click puts the first calibration back, readout
    // and all; the next capture is taken under it.
    key(UNDO_KEY);
    key(UNDO_KEY);
    EXPECT_EQ(spanHeight, 100);
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: 100 - 100.0000");
    setGadgetState(GADGET_COLUMN_SELECT, 1);
    clickDiagram(20, 249);
    EXPECT_EQ(tableRows(), (Rows { { "1.00", "3.00" }, { "2.00", "1.00" } }));
}

TEST_F(Undo, PointsAreKeptInThePicturesOwnPixels)
{
    const double scale = currentCaptureCalibration().displayScale;
    ASSERT_GT(scale, 0);
    const CaptureModel& model = captureModel();
    EXPECT_EQ(model.cell(0, 0).kind, CellKind::Captured);
    EXPECT_DOUBLE_EQ(model.cell(0, 0).point.y, 249 / scale);
    EXPECT_DOUBLE_EQ(model.cell(0, 0).point.x, 20 / scale);
    EXPECT_EQ(model.cellText(0, 0), "1.00");
}

} // namespace
