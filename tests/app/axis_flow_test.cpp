#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/chart_transform.h"
#include "app/data_table.h"
#include "app/status_prompt.h"

#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <cmath>
#include <cstdlib>

namespace {

using Axes = AppTest;
using Rows = std::vector<std::vector<std::string>>;

std::string title()
{
    return windowTitleText(WINDOW_MAIN).c_str();
}

std::vector<std::string> askedTitles()
{
    std::vector<std::string> titles;
    for (const RequesterQuestion& question : askedRequesters())
        titles.push_back(question.title);
    return titles;
}

TEST_F(Axes, OriginValuesShiftTheCapturedValuesAndUndoTakesThemBack)
{
    start(sampleChartPath());
    useSimpleCalibration();
    widthReference = 100;
    scriptInputAnswer("10");
    scriptInputAnswer("5,5");
    choose(MENU_SET_ORIGIN_VALUES);
    EXPECT_EQ(askedTitles(), (std::vector<std::string> { "Origin X Value", "Origin Y Value" }));
    EXPECT_EQ(askedRequesters()[0].defaultText, "0.0000");
    EXPECT_EQ(currentCaptureCalibration().originValueX, 10);
    EXPECT_EQ(currentCaptureCalibration().originValueY, 5.5);

    // The height reference stays the value at the height end: row 200 is half way from 5.5.
    choose(MENU_CATCH_POINTS);
    clickDiagram(100, 200);
    EXPECT_EQ(tableRows(), (Rows { { "52.75" } }));

    choose(MENU_UNDO); // the capture
    choose(MENU_UNDO); // the origin values
    EXPECT_EQ(currentCaptureCalibration().originValueY, 0);
    EXPECT_TRUE(currentCaptureCalibration().isPlainCorner());
    clickDiagram(100, 200);
    EXPECT_EQ(tableRows(), (Rows { { "50.00" } }));
}

TEST_F(Axes, OriginValuesFollowTheReferenceRules)
{
    start(sampleChartPath());
    // A refused answer is asked for again; an answer kept leaves its value.
    scriptInputAnswer("1.234,5");
    scriptInputAnswer("-7");
    scriptInputAnswer("");
    choose(MENU_SET_ORIGIN_VALUES);
    ASSERT_EQ(askedRequesters().size(), 3u);
    EXPECT_EQ(askedRequesters()[1].text,
        "This is not a number that can be read: \"1.234,5\". Please enter like 1234,56 or 1234.56!");
    EXPECT_EQ(currentCaptureCalibration().originValueX, -7);
    EXPECT_EQ(currentCaptureCalibration().originValueY, 0);
}

TEST_F(Axes, ALogarithmicAxisRefusesValuesNotAboveZero)
{
    start(sampleChartPath());
    useSimpleCalibration();
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_LOGARITHMIC_Y), 0);
    choose(MENU_LOGARITHMIC_Y);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_LOGARITHMIC_Y), 1);
    EXPECT_EQ(popupMenuItemChecked(POPUP_DIAGRAM, MENU_LOGARITHMIC_Y), 1);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_LOGARITHMIC_X), 0);
    // The origin value 0 cannot stand on it: the user is told.
    EXPECT_EQ(title(), "Graphonite / Logarithmic Y Axis");
    EXPECT_EQ(std::string(statusText.c_str()),
        "A logarithmic axis has only values above 0: please set the values of this axis again.");

    // The x value may be 0 on the linear x axis; the y value may not.
    scriptInputAnswer("0");
    scriptInputAnswer("0");
    scriptInputAnswer("-1");
    scriptInputAnswer("1");
    choose(MENU_SET_ORIGIN_VALUES);
    ASSERT_EQ(askedRequesters().size(), 4u);
    EXPECT_EQ(askedRequesters()[2].text,
        "A logarithmic axis has only values above 0: \"0\". Please enter like 1234,56 or 1234.56!");
    EXPECT_EQ(askedRequesters()[3].text,
        "A logarithmic axis has only values above 0: \"-1\". Please enter like 1234,56 or 1234.56!");
    EXPECT_EQ(currentCaptureCalibration().originValueY, 1);

    scriptInputAnswer("-100");
    scriptInputAnswer("1000");
    choose(MENU_SET_REFERENCE_HEIGHT);
    EXPECT_EQ(askedRequesters().size(), 6u);
    EXPECT_EQ(heightReference, 1000);

    // From 1 to 1000 over 100 rows: half way up is the square root of 1000.
    choose(MENU_CATCH_POINTS);
    clickDiagram(100, 200);
    clickDiagram(100, 150);
    EXPECT_EQ(tableRows(), (Rows { { "31.62" }, { "1000.00" } }));

    // Undo goes back over the reference, the origin values and the scale.
    for (int i = 0; i < 5; ++i)
        choose(MENU_UNDO);
    EXPECT_EQ(currentCaptureCalibration().yScale, AxisScale::Linear);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_LOGARITHMIC_Y), 0);
    choose(MENU_REDO);
    EXPECT_EQ(menuBarItemChecked(WINDOW_MAIN, MENU_LOGARITHMIC_Y), 1);
}

TEST_F(Axes, ACaptureWithoutValueIsRefusedWithAMessage)
{
    start(sampleChartPath());
    useSimpleCalibration();
    choose(MENU_LOGARITHMIC_Y); // origin value 0: no value anywhere
    choose(MENU_CATCH_POINTS);
    clickDiagram(100, 150);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
    EXPECT_EQ(title(), "Graphonite / Catch Points");
}

// A chart drawn upright at 3.4 pixels per x unit and 2.6 per y unit, turned about the middle of
// the 400 x 300 pixels the sample chart is shown at, as the whole pixel a user clicks.
struct Pixel {
    int x, y;
};
Pixel drawn(double u, double v, double degrees)
{
    const double angle = degrees * M_PI / 180.0;
    const double x = 30 + 3.4 * u - 200;
    const double y = 280 - 2.6 * v - 150;
    return { static_cast<int>(std::lround(200 + x * std::cos(angle) - y * std::sin(angle))),
        static_cast<int>(std::lround(150 + x * std::sin(angle) + y * std::cos(angle))) };
}

class AxisMarksFlow : public AppTest {
protected:
    // The guided two-point calibration with marks off the corner, then captures of (55, 47) and
    // (20, 90): their values as the table shows them.
    std::vector<double> calibrateAndCapture(double degrees, int language = 0)
    {
        start(sampleChartPath(), language);
        choose(MENU_CALIBRATE_BY_AXIS_MARKS);
        EXPECT_EQ(clickMode, CLICK_AXIS_MARK);
        if (language == 0) {
            EXPECT_EQ(title(), "Graphonite / Set First Point on X Axis");
        }
        const struct {
            double u, v;
            const char* value;
            const char* nextTitle;
        } marks[] = {
            { 10, 20, "10", "Graphonite / Set Second Point on X Axis" },
            { 90, 20, "90", "Graphonite / Set First Point on Y Axis" },
            { 30, 10, "10", "Graphonite / Set Second Point on Y Axis" },
            { 30, 80, "80", "Graphonite / Set References." },
        };
        for (const auto& mark : marks) {
            scriptInputAnswer(mark.value);
            const Pixel pixel = drawn(mark.u, mark.v, degrees);
            clickDiagram(pixel.x, pixel.y);
            if (language == 0) {
                EXPECT_EQ(title(), mark.nextTitle);
            }
        }
        if (language == 0) {
            EXPECT_EQ(askedTitles(),
                (std::vector<std::string> {
                    "First X Value", "Second X Value", "First Y Value", "Second Y Value" }));
        }
        EXPECT_EQ(clickMode, CLICK_CAPTURE);
        EXPECT_EQ(chartCalibrated(), 1);
        for (const auto& [u, v] : { std::pair { 55.0, 47.0 }, std::pair { 20.0, 90.0 } }) {
            const Pixel pixel = drawn(u, v, degrees);
            clickDiagram(pixel.x, pixel.y);
        }
        std::vector<double> values;
        for (const auto& row : tableRows())
            values.push_back(std::atof(row[0].c_str()));
        return values;
    }
};

TEST_F(AxisMarksFlow, ARotatedScanIsReadAsAccuratelyAsAnUprightOne)
{
    // A whole-pixel click is off by up to half a pixel, a fifth of a y unit; the marks add as much.
    for (const double degrees : { 0.0, 4.0, -5.0 }) {
        const std::vector<double> values = calibrateAndCapture(degrees);
        ASSERT_EQ(values.size(), 2u) << degrees;
        EXPECT_NEAR(values[0], 47, 0.35) << degrees;
        EXPECT_NEAR(values[1], 90, 0.35) << degrees;
        // The readout follows the marks too.
        const Pixel pixel = drawn(55, 47, degrees);
        const std::string readout = chartPositionText(pixel.x, pixel.y).c_str();
        EXPECT_EQ(readout.rfind("x: 5", 0), 0u) << readout;
        EXPECT_NE(readout.find("   y: 4"), std::string::npos) << readout;
        TearDown();
        SetUp();
    }
}

TEST_F(AxisMarksFlow, UndoTakesTheMarksBackAndACornerClickLeavesThem)
{
    calibrateAndCapture(0.0);
    ASSERT_TRUE(currentCaptureCalibration().axisMarks);
    // The readouts tell what the marks set: where the two axes cross, and each axis's two values.
    const Pixel crossing = drawn(30, 20, 0.0);
    const std::string markedOrigin
        = "Origin: " + std::to_string(crossing.x) + "/" + std::to_string(crossing.y);
    EXPECT_EQ(text(GADGET_ORIGIN), markedOrigin);
    EXPECT_EQ(text(GADGET_WIDTH), "X Axis: 10 - 90");
    EXPECT_EQ(text(GADGET_HEIGHT), "Y Axis: 10 - 80");
    choose(MENU_UNDO);
    choose(MENU_UNDO);
    choose(MENU_UNDO);
    EXPECT_FALSE(currentCaptureCalibration().axisMarks);
    EXPECT_EQ(text(GADGET_WIDTH), "Width: n/a - 0.0000");
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: n/a - 0.0000");
    choose(MENU_REDO);
    ASSERT_TRUE(currentCaptureCalibration().axisMarks);
    EXPECT_EQ(text(GADGET_ORIGIN), markedOrigin);
    EXPECT_EQ(text(GADGET_HEIGHT), "Y Axis: 10 - 80");
    choose(MENU_SET_ORIGIN);
    clickDiagram(40, 250);
    EXPECT_FALSE(currentCaptureCalibration().axisMarks);
    // Back to the corner way: every readout shows the corner values again.
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 40/250");
    EXPECT_EQ(text(GADGET_WIDTH), "Width: n/a - 0.0000");
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: n/a - 0.0000");
}

TEST_F(AxisMarksFlow, TheAxisReadoutsSpeakGermanAndShowFractions)
{
    EXPECT_EQ(axisMarksReadout("X Axis", 0.001, 1000).c_str(), std::string("X Axis: 0.001 - 1000"));
    EXPECT_EQ(axisMarksReadout("Y Axis", -2.5, 1.23456).c_str(), std::string("Y Axis: -2.5 - 1.2346"));
    EXPECT_EQ(axisMarksReadout("Y Axis", 1990, 2020.0001).c_str(), std::string("Y Axis: 1990 - 2020.0001"));
    calibrateAndCapture(0.0, 1);
    EXPECT_EQ(text(GADGET_WIDTH), "X-Achse: 10 - 90");
    EXPECT_EQ(text(GADGET_HEIGHT), "Y-Achse: 10 - 80");
}

TEST_F(Axes, MarksOnALogarithmicAxisRefuseValuesNotAboveZero)
{
    start(sampleChartPath());
    choose(MENU_LOGARITHMIC_X);
    choose(MENU_CALIBRATE_BY_AXIS_MARKS);
    const std::size_t asked = askedRequesters().size();
    scriptInputAnswer("0");
    scriptInputAnswer("1");
    clickDiagram(40, 250);
    EXPECT_EQ(askedRequesters().size(), asked + 2);
    scriptInputAnswer("1000");
    clickDiagram(360, 250);
    scriptInputAnswer("0"); // the y axis is linear
    clickDiagram(100, 280);
    scriptInputAnswer("50");
    clickDiagram(100, 40);
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
    const std::string readout = chartPositionText(200, 160).c_str();
    EXPECT_EQ(readout, "x: 31.6228   y: 25.0000");
}

TEST_F(Axes, MarksThatDefineNoAxesChangeNothing)
{
    start(sampleChartPath());
    choose(MENU_CALIBRATE_BY_AXIS_MARKS);
    for (int i = 0; i < 4; ++i) {
        scriptInputAnswer("5"); // every value the same
        clickDiagram(60 + 100 * i, 280 - 50 * i);
    }
    EXPECT_FALSE(currentCaptureCalibration().axisMarks);
    EXPECT_EQ(clickMode, CLICK_NOTHING);
    EXPECT_EQ(title(), "Graphonite / Calibrate by Two Points per Axis");
    EXPECT_FALSE(canUndoChange());
}

} // namespace
