#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram_markers.h"
#include "app/event_loop.h"
#include "app/extraction/extraction_settings.h"

#include "toolkit/clipboard.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <algorithm>
#include <functional>
#include <map>

namespace {

// Each command leaves a trace of its own on a prepared window: two columns, two rows of which
// the first is selected, a capture into the second column undone (to be redone), a height
// reference changed after the captures, nothing unsaved, no click mode.
class CommandKeys : public AppTest {
protected:
    void prepare(bool renameOpen = false)
    {
        start(sampleChartPath());
        useSimpleCalibration();
        clickMode = CLICK_CAPTURE;
        clickDiagram(20, 249);
        clickDiagram(20, 248);
        ASSERT_TRUE(addColumn());
        clickDiagram(20, 247);
        undoChange();
        heightReference = 200;
        clearDataModified();
        clickMode = CLICK_NOTHING;
        setGadgetState(GADGET_TABLE, 0);
        setGadgetState(GADGET_COLUMN_SELECT, 0);
        setClipboardText("before");
        scriptRequesters(true);
        if (renameOpen) {
            openRenameField();
            setGadgetText(GADGET_COLUMN_NAME, "Typed");
        }
        eventMenuItem = 0;
    }

    static bool askedInput(const char* title)
    {
        return askedRequesters().size() == 1 && askedRequesters()[0].kind == RequesterKind::Input
            && askedRequesters()[0].title == title;
    }

    static bool askedFile(RequesterKind kind, const char* title)
    {
        return askedRequesters().size() == 1 && askedRequesters()[0].kind == kind
            && askedRequesters()[0].title == title;
    }

    // What each command, and only it, does to the prepared window.
    static std::map<int, std::function<bool()>> traces()
    {
        return {
            { MENU_ITEM_QUIT, [] { return quitRequested == 1; } },
            { MENU_OPEN_DIAGRAM,
                [] { return askedFile(RequesterKind::OpenFile, "Open Diagram File (PNG, JPG)"); } },
            { MENU_LOAD_CSV, [] { return askedFile(RequesterKind::OpenFile, "Load From CSV"); } },
            { MENU_SAVE_CSV, [] { return askedFile(RequesterKind::SaveFile, "Save File"); } },
            { MENU_COPY_DATA,
                [] { return std::string(clipboardText().c_str()) == "1\t2\n1.00\t\n2.00\t\n"; } },
            { MENU_MEASURE_DIAGRAM, [] { return clickMode == CLICK_ORIGIN && guidedCalibration == 1; } },
            { MENU_CATCH_POINTS, [] { return clickMode == CLICK_CAPTURE && guidedCalibration == 0; } },
            { MENU_SET_ORIGIN, [] { return clickMode == CLICK_ORIGIN && guidedCalibration == 0; } },
            { MENU_SET_WIDTH, [] { return clickMode == CLICK_WIDTH && guidedCalibration == 0; } },
            { MENU_SET_HEIGHT, [] { return clickMode == CLICK_HEIGHT && guidedCalibration == 0; } },
            { MENU_SET_REFERENCE_WIDTH, [] { return askedInput("Width Reference"); } },
            { MENU_SET_REFERENCE_HEIGHT, [] { return askedInput("Height Reference"); } },
            { MENU_ENTER_NUMBER, [] { return askedInput(""); } },
            { MENU_DELETE_ROW,
                [] {
                    return tableRows() == std::vector<std::vector<std::string>> { { "2.00", "" } };
                } },
            { MENU_ADD_COLUMN, [] { return columnTitles().size() == 3; } },
            { MENU_REMOVE_LAST_COLUMN, [] { return columnTitles().size() == 1 && !canRedoChange(); } },
            { MENU_UNDO, [] { return columnTitles().size() == 1 && canRedoChange(); } },
            { MENU_REDO,
                [] {
                    return tableRows()
                        == std::vector<std::vector<std::string>> { { "1.00", "3.00" }, { "2.00", "" } };
                } },
            { MENU_APPLY_CALIBRATION,
                [] {
                    return tableRows()
                        == std::vector<std::vector<std::string>> { { "2.00", "" }, { "4.00", "" } };
                } },
            { MENU_SET_ORIGIN_VALUES,
                [] { return !askedRequesters().empty() && askedRequesters()[0].title == "Origin X Value"; } },
            { MENU_LOGARITHMIC_X,
                [] { return currentCaptureCalibration().xScale == AxisScale::Logarithmic; } },
            { MENU_LOGARITHMIC_Y,
                [] { return currentCaptureCalibration().yScale == AxisScale::Logarithmic; } },
            { MENU_CALIBRATE_BY_AXIS_MARKS, [] { return clickMode == CLICK_AXIS_MARK; } },
            { MENU_EMPTY_TABLE, [] { return tableRows().empty() && columnTitles().size() == 2; } },
            { MENU_CAPTURE_XY, [] { return capturesXy() && columnTitles().size() == 4; } },
            { MENU_TOGGLE_MARKERS, [] { return !markersShown(); } },
            { MENU_OPEN_PROJECT, [] { return askedFile(RequesterKind::OpenFile, "Open Project"); } },
            { MENU_SAVE_PROJECT, [] { return askedFile(RequesterKind::SaveFile, "Save Project"); } },
            { MENU_SAVE_PROJECT_AS, [] { return askedFile(RequesterKind::SaveFile, "Save Project As"); } },
            { MENU_SAVE_PROJECT_WITH_PICTURE,
                [] { return askedFile(RequesterKind::SaveFile, "Save Project With Picture"); } },
            { MENU_NAME_COLUMN,
                [] { return renameFieldOpen() == 1 && focusedGadget() == GADGET_COLUMN_NAME; } },
            { MENU_CONFIRM_NAME,
                [] {
                    return renameFieldOpen() == 0
                        && columnTitles() == std::vector<std::string> { "Typed", "2" };
                } },
            { MENU_CANCEL_NAME,
                [] {
                    return renameFieldOpen() == 0 && columnTitles() == std::vector<std::string> { "1", "2" };
                } },
            // The prepared window has no height calibrated: the extractions say so under their titles.
            { MENU_EXTRACT_CURVE,
                [] {
                    return std::string(windowTitleText(WINDOW_MAIN).c_str()) == "Graphonite / Extract Curve";
                } },
            { MENU_EXTRACT_MARKERS,
                [] {
                    return std::string(windowTitleText(WINDOW_MAIN).c_str())
                        == "Graphonite / Extract Markers";
                } },
            { MENU_SNAP_CAPTURES, [] { return extractionSettings().snap; } },
            { MENU_CAPTURE_BAR_TOPS, [] { return extractionSettings().barTops; } },
            { MENU_COLOUR_TOLERANCE, [] { return askedInput("Colour Tolerance"); } },
            { MENU_STEP_PIXELS, [] { return askedInput("Step in Picture Pixels"); } },
            { MENU_STEP_CHART_UNITS, [] { return askedInput("Step in Chart Units"); } },
        };
    }

    // Checks that the command ran: its trace is there and no other command's is.
    void expectOnly(int item, const std::string& how)
    {
        EXPECT_EQ(eventMenuItem, item) << how;
        for (const auto& [other, trace] : traces()) {
            // A closed rename field with the names unchanged is also the prepared state, so
            // Escape's trace tells nothing about other commands.
            if (other == item) {
                EXPECT_TRUE(trace()) << how << " did not run command " << item;
            } else if (other != MENU_CANCEL_NAME) {
                EXPECT_FALSE(trace()) << how << " also did what command " << other << " does";
            }
        }
    }
};

TEST_F(CommandKeys, EveryKeyReachesItsOwnCommand)
{
    const struct {
        int code;
        int item;
    } keys[] = {
        // The keys shown in the menus.
        { SHORTCUT_COMMAND | 'q', MENU_ITEM_QUIT },
        { SHORTCUT_COMMAND | 'o', MENU_OPEN_DIAGRAM },
        { SHORTCUT_COMMAND | 'l', MENU_LOAD_CSV },
        { SHORTCUT_COMMAND | 's', MENU_SAVE_CSV },
        { SHORTCUT_COMMAND | 'c', MENU_COPY_DATA },
        { SHORTCUT_ALT | 'p', MENU_CATCH_POINTS },
        { SHORTCUT_ALT | 's', MENU_MEASURE_DIAGRAM },
        { SHORTCUT_ALT | 'o', MENU_SET_ORIGIN },
        { SHORTCUT_ALT | 'w', MENU_SET_WIDTH },
        { SHORTCUT_ALT | 'h', MENU_SET_HEIGHT },
        { SHORTCUT_CONTROL | 'w', MENU_SET_REFERENCE_WIDTH },
        { SHORTCUT_CONTROL | 'h', MENU_SET_REFERENCE_HEIGHT },
        { SHORTCUT_ALT | 'n', MENU_NAME_COLUMN },
        { SHORTCUT_ALT | 'e', MENU_EMPTY_TABLE },
        { SHORTCUT_ALT | 'a', MENU_ADD_COLUMN },
        { SHORTCUT_ALT | 'r', MENU_REMOVE_LAST_COLUMN },
        { SHORTCUT_COMMAND | 'z', MENU_UNDO },
        { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'z', MENU_REDO },
        { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'o', MENU_OPEN_PROJECT },
        { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 's', MENU_SAVE_PROJECT_AS },
        // Window shortcuts that no menu shows.
        { SHORTCUT_COMMAND | 'a', MENU_ENTER_NUMBER },
        { SHORTCUT_ALT | 'u', MENU_SET_ORIGIN },
        { SHORTCUT_ALT | 'd', MENU_DELETE_ROW },
        { SHORTCUT_COMMAND | 'w', MENU_SET_REFERENCE_WIDTH },
        { SHORTCUT_COMMAND | 'h', MENU_SET_REFERENCE_HEIGHT },
        { SHORTCUT_COMMAND | 'y', MENU_REDO },
        { 13, MENU_CONFIRM_NAME },
        { 27, MENU_CANCEL_NAME },
    };
    for (const auto& k : keys) {
        prepare(k.item == MENU_CONFIRM_NAME || k.item == MENU_CANCEL_NAME);
        key(k.code);
        expectOnly(k.item, "key " + std::to_string(k.code));
        quitRequested = 0;
    }
}

TEST_F(CommandKeys, EveryMenuBarItemReachesItsOwnCommand)
{
    prepare();
    const std::vector<int> items = menuBarItems(WINDOW_MAIN);
    std::vector<int> chosen;
    for (int item : items) {
        if (item == 0)
            continue;
        prepare();
        choose(item);
        expectOnly(item, "menu item " + std::to_string(item));
        quitRequested = 0;
        chosen.push_back(item);
    }
    std::sort(chosen.begin(), chosen.end());
    // Every command but those of keys alone; Remove Last Column with two columns.
    EXPECT_EQ(chosen,
        (std::vector<int> { MENU_ITEM_QUIT, 1, 2, 3, 4, 5, 9, 10, 11, 12, 16, 17, 21, 22, 23, 24, 30, 31, 32,
            40, 50, 51, 52, 53, 60, 70, 71, 72, 73, 90, 91, 92, 93, 94, 95, 96 }));
}

} // namespace
