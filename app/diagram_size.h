#pragma once

// The size a picture is shown at: scaled to the display width, and further down when its height
// would not leave the whole window on the desktop. Pure arithmetic, apart from the gadgets.

// Room the window needs around the diagram's height on the desktop: the title bar and the menu
// bar (neither of which the content size includes), with a margin for taller decorations.
inline constexpr int WINDOW_DECORATION_HEIGHT = 90;

struct ShownSize {
    // The spans that calibration starts from, in displayed pixels; the height as a 32-bit float.
    double width = 0.0;
    double height = 0.0;
    // The image's size in whole pixels, at least 1 x 1.
    int pixelWidth = 1;
    int pixelHeight = 1;
};

// A picture of pictureWidth x pictureHeight (both above 0) shown at maxWidth (0: its own width)
// and at most maxHeight high (0: no bound), keeping its aspect ratio up to rounding.
ShownSize shownDiagramSize(int pictureWidth, int pictureHeight, double maxWidth, double maxHeight);

// The highest diagram whose window fits a desktop area of that height: the area less the
// decorations and the status bar; 0 (no bound) when the desktop tells no height.
double diagramHeightLimit(int availableHeight);
