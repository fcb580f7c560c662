#pragma once

// Every number under which the application keeps an object of the toolkit: its window, gadgets,
// images, font, timer, status bar, menus and menu items.

// The one window.
inline constexpr int WINDOW_MAIN = 0;

// Gadgets of WINDOW_MAIN.
inline constexpr int GADGET_DIAGRAM = 0;
inline constexpr int GADGET_MAGNIFIER = 1;
inline constexpr int GADGET_TABLE = 2;
inline constexpr int GADGET_COLUMN_SELECT = 3;
inline constexpr int GADGET_COLUMN_NAME = 4;
inline constexpr int GADGET_RENAME_BUTTON = 5;
inline constexpr int GADGET_COORDS = 10;
inline constexpr int GADGET_ORIGIN = 11;
inline constexpr int GADGET_WIDTH = 12;
inline constexpr int GADGET_HEIGHT = 13;
inline constexpr int GADGET_MESSAGE = 14;

// Images.
inline constexpr int IMAGE_DIAGRAM = 0;
inline constexpr int IMAGE_MAGNIFIER = 1;
inline constexpr int IMAGE_PEN = 2;

inline constexpr int FONT_MESSAGE = 0;
inline constexpr int TIMER_BLINK = 1;
inline constexpr int STATUSBAR_MAIN = 0;

// Menus.
inline constexpr int MENU_BAR = 0;
inline constexpr int POPUP_TABLE = 1;
inline constexpr int POPUP_DIAGRAM = 2;

// Menu items: the command numbers that reach the event loop, whether chosen in a menu, by a key
// equivalent or through a window shortcut. Quit is the toolkit's MENU_ITEM_QUIT (-1).
inline constexpr int MENU_OPEN_DIAGRAM = 1;
inline constexpr int MENU_LOAD_CSV = 2;
inline constexpr int MENU_SAVE_CSV = 3;
inline constexpr int MENU_COPY_DATA = 4;
inline constexpr int MENU_MEASURE_DIAGRAM = 5;
inline constexpr int MENU_CATCH_POINTS = 9;
inline constexpr int MENU_SET_ORIGIN = 10;
inline constexpr int MENU_SET_WIDTH = 11;
inline constexpr int MENU_SET_HEIGHT = 12;
inline constexpr int MENU_SET_REFERENCE_WIDTH = 16;
inline constexpr int MENU_SET_REFERENCE_HEIGHT = 17;
inline constexpr int MENU_ENTER_NUMBER = 18; // a reference entry whose value is dropped (shortcut only)
inline constexpr int MENU_DELETE_ROW = 20; // shortcut only
inline constexpr int MENU_ADD_COLUMN = 21;
inline constexpr int MENU_REMOVE_LAST_COLUMN = 22;
inline constexpr int MENU_EMPTY_TABLE = 23;
inline constexpr int MENU_NAME_COLUMN = 24;
// Return and Escape in the main window: they confirm or close an open rename field.
inline constexpr int MENU_CONFIRM_NAME = 25;
inline constexpr int MENU_CANCEL_NAME = 26;
// The Edit menu and the table popup: undo and redo of every change of the data.
inline constexpr int MENU_UNDO = 30;
inline constexpr int MENU_REDO = 31;
// The selected column's points taken under the current calibration.
inline constexpr int MENU_APPLY_CALIBRATION = 32;
// The axes: values at the origin, logarithmic scales, the two-point calibration.
inline constexpr int MENU_SET_ORIGIN_VALUES = 50;
inline constexpr int MENU_LOGARITHMIC_X = 51;
inline constexpr int MENU_LOGARITHMIC_Y = 52;
inline constexpr int MENU_CALIBRATE_BY_AXIS_MARKS = 53;

// Each point shows and saves its x value beside its y value (a checkable item of the Data menu).
inline constexpr int MENU_CAPTURE_XY = 60;

// The markers of the captured points on the diagram: shown or hidden, and the selected point
// moved by one picture pixel (Shift: ten) or deleted (these by keys only).
inline constexpr int MENU_TOGGLE_MARKERS = 40;
inline constexpr int MENU_DELETE_POINT = 41;
inline constexpr int MENU_POINT_LEFT = 42;
inline constexpr int MENU_POINT_RIGHT = 43;
inline constexpr int MENU_POINT_UP = 44;
inline constexpr int MENU_POINT_DOWN = 45;
inline constexpr int MENU_POINT_FAR_LEFT = 46;
inline constexpr int MENU_POINT_FAR_RIGHT = 47;
inline constexpr int MENU_POINT_FAR_UP = 48;
inline constexpr int MENU_POINT_FAR_DOWN = 49;

// Extraction by colour (the Extract menu): a curve or the markers of a scatter plot into the
// selected column, the two options that move hand-made captures, and the settings.
inline constexpr int MENU_EXTRACT_CURVE = 90;
inline constexpr int MENU_EXTRACT_MARKERS = 91;
inline constexpr int MENU_SNAP_CAPTURES = 92;
inline constexpr int MENU_CAPTURE_BAR_TOPS = 93;
inline constexpr int MENU_COLOUR_TOLERANCE = 94;
inline constexpr int MENU_STEP_PIXELS = 95;
inline constexpr int MENU_STEP_CHART_UNITS = 96;

// Open Recent in the File menu: one item per recent picture or project, most recent first
// (80 to 87).
inline constexpr int MENU_RECENT_FILE_FIRST = 80;

// The work as a project file (the File menu).
inline constexpr int MENU_SAVE_PROJECT = 70;
inline constexpr int MENU_SAVE_PROJECT_AS = 71;
inline constexpr int MENU_OPEN_PROJECT = 72;
inline constexpr int MENU_SAVE_PROJECT_WITH_PICTURE = 73;
