#pragma once

#include "app/model/capture_calibration.h"

// Extraction by colour as the user asks for it. "Extract Curve" and "Extract Markers" wait for
// a click on the colour to extract (a drag before it bounds the search to a rectangle; otherwise
// the calibrated data area does); the points found go into the selected column as one change.
// "Snap Captures" and "Capture Bar Tops" move each hand-made capture before it is stored.

// The menu commands.
void extractCurve();
void extractMarkers();
void toggleSnapCaptures();
void toggleBarTopCaptures();

// The left click on the diagram while a colour is picked, at the mouse position of this pass.
void pickColourClick();
// A drag on the diagram while a colour is picked: the rectangle to search (diagram coordinates).
void startAreaDrag(double x, double y);
void followAreaDrag(double x, double y);
void endAreaDrag(double x, double y);

// A capture click at (x, y) on the diagram: true when snapping or bar tops take it over (it is
// stored once the picture was searched, under the calibration of the click); false leaves the
// click to the plain capture.
bool captureByFeature(double x, double y, const CaptureCalibration& calibration);

// Once per pass of the event loop: finishes the extraction jobs that ended and drops the rectangle
// of a pick that another click mode ended.
void pollExtraction();

// Escape: stops the running extraction and leaves the colour pick; false when neither was going.
bool stopExtraction();

// The check marks of the two options follow the settings.
void showExtractionChecks();

// Back to the state before start-up; a running extraction is stopped and waited for.
void resetExtraction();
