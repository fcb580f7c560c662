#include "calibration.h"

#include "app_ids.h"
#include "chart_transform.h"
#include "data_table.h"
#include "magnifier.h"
#include "reference_entry.h"
#include "status_prompt.h"
#include "translations.h"

#include "runtime/number_text.h"
#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/window.h"

#include <cmath>

ClickMode clickMode = CLICK_NOTHING;
double diagramShownWidth = 0.0;
int guidedCalibration = 0;
double originX = 0.0;
double originY = 0.0;
double spanWidth = 0.0;
double spanHeight = 0.0;
double widthReference = 0.0;
double heightReference = 0.0;
int widthCalibrated = 0;
int heightCalibrated = 0;
double mouseX = 0.0;
double mouseY = 0.0;

namespace {

struct StepPrompt {
    const char* message;
    const char* title;
};

// The prompt that asks for the click of each calibration mode.
constexpr StepPrompt CLICK_PROMPTS[] = {
    { nullptr, nullptr },
    { "Please click for setting the Origin.", "Set Origin" },
    { "Please click for setting the Width of Dataarea.", "Set Width of Dataarea" },
    { "Please click for setting the Height of Dataarea.", "Set Height of Dataarea" },
};

// Displayed pixels per picture pixel of the diagram shown.
double g_displayScale = 1.0;

void prompt(const char* message, const char* title)
{
    setStatus(translate(message), translate(title));
}

void promptForClick(ClickMode mode)
{
    const StepPrompt& step = CLICK_PROMPTS[static_cast<int>(mode)];
    prompt(step.message, step.title);
}

// Shows a calibration result in its readout and the status bar, and clears the prompt.
void showCalibration(int gadget, const String& text)
{
    setGadgetText(gadget, text);
    setGadgetText(GADGET_MESSAGE, "");
    showResult(text);
}

void clickOrigin()
{
    const CaptureCalibration before = currentCaptureCalibration();
    originX = mouseX;
    originY = mouseY;
    showCalibration(GADGET_ORIGIN, pointReadout(translate("Origin"), originX, originY));
    recordCalibration(before, currentCaptureCalibration());
    if (guidedCalibration == 1) {
        clickMode = CLICK_WIDTH;
        promptForClick(CLICK_WIDTH);
    }
}

void clickWidth()
{
    const CaptureCalibration before = currentCaptureCalibration();
    spanWidth = mouseX - originX;
    widthCalibrated = 1;
    showCalibration(GADGET_WIDTH, spanReadout(translate("Width"), spanWidth, widthReference));
    recordCalibration(before, currentCaptureCalibration());
    if (guidedCalibration == 1) {
        prompt("Please enter the Reference for the Width.", "Set Reference for Width");
        enterReference(MENU_SET_REFERENCE_WIDTH);
        clickMode = CLICK_HEIGHT;
        promptForClick(CLICK_HEIGHT);
    }
}

void clickHeight()
{
    const CaptureCalibration before = currentCaptureCalibration();
    spanHeight = originY - mouseY;
    heightCalibrated = 1;
    showCalibration(GADGET_HEIGHT, spanReadout(translate("Height"), spanHeight, heightReference));
    recordCalibration(before, currentCaptureCalibration());
    if (guidedCalibration == 1) {
        prompt("Please enter the Reference for the Height.", "Set Reference for Height");
        enterReference(MENU_SET_REFERENCE_HEIGHT);
        clickMode = CLICK_CAPTURE;
        prompt("Start now fetching data. Select 'Catch Points' from menu 'Data'.", "Set References.");
    }
}

} // namespace

namespace {

// Where the readout and magnifier were last drawn for; a pass with the mouse at the same place
// would draw the same again.
double g_trackedX = -1;
double g_trackedY = -1;

} // namespace

void forgetTrackedMouse()
{
    g_trackedX = g_trackedY = -1;
}

void trackMouse()
{
    mouseX = windowMouseX(WINDOW_MAIN);
    mouseY = windowMouseY(WINDOW_MAIN);
    if (mouseX == -1 || mouseY == -1 || !(mouseX < diagramShownWidth))
        return;
    // The chart values follow calibration changes too; the field is written only when it changes.
    if (widthCalibrated == 1 && heightCalibrated == 1)
        showChartPosition(chartPositionText(mouseX, mouseY));
    if (mouseX == g_trackedX && mouseY == g_trackedY)
        return;
    g_trackedX = mouseX;
    g_trackedY = mouseY;
    setGadgetText(GADGET_COORDS, pointReadout(translate("Coords"), mouseX, mouseY));
    drawMagnifier(static_cast<int>(roundToEven(mouseX)), static_cast<int>(roundToEven(mouseY)));
}

void diagramClick()
{
    // A click that the pointer made while leaving the window has no position on the diagram.
    if (mouseX == -1 || mouseY == -1)
        return;
    switch (clickMode) {
    case CLICK_ORIGIN:
        clickOrigin();
        break;
    case CLICK_WIDTH:
        clickWidth();
        break;
    case CLICK_HEIGHT:
        clickHeight();
        break;
    case CLICK_CAPTURE:
        if (!captureValue(mouseX, mouseY, currentCaptureCalibration())) {
            // The height end lies on the origin's row, or the numbers overflow: nothing sensible
            // to store until the height is set again, so the next click sets it, as the prompt
            // says.
            clickMode = CLICK_HEIGHT;
            promptForClick(CLICK_HEIGHT);
        }
        break;
    case CLICK_NOTHING:
        break;
    }
}

void measureDiagram()
{
    clickMode = CLICK_ORIGIN;
    guidedCalibration = 1;
    promptForClick(CLICK_ORIGIN);
}

void startCalibrationStep(ClickMode mode)
{
    clickMode = mode;
    // The prompt starts its blink cycle anew.
    promptForClick(mode);
}

void startCalibration(double width, double height, double displayScale)
{
    originX = 0.0;
    widthCalibrated = heightCalibrated = 0;
    spanHeight = height;
    spanWidth = width;
    originY = spanHeight;
    diagramShownWidth = width;
    g_displayScale = displayScale;
}

void resetCalibration()
{
    clickMode = CLICK_NOTHING;
    guidedCalibration = 0;
    originX = originY = spanWidth = spanHeight = 0.0;
    widthReference = heightReference = 0.0;
    mouseX = mouseY = 0.0;
    widthCalibrated = heightCalibrated = 0;
    diagramShownWidth = 0.0;
    g_displayScale = 1.0;
}

void enterReference(int item)
{
    const bool width = item == MENU_SET_REFERENCE_WIDTH;
    if (!width && item != MENU_SET_REFERENCE_HEIGHT) {
        askNumberWithoutUse();
        return;
    }
    const std::optional<double> value = askReference(
        translate(width ? "Width Reference" : "Height Reference"), width ? widthReference : heightReference);
    if (!value)
        return;
    const CaptureCalibration before = currentCaptureCalibration();
    if (width) {
        widthReference = *value;
        setGadgetText(GADGET_WIDTH, spanReadout(translate("Width"), spanWidth, widthReference));
    } else {
        heightReference = *value;
        setGadgetText(GADGET_HEIGHT, spanReadout(translate("Height"), spanHeight, heightReference));
    }
    recordCalibration(before, currentCaptureCalibration());
}

CaptureCalibration currentCaptureCalibration()
{
    return { originX, originY, spanWidth, spanHeight, widthReference, heightReference, g_displayScale };
}

void restoreCalibration(const CaptureCalibration& calibration)
{
    originX = calibration.originX;
    originY = calibration.originY;
    spanWidth = calibration.spanWidth;
    spanHeight = calibration.spanHeight;
    widthReference = calibration.widthReference;
    heightReference = calibration.heightReference;
    setGadgetText(GADGET_ORIGIN, pointReadout(translate("Origin"), originX, originY));
    const String width = widthCalibrated == 1 ? spanReadout(translate("Width"), spanWidth, widthReference)
                                              : unsetSpanReadout(translate("Width"), widthReference);
    setGadgetText(GADGET_WIDTH, width);
    const String height = heightCalibrated == 1
        ? spanReadout(translate("Height"), spanHeight, heightReference)
        : unsetSpanReadout(translate("Height"), heightReference);
    setGadgetText(GADGET_HEIGHT, height);
    forgetTrackedMouse();
}

String chartPositionText(double x, double y)
{
    if (spanWidth == 0 || spanHeight == 0)
        return String();
    const double chartX = widthReference / spanWidth * (x - originX);
    const double chartY = heightReference / spanHeight * (originY - y);
    if (!std::isfinite(chartX) || !std::isfinite(chartY))
        return String();
    return makeText("x: ", fixed(chartX, 4), "   y: ", fixed(chartY, 4));
}
