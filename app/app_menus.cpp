#include "app_menus.h"

#include "app_ids.h"
#include "calibration.h"
#include "data_table.h"
#include "diagram_markers.h"
#include "extraction/extraction_commands.h"
#include "session/recent_menu.h"
#include "translations.h"

#include "runtime/text_builder.h"
#include "toolkit/event_codes.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/window.h"

namespace {

struct ItemText {
    int item;
    const char* label; // translated
    const char* keys; // the same in every language
};

constexpr ItemText ITEM_TEXTS[] = {
    { MENU_OPEN_DIAGRAM, "Open Diagram File (PNG, JPG)", "\tCMD+O" },
    { MENU_LOAD_CSV, "Load From CSV", "\tCMD+L" },
    { MENU_SAVE_CSV, "Save To CSV", "\tCMD+S" },
    { MENU_COPY_DATA, "Copy Data To Clipboard", "\tCMD+C" },
    { MENU_CATCH_POINTS, "Catch Points", "\tALT+P" },
    { MENU_MEASURE_DIAGRAM, "Measure Diagram", "\tALT+S" },
    { MENU_SET_ORIGIN, "Set Origin", "\tALT+O" },
    { MENU_SET_WIDTH, "Set Width", "\tALT+W" },
    { MENU_SET_HEIGHT, "Set Height", "\tALT+H" },
    { MENU_SET_REFERENCE_WIDTH, "Set Reference for Width", "\tCTRL+W" },
    { MENU_SET_REFERENCE_HEIGHT, "Set Reference for Height", "\tCTRL+H" },
    { MENU_NAME_COLUMN, "Name Column", "\tALT+N" },
    { MENU_EMPTY_TABLE, "Empty Table", "\tALT+E" },
    { MENU_ADD_COLUMN, "Add Column", "\tALT+A" },
    { MENU_REMOVE_LAST_COLUMN, "Remove Last Column", "\tALT+R" },
    { MENU_UNDO, "Undo", "\tCMD+Z" },
    { MENU_REDO, "Redo", "\tCMD+SHIFT+Z" },
    { MENU_APPLY_CALIBRATION, "Apply Calibration to Column", "" },
    { MENU_SET_ORIGIN_VALUES, "Set Origin Values", "" },
    { MENU_LOGARITHMIC_X, "Logarithmic X Axis", "" },
    { MENU_LOGARITHMIC_Y, "Logarithmic Y Axis", "" },
    { MENU_CALIBRATE_BY_AXIS_MARKS, "Calibrate by Two Points per Axis", "" },
    { MENU_CAPTURE_XY, "Capture X and Y", "" },
    { MENU_TOGGLE_MARKERS, "Show Markers", "\tALT+M" },
    { MENU_EXTRACT_CURVE, "Extract Curve", "" },
    { MENU_EXTRACT_MARKERS, "Extract Markers", "" },
    { MENU_SNAP_CAPTURES, "Snap Captures to Lines and Markers", "" },
    { MENU_CAPTURE_BAR_TOPS, "Capture Bar Tops", "" },
    { MENU_COLOUR_TOLERANCE, "Colour Tolerance", "" },
    { MENU_STEP_PIXELS, "Step in Picture Pixels", "" },
    { MENU_STEP_CHART_UNITS, "Step in Chart Units", "" },
    { MENU_OPEN_PROJECT, "Open Project", "\tCMD+SHIFT+O" },
    { MENU_SAVE_PROJECT, "Save Project", "" },
    { MENU_SAVE_PROJECT_AS, "Save Project As", "\tCMD+SHIFT+S" },
    { MENU_SAVE_PROJECT_WITH_PICTURE, "Save Project With Picture", "" },
};

// The arrow keys (virtual key codes) and the Delete key (its character).
constexpr int VIRTUAL_KEY = 256;
constexpr int ARROW_LEFT = VIRTUAL_KEY | 0x7B;
constexpr int ARROW_RIGHT = VIRTUAL_KEY | 0x7C;
constexpr int ARROW_DOWN = VIRTUAL_KEY | 0x7D;
constexpr int ARROW_UP = VIRTUAL_KEY | 0x7E;
constexpr int DELETE_KEY = 127;

struct WindowShortcut {
    int code;
    int item;
};

// In the order of registration; option R comes last and only with more than one column.
constexpr WindowShortcut WINDOW_SHORTCUTS[] = {
    { SHORTCUT_COMMAND | 'o', MENU_OPEN_DIAGRAM },
    { SHORTCUT_COMMAND | 'l', MENU_LOAD_CSV },
    { SHORTCUT_COMMAND | 's', MENU_SAVE_CSV },
    { SHORTCUT_COMMAND | 'c', MENU_COPY_DATA },
    { SHORTCUT_COMMAND | 'a', MENU_ENTER_NUMBER },
    { SHORTCUT_ALT | 's', MENU_MEASURE_DIAGRAM },
    { SHORTCUT_ALT | 'p', MENU_CATCH_POINTS },
    { SHORTCUT_ALT | 'u', MENU_SET_ORIGIN },
    { SHORTCUT_ALT | 'w', MENU_SET_WIDTH },
    { SHORTCUT_ALT | 'h', MENU_SET_HEIGHT },
    { SHORTCUT_COMMAND | 'w', MENU_SET_REFERENCE_WIDTH },
    { SHORTCUT_COMMAND | 'h', MENU_SET_REFERENCE_HEIGHT },
    { SHORTCUT_ALT | 'n', MENU_NAME_COLUMN },
    { SHORTCUT_ALT | 'd', MENU_DELETE_ROW },
    { SHORTCUT_ALT | 'a', MENU_ADD_COLUMN },
    { SHORTCUT_ALT | 'e', MENU_EMPTY_TABLE },
    { 13, MENU_CONFIRM_NAME },
    { 27, MENU_CANCEL_NAME },
    // Control+Z itself is the menu item's key equivalent, which leaves it to a focused text field.
    { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'z', MENU_REDO },
    { SHORTCUT_COMMAND | 'y', MENU_REDO },
    { SHORTCUT_ALT | 'm', MENU_TOGGLE_MARKERS },
    { DELETE_KEY, MENU_DELETE_POINT },
    { ARROW_LEFT, MENU_POINT_LEFT },
    { ARROW_RIGHT, MENU_POINT_RIGHT },
    { ARROW_UP, MENU_POINT_UP },
    { ARROW_DOWN, MENU_POINT_DOWN },
    { SHORTCUT_SHIFT | ARROW_LEFT, MENU_POINT_FAR_LEFT },
    { SHORTCUT_SHIFT | ARROW_RIGHT, MENU_POINT_FAR_RIGHT },
    { SHORTCUT_SHIFT | ARROW_UP, MENU_POINT_FAR_UP },
    { SHORTCUT_SHIFT | ARROW_DOWN, MENU_POINT_FAR_DOWN },
    { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'o', MENU_OPEN_PROJECT },
    { SHORTCUT_COMMAND | SHORTCUT_SHIFT | 's', MENU_SAVE_PROJECT_AS },
};
constexpr WindowShortcut REMOVE_COLUMN_SHORTCUT = { SHORTCUT_ALT | 'r', MENU_REMOVE_LAST_COLUMN };

void addItem(int item)
{
    for (const ItemText& text : ITEM_TEXTS) {
        if (text.item == item) {
            menuItem(item, WorkText(translate(text.label), text.keys));
            return;
        }
    }
}

void addItems(std::initializer_list<int> items)
{
    for (int item : items)
        addItem(item);
}

} // namespace

void addMenuItems(int part)
{
    if (part == MENU_PART_BAR)
        menuItem(MENU_ITEM_QUIT, WorkText(translate("Quit"), "\tCMD+Q"));
    menuTitle(translate("File"));
    if (part != MENU_PART_TABLE)
        addItem(MENU_OPEN_DIAGRAM);
    if (part != MENU_PART_DIAGRAM) {
        addItems({ MENU_LOAD_CSV, MENU_SAVE_CSV });
        menuSeparator();
        addItem(MENU_COPY_DATA);
    }
    if (part == MENU_PART_BAR)
        addRecentFileItems();
    if (part == MENU_PART_BAR) {
        menuSeparator();
        addItems(
            { MENU_OPEN_PROJECT, MENU_SAVE_PROJECT, MENU_SAVE_PROJECT_AS, MENU_SAVE_PROJECT_WITH_PICTURE });
    }
    if (part == MENU_PART_BAR) {
        menuTitle(translate("Edit"));
        addItems({ MENU_UNDO, MENU_REDO });
    }
    if (part != MENU_PART_TABLE) {
        menuTitle(translate("Data"));
        addItem(MENU_CATCH_POINTS);
        menuSeparator();
        addItems({ MENU_MEASURE_DIAGRAM, MENU_SET_ORIGIN, MENU_SET_WIDTH, MENU_SET_HEIGHT });
        menuSeparator();
        addItems({ MENU_SET_REFERENCE_WIDTH, MENU_SET_REFERENCE_HEIGHT, MENU_APPLY_CALIBRATION });
        menuSeparator();
        addItems(
            { MENU_SET_ORIGIN_VALUES, MENU_LOGARITHMIC_X, MENU_LOGARITHMIC_Y, MENU_CALIBRATE_BY_AXIS_MARKS });
        menuSeparator();
        addItem(MENU_CAPTURE_XY);
        menuSeparator();
        addItem(MENU_TOGGLE_MARKERS);
    }
    if (part == MENU_PART_TABLE) {
        menuSeparator();
        addItems({ MENU_UNDO, MENU_REDO });
    }
    if (part != MENU_PART_DIAGRAM) {
        menuSeparator();
        addItems({ MENU_NAME_COLUMN, MENU_EMPTY_TABLE, MENU_ADD_COLUMN });
        if (countTableColumns() > 1)
            addItem(MENU_REMOVE_LAST_COLUMN);
    }
    if (part != MENU_PART_TABLE) {
        // The popup shows its menus as one list: a line sets the extraction apart.
        if (part == MENU_PART_DIAGRAM)
            menuSeparator();
        menuTitle(translate("Extract"));
        addItems({ MENU_EXTRACT_CURVE, MENU_EXTRACT_MARKERS });
        menuSeparator();
        addItems({ MENU_SNAP_CAPTURES, MENU_CAPTURE_BAR_TOPS });
        menuSeparator();
        addItems({ MENU_COLOUR_TOLERANCE, MENU_STEP_PIXELS, MENU_STEP_CHART_UNITS });
    }
}

void buildMenus()
{
    createMenu(MENU_BAR, windowHandle(WINDOW_MAIN));
    addMenuItems(MENU_PART_BAR);
    createPopupMenu(POPUP_DIAGRAM);
    addMenuItems(MENU_PART_DIAGRAM);
    createPopupMenu(POPUP_TABLE);
    addMenuItems(MENU_PART_TABLE);
    for (const WindowShortcut& shortcut : WINDOW_SHORTCUTS)
        addKeyboardShortcut(WINDOW_MAIN, shortcut.code, shortcut.item);
    if (countTableColumns() > 1)
        addKeyboardShortcut(WINDOW_MAIN, REMOVE_COLUMN_SHORTCUT.code, REMOVE_COLUMN_SHORTCUT.item);
    showAxisScaleChecks();
    showOptionChecks();
    showExtractionChecks();
}

void showOptionChecks()
{
    for (int menu : { MENU_BAR, POPUP_DIAGRAM }) {
        setMenuItemChecked(menu, MENU_CAPTURE_XY, capturesXy() ? 1 : 0);
        setMenuItemChecked(menu, MENU_TOGGLE_MARKERS, markersShown() ? 1 : 0);
    }
}
