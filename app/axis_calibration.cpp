#include "axis_calibration.h"

#include "calibration.h"
#include "reference_entry.h"
#include "status_prompt.h"
#include "translations.h"

#include <array>
#include <optional>

namespace {

struct MarkStep {
    const char* message; // the click prompt
    const char* title; // of the click prompt
    const char* valueTitle; // of the value requester
};

constexpr std::array<MarkStep, 4> MARK_STEPS = { {
    { "Please click for setting the first point on the X axis.", "Set First Point on X Axis",
        "First X Value" },
    { "Please click for setting the second point on the X axis.", "Set Second Point on X Axis",
        "Second X Value" },
    { "Please click for setting the first point on the Y axis.", "Set First Point on Y Axis",
        "First Y Value" },
    { "Please click for setting the second point on the Y axis.", "Set Second Point on Y Axis",
        "Second Y Value" },
} };

// The marks clicked so far and the step the next click makes; the calibration changes once, with
// the last mark.
std::array<AxisMark, 4> g_marks;
std::size_t g_markStep = 0;

void prompt(const char* message, const char* title)
{
    setStatus(translate(message), translate(title));
}

void promptForMark(std::size_t step)
{
    prompt(MARK_STEPS[step].message, MARK_STEPS[step].title);
}

bool isLogarithmic(AxisScale scale)
{
    return scale == AxisScale::Logarithmic;
}

// The values of the axis that a logarithmic scale cannot take.
bool axisHasValueNotPositive(const CaptureCalibration& calibration, bool xAxis)
{
    if (calibration.axisMarks) {
        const AxisMark& a = xAxis ? calibration.axisMarks->x1 : calibration.axisMarks->y1;
        const AxisMark& b = xAxis ? calibration.axisMarks->x2 : calibration.axisMarks->y2;
        return !(a.value > 0) || !(b.value > 0);
    }
    const double origin = xAxis ? calibration.originValueX : calibration.originValueY;
    const double reference = xAxis ? calibration.widthReference : calibration.heightReference;
    return !(origin > 0) || !(reference > 0);
}

} // namespace

void setOriginValues()
{
    CaptureCalibration after = currentCaptureCalibration();
    const std::optional<double> x
        = askReference(translate("Origin X Value"), after.originValueX, isLogarithmic(after.xScale));
    const std::optional<double> y
        = askReference(translate("Origin Y Value"), after.originValueY, isLogarithmic(after.yScale));
    after.originValueX = x.value_or(after.originValueX);
    after.originValueY = y.value_or(after.originValueY);
    changeCalibration(after);
}

void toggleLogarithmicAxis(bool xAxis)
{
    CaptureCalibration after = currentCaptureCalibration();
    AxisScale& scale = xAxis ? after.xScale : after.yScale;
    scale = isLogarithmic(scale) ? AxisScale::Linear : AxisScale::Logarithmic;
    changeCalibration(after);
    // The values set for the linear axis stay; the user learns which of them a logarithmic axis
    // cannot take rather than meeting an empty readout.
    if (isLogarithmic(scale) && axisHasValueNotPositive(after, xAxis)) {
        prompt("A logarithmic axis has only values above 0: please set the values of this axis again.",
            xAxis ? "Logarithmic X Axis" : "Logarithmic Y Axis");
    }
}

void calibrateByAxisMarks()
{
    g_markStep = 0;
    const std::optional<AxisMarks> marks = currentCaptureCalibration().axisMarks;
    // The values typed last time are offered again.
    g_marks = marks ? std::array<AxisMark, 4> { marks->x1, marks->x2, marks->y1, marks->y2 }
                    : std::array<AxisMark, 4> {};
    clickMode = CLICK_AXIS_MARK;
    promptForMark(0);
}

void clickAxisMark()
{
    if (g_markStep >= MARK_STEPS.size())
        return;
    const std::size_t step = g_markStep;
    const bool xAxis = step < 2;
    const CaptureCalibration current = currentCaptureCalibration();
    const bool logarithmic = isLogarithmic(xAxis ? current.xScale : current.yScale);
    AxisMark& mark = g_marks[step];
    mark.pixel = { mouseX, mouseY };
    prompt("Please enter the value of this point.", MARK_STEPS[step].valueTitle);
    const std::optional<double> value
        = askReference(translate(MARK_STEPS[step].valueTitle), mark.value, logarithmic);
    mark.value = value.value_or(mark.value);
    if (++g_markStep < MARK_STEPS.size()) {
        promptForMark(g_markStep);
        return;
    }
    CaptureCalibration after = current;
    after.axisMarks = AxisMarks { g_marks[0], g_marks[1], g_marks[2], g_marks[3] };
    if (!after.chartCalibration()) {
        // Nothing changes: the marks coincide, their values repeat, the axes are parallel or a
        // kept value is not above 0 on a logarithmic axis.
        clickMode = CLICK_NOTHING;
        prompt("These points do not define the axes. Please choose the calibration again.",
            "Calibrate by Two Points per Axis");
        return;
    }
    changeCalibration(after);
    clickMode = CLICK_CAPTURE;
    prompt("Start now fetching data. Select 'Catch Points' from menu 'Data'.", "Set References.");
}

void refuseCaptureWithoutValue()
{
    prompt("The calibration gives this point no value. Please check the values of the axes.", "Catch Points");
}
