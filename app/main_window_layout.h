#pragma once

// Where the main window's gadgets go for a diagram shown at W x H pixels: the diagram at the
// top-left corner, to its right a column of readouts, prompt and magnifier, then a column of the
// column selector, the rename field and button, and the data table; the status bar below.
// Coordinates are computed in floating point and rounded to the nearest pixel, halves to even.

struct GadgetRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const GadgetRect&) const = default;
};

struct MainWindowLayout {
    int contentWidth = 0;
    int contentHeight = 0;
    GadgetRect diagram;
    GadgetRect coords;
    GadgetRect origin;
    GadgetRect width;
    GadgetRect height;
    GadgetRect message;
    GadgetRect magnifier;
    GadgetRect columnSelect;
    GadgetRect renameButton;
    GadgetRect columnName; // parked above the content while no rename is in progress
    GadgetRect table;
};

// The right-hand columns need this much height: the readouts and the prompt end at 190 and the
// magnifier (180 high, 10 above the bottom) must start below them. A lower diagram keeps its own
// size, and the gadgets beside it are laid out as for a diagram of this height.
inline constexpr int MINIMUM_LAYOUT_HEIGHT = 380;
// The status bar's strip under the diagram.
inline constexpr int STATUS_BAR_HEIGHT = 22;
// y of the selector or rename field while it is shown, and while it is parked out of view.
inline constexpr int COLUMN_FIELD_SHOWN_Y = 10;
inline constexpr int COLUMN_FIELD_PARKED_Y = -30;
inline constexpr int TABLE_COLUMN_WIDTH = 78;

MainWindowLayout mainWindowLayout(double diagramWidth, double diagramHeight);
