#include "commands.h"

#include "app_ids.h"
#include "app_menus.h"
#include "axis_calibration.h"
#include "calibration.h"
#include "csv_commands.h"
#include "csv_table.h"
#include "data_table.h"
#include "diagram.h"
#include "diagram_click.h"
#include "diagram_markers.h"
#include "extraction/extraction_commands.h"
#include "extraction/extraction_settings.h"
#include "marker_drag.h"
#include "message_dialog.h"
#include "project/project_commands.h"
#include "reference_entry.h"
#include "session/autosave.h"
#include "session/recent_menu.h"
#include "translations.h"

#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/file_drops.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/session_end.h"
#include "toolkit/timers.h"
#include "toolkit/window.h"

#include <algorithm>
#include <cctype>
#include <string>

int quitRequested = 0;

namespace {

void quit()
{
    // When the desktop's session ends, the user has answered the question already.
    const bool byDesktop = lastEventType() == QUIT_ALREADY_AGREED;
    quitRequested = byDesktop ? 1 : confirmQuit();
    if (quitRequested == 1)
        noteQuitConfirmed(byDesktop);
}

// The table shows its own changes; a calibration taken back or brought again is shown by its
// owner.
void showUndoneChange(ModelChange::Kind kind)
{
    if (kind == ModelChange::Kind::Calibration)
        restoreCalibration(captureModel().currentCalibration());
}

struct MenuCommand {
    int item;
    void (*run)();
};

constexpr MenuCommand MENU_COMMANDS[] = {
    { MENU_ITEM_QUIT, quit },
    { MENU_OPEN_DIAGRAM,
        [] {
            if (confirmDiscard(translate("Open Diagram File (PNG, JPG)")))
                (void)openDiagram(0);
        } },
    { MENU_LOAD_CSV, loadTableFromCsv },
    { MENU_SAVE_CSV, saveTableToCsv },
    { MENU_COPY_DATA, copyTableToClipboard },
    { MENU_MEASURE_DIAGRAM, measureDiagram },
    { MENU_CATCH_POINTS, [] { clickMode = CLICK_CAPTURE; } },
    { MENU_SET_ORIGIN, [] { startCalibrationStep(CLICK_ORIGIN); } },
    { MENU_SET_WIDTH, [] { startCalibrationStep(CLICK_WIDTH); } },
    { MENU_SET_HEIGHT, [] { startCalibrationStep(CLICK_HEIGHT); } },
    { MENU_SET_REFERENCE_WIDTH, [] { enterReference(MENU_SET_REFERENCE_WIDTH); } },
    { MENU_SET_REFERENCE_HEIGHT, [] { enterReference(MENU_SET_REFERENCE_HEIGHT); } },
    { MENU_ENTER_NUMBER, [] { enterReference(MENU_ENTER_NUMBER); } },
    { MENU_DELETE_ROW, deleteSelectedRow },
    { MENU_ADD_COLUMN,
        [] {
            if (!addColumn())
                messageDialog(translate("Add Column"),
                    translate(countTableColumns() >= static_cast<int>(MAX_CSV_COLUMNS)
                            ? "The table holds 64 columns, as many as it can."
                            : "The table holds 1,000,000 cells, as many as it can."),
                    DIALOG_OK, ICON_PROHIBITION);
        } },
    { MENU_REMOVE_LAST_COLUMN, [] { removeLastColumn(); } },
    { MENU_EMPTY_TABLE,
        [] {
            if (confirmDiscard(translate("Empty Table")))
                emptyTable();
        } },
    { MENU_NAME_COLUMN, openRenameField },
    { MENU_CONFIRM_NAME, confirmRenameField },
    // Escape also stops an extraction and leaves the pick of its colour.
    { MENU_CANCEL_NAME,
        [] {
            (void)stopExtraction();
            cancelRenameField();
        } },
    { MENU_UNDO, [] { showUndoneChange(undoChange()); } },
    { MENU_REDO, [] { showUndoneChange(redoChange()); } },
    { MENU_APPLY_CALIBRATION, [] { applyCalibrationToColumn(currentCaptureCalibration()); } },
    { MENU_SET_ORIGIN_VALUES, setOriginValues },
    { MENU_LOGARITHMIC_X, [] { toggleLogarithmicAxis(true); } },
    { MENU_LOGARITHMIC_Y, [] { toggleLogarithmicAxis(false); } },
    { MENU_CALIBRATE_BY_AXIS_MARKS, calibrateByAxisMarks },
    { MENU_CAPTURE_XY, toggleCaptureXy },
    { MENU_TOGGLE_MARKERS,
        [] {
            toggleMarkersShown();
            showOptionChecks();
        } },
    { MENU_DELETE_POINT, deleteSelectedPoint },
    { MENU_POINT_LEFT, [] { moveSelectedPoint(-1, 0); } },
    { MENU_POINT_RIGHT, [] { moveSelectedPoint(1, 0); } },
    { MENU_POINT_UP, [] { moveSelectedPoint(0, -1); } },
    { MENU_POINT_DOWN, [] { moveSelectedPoint(0, 1); } },
    { MENU_POINT_FAR_LEFT, [] { moveSelectedPoint(-10, 0); } },
    { MENU_POINT_FAR_RIGHT, [] { moveSelectedPoint(10, 0); } },
    { MENU_POINT_FAR_UP, [] { moveSelectedPoint(0, -10); } },
    { MENU_POINT_FAR_DOWN, [] { moveSelectedPoint(0, 10); } },
    { MENU_EXTRACT_CURVE, extractCurve },
    { MENU_EXTRACT_MARKERS, extractMarkers },
    { MENU_SNAP_CAPTURES, toggleSnapCaptures },
    { MENU_CAPTURE_BAR_TOPS, toggleBarTopCaptures },
    { MENU_COLOUR_TOLERANCE, askColourTolerance },
    { MENU_STEP_PIXELS, askPixelStep },
    { MENU_STEP_CHART_UNITS, askChartStep },
    { MENU_OPEN_PROJECT, openProject },
    { MENU_SAVE_PROJECT, saveProject },
    { MENU_SAVE_PROJECT_AS, [] { saveProjectAs(false); } },
    { MENU_SAVE_PROJECT_WITH_PICTURE, [] { saveProjectAs(true); } },
};

} // namespace

void openDroppedFile()
{
    // One file at a time: the first of the drop.
    const String path = nextDroppedFile();
    if (path.isEmpty())
        return;
    const std::string name = path.c_str();
    const bool csv = name.size() > 4 && std::equal(name.end() - 4, name.end(), ".csv", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    if (csv) {
        if (confirmDiscard(translate("Load From CSV")))
            loadTableFile(path);
        return;
    }
    if (isProjectFileName(path)) {
        if (confirmDiscard(translate("Open Project")))
            (void)openProjectFile(path);
        return;
    }
    if (confirmDiscard(translate("Open Diagram File (PNG, JPG)")))
        (void)openDiagramFile(path);
}

void runMenuCommand(int item)
{
    if (isRecentFileItem(item)) {
        openRecentFile(item);
        return;
    }
    for (const MenuCommand& command : MENU_COMMANDS) {
        if (command.item == item) {
            command.run();
            return;
        }
    }
}

void runGadgetCommand(int gadget, int type)
{
    switch (gadget) {
    case GADGET_DIAGRAM:
        if (type == GADGET_RIGHT_CLICK) {
            displayPopupMenu(POPUP_DIAGRAM, windowHandle(WINDOW_MAIN));
        } else if (type == GADGET_LEFT_CLICK && (lastEventModifiers() & SHORTCUT_CONTROL)) {
            // Ctrl+click picks a captured point; it never captures or calibrates.
            (void)selectPointNear(mouseX, mouseY);
        } else if (type == GADGET_LEFT_CLICK) {
            removeWindowTimer(WINDOW_MAIN, TIMER_BLINK);
            diagramClick();
        } else if (clickMode == CLICK_PICK_COLOUR) {
            // While a colour is picked, a drag sets the rectangle to search.
            if (type == GADGET_DRAG_START)
                startAreaDrag(lastEventX(), lastEventY());
            else if (type == GADGET_DRAG_MOVE)
                followAreaDrag(lastEventX(), lastEventY());
            else if (type == GADGET_DRAG_END)
                endAreaDrag(lastEventX(), lastEventY());
        } else if (type == GADGET_DRAG_START) {
            startMarkerDrag(lastEventX(), lastEventY());
        } else if (type == GADGET_DRAG_MOVE) {
            followMarkerDrag(lastEventX(), lastEventY());
        } else if (type == GADGET_DRAG_END) {
            endMarkerDrag(lastEventX(), lastEventY());
        }
        break;
    case GADGET_TABLE:
        if (type == GADGET_RIGHT_CLICK)
            displayPopupMenu(POPUP_TABLE, windowHandle(WINDOW_MAIN));
        else if (type == GADGET_LEFT_CLICK || type == GADGET_CHANGE)
            selectPointOfTableRow(static_cast<int>(getGadgetState(GADGET_TABLE)),
                static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT)));
        break;
    case GADGET_RENAME_BUTTON:
        toggleRenameField();
        break;
    default:
        break;
    }
}
