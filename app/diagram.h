#pragma once

// The diagram: a chart picture (PNG, JPEG or BMP) loaded as IMAGE_DIAGRAM, scaled to the display
// width and shown at the main window's top-left corner.

#include "runtime/runtime_string.h"

// The file of the diagram shown, as the file system names it.
extern String diagramPath;

// The width every diagram is shown at: half the width of the main display.
extern double displayWidth;

// The highest a diagram is shown, so that its window fits the desktop's available area; 0 for
// no bound.
extern double diagramHeightBound;

// Half the main display's width; when the desktop reports no width, 0 (the picture then keeps
// its own width).
double displayWidthOfDesktop();
// The bound for the main display's available height; 0 when it tells none.
double diagramHeightBoundOfDesktop();

// Registers the PNG and JPEG decoders beside the built-in BMP decoder.
void registerImageDecoders();

// Asks for a picture and opens it as the diagram in a new main window. mandatory (at start-up):
// the question comes back until a picture opens, and false says that the user gave up, which
// ends the program. Otherwise a cancelled choice or a picture that cannot be opened changes
// nothing.
bool openDiagram(int mandatory);

// Opens the picture at path as the diagram in a new main window with its menus (the one place
// that opens it); 0 (after telling the user, in
// a dialog, that the file is no picture we can read) when it cannot be decoded, leaving the
// current diagram, window and table as they were. A picture whose data breaks off opens with
// black rows for the missing ones, and the status bar says how many rows it has.
[[nodiscard]] bool openDiagramFile(const char* path);

// "The picture is incomplete: 120 of 480 rows", in the interface language.
String incompletePictureText(int decodedRows, int rows);

// Loads and scales the picture and starts its calibration; 0 when it cannot be decoded (nothing
// changed then).
[[nodiscard]] bool loadDiagram(const char* path);
