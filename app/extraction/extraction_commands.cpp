#include "extraction_commands.h"

#include "extraction_area.h"
#include "extraction_job.h"
#include "extraction_settings.h"

#include "app/app_ids.h"
#include "app/axis_calibration.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/diagram_markers.h"
#include "app/status_prompt.h"
#include "app/translations.h"

#include "imaging/extraction/bar_top.h"
#include "imaging/extraction/colour_pick.h"
#include "imaging/extraction/curve_extraction.h"
#include "imaging/extraction/feature_snap.h"
#include "imaging/extraction/marker_extraction.h"
#include "imaging/image.h"
#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/menus.h"
#include "toolkit/timers.h"
#include "toolkit/window.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

enum class Target { Curve, Markers };

// The colour pick under way: what is extracted, the click mode to go back to, and the rectangle
// dragged for it.
struct Pick {
    Target target = Target::Curve;
    ClickMode before = CLICK_NOTHING;
    std::optional<PixelArea> area;
    bool dragging = false;
    PixelPoint dragStart;
};

Pick g_pick;

// How far a snapping capture looks around the click, in displayed pixels: about the aim of a
// careful hand, whatever the picture's reduction.
constexpr double SNAP_RADIUS_SHOWN = 4.0;
constexpr int SMALLEST_SNAP_RADIUS = 3;

const char* titleOf(Target target)
{
    return target == Target::Curve ? "Extract Curve" : "Extract Markers";
}

void prompt(const char* message, const char* title)
{
    setStatus(translate(message), translate(title));
}

void promptForPick()
{
    prompt(g_pick.target == Target::Curve ? "Please click on the curve to extract, or first drag a rectangle."
                                          : "Please click on a marker to extract, or first drag a rectangle.",
        titleOf(g_pick.target));
}

void leavePick()
{
    if (clickMode == CLICK_PICK_COLOUR)
        clickMode = g_pick.before;
    g_pick = Pick();
    hideDiagramFrame();
}

// The pixels the search reads, as PictureSource tells; false when the picture file can no longer
// be read.
bool pictureSource(PictureSource& source, double displayScale)
{
    const std::shared_ptr<const PixelBuffer> shown = diagramPictureWithoutMarkers();
    if (displayScale == 1.0 && shown) {
        source.pixels = shown;
        source.width = shown->width();
        source.height = shown->height();
        return true;
    }
    ImageFileSize size;
    if (diagramPath.isEmpty() || !readImageFileSize(diagramPath, size) || !(displayScale > 0))
        return false;
    // A file replaced by another picture since it was opened is no longer the diagram shown: the
    // shown width is the picture's own reduced exactly, the height up to its rounding.
    if (std::lround(imagePixelWidth(IMAGE_DIAGRAM) / displayScale) != size.width
        || std::abs(imagePixelHeight(IMAGE_DIAGRAM) / displayScale - size.height) > 1 / displayScale + 1)
        return false;
    source.path = diagramPath.c_str();
    source.width = size.width;
    source.height = size.height;
    return true;
}

// Whether the diagram a job was started on is still the one shown: another picture opened
// meanwhile makes the job's result meaningless (its pixels and calibration are the old ones).
bool stillShown(const std::weak_ptr<const PixelBuffer>& diagram)
{
    const std::shared_ptr<const PixelBuffer> shown = diagramPictureWithoutMarkers();
    return shown && shown == diagram.lock();
}

// The prompt goes; the result takes its place.
void showOutcome(const String& text)
{
    removeWindowTimer(WINDOW_MAIN, TIMER_BLINK);
    setGadgetText(GADGET_MESSAGE, "");
    showResult(text);
}

void finishExtraction(const JobResult& result, const CaptureCalibration& calibration, Target target)
{
    switch (result.outcome) {
    case JobResult::Outcome::Unreadable:
        prompt("The picture could not be read at its own resolution.", titleOf(target));
        return;
    case JobResult::Outcome::Stopped:
        showOutcome(translate("Extraction stopped; nothing was added."));
        return;
    case JobResult::Outcome::Done:
        break;
    }
    // A point the calibration gives no value (a logarithmic axis beyond its range) is no data.
    std::vector<PixelPoint> points;
    points.reserve(result.extraction.points.size());
    for (const FoundPoint& found : result.extraction.points) {
        const PixelPoint point { found.x, found.y };
        if (!calibration.valueText(point).empty())
            points.push_back(point);
    }
    if (points.empty()) {
        prompt("Nothing of this colour was found in the area.", titleOf(target));
        return;
    }
    const std::size_t count = points.size();
    if (!tableHasRoomForPoints(count)) {
        prompt("The table holds 1,000,000 cells, as many as it can.", titleOf(target));
        return;
    }
    addExtractedPoints(std::move(points), calibration);
    showOutcome(makeText(translate("Points found:"), " ", static_cast<int>(count)));
}

void beginPick(Target target)
{
    if (!isGadget(GADGET_DIAGRAM))
        return;
    // The points need values: the height at least, as for a capture by hand.
    if (heightCalibrated != 1 && chartCalibrated() != 1) {
        prompt("Please calibrate the diagram first: the points need its values.", titleOf(target));
        return;
    }
    const ClickMode before = clickMode == CLICK_PICK_COLOUR ? g_pick.before : clickMode;
    g_pick = Pick();
    hideDiagramFrame();
    g_pick.target = target;
    g_pick.before = before;
    clickMode = CLICK_PICK_COLOUR;
    promptForPick();
}

} // namespace

void pollExtraction()
{
    pollExtractionJobs();
    // Another click mode chosen from a menu ends the pick without a word to it.
    if (clickMode != CLICK_PICK_COLOUR && (g_pick.area || g_pick.dragging)) {
        g_pick = Pick();
        hideDiagramFrame();
    }
}

void extractCurve()
{
    beginPick(Target::Curve);
}

void extractMarkers()
{
    beginPick(Target::Markers);
}

void pickColourClick()
{
    const Target target = g_pick.target;
    const CaptureCalibration calibration = currentCaptureCalibration();
    PictureSource source;
    if (!pictureSource(source, calibration.displayScale)) {
        leavePick();
        prompt("The picture could not be read at its own resolution.", titleOf(target));
        return;
    }
    const PixelArea area = g_pick.area ? *g_pick.area : dataAreaOf(calibration, source.width, source.height);
    if (area.isEmpty()) {
        // The pick goes on: a rectangle dragged now gives the area.
        prompt("The area to search is empty. Please drag a rectangle on the chart.", titleOf(target));
        return;
    }
    const PixelPoint at = calibration.picturePixel({ mouseX, mouseY });
    const int x = std::clamp(static_cast<int>(std::lround(at.x)), 0, source.width - 1);
    const int y = std::clamp(static_cast<int>(std::lround(at.y)), 0, source.height - 1);
    const ExtractionSettings& settings = extractionSettings();
    const int tolerance = settings.tolerance;
    JobWork work;
    if (target == Target::Curve) {
        std::vector<double> xs;
        if (settings.stepKind == StepKind::ChartUnits) {
            const std::optional<ChartCalibration> chart = calibration.chartCalibration();
            if (!chart) {
                prompt("A step in chart units needs the width calibrated too.", titleOf(target));
                return;
            }
            xs = samplesAtChartSteps(area, *chart, settings.chartStep);
        } else {
            xs = samplesEveryPixels(area, settings.pixelStep);
        }
        if (xs.empty()) {
            prompt("The step gives no sample in the area. Please choose another step.", titleOf(target));
            return;
        }
        work = [x, y, area, tolerance, xs = std::move(xs)](
                   const PixelBuffer& pixels, const ExtractionProgress& progress) {
            JobResult result;
            result.colour = pickColour(pixels, x, y);
            result.extraction = extractCurve(pixels, area, result.colour, tolerance, xs, progress);
            return result;
        };
    } else {
        work = [x, y, area, tolerance](const PixelBuffer& pixels, const ExtractionProgress& progress) {
            JobResult result;
            result.colour = pickColour(pixels, x, y);
            result.extraction = extractMarkers(pixels, area, result.colour, tolerance, progress);
            return result;
        };
    }
    leavePick();
    startExtractionJob(std::move(source), std::move(work),
        [calibration, target, diagram = std::weak_ptr<const PixelBuffer>(diagramPictureWithoutMarkers())](
            const JobResult& result) {
            if (stillShown(diagram))
                finishExtraction(result, calibration, target);
        });
}

void startAreaDrag(double x, double y)
{
    g_pick.dragging = true;
    g_pick.dragStart = { x, y };
}

void followAreaDrag(double x, double y)
{
    if (!g_pick.dragging)
        return;
    showDiagramFrame(static_cast<int>(std::lround(g_pick.dragStart.x)),
        static_cast<int>(std::lround(g_pick.dragStart.y)), static_cast<int>(std::lround(x)),
        static_cast<int>(std::lround(y)));
    const double scale = currentCaptureCalibration().displayScale;
    showResult(makeText(translate("Area:"), " ",
        static_cast<int>(std::lround(std::abs(x - g_pick.dragStart.x) / scale)), " x ",
        static_cast<int>(std::lround(std::abs(y - g_pick.dragStart.y) / scale))));
}

void endAreaDrag(double x, double y)
{
    if (!g_pick.dragging)
        return;
    // The frame stays until the colour is picked, to show what will be searched.
    followAreaDrag(x, y);
    g_pick.dragging = false;
    const CaptureCalibration calibration = currentCaptureCalibration();
    PictureSource source;
    const PixelArea area = pictureSource(source, calibration.displayScale)
        ? pictureAreaOf(g_pick.dragStart, { x, y }, calibration.displayScale, source.width, source.height)
        : PixelArea {};
    if (area.isEmpty()) {
        hideDiagramFrame();
        prompt("The area to search is empty. Please drag a rectangle on the chart.", titleOf(g_pick.target));
        return;
    }
    g_pick.area = area;
    prompt("The rectangle is set. Please click on the colour to extract.", titleOf(g_pick.target));
}

bool captureByFeature(double x, double y, const CaptureCalibration& calibration)
{
    const ExtractionSettings& settings = extractionSettings();
    if (!settings.snap && !settings.barTops)
        return false;
    PictureSource source;
    if (!pictureSource(source, calibration.displayScale))
        return false;
    const PixelPoint at = calibration.picturePixel({ x, y });
    const int radius = std::max(SMALLEST_SNAP_RADIUS,
        static_cast<int>(std::lround(SNAP_RADIUS_SHOWN / std::max(calibration.displayScale, 1e-9))));
    const bool snap = settings.snap;
    const bool barTops = settings.barTops;
    JobWork work = [at, radius, snap, barTops](const PixelBuffer& pixels, const ExtractionProgress&) {
        const FoundPoint click { at.x, at.y };
        std::optional<FoundPoint> found;
        if (barTops)
            found = findBarTop(pixels, click);
        if (!found && snap)
            found = snapToFeature(pixels, click, radius);
        JobResult result;
        result.extraction.points.push_back(found.value_or(click));
        return result;
    };
    // A click is never lost: when the search cannot tell, the click is stored where it was made.
    startExtractionJob(std::move(source), std::move(work),
        [at, calibration, diagram = std::weak_ptr<const PixelBuffer>(diagramPictureWithoutMarkers())](
            const JobResult& result) {
            if (!stillShown(diagram))
                return;
            const bool found
                = result.outcome == JobResult::Outcome::Done && !result.extraction.points.empty();
            const PixelPoint point = found
                ? PixelPoint { result.extraction.points.front().x, result.extraction.points.front().y }
                : at;
            const PixelPoint shown = calibration.displayedPixel(point);
            if (!captureValue(shown.x, shown.y, calibration))
                refuseCaptureWithoutValue();
        });
    return true;
}

bool stopExtraction()
{
    const bool picking = clickMode == CLICK_PICK_COLOUR;
    if (picking) {
        leavePick();
        setGadgetText(GADGET_MESSAGE, "");
        removeWindowTimer(WINDOW_MAIN, TIMER_BLINK);
    }
    return stopExtractionJobs() || picking;
}

void toggleSnapCaptures()
{
    extractionSettings().snap = !extractionSettings().snap;
    showExtractionChecks();
}

void toggleBarTopCaptures()
{
    extractionSettings().barTops = !extractionSettings().barTops;
    showExtractionChecks();
}

void showExtractionChecks()
{
    for (int menu : { MENU_BAR, POPUP_DIAGRAM }) {
        setMenuItemChecked(menu, MENU_SNAP_CAPTURES, extractionSettings().snap ? 1 : 0);
        setMenuItemChecked(menu, MENU_CAPTURE_BAR_TOPS, extractionSettings().barTops ? 1 : 0);
    }
}

void resetExtraction()
{
    resetExtractionJobs();
    resetExtractionSettings();
    g_pick = Pick();
}
