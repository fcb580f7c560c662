#pragma once

// Dragging a captured point's marker on the diagram: the point follows the mouse, its values in
// the table update as it moves, and the whole drag is one step that Undo takes back.
// Positions are diagram coordinates (display pixels of the shown picture).

// The button went down at (x, y) and the mouse moved: a drag that starts on a shown marker grabs
// its point (which becomes the selected one); elsewhere the drag does nothing.
void startMarkerDrag(double x, double y);
// The mouse is at (x, y) with the button held: the grabbed point follows it, kept on the picture.
void followMarkerDrag(double x, double y);
// The button was let go at (x, y): the point stays there and the drag is over.
void endMarkerDrag(double x, double y);

bool markerDragActive();
