#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/diagram.h"
#include "app/event_loop.h"
#include "app/main_window_layout.h"
#include "app/message_dialog.h"
#include "app/status_prompt.h"

#include "imaging/image.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include "app/data_table.h"
#include "app/diagram_size.h"
#include <algorithm>

#include "toolkit/desktop.h"

#include <cmath>

namespace {

// A 24-bit BMP of width x height in two colours (rows stored bottom-up), cut to `keep` of its
// bytes.
std::string bmpPicture(int width, int height, double keep = 1.0)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string out = "BM";
    auto put = [&out](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(static_cast<unsigned>(54 + rowBytes * height), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<unsigned>(width), 4);
    put(static_cast<unsigned>(height), 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out += (x + y) % 2 ? "\xFF\xFF\xFF" : std::string("\x20\x40\x80", 3);
        out.append(static_cast<std::size_t>(rowBytes - width * 3), '\0');
    }
    out.resize(static_cast<std::size_t>(static_cast<double>(out.size()) * keep));
    return out;
}

using StartUp = AppTest;

TEST_F(StartUp, ThePictureArgumentOpensTheFirstDiagram)
{
    start(sampleChartPath());
    ASSERT_TRUE(isWindow(WINDOW_MAIN));
    EXPECT_EQ(askedRequesters().size(), 0u) << "no open requester when the picture opened";

    // The 960 x 720 chart is shown at the display width, keeping its aspect ratio.
    EXPECT_GT(displayWidth, 0);
    EXPECT_EQ(spanWidth, displayWidth);
    EXPECT_EQ(spanHeight, static_cast<double>(static_cast<float>(720.0 / 960.0 * displayWidth)));
    EXPECT_EQ(imagePixelWidth(IMAGE_DIAGRAM), static_cast<int>(std::lround(displayWidth)));
    const MainWindowLayout layout = mainWindowLayout(spanWidth, spanHeight);
    EXPECT_EQ(windowWidth(WINDOW_MAIN), layout.contentWidth);
    EXPECT_EQ(windowHeight(WINDOW_MAIN), layout.contentHeight);
    EXPECT_EQ(gadgetX(GADGET_TABLE), layout.table.x);
    EXPECT_EQ(gadgetHeight(GADGET_TABLE), layout.table.height);

    EXPECT_EQ(std::string(windowTitleText(WINDOW_MAIN).c_str()), "Graphonite");
    EXPECT_EQ(windowOpenFlags(WINDOW_MAIN), WINDOW_CLOSE_BOX | WINDOW_CENTERED);
    EXPECT_EQ(text(GADGET_COORDS), "Coords: n/a");
    // The origin starts at the displayed picture's bottom-left corner.
    EXPECT_EQ(originY, spanHeight);
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 0/" + std::to_string(std::lround(spanHeight)));
    EXPECT_EQ(text(GADGET_WIDTH), "Width: n/a - 0.0000");
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: n/a - 0.0000");
    EXPECT_EQ(text(GADGET_COLUMN_SELECT), "Column 1");
    EXPECT_EQ(columnTitles(), (std::vector<std::string> { "1" }));
    EXPECT_EQ(listColumnWidth(GADGET_TABLE, 0), TABLE_COLUMN_WIDTH);
    EXPECT_EQ(gadgetFontPixelSize(GADGET_MESSAGE), 20);
    EXPECT_EQ(std::string(gadgetToolTipText(GADGET_RENAME_BUTTON).c_str()),
        "Change the name of the current column.");
    EXPECT_EQ(statusBarFieldCount(STATUSBAR_MAIN), 2);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
}

TEST_F(StartUp, GermanTexts)
{
    start(sampleChartPath(), 1);
    EXPECT_EQ(text(GADGET_COORDS), "Koordinaten: n/a");
    EXPECT_EQ(text(GADGET_WIDTH), "Breite: n/a - 0.0000");
    EXPECT_EQ(text(GADGET_COLUMN_SELECT), "Spalte 1");
    EXPECT_EQ(columnTitles(), (std::vector<std::string> { "1" }));
    EXPECT_EQ(menuBarTitles(WINDOW_MAIN),
        (std::vector<std::string> { "Datei", "Bearbeiten", "Daten", "Extrahieren" }));
    const std::vector<std::string> items = menuBarItemTexts(WINDOW_MAIN);
    EXPECT_NE(std::find(items.begin(), items.end(), "Beenden"), items.end());
    EXPECT_EQ(std::find(items.begin(), items.end(), "Quit"), items.end());
}

TEST_F(StartUp, AnUnreadablePictureIsReportedAndTheRequesterFollows)
{
    const std::string broken = writeTemporaryFile("broken.png", "\x89PNG\r\n\x1a\nnot really");
    scriptOpenFileAnswer({ sampleChartPath() });
    int dialogs = 0;
    actInNextDialog([&dialogs](int window) {
        ++dialogs;
        pressKey(window, 13);
    });
    start(broken);
    EXPECT_EQ(dialogs, 1);
    ASSERT_TRUE(isWindow(WINDOW_MAIN));
    EXPECT_EQ(imagePixelWidth(IMAGE_DIAGRAM), static_cast<int>(std::lround(displayWidth)));
    ASSERT_EQ(askedRequesters().size(), 1u);
    EXPECT_EQ(askedRequesters()[0].kind, RequesterKind::OpenFile);
    EXPECT_EQ(askedRequesters()[0].title, "Open Diagram File (PNG, JPG)");
    EXPECT_TRUE(std::isfinite(spanHeight));
}

TEST_F(StartUp, GivingUpTheFirstPictureEndsTheProgram)
{
    // The requester is cancelled (nothing scripted), the reminder answers Cancel (Escape).
    answerNextDialogWithKey(27);
    try {
        start("");
        FAIL() << "the program went on without a picture";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, 0);
    }
    EXPECT_FALSE(isWindow(WINDOW_MAIN));
}

TEST_F(StartUp, OkInTheReminderAsksForAPictureAgain)
{
    answerNextDialogWithKey(13); // OK
    scriptOpenFileAnswer({}); // cancelled again
    answerNextDialogWithKey(27);
    EXPECT_THROW(start(""), ProgramEnded);
    int openRequesters = 0;
    for (const RequesterQuestion& question : askedRequesters())
        openRequesters += question.kind == RequesterKind::OpenFile;
    EXPECT_EQ(openRequesters, 2);
}

// The requester for a diagram starts where the user's pictures are: first in the folder the
// program was started from (not the program's own folder, which start-up makes the working
// directory), then in the folder of the open diagram.
TEST_F(StartUp, TheDiagramRequesterStartsWhereTheUserIs)
{
    scriptOpenFileAnswer({ sampleChartPath() });
    start("");
    ASSERT_TRUE(isWindow(WINDOW_MAIN));
    ASSERT_EQ(askedRequesters().size(), 1u);
    EXPECT_NE(askedRequesters()[0].defaultText, "");
    EXPECT_EQ(askedRequesters()[0].defaultText, startingFolder());

    scriptOpenFileAnswer({});
    choose(MENU_OPEN_DIAGRAM);
    ASSERT_EQ(askedRequesters().size(), 2u);
    const std::string chart = sampleChartPath();
    EXPECT_EQ(askedRequesters()[1].defaultText, chart.substr(0, chart.rfind('/') + 1));
}

TEST_F(StartUp, TallPicturesOpenSmallerAndTheWindowFitsTheDesktop)
{
    ASSERT_GT(examineDesktops(), 0);
    const int available = desktopAvailableHeight(0);
    const struct {
        int width, height;
    } pictures[] = { { 960, 2000 }, { 20, 3000 }, { 960, 720 } };
    for (const auto& p : pictures) {
        const std::string name = std::to_string(p.width) + "x" + std::to_string(p.height);
        SCOPED_TRACE(name);
        start(writeTemporaryFile(name + ".bmp", bmpPicture(p.width, p.height)));
        ASSERT_TRUE(isWindow(WINDOW_MAIN));
        EXPECT_TRUE(askedRequesters().empty()) << "opened as a picture";
        EXPECT_LE(windowHeight(WINDOW_MAIN) + WINDOW_DECORATION_HEIGHT, available);
        EXPECT_LE(spanWidth, displayWidth);
        // Spans and origin are in the displayed pixels; the shape is kept.
        EXPECT_EQ(imagePixelHeight(IMAGE_DIAGRAM), static_cast<int>(std::lround(spanHeight)));
        EXPECT_EQ(imagePixelWidth(IMAGE_DIAGRAM), std::max(1, static_cast<int>(std::lround(spanWidth))));
        EXPECT_EQ(originY, spanHeight);
        EXPECT_NEAR(spanWidth / spanHeight, static_cast<double>(p.width) / p.height, 1e-6);
        EXPECT_EQ(gadgetWidth(GADGET_DIAGRAM), imagePixelWidth(IMAGE_DIAGRAM));
        EXPECT_EQ(gadgetX(GADGET_COORDS), mainWindowLayout(spanWidth, spanHeight).coords.x);

        // The readout follows the mouse over the picture only, not over the gadgets beside it.
        placeMouse(WINDOW_MAIN, 0, 5);
        pass();
        EXPECT_EQ(text(GADGET_COORDS), "Coords: 0/5");
        placeMouse(WINDOW_MAIN, gadgetX(GADGET_COORDS) + 5, 5);
        pass();
        EXPECT_EQ(text(GADGET_COORDS), "Coords: 0/5");
        closeAllWindows();
    }
}

TEST_F(StartUp, AnIncompletePictureSaysHowManyRowsItHas)
{
    // 300 rows, cut after about half of them; the rows stored first are the bottom ones.
    const std::string cut = writeTemporaryFile("cut.bmp", bmpPicture(400, 300, 0.5));
    const int rows = (static_cast<int>(bmpPicture(400, 300, 0.5).size()) - 54) / 1200;
    for (int lang : { 0, 1 }) {
        start(cut, lang);
        ASSERT_TRUE(isWindow(WINDOW_MAIN));
        const std::string expected = lang == 0
            ? "The picture is incomplete: " + std::to_string(rows) + " of 300 rows"
            : "Das Bild ist unvollst\xE4ndig: " + std::to_string(rows) + " von 300 Zeilen";
        EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), expected);
        // The missing rows are black.
        const std::uint8_t* top = imagePixels(IMAGE_DIAGRAM);
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top[0] | top[1] | top[2], 0);
        EXPECT_EQ(top[3], 255);
    }
    // A whole picture says nothing.
    start(writeTemporaryFile("whole.bmp", bmpPicture(400, 300)));
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "");
}

using Quitting = AppTest;

TEST_F(Quitting, WithoutCapturesAtOnce)
{
    start(sampleChartPath());
    choose(MENU_ITEM_QUIT);
    EXPECT_EQ(quitRequested, 1);
}

TEST_F(Quitting, TheCloseBoxAsksLikeQuit)
{
    start(sampleChartPath());
    choose(MENU_CATCH_POINTS);
    clickDiagram(50, 50);
    answerNextDialogWithKey(27);
    closeBox(WINDOW_MAIN);
    settle();
    EXPECT_EQ(quitRequested, 0);
    EXPECT_TRUE(isWindow(WINDOW_MAIN));
    answerNextDialogWithKey(13);
    closeBox(WINDOW_MAIN);
    settle();
    EXPECT_EQ(quitRequested, 1);
}

TEST_F(Quitting, AfterACaptureOnlyWhenTheUserSaysYes)
{
    start(sampleChartPath());
    choose(MENU_CATCH_POINTS);
    clickDiagram(50, 50);
    ASSERT_TRUE(isWindowModified(WINDOW_MAIN));

    answerNextDialogWithKey('n'); // not a letter of the Yes/No dialog
    answerNextDialogWithKey(27); // Escape: No
    choose(MENU_ITEM_QUIT);
    EXPECT_EQ(quitRequested, 0);

    // While the dialog is open the main window's commands do not answer it.
    actInNextDialog([](int) { pressKey(WINDOW_MAIN, SHORTCUT_COMMAND | 'o'); });
    answerNextDialogWithKey('y');
    choose(MENU_ITEM_QUIT);
    EXPECT_EQ(quitRequested, 1);
}

// Logging out: the session manager hears the user's answer before the session ends. No keeps
// the program (and the captures) running; Yes lets the session end, and the quit request that
// follows needs no second question.
TEST_F(Quitting, TheSessionEndsOnlyWhenTheUserAgrees)
{
    start(sampleChartPath());
    EXPECT_EQ(askSessionEnd(1), 1) << "nothing to lose: no question";
    choose(MENU_CATCH_POINTS);
    clickDiagram(50, 50);
    ASSERT_TRUE(isWindowModified(WINDOW_MAIN));

    answerNextDialogWithKey(27); // No
    EXPECT_EQ(askSessionEnd(1), 0);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(quitRequested, 0);
    // Without leave to ask, the program agrees once the work is on the disk (see the autosave
    // tests); a refusal with leave to ask is remembered all the same.
    requestDesktopQuit();
    answerNextDialogWithKey(27); // the quit request after a refusal asks again
    settle();
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(quitRequested, 0);

    answerNextDialogWithKey(13); // Yes
    EXPECT_EQ(askSessionEnd(1), 1);
    EXPECT_EQ(quitRequested, 0) << "the program waits for the session manager's quit request";
    int questions = 0;
    actInNextDialog([&questions](int window) {
        ++questions;
        pressKey(window, 27);
    });
    requestDesktopQuit();
    settle();
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(quitRequested, 1);
    forgetDialogActions();
}

TEST_F(Quitting, AnAgreementToEndTheSessionIsForgottenWhenTheUserGoesOn)
{
    start(sampleChartPath());
    choose(MENU_CATCH_POINTS);
    clickDiagram(50, 50);
    answerNextDialogWithKey(13); // Yes
    EXPECT_EQ(askSessionEnd(1), 1);
    // The session did not end after all (another program refused); the user captures more.
    clickDiagram(60, 60);
    answerNextDialogWithKey(27); // No
    requestDesktopQuit();
    settle();
    EXPECT_EQ(pendingDialogActions(), 0) << "the quit request asked";
    EXPECT_EQ(quitRequested, 0);
}

TEST_F(StartUp, TheDesktopKnowsTheProgram)
{
    start(sampleChartPath());
    EXPECT_EQ(applicationDesktopFileName(), "io.github.graphonite.Graphonite");
    EXPECT_EQ(windowHasIcon(WINDOW_MAIN), 1);
}

using Menus = AppTest;

TEST_F(Menus, BarAndPopupsFollowTheColumnCount)
{
    start(sampleChartPath());
    const std::vector<int> bar = menuBarItems(WINDOW_MAIN);
    const std::vector<int> table = popupMenuItems(POPUP_TABLE);
    const std::vector<int> diagram = popupMenuItems(POPUP_DIAGRAM);
    EXPECT_EQ(diagram,
        (std::vector<int> { 1, 9, 0, 5, 10, 11, 12, 0, 16, 17, 32, 0, 50, 51, 52, 53, 0, 60, 0, 40, 0, 90, 91,
            0, 92, 93, 0, 94, 95, 96 }));
    EXPECT_EQ(table, (std::vector<int> { 2, 3, 0, 4, 0, 30, 31, 0, 24, 23, 21 }));
    EXPECT_EQ(std::count(bar.begin(), bar.end(), MENU_REMOVE_LAST_COLUMN), 0);

    key(SHORTCUT_ALT | 'a');
    EXPECT_EQ(popupMenuItems(POPUP_TABLE).back(), MENU_REMOVE_LAST_COLUMN);
    const std::vector<int> barWithTwo = menuBarItems(WINDOW_MAIN);
    EXPECT_EQ(std::count(barWithTwo.begin(), barWithTwo.end(), MENU_REMOVE_LAST_COLUMN), 1);

    key(SHORTCUT_ALT | 'r');
    EXPECT_EQ(columnTitles().size(), 1u);
    EXPECT_EQ(popupMenuItems(POPUP_TABLE), table);
}

TEST_F(Menus, RightClicksOpenTheirPopupMenu)
{
    start(sampleChartPath());
    clickDiagram(30, 30, GADGET_RIGHT_CLICK);
    EXPECT_EQ(lastDisplayedPopup(), POPUP_DIAGRAM);
    EXPECT_EQ(choosePopupMenuItem(POPUP_DIAGRAM, MENU_SET_WIDTH), 1);
    settle();
    EXPECT_EQ(clickMode, CLICK_WIDTH);
    clickGadget(GADGET_TABLE, GADGET_RIGHT_CLICK);
    settle();
    EXPECT_EQ(lastDisplayedPopup(), POPUP_TABLE);
}

TEST_F(Menus, OpeningAnotherDiagramRebuildsWindowAndMenus)
{
    start(sampleChartPath());
    choose(MENU_CATCH_POINTS);
    clickDiagram(50, 50);
    key(SHORTCUT_ALT | 'a');
    ASSERT_EQ(columnTitles().size(), 2u);

    // Unsaved captures: the question comes first; No keeps everything.
    answerNextDialogWithKey(27);
    choose(MENU_OPEN_DIAGRAM);
    EXPECT_TRUE(askedRequesters().empty());

    // A picture that cannot be read leaves everything as it was.
    const std::string broken = writeTemporaryFile("broken.jpg", "\xFF\xD8\xFF garbage");
    scriptOpenFileAnswer({ broken });
    answerNextDialogWithKey('y');
    answerNextDialogWithKey(13);
    choose(MENU_OPEN_DIAGRAM);
    EXPECT_EQ(columnTitles().size(), 2u);
    EXPECT_EQ(tableRows().size(), 1u);

    // A cancelled choice too.
    scriptOpenFileAnswer({});
    answerNextDialogWithKey('y');
    choose(MENU_OPEN_DIAGRAM);
    EXPECT_EQ(tableRows().size(), 1u);

    scriptOpenFileAnswer({ sampleChartPath() });
    answerNextDialogWithKey('y');
    choose(MENU_OPEN_DIAGRAM);
    EXPECT_EQ(columnTitles().size(), 1u);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(clickMode, CLICK_CAPTURE) << "the click mode survives";
    // The new window has menus, without Remove Last Column, and the program can be quit.
    const std::vector<int> bar = menuBarItems(WINDOW_MAIN);
    EXPECT_FALSE(bar.empty());
    EXPECT_EQ(std::count(bar.begin(), bar.end(), MENU_REMOVE_LAST_COLUMN), 0);
    choose(MENU_ITEM_QUIT);
    EXPECT_EQ(quitRequested, 1);
}

TEST_F(Menus, ANewPictureStartsAFreshWindowAndKeepsTheReferencesAndModes)
{
    start(sampleChartPath());
    key(SHORTCUT_ALT | 's');
    clickDiagram(40, 250);
    scriptInputAnswer("6");
    clickDiagram(360, 250);
    scriptInputAnswer("100");
    clickDiagram(40, 50);
    clickDiagram(100, 150);
    key(SHORTCUT_ALT | 'a');
    key(SHORTCUT_ALT | 'n');
    setGadgetText(GADGET_COLUMN_NAME, "half typed");
    placeMouse(WINDOW_MAIN, 100, 100);
    pass();
    ASSERT_NE(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "");
    ASSERT_TRUE(isWindowModified(WINDOW_MAIN));

    scriptOpenFileAnswer({ sampleChartPath() });
    answerNextDialogWithKey('y');
    choose(MENU_OPEN_DIAGRAM);
    placeMouseOutside();
    pass();

    // Reset: the calibration's pixels, the readouts, the table, the mark, the rename field.
    EXPECT_EQ(originX, 0);
    EXPECT_EQ(originY, spanHeight);
    EXPECT_EQ(spanWidth, displayWidth);
    EXPECT_EQ(widthCalibrated, 0);
    EXPECT_EQ(heightCalibrated, 0);
    EXPECT_EQ(text(GADGET_COORDS), "Coords: n/a");
    EXPECT_EQ(text(GADGET_ORIGIN), "Origin: 0/" + std::to_string(std::lround(spanHeight)));
    EXPECT_EQ(text(GADGET_WIDTH), "Width: n/a - 6.0000");
    EXPECT_EQ(text(GADGET_HEIGHT), "Height: n/a - 100.0000");
    EXPECT_EQ(text(GADGET_MESSAGE), "");
    EXPECT_EQ(columnTitles(), (std::vector<std::string> { "1" }));
    EXPECT_EQ(selectorItems(), (std::vector<std::string> { "Column 1" }));
    EXPECT_TRUE(tableRows().empty());
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(renameFieldOpen(), 0);
    EXPECT_EQ(text(GADGET_COLUMN_NAME), "");
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "");
    EXPECT_EQ(std::string(windowTitleText(WINDOW_MAIN).c_str()), "Graphonite");
    // Kept: the reference values and the click modes.
    EXPECT_EQ(widthReference, 6);
    EXPECT_EQ(heightReference, 100);
    EXPECT_EQ(clickMode, CLICK_CAPTURE);
    EXPECT_EQ(guidedCalibration, 1);
    // The new table is unsaved only once it holds something.
    key(SHORTCUT_ALT | 'a');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
}

using Tracking = AppTest;

TEST_F(Tracking, ReadoutAndMagnifierFollowTheMouseOverTheDiagram)
{
    start(sampleChartPath());
    placeMouse(WINDOW_MAIN, 123, 45);
    pass();
    EXPECT_EQ(text(GADGET_COORDS), "Coords: 123/45");
    EXPECT_EQ(mouseX, 123);
    EXPECT_EQ(imagePixelWidth(IMAGE_MAGNIFIER), 180);

    // At x = displayWidth and outside the window the readout keeps its text.
    placeMouse(WINDOW_MAIN, static_cast<int>(displayWidth), 45);
    pass();
    EXPECT_EQ(text(GADGET_COORDS), "Coords: 123/45");
    placeMouseOutside();
    pass();
    EXPECT_EQ(mouseX, -1);
    EXPECT_EQ(text(GADGET_COORDS), "Coords: 123/45");
    // Below the diagram but left of the display width it still runs.
    placeMouse(WINDOW_MAIN, 10, windowHeight(WINDOW_MAIN) - 5);
    pass();
    EXPECT_EQ(text(GADGET_COORDS), "Coords: 10/" + std::to_string(windowHeight(WINDOW_MAIN) - 5));
}

TEST_F(Tracking, TheMagnifierShowsThreeTimesTheAreaWithAnOpenCrossHair)
{
    start(sampleChartPath());
    placeMouse(WINDOW_MAIN, 5, 5);
    pass();
    const std::uint8_t* pixels = imagePixels(IMAGE_MAGNIFIER);
    ASSERT_NE(pixels, nullptr);
    auto pixel = [pixels](int x, int y) {
        const std::uint8_t* p = pixels + (y * 180 + x) * 4;
        return (p[0] << 16) | (p[1] << 8) | p[2];
    };
    // Outside the diagram (left of x = -25 maps to magnifier x < 15) the grab is black; the
    // chart's white background shows in the middle; the bars are black, the centre open.
    EXPECT_EQ(pixel(5, 5), 0x000000);
    EXPECT_EQ(pixel(150, 150), 0xFFFFFF);
    EXPECT_EQ(pixel(90, 75), 0x000000);
    EXPECT_EQ(pixel(75, 90), 0x000000);
    EXPECT_EQ(pixel(89, 88), 0xFFFFFF);
    EXPECT_EQ(pixel(91, 91), 0xFFFFFF);
    // Each bar from end to end, 3 thick, with the chart's white beside it.
    const struct {
        const char* bar;
        int firstX, firstY, lastX, lastY; // opposite corners, black
        int besideX, besideY; // just beside its middle, white
    } bars[] = {
        { "top", 89, 70, 91, 87, 92, 78 },
        { "bottom", 89, 92, 91, 109, 88, 100 },
        { "left", 70, 89, 87, 91, 78, 92 },
        { "right", 92, 89, 109, 91, 100, 88 },
    };
    for (const auto& b : bars) {
        EXPECT_EQ(pixel(b.firstX, b.firstY), 0x000000) << b.bar;
        EXPECT_EQ(pixel(b.lastX, b.lastY), 0x000000) << b.bar;
        EXPECT_EQ(pixel(b.besideX, b.besideY), 0xFFFFFF) << b.bar;
    }
}

} // namespace
