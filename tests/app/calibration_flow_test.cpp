#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/event_loop.h"
#include "app/status_prompt.h"

#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <algorithm>

namespace {

using Calibration = AppTest;

std::string title()
{
    return windowTitleText(WINDOW_MAIN).c_str();
}

std::string statusField()
{
    return statusBarFieldText(STATUSBAR_MAIN, 0).c_str();
}

bool blinking()
{
    const std::vector<int> timers = windowTimers(WINDOW_MAIN);
    return std::find(timers.begin(), timers.end(), TIMER_BLINK) != timers.end();
}

TEST_F(Calibration, GuidedSequenceFromOriginToCapture)
{
    start(sampleChartPath());
    key(SHORTCUT_ALT | 's');
    EXPECT_EQ(clickMode, CLICK_ORIGIN);
    EXPECT_EQ(guidedCalibration, 1);
    EXPECT_EQ(title(), "Graphonite / Set Origin");
    EXPECT_EQ(statusField(), "Set Origin");
    EXPECT_EQ(statusBarFieldFlags(STATUSBAR_MAIN, 0), 2);

    clickDiagram(40, 250);
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 40/250");
    EXPECT_EQ(clickMode, CLICK_WIDTH);
    EXPECT_EQ(title(), "Graphonite / Set Width of Dataarea");

    scriptInputAnswer("6");
    clickDiagram(360, 250);
    EXPECT_EQ(spanWidth, 320);
    EXPECT_EQ(widthReference, 6);
    EXPECT_EQ(text(GADGET_WIDTH), "Width: 320 - 6.0000");
    EXPECT_EQ(clickMode, CLICK_HEIGHT);
    EXPECT_EQ(title(), "Graphonite / Set Height of Dataarea");
    ASSERT_FALSE(askedRequesters().empty());
    const RequesterQuestion& widthQuestion = askedRequesters().back();
    EXPECT_EQ(widthQuestion.kind, RequesterKind::Input);
    EXPECT_EQ(widthQuestion.title, "Width Reference");
    EXPECT_EQ(widthQuestion.text, "Please enter like 1234,56 or 1234.56!");
    EXPECT_EQ(widthQuestion.defaultText, "0.0000");

    scriptInputAnswer("100");
    clickDiagram(40, 50);
    EXPECT_EQ(spanHeight, 200);
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: 200 - 100.0000");
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
    EXPECT_EQ(title(), "Graphonite / Set References.");
    EXPECT_EQ(
        std::string(statusText.c_str()), "Start now fetching data. Select 'Catch Points' from menu 'Data'.");

    clickDiagram(100, 150);
    EXPECT_EQ(tableRows(), (std::vector<std::vector<std::string>> { { "50.00" } }));
    EXPECT_EQ(statusField(), "50.00");
    EXPECT_EQ(text(GADGET_MESSAGE), "");
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(std::string(shownWindowTitle(WINDOW_MAIN).c_str()).front(), '*');
}

TEST_F(Calibration, SingleStepsStayInTheirModeUntilGuided)
{
    start(sampleChartPath());
    choose(MENU_SET_ORIGIN);
    EXPECT_TRUE(blinking());
    clickDiagram(10, 20);
    clickDiagram(11, 21);
    EXPECT_EQ(clickMode, CLICK_ORIGIN);
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 11/21");
    EXPECT_FALSE(blinking()) << "a click stops the blinking";
    EXPECT_EQ(text(GADGET_MESSAGE), "");

    // Option U and option O both set the origin.
    choose(MENU_SET_HEIGHT);
    key(SHORTCUT_ALT | 'u');
    EXPECT_EQ(clickMode, CLICK_ORIGIN);

    // Once guided, a single step chains on through its reference entry.
    key(SHORTCUT_ALT | 's');
    choose(MENU_SET_HEIGHT);
    scriptInputAnswer("");
    clickDiagram(10, 5);
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
}

TEST_F(Calibration, TheSecondClickOfADoubleClickIsIgnored)
{
    start(sampleChartPath());
    choose(MENU_SET_ORIGIN);
    clickGadget(GADGET_MAGNIFIER); // the click before is on another gadget
    setDoubleClickInterval(100000);
    clickDiagram(10, 20);
    clickDiagram(12, 21); // within the desktop's double-click distance
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 10/20");
    clickDiagram(13, 19); // a third quick click is a double click again
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 10/20");
    // A quick click elsewhere is a click of its own: fast captures are not lost.
    clickDiagram(50, 60);
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 50/60");
    setDoubleClickInterval(0);
}

TEST_F(Calibration, BlinkCycle)
{
    start(sampleChartPath());
    choose(MENU_SET_WIDTH);
    EXPECT_EQ(text(GADGET_MESSAGE), "") << "the prompt shows first at the first tick";
    std::vector<std::string> phases;
    for (int tick = 1; tick <= 7; ++tick) {
        pass();
        ASSERT_TRUE(passUntil([] { return eventCode == EVENT_TIMER; }, 2000)) << "tick " << tick;
        phases.push_back(text(GADGET_MESSAGE));
    }
    const std::string prompt = "Please click for setting the Width of Dataarea.";
    EXPECT_EQ(phases, (std::vector<std::string> { prompt, "", prompt, "", prompt, "", prompt }));
    EXPECT_FALSE(blinking());
    EXPECT_EQ(blinkTicks, 0);
}

TEST_F(Calibration, ReferenceEntries)
{
    start(sampleChartPath());
    struct Case {
        const char* typed;
        double stored;
    };
    const Case cases[] = {
        { "1234,56", 1234.56 }, { "", 1234.56 }, // nothing typed
        { "abc", 1234.56 }, // refused
        { "1.234,56", 1234.56 }, // refused, not read as 1.234
        { "NaN", 1234.56 }, { "12abc", 12 }, { "0,00004", 0.00004 },
        { "0.0000", 0.00004 }, // the offered text unchanged
    };
    for (const Case& c : cases) {
        scriptInputAnswer(c.typed);
        key(SHORTCUT_COMMAND | 'w');
        EXPECT_DOUBLE_EQ(widthReference, c.stored) << '"' << c.typed << '"';
    }
    EXPECT_EQ(askedRequesters().back().defaultText, "0.0000");

    // A refused answer is asked for again, the reason above it and the answer in the field;
    // the mended answer is stored.
    scriptInputAnswer("1 234,56");
    scriptInputAnswer("0x10");
    scriptInputAnswer("1234,5");
    const std::size_t before = askedRequesters().size();
    key(SHORTCUT_COMMAND | 'w');
    ASSERT_EQ(askedRequesters().size(), before + 3);
    const RequesterQuestion& again = askedRequesters()[before + 1];
    EXPECT_EQ(again.title, "Width Reference");
    EXPECT_EQ(again.text,
        "This is not a number that can be read: \"1 234,56\". Please enter like 1234,56 or 1234.56!");
    EXPECT_EQ(again.defaultText, "1 234,56");
    EXPECT_EQ(askedRequesters().back().defaultText, "0x10");
    EXPECT_DOUBLE_EQ(widthReference, 1234.5);
    // Closing the requester asked again keeps the value.
    scriptInputAnswer("abc");
    key(SHORTCUT_COMMAND | 'w');
    EXPECT_DOUBLE_EQ(widthReference, 1234.5);
    widthReference = 0.00004;

    // Command A asks with empty texts and drops the answer.
    scriptInputAnswer("77");
    key(SHORTCUT_COMMAND | 'a');
    EXPECT_EQ(askedRequesters().back().title, "");
    EXPECT_DOUBLE_EQ(widthReference, 0.00004);
    EXPECT_DOUBLE_EQ(heightReference, 0);
}

TEST_F(Calibration, AFailedCaptureLeadsToTheHeightClick)
{
    start(sampleChartPath());
    key(SHORTCUT_ALT | 's');
    clickDiagram(40, 250);
    scriptInputAnswer("6");
    clickDiagram(360, 250);
    // The height end on the origin's row: the span is 0.
    scriptInputAnswer("100");
    clickDiagram(40, 250);
    ASSERT_EQ(clickMode, CLICK_CAPTURE);
    clickDiagram(100, 150);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(clickMode, CLICK_HEIGHT) << "the prompt asks for the height, the click sets it";
    EXPECT_EQ(title(), "Graphonite / Set Height of Dataarea");
    EXPECT_TRUE(blinking());
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "") << "no chart values yet";

    // The guided sequence goes on as after any height click.
    scriptInputAnswer("");
    clickDiagram(40, 50);
    EXPECT_EQ(spanHeight, 200);
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
    clickDiagram(100, 150);
    EXPECT_EQ(tableRows(), (std::vector<std::vector<std::string>> { { "50.00" } }));
}

TEST_F(Calibration, ClicksWithoutAPositionAreIgnored)
{
    start(sampleChartPath());
    choose(MENU_SET_ORIGIN);
    clickGadget(GADGET_DIAGRAM, 0, 30, 30);
    placeMouseOutside();
    settle();
    EXPECT_EQ(originX, 0);
}

} // namespace
