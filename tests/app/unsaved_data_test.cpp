#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/event_loop.h"

#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <functional>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A chart with captures in two columns (1.00, 2.00 and 3.00), saved or not.
class UnsavedData : public AppTest {
public:
    // For the tables of actions below.
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
    }

    void save()
    {
        scriptSaveFileAnswer(writeTemporaryFile("saved.csv", ""));
        key(SHORTCUT_COMMAND | 's');
        ASSERT_FALSE(isWindowModified(WINDOW_MAIN));
    }

    static bool marked()
    {
        return isWindowModified(WINDOW_MAIN)
            && std::string(shownWindowTitle(WINDOW_MAIN).c_str()).front() == '*';
    }
};

TEST_F(UnsavedData, EveryChangeOfTheTableAfterASaveSetsTheMark)
{
    const struct {
        const char* name;
        std::function<void(UnsavedData&)> edit;
    } edits[] = {
        { "capture", [](UnsavedData& t) { t.clickDiagram(20, 240); } },
        { "delete row",
            [](UnsavedData& t) {
                setGadgetState(GADGET_TABLE, 0);
                t.key(SHORTCUT_ALT | 'd');
            } },
        { "rename with the pen",
            [](UnsavedData& t) {
                clickGadget(GADGET_RENAME_BUTTON);
                t.settle();
                setGadgetText(GADGET_COLUMN_NAME, "Pressure");
                clickGadget(GADGET_RENAME_BUTTON);
                t.settle();
            } },
        { "rename with Name Column",
            [](UnsavedData& t) {
                t.key(SHORTCUT_ALT | 'n');
                setGadgetText(GADGET_COLUMN_NAME, "Speed");
                t.key(13);
            } },
        { "add column", [](UnsavedData& t) { t.key(SHORTCUT_ALT | 'a'); } },
        { "remove last column", [](UnsavedData& t) { t.key(SHORTCUT_ALT | 'r'); } },
        { "empty table", [](UnsavedData& t) { t.key(SHORTCUT_ALT | 'e'); } },
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.name);
        start(sampleChartPath());
        useSimpleCalibration();
        clickMode = CLICK_CAPTURE;
        clickDiagram(20, 249);
        key(SHORTCUT_ALT | 'a');
        clickDiagram(20, 248);
        save();
        e.edit(*this);
        EXPECT_TRUE(marked());
        // Quit asks now; No keeps the program running.
        answerNextDialogWithKey(27);
        choose(MENU_ITEM_QUIT);
        EXPECT_EQ(quitRequested, 0);
        EXPECT_EQ(pendingDialogActions(), 0) << "Quit did not ask";
        forgetDialogActions();
    }
}

TEST_F(UnsavedData, SavingAndLoadingClearTheMarkAndAFreshTableHasNone)
{
    EXPECT_TRUE(marked());
    save();
    // A change undone is no change.
    key(SHORTCUT_ALT | 'a');
    EXPECT_TRUE(marked());
    key(SHORTCUT_ALT | 'r');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    // A fresh table that never held a value is never unsaved.
    scriptOpenFileAnswer({ sampleChartPath() });
    choose(MENU_OPEN_DIAGRAM);
    key(SHORTCUT_ALT | 'a');
    key(SHORTCUT_ALT | 'n');
    setGadgetText(GADGET_COLUMN_NAME, "Named");
    key(13);
    key(SHORTCUT_ALT | 'r');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    // After a load, the next change sets it.
    scriptOpenFileAnswer({ writeTemporaryFile("loaded.csv", "a,b\n1,2\n") });
    key(SHORTCUT_COMMAND | 'l');
    ASSERT_EQ(columnTitles().size(), 2u);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    key(SHORTCUT_ALT | 'a');
    EXPECT_TRUE(marked());
}

// Every command that would drop the table asks while it is unsaved, and only then.
TEST_F(UnsavedData, EveryCommandThatDropsTheTableAsks)
{
    const std::string csv = writeTemporaryFile("asked.csv", "x\n5\n");
    const struct {
        const char* name;
        std::function<void(UnsavedData&)> run;
        // What the command does when allowed, checked after it ran without a question.
        std::function<bool()> done;
    } commands[] = {
        { "quit", [](UnsavedData& t) { t.choose(MENU_ITEM_QUIT); }, [] { return quitRequested == 1; } },
        { "close box",
            [](UnsavedData& t) {
                closeBox(WINDOW_MAIN);
                t.settle();
            },
            [] { return quitRequested == 1; } },
        { "open diagram",
            [](UnsavedData& t) {
                scriptOpenFileAnswer({ sampleChartPath() });
                t.choose(MENU_OPEN_DIAGRAM);
            },
            [] { return tableRows().empty() && columnTitles().size() == 1; } },
        { "drop a picture",
            [](UnsavedData& t) {
                dropFiles(WINDOW_MAIN, { sampleChartPath() });
                t.settle();
            },
            [] { return tableRows().empty() && columnTitles().size() == 1; } },
        { "drop a table",
            [csv](UnsavedData& t) {
                dropFiles(WINDOW_MAIN, { csv });
                t.settle();
            },
            [] { return columnTitles() == std::vector<std::string> { "x" }; } },
        { "load from CSV",
            [csv](UnsavedData& t) {
                scriptOpenFileAnswer({ csv });
                t.key(SHORTCUT_COMMAND | 'l');
            },
            [] { return columnTitles() == std::vector<std::string> { "x" }; } },
        { "empty table", [](UnsavedData& t) { t.key(SHORTCUT_ALT | 'e'); },
            [] { return tableRows().empty(); } },
    };
    const Rows captured = tableRows();
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        // Unsaved: the question comes; No leaves everything as it was.
        int asked = 0;
        actInNextDialog([&asked](int window) {
            ++asked;
            pressKey(window, 27);
        });
        c.run(*this);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(tableRows(), captured);
        EXPECT_EQ(quitRequested, 0);
        EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
        forgetDialogActions();
        scriptRequesters(true);

        // Saved: no question, the command does its work.
        save();
        asked = 0;
        actInNextDialog([&asked](int window) {
            ++asked;
            pressKey(window, 27);
        });
        c.run(*this);
        EXPECT_EQ(asked, 0);
        EXPECT_TRUE(c.done());
        forgetDialogActions();
        scriptRequesters(true);

        // Back to the unsaved captures for the next command.
        quitRequested = 0;
        start(sampleChartPath());
        useSimpleCalibration();
        clickMode = CLICK_CAPTURE;
        clickDiagram(20, 249);
        clickDiagram(20, 248);
        key(SHORTCUT_ALT | 'a');
        clickDiagram(20, 247);
        setGadgetState(GADGET_COLUMN_SELECT, 0);
        ASSERT_EQ(tableRows(), captured);
    }
}

} // namespace
