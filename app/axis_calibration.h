#pragma once

// The axes beyond the corner clicks: the chart values at the origin, a logarithmic scale for each
// axis on its own, and the second way to calibrate, by two clicked points with typed values on
// each axis (for a chart whose corner is not on the picture, or a scan that lies askew). Each
// change is a calibration change that Undo takes back.

// "Set Origin Values": asks for the x and the y value at the origin, under the same number rules
// as the references; a logarithmic axis refuses values that are not above 0.
void setOriginValues();

// "Logarithmic X Axis", "Logarithmic Y Axis": turns the axis's scale over.
void toggleLogarithmicAxis(bool xAxis);

// "Calibrate by Two Points per Axis": the guided clicks of the first and second point on the x
// axis and on the y axis, each followed by the entry of its value, then capture mode.
void calibrateByAxisMarks();
// The left click on the diagram while the marks are clicked.
void clickAxisMark();

// A capture click that the calibration gives no value: the user is told what to mend.
void refuseCaptureWithoutValue();
