#include "extraction_settings.h"

#include "app/reference_entry.h"
#include "app/translations.h"

#include "runtime/number_text.h"
#include "runtime/text_builder.h"
#include "toolkit/requesters.h"

#include <cmath>
#include <optional>

namespace {

// The largest distance two colours can have in RGB: every tolerance from 0 to it means something.
constexpr int LARGEST_TOLERANCE = 441;

// Asks under the title with the message until the answer is a number the check accepts; none
// when the answer is empty (the requester was cancelled). The offered value confirmed counts as
// an answer, so that choosing a kind of step and confirming its value switches to it.
std::optional<double> askValue(
    const char* title, const char* message, const String& current, bool (*accepts)(double))
{
    String answer = inputRequester(translate(title), translate(message), current);
    for (;;) {
        const ParsedReference parsed = parseReference(answer, "");
        if (parsed.answer == ReferenceAnswer::Keep)
            return std::nullopt;
        if (parsed.answer == ReferenceAnswer::Number && accepts(parsed.value))
            return parsed.value;
        const String refused = answer;
        answer = inputRequester(translate(title),
            makeText(translate("This is not a value that can be used here:"), " \"", refused, "\". ",
                translate(message)),
            refused);
    }
}

ExtractionSettings g_settings;

} // namespace

ExtractionSettings& extractionSettings()
{
    return g_settings;
}

void askColourTolerance()
{
    const auto value = askValue("Colour Tolerance",
        "Please enter the colour tolerance, 0 to 441:", makeText(g_settings.tolerance),
        [](double v) { return v >= 0 && v <= LARGEST_TOLERANCE && v == std::floor(v); });
    if (value)
        g_settings.tolerance = static_cast<int>(*value);
}

void askPixelStep()
{
    const auto value = askValue("Step in Picture Pixels",
        "Please enter the step in picture pixels:", makeText(fixed(g_settings.pixelStep, 2)),
        [](double v) { return v >= 0.1 && v <= 100000; });
    if (!value)
        return;
    g_settings.pixelStep = *value;
    g_settings.stepKind = StepKind::PicturePixels;
}

void askChartStep()
{
    const auto value = askValue("Step in Chart Units",
        "Please enter the step in chart units:", makeText(fixed(g_settings.chartStep, 4)),
        [](double v) { return v > 0 && std::isfinite(v); });
    if (!value)
        return;
    g_settings.chartStep = *value;
    g_settings.stepKind = StepKind::ChartUnits;
}

void resetExtractionSettings()
{
    g_settings = ExtractionSettings();
}
