#include "diagram_click.h"

#include "axis_calibration.h"
#include "calibration.h"
#include "data_table.h"
#include "extraction/extraction_commands.h"

void diagramClick()
{
    // A click that the pointer made while leaving the window has no position on the diagram.
    if (mouseX == -1 || mouseY == -1)
        return;
    switch (clickMode) {
    case CLICK_ORIGIN:
    case CLICK_WIDTH:
    case CLICK_HEIGHT:
        clickCalibrationCorner();
        break;
    case CLICK_AXIS_MARK:
        clickAxisMark();
        break;
    case CLICK_CAPTURE:
        // With snapping or bar tops on, the click is stored where the picture says it was meant.
        if (captureByFeature(mouseX, mouseY, currentCaptureCalibration()))
            break;
        if (!currentCaptureCalibration().isPlainCorner()) {
            if (!captureValue(mouseX, mouseY, currentCaptureCalibration()))
                refuseCaptureWithoutValue();
        } else if (!captureValue(mouseX, mouseY, currentCaptureCalibration())) {
            // The height end lies on the origin's row, or the numbers overflow: nothing sensible
            // to store until the height is set again, so the next click sets it, as the prompt
            // says.
            startCalibrationStep(CLICK_HEIGHT);
        }
        break;
    case CLICK_PICK_COLOUR:
        pickColourClick();
        break;
    case CLICK_NOTHING:
        break;
    }
}
