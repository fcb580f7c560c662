#pragma once

// The magnifier beside the diagram: the 60 x 60 pixels around the mouse, three times enlarged,
// with a black cross-hair whose open centre leaves the pixels under the mouse visible.

inline constexpr int MAGNIFIER_SIZE = 180;
inline constexpr int MAGNIFIED_AREA = 60;

// Redraws IMAGE_MAGNIFIER around (x, y) of the diagram and shows it in GADGET_MAGNIFIER.
void drawMagnifier(int x, int y);
