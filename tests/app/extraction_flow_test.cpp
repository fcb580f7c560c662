// Extraction by colour as the user drives it: the commands of the Extract menu, the colour pick,
// the area, the requesters, the one undo step, snapping and bar tops, progress and Escape.

#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/csv_table.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/extraction/extraction_job.h"
#include "app/extraction/extraction_settings.h"
#include "app/status_prompt.h"
#include "app/translations.h"

#include "imaging/image.h"
#include "toolkit/gadgets.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

constexpr int PICTURE_WIDTH = 1200;
constexpr int PICTURE_HEIGHT = 900;

// The chart drawn for these tests, in picture pixels on white: a red line three rows thick
// centred on row 300 from column 100 to 1099, three blue markers of 7 x 7 pixels centred on row
// 700, and a grey bar whose top row is 500.
constexpr int LINE_ROW = 300;
constexpr int LINE_FIRST = 100;
constexpr int LINE_END = 1100;
constexpr int MARKER_ROW = 700;
constexpr int MARKER_COLUMNS[] = { 300, 500, 700 };
constexpr int BAR_LEFT = 900;
constexpr int BAR_RIGHT = 1000;
constexpr int BAR_TOP = 500;
constexpr int BAR_BOTTOM = 800;

struct Colour {
    unsigned char r, g, b;
};

Colour chartPixel(int x, int y)
{
    if (y >= LINE_ROW - 1 && y <= LINE_ROW + 1 && x >= LINE_FIRST && x < LINE_END)
        return { 200, 0, 0 };
    for (int column : MARKER_COLUMNS) {
        if (std::abs(x - column) <= 3 && std::abs(y - MARKER_ROW) <= 3)
            return { 0, 0, 200 };
    }
    if (x >= BAR_LEFT && x < BAR_RIGHT && y >= BAR_TOP && y < BAR_BOTTOM)
        return { 128, 128, 128 };
    return { 255, 255, 255 };
}

std::string chartBmp()
{
    const int rowBytes = (PICTURE_WIDTH * 3 + 3) / 4 * 4;
    std::string out = "BM";
    auto put = [&out](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(static_cast<unsigned>(54 + rowBytes * PICTURE_HEIGHT), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(PICTURE_WIDTH, 4);
    put(PICTURE_HEIGHT, 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    for (int row = PICTURE_HEIGHT - 1; row >= 0; --row) {
        for (int x = 0; x < PICTURE_WIDTH; ++x) {
            const Colour c = chartPixel(x, row);
            out += static_cast<char>(c.b);
            out += static_cast<char>(c.g);
            out += static_cast<char>(c.r);
        }
        out.append(static_cast<std::size_t>(rowBytes - PICTURE_WIDTH * 3), '\0');
    }
    return out;
}

class Extraction : public AppTest {
protected:
    void startWithChart() { start(writeTemporaryFile("extraction-chart.bmp", chartBmp())); }

    // Displayed pixels per picture pixel.
    static double scale() { return currentCaptureCalibration().displayScale; }
    // The displayed pixel (whole, as a click gives it) nearest to a picture pixel.
    static int shown(double picture) { return static_cast<int>(std::lround(picture * scale())); }

    // The data area from picture pixel (50, 850) to (1150, 50); a picture pixel (x, y) has the
    // chart values (x - 50, 850 - y).
    static void calibrate()
    {
        const double s = scale();
        originX = 50 * s;
        originY = 850 * s;
        spanWidth = 1100 * s;
        spanHeight = 800 * s;
        widthReference = 1100;
        heightReference = 800;
        widthCalibrated = heightCalibrated = 1;
    }

    // Passes until every extraction job has ended and its result is shown.
    void finishJobs()
    {
        EXPECT_TRUE(passUntil([] { return !extractionJobsPending(); }, 10000));
    }

    static const Cell& cell(int row, int column = 0) { return captureModel().cell(row, column); }

    void pickOnChart(int item, double pictureX, double pictureY)
    {
        choose(item);
        ASSERT_EQ(clickMode, CLICK_PICK_COLOUR);
        clickDiagram(shown(pictureX), shown(pictureY));
        finishJobs();
    }
};

TEST_F(Extraction, TheExtractMenuHoldsItsCommandsAndOptionsInBothLanguages)
{
    start(sampleChartPath(), 1);
    EXPECT_EQ(menuBarTitles(WINDOW_MAIN).back(), "Extrahieren");
    const std::vector<int> bar = menuBarItems(WINDOW_MAIN);
    const std::vector<int> extract(bar.end() - 9, bar.end());
    EXPECT_EQ(extract,
        (std::vector<int> { MENU_EXTRACT_CURVE, MENU_EXTRACT_MARKERS, 0, MENU_SNAP_CAPTURES,
            MENU_CAPTURE_BAR_TOPS, 0, MENU_COLOUR_TOLERANCE, MENU_STEP_PIXELS, MENU_STEP_CHART_UNITS }));
    const std::vector<std::string> texts = menuBarItemTexts(WINDOW_MAIN);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Schritt in Diagrammeinheiten"), texts.end());
    // Every text of extraction has its German one.
    for (const char* english :
        { "Extract Markers", "Snap Captures to Lines and Markers", "Capture Bar Tops", "Colour Tolerance",
            "Step in Picture Pixels", "Please click on the curve to extract, or first drag a rectangle.",
            "Please click on a marker to extract, or first drag a rectangle.",
            "The rectangle is set. Please click on the colour to extract.",
            "Please calibrate the diagram first: the points need its values.",
            "The area to search is empty. Please drag a rectangle on the chart.",
            "Nothing of this colour was found in the area.",
            "The step gives no sample in the area. Please choose another step.",
            "A step in chart units needs the width calibrated too.",
            "The picture could not be read at its own resolution.", "Extracting: %1 % (Escape stops)",
            "Extraction stopped; nothing was added.", "Points found:", "Area:",
            "Please enter the colour tolerance, 0 to 441:", "Please enter the step in picture pixels:",
            "Please enter the step in chart units:", "This is not a value that can be used here:" })
        EXPECT_STRNE(translate(english), english) << english;
    EXPECT_STREQ(translate("Extraction stopped; nothing was added."),
        "Extraktion abgebrochen; nichts wurde hinzugef\xFCgt.");
    // The options are check boxes that follow their state, in the bar and the diagram's popup.
    for (int item : { MENU_SNAP_CAPTURES, MENU_CAPTURE_BAR_TOPS }) {
        EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, item), 0) << item;
        choose(item);
        EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, item), 1) << item;
        EXPECT_EQ(popupMenuItemChecked(POPUP_DIAGRAM, item), 1) << item;
        choose(item);
        EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, item), 0) << item;
    }
}

TEST_F(Extraction, RefusalsSayWhatToMendAndStoreNothing)
{
    startWithChart();
    const ClickMode before = clickMode;
    // Nothing calibrated yet: the points would have no values.
    for (int item : { MENU_EXTRACT_CURVE, MENU_EXTRACT_MARKERS }) {
        choose(item);
        EXPECT_EQ(std::string(statusText.c_str()),
            "Please calibrate the diagram first: the points need its values.");
        EXPECT_EQ(clickMode, before) << item;
    }

    // A data area that lies beside the picture is empty; the pick goes on, for a rectangle.
    calibrate();
    originX = (PICTURE_WIDTH + 100) * scale();
    choose(MENU_EXTRACT_CURVE);
    clickDiagram(shown(600), shown(LINE_ROW));
    finishJobs();
    EXPECT_EQ(std::string(statusText.c_str()),
        "The area to search is empty. Please drag a rectangle on the chart.");
    EXPECT_EQ(clickMode, CLICK_PICK_COLOUR);

    // A rectangle without the colour clicked: nothing found.
    ASSERT_EQ(pressGadget(GADGET_DIAGRAM, shown(100), shown(380)), 1);
    ASSERT_EQ(moveInGadget(GADGET_DIAGRAM, shown(300), shown(420)), 1);
    ASSERT_EQ(moveInGadget(GADGET_DIAGRAM, shown(600), shown(450)), 1);
    ASSERT_EQ(releaseGadget(GADGET_DIAGRAM, shown(600), shown(450)), 1);
    settle();
    EXPECT_EQ(
        std::string(statusText.c_str()), "The rectangle is set. Please click on the colour to extract.");
    // The rectangle shows as a frame, black from its first corner, until the colour is picked.
    const auto red = [](int x, int y) {
        return imagePixels(IMAGE_DIAGRAM)[(y * imagePixelWidth(IMAGE_DIAGRAM) + x) * 4];
    };
    EXPECT_EQ(red(shown(100), shown(380)), 0);
    clickDiagram(shown(600), shown(LINE_ROW));
    finishJobs();
    EXPECT_EQ(red(shown(100), shown(380)), 255);
    EXPECT_EQ(std::string(statusText.c_str()), "Nothing of this colour was found in the area.");
    EXPECT_EQ(captureModel().rowCount(), 0);
    EXPECT_EQ(isDataModified(), 0);
}

// The points must fit into the table as a file or a project brings it back.
TEST_F(Extraction, PointsBeyondTheCellsTheTableHoldsAreRefused)
{
    startWithChart();
    calibrate();
    for (int column = 1; column < 64; ++column)
        ASSERT_TRUE(addColumn());
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    addExtractedPoints(std::vector<PixelPoint>(MAX_CSV_CELLS / 64 - 5, PixelPoint { 600, LINE_ROW }),
        currentCaptureCalibration());
    const int rows = captureModel().rowCount();
    pickOnChart(MENU_EXTRACT_CURVE, 600, LINE_ROW);
    EXPECT_EQ(std::string(statusText.c_str()), "The table holds 1,000,000 cells, as many as it can.");
    EXPECT_EQ(captureModel().rowCount(), rows);
}

TEST_F(Extraction, ACurveBecomesPointsOfTheSelectedColumnAsOneUndoStep)
{
    startWithChart();
    ASSERT_LT(scale(), 1.0) << "the picture is shown reduced, so its own pixels are decoded";
    calibrate();
    choose(MENU_CATCH_POINTS);
    scriptInputAnswer("10");
    choose(MENU_STEP_PIXELS);
    pickOnChart(MENU_EXTRACT_CURVE, 600, LINE_ROW);

    // Samples every 10 picture pixels from the area's first column (50): those on the line.
    const int expected = (LINE_END - LINE_FIRST) / 10;
    ASSERT_EQ(captureModel().rowCount(), expected);
    for (int row = 0; row < expected; ++row) {
        ASSERT_EQ(cell(row).kind, CellKind::Captured) << row;
        // Picture pixels at the picture's own resolution, not the reduced display's.
        EXPECT_NEAR(cell(row).point.x, LINE_FIRST + 10 * row, 1e-9) << row;
        EXPECT_NEAR(cell(row).point.y, LINE_ROW, 0.3) << row;
    }
    EXPECT_EQ(tableRows().size(), static_cast<std::size_t>(expected));
    EXPECT_NEAR(std::stod(tableRows()[0][0]), 850 - LINE_ROW, 0.3);
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 0).c_str()),
        "Points found: " + std::to_string(expected));
    EXPECT_EQ(clickMode, CLICK_CAPTURE) << "the click mode from before the pick";
    EXPECT_EQ(isDataModified(), 1);

    choose(MENU_UNDO);
    EXPECT_EQ(captureModel().rowCount(), 0);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(isDataModified(), 0);
    choose(MENU_REDO);
    EXPECT_EQ(captureModel().rowCount(), expected);

    // A second curve goes below what the column holds, again as one step.
    choose(MENU_EXTRACT_CURVE);
    clickDiagram(shown(600), shown(LINE_ROW));
    finishJobs();
    EXPECT_EQ(captureModel().rowCount(), 2 * expected);
    choose(MENU_UNDO);
    EXPECT_EQ(captureModel().rowCount(), expected);
}

TEST_F(Extraction, AStepInChartUnitsSamplesWholeMultiplesOfIt)
{
    startWithChart();
    calibrate();
    scriptInputAnswer("100");
    choose(MENU_STEP_CHART_UNITS);
    EXPECT_EQ(extractionSettings().stepKind, StepKind::ChartUnits);
    pickOnChart(MENU_EXTRACT_CURVE, 600, LINE_ROW);
    // Chart x 100, 200, ... 1000 lie on the line (picture x 150 ... 1050); 0 and 1100 do not.
    ASSERT_EQ(captureModel().rowCount(), 10);
    for (int row = 0; row < 10; ++row)
        EXPECT_NEAR(cell(row).point.x, 150 + 100 * row, 1e-6) << row;
}

TEST_F(Extraction, MarkersBecomeOnePointEachAtTheirCentres)
{
    startWithChart();
    calibrate();
    pickOnChart(MENU_EXTRACT_MARKERS, MARKER_COLUMNS[1], MARKER_ROW);
    ASSERT_EQ(captureModel().rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_NEAR(cell(row).point.x, MARKER_COLUMNS[row], 0.3) << row;
        EXPECT_NEAR(cell(row).point.y, MARKER_ROW, 0.3) << row;
    }
    choose(MENU_UNDO);
    EXPECT_EQ(captureModel().rowCount(), 0);
}

TEST_F(Extraction, ThePictureShownAtItsOwnSizeLendsItsPixelsWithoutTheMarkers)
{
    startWithChart();
    // The picture at its own width (no desktop width to fit).
    displayWidth = 0;
    diagramHeightBound = 0;
    ASSERT_TRUE(openDiagramFile(writeTemporaryFile("extraction-chart.bmp", chartBmp()).c_str()));
    ASSERT_EQ(scale(), 1.0);
    calibrate();
    choose(MENU_CATCH_POINTS);
    // A capture's marker painted over the first blue marker must not change what it looks like.
    clickDiagram(MARKER_COLUMNS[0], MARKER_ROW);
    pickOnChart(MENU_EXTRACT_MARKERS, MARKER_COLUMNS[0], MARKER_ROW);
    EXPECT_EQ(captureModel().rowCount(), 4);
    EXPECT_NEAR(cell(1).point.x, MARKER_COLUMNS[0], 0.3);
}

TEST_F(Extraction, TheRequestersOfferValuesAndAskAgainWhileRefused)
{
    startWithChart();
    struct Case {
        int item;
        std::vector<std::string> answers;
        std::string defaultText; // what the first requester offers
        int requesters;
    };
    const Case cases[] = {
        { MENU_COLOUR_TOLERANCE, { "abc", "500", "2.5", "30" }, "60", 4 },
        { MENU_STEP_PIXELS, { "0", "2,5" }, "5.00", 2 },
        { MENU_STEP_CHART_UNITS, { "-1", "0.25" }, "1.0000", 2 },
    };
    for (const Case& c : cases) {
        const std::size_t asked = askedRequesters().size();
        for (const std::string& answer : c.answers)
            scriptInputAnswer(answer);
        choose(c.item);
        ASSERT_EQ(askedRequesters().size(), asked + static_cast<std::size_t>(c.requesters)) << c.item;
        EXPECT_EQ(askedRequesters()[asked].defaultText, c.defaultText) << c.item;
        // A refused answer comes back with the reason and in the field, to be mended.
        EXPECT_EQ(
            askedRequesters()[asked + 1].text.rfind("This is not a value that can be used here:", 0), 0u);
        EXPECT_EQ(askedRequesters()[asked + 1].defaultText, c.answers[0]);
    }
    EXPECT_EQ(extractionSettings().tolerance, 30);
    EXPECT_EQ(extractionSettings().pixelStep, 2.5);
    EXPECT_EQ(extractionSettings().chartStep, 0.25);
    EXPECT_EQ(extractionSettings().stepKind, StepKind::ChartUnits) << "the step set last";

    // Remembered: offered next time; a cancelled requester keeps the value, and confirming the
    // offered step switches to its kind.
    choose(MENU_COLOUR_TOLERANCE);
    EXPECT_EQ(askedRequesters().back().defaultText, "30");
    EXPECT_EQ(extractionSettings().tolerance, 30);
    scriptInputAnswer("2.50");
    choose(MENU_STEP_PIXELS);
    EXPECT_EQ(extractionSettings().stepKind, StepKind::PicturePixels);
}

TEST_F(Extraction, SnapAndBarTopsMoveTheClickBeforeItIsStored)
{
    startWithChart();
    calibrate();
    choose(MENU_CATCH_POINTS);
    struct Case {
        int option; // 0: none
        double clickX, clickY; // picture pixels, clicked at the nearest displayed pixel
        double expectedY; // where the capture lands; NAN: where the click was
    };
    const Case cases[] = {
        { 0, 600, LINE_ROW + 5, NAN },
        { MENU_SNAP_CAPTURES, 600, LINE_ROW + 5, LINE_ROW },
        { MENU_SNAP_CAPTURES, 600, LINE_ROW - 4, LINE_ROW },
        // Nothing stands out near the click: it stays where it was made.
        { MENU_SNAP_CAPTURES, 600, 420, NAN },
        { MENU_CAPTURE_BAR_TOPS, 950, 700, BAR_TOP - 0.5 },
        // Outside a bar the click stays.
        { MENU_CAPTURE_BAR_TOPS, 850, 420, NAN },
    };
    int row = 0;
    for (const Case& c : cases) {
        if (c.option)
            choose(c.option);
        const int x = shown(c.clickX);
        const int y = shown(c.clickY);
        clickDiagram(x, y);
        finishJobs();
        ASSERT_EQ(captureModel().rowCount(), row + 1) << c.clickY;
        const PixelPoint clicked = currentCaptureCalibration().picturePixel({ double(x), double(y) });
        if (std::isnan(c.expectedY)) {
            EXPECT_EQ(cell(row).point, clicked) << row;
        } else {
            EXPECT_NEAR(cell(row).point.y, c.expectedY, 0.5) << row;
            EXPECT_NEAR(cell(row).point.x, clicked.x, 1 / scale() + 0.5) << row;
        }
        if (c.option)
            choose(c.option);
        ++row;
    }
    // Each capture is its own step.
    choose(MENU_UNDO);
    EXPECT_EQ(captureModel().rowCount(), row - 1);
}

TEST_F(Extraction, AJobThatTakesLongShowsItsProgressAndEscapeStopsIt)
{
    startWithChart();
    std::atomic<bool> sawStop { false };
    bool ended = false;
    JobResult::Outcome outcome = JobResult::Outcome::Done;
    PictureSource source;
    source.path = diagramPath.c_str();
    source.width = PICTURE_WIDTH;
    source.height = PICTURE_HEIGHT;
    startExtractionJob(
        source,
        [&sawStop](const PixelBuffer& pixels, const ExtractionProgress& progress) {
            EXPECT_EQ(pixels.width(), PICTURE_WIDTH);
            JobResult result;
            // Works until told to stop, half done all the while.
            for (int i = 0; i < 2000 && progress(0.5); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            sawStop = !progress(0.5);
            return result;
        },
        [&](const JobResult& result) {
            ended = true;
            outcome = result.outcome;
        });
    // The event loop goes on meanwhile, and the status bar tells how far the job is.
    EXPECT_TRUE(passUntil([] {
        return std::string(statusBarFieldText(STATUSBAR_MAIN, 0).c_str())
            == "Extracting: 50 % (Escape stops)";
    }));
    EXPECT_FALSE(ended);
    key(27);
    EXPECT_TRUE(passUntil([&] { return ended; }));
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(outcome, JobResult::Outcome::Stopped);
}

TEST_F(Extraction, EscapeStopsAnExtractionAndLeavesThePick)
{
    startWithChart();
    calibrate();
    choose(MENU_EXTRACT_CURVE);
    ASSERT_EQ(clickMode, CLICK_PICK_COLOUR);
    key(27);
    EXPECT_NE(clickMode, CLICK_PICK_COLOUR);
    // The next click is no pick any more.
    clickDiagram(shown(600), shown(LINE_ROW));
    finishJobs();
    EXPECT_EQ(captureModel().rowCount(), 0);

    // A picture that cannot be read again at its own size, or was replaced by another: the
    // extraction says so.
    std::ifstream sample(sampleChartPath(), std::ios::binary);
    const std::string otherPicture(
        (std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    for (const std::string& bytes : { std::string("not a picture any more"), otherPicture }) {
        choose(MENU_EXTRACT_CURVE);
        ASSERT_FALSE(writeTemporaryFile("extraction-chart.bmp", bytes).empty());
        clickDiagram(shown(600), shown(LINE_ROW));
        finishJobs();
        EXPECT_EQ(std::string(statusText.c_str()), "The picture could not be read at its own resolution.");
        EXPECT_EQ(captureModel().rowCount(), 0);
    }
}

TEST_F(Extraction, AResultThatEndsAfterAnotherPictureOpenedAddsNothingToIt)
{
    startWithChart();
    calibrate();
    choose(MENU_CATCH_POINTS);
    choose(MENU_SNAP_CAPTURES);
    // A job that holds the queue until the test lets it go: the click's search waits behind it.
    std::atomic<bool> release { false };
    PictureSource source;
    source.path = diagramPath.c_str();
    source.width = PICTURE_WIDTH;
    source.height = PICTURE_HEIGHT;
    startExtractionJob(
        source,
        [&release](const PixelBuffer&, const ExtractionProgress&) {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return JobResult();
        },
        [](const JobResult&) {});
    clickDiagram(shown(600), shown(LINE_ROW + 5));
    ASSERT_EQ(captureModel().rowCount(), 0) << "the click waits for its search";
    ASSERT_TRUE(openDiagramFile(sampleChartPath().c_str()));
    release = true;
    finishJobs();
    EXPECT_EQ(captureModel().rowCount(), 0);
}

} // namespace
