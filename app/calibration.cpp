#include "calibration.h"

#include "app_ids.h"
#include "axis_calibration.h"
#include "chart_transform.h"
#include "data_table.h"
#include "extraction/extraction_commands.h"
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
// The values at the origin, the kind of each axis and the marks of the two-point way: the parts
// of the calibration that no readout of its own shows.
double g_originValueX = 0.0;
double g_originValueY = 0.0;
AxisScale g_xScale = AxisScale::Linear;
AxisScale g_yScale = AxisScale::Linear;
std::optional<AxisMarks> g_axisMarks;

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
    // A corner click takes the calibration back to the corner way.
    g_axisMarks.reset();
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
    g_axisMarks.reset();
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
    g_axisMarks.reset();
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
    if (chartCalibrated() == 1)
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
    case CLICK_AXIS_MARK:
        clickAxisMark();
        break;
    case CLICK_CAPTURE:
        if (captureByFeature(mouseX, mouseY, currentCaptureCalibration()))
            break;
        if (!currentCaptureCalibration().isPlainCorner()) {
            if (!captureValue(mouseX, mouseY, currentCaptureCalibration()))
                refuseCaptureWithoutValue();
        } else if (!captureValue(mouseX, mouseY, currentCaptureCalibration())) {
            // The height end lies on the origin's row, or the numbers overflow: nothing sensible
            // to store until the height is set again, so the next click sets it, as the prompt
            // says.
            clickMode = CLICK_HEIGHT;
            promptForClick(CLICK_HEIGHT);
        }
        break;
    case CLICK_PICK_COLOUR:
        pickColourClick();
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
    // The marks were clicked on the diagram shown before.
    g_axisMarks.reset();
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
    g_originValueX = g_originValueY = 0.0;
    g_xScale = g_yScale = AxisScale::Linear;
    g_axisMarks.reset();
}

void enterReference(int item)
{
    const bool width = item == MENU_SET_REFERENCE_WIDTH;
    if (!width && item != MENU_SET_REFERENCE_HEIGHT) {
        askNumberWithoutUse();
        return;
    }
    const bool logarithmic = (width ? g_xScale : g_yScale) == AxisScale::Logarithmic;
    const std::optional<double> value
        = askReference(translate(width ? "Width Reference" : "Height Reference"),
            width ? widthReference : heightReference, logarithmic);
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
    CaptureCalibration calibration;
    calibration.originX = originX;
    calibration.originY = originY;
    calibration.spanWidth = spanWidth;
    calibration.spanHeight = spanHeight;
    calibration.widthReference = widthReference;
    calibration.heightReference = heightReference;
    calibration.displayScale = g_displayScale;
    calibration.originValueX = g_originValueX;
    calibration.originValueY = g_originValueY;
    calibration.xScale = g_xScale;
    calibration.yScale = g_yScale;
    calibration.axisMarks = g_axisMarks;
    return calibration;
}

void changeCalibration(const CaptureCalibration& after)
{
    const CaptureCalibration before = currentCaptureCalibration();
    if (after == before)
        return;
    restoreCalibration(after);
    recordCalibration(before, after);
}

int chartCalibrated()
{
    return (widthCalibrated == 1 && heightCalibrated == 1) || g_axisMarks ? 1 : 0;
}

void restoreCalibration(const CaptureCalibration& calibration)
{
    originX = calibration.originX;
    originY = calibration.originY;
    spanWidth = calibration.spanWidth;
    spanHeight = calibration.spanHeight;
    widthReference = calibration.widthReference;
    heightReference = calibration.heightReference;
    g_originValueX = calibration.originValueX;
    g_originValueY = calibration.originValueY;
    g_xScale = calibration.xScale;
    g_yScale = calibration.yScale;
    g_axisMarks = calibration.axisMarks;
    showAxisScaleChecks();
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
    const CaptureCalibration calibration = currentCaptureCalibration();
    if (!calibration.isPlainCorner()) {
        const ChartPoint chart = calibration.chartPoint(calibration.picturePixel({ x, y }));
        if (!std::isfinite(chart.x) || !std::isfinite(chart.y))
            return String();
        return makeText("x: ", fixed(chart.x, 4), "   y: ", fixed(chart.y, 4));
    }
    if (spanWidth == 0 || spanHeight == 0)
        return String();
    const double chartX = widthReference / spanWidth * (x - originX);
    const double chartY = heightReference / spanHeight * (originY - y);
    if (!std::isfinite(chartX) || !std::isfinite(chartY))
        return String();
    return makeText("x: ", fixed(chartX, 4), "   y: ", fixed(chartY, 4));
}
