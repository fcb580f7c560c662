#pragma once

#include "imaging/pixel_buffer.h"
#include "model/model_command.h"

#include <memory>

// The captured points drawn on the diagram: a marker in its column's colour over every captured
// point, the selected point's marker highlighted. The markers are painted into IMAGE_DIAGRAM
// itself, so the magnifier, which reads that image, shows them too; the mouse merely moving costs
// them nothing, since they are painted only when the data or the selection changes.

// A new diagram is shown in a new main window: the markers start over it, none yet.
void startDiagramMarkers();

// Brings the markers in line with the captured data after any change (a capture, undo, redo, a
// loaded table); only what changed is painted again.
void refreshDiagramMarkers();
// Follows a change of the data: one cell's marker after a change of one cell, else all of them.
void showMarkerChange(const ModelChange& change);
// The same after a change of one cell alone (a capture, a moved point): only its marker is looked
// at, so that a capture costs the same with 100,000 points as with ten.
void refreshDiagramMarkerOfCell(int row, int column);

// The selected point: its table row and column, or -1 for none.
int selectedPointRow();
int selectedPointColumn();
// Selects the captured point of the cell (its marker is highlighted); a cell that holds no
// captured point selects none.
void selectPoint(int row, int column);
// The table's selected row chose a point: the one of the selected column when it holds one,
// else the first captured point of the row.
void selectPointOfTableRow(int row, int preferredColumn);

// "Show Markers": every marker hidden or shown again; the data stays as it is.
void toggleMarkersShown();
bool markersShown();

// The selected point moves by (dx, dy) picture pixels, as one step that Undo takes back.
void moveSelectedPoint(int dx, int dy);
// The selected point goes; the cells below it in its column move up (one step for Undo).
void deleteSelectedPoint();

// Ctrl+click on the diagram: selects the point whose shown marker lies within a few display pixels
// of (x, y) (diagram coordinates), and its table row; false, with nothing changed, when none does.
bool selectPointNear(double x, double y);

// A dashed frame over the diagram around the rectangle from (left, top) to (right, bottom),
// both included (diagram coordinates, either order): the rectangle being dragged; and taking it
// away.
void showDiagramFrame(int left, int top, int right, int bottom);
void hideDiagramFrame();

// The diagram as shown, without the markers (nullptr before one is shown).
std::shared_ptr<const PixelBuffer> diagramPictureWithoutMarkers();

// Back to the state before start-up.
void resetDiagramMarkers();
