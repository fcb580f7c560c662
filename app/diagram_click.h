#pragma once

// The left click on the diagram, at the mouse position of this pass: what it does follows the
// click mode (a corner of the calibration, a mark on an axis, or a captured point).
void diagramClick();
