#pragma once

#include "imaging/extraction/extraction_types.h"

// What the user set for extraction and for hand-made captures, remembered for the rest of the
// run: the colour tolerance, the step between the samples of a curve (picture pixels or chart
// units, whichever was set last), and whether captures snap to what lies under the click and
// whether a click inside a bar captures its top.

enum class StepKind { PicturePixels, ChartUnits };

struct ExtractionSettings {
    int tolerance = DEFAULT_COLOUR_TOLERANCE;
    StepKind stepKind = StepKind::PicturePixels;
    double pixelStep = 5.0;
    double chartStep = 1.0;
    bool snap = false;
    bool barTops = false;
};

ExtractionSettings& extractionSettings();

// The requesters of "Colour Tolerance", "Step in Picture Pixels" and "Step in Chart Units": each
// offers the current value and asks again, with the reason, while the answer is refused; an empty
// or unchanged answer keeps the value. A step answered switches the kind of step to its own.
void askColourTolerance();
void askPixelStep();
void askChartStep();

// Back to the values before start-up.
void resetExtractionSettings();
