#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// In-process tests of the application: the program starts as it does for a user (runtime
// start-up, language, first diagram, menus) on Qt's offscreen desktop, requesters answer from
// the requester script, and the test acts through the toolkit's test driver by window, gadget
// and menu item numbers. endProgram throws ProgramEnded instead of ending the process.

struct ProgramEnded {
    int exitCode = 0;
};

// The sample chart of the repository (960 x 720; see samples/README.md).
std::string sampleChartPath();
// A file with these bytes in the test's temporary folder; its path.
std::string writeTemporaryFile(const std::string& name, const std::string& bytes);
// The bytes of a file; empty when it cannot be read.
std::string contentOf(const std::string& path);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with the picture (opened without the requester), in English (0) or
    // German (1). A picture that cannot be opened leads to the requester, as at a real start.
    void start(const std::string& picture, int language = 0);

    // A calibration in which the pixel row y captures the value 250 - y (origin row 250, 100
    // units over 100 rows).
    static void useSimpleCalibration();
    // The sample chart with that calibration and three captures through the menus and keys:
    // 1.00 and 2.00 in column 1, 3.00 in column 2, which stays selected.
    void startWithThreeCaptures();

    // One pass of the application's event loop (at most 25 ms of waiting).
    void pass();
    void passes(int count);
    // Passes until the condition holds; false when boundMs went by first.
    bool passUntil(const std::function<bool()>& condition, int boundMs = 3000);
    // Passes until the queue is empty and one wait passed without any event.
    void settle();

    // A command as the user chooses it in the main window's menu bar, then the passes that
    // deliver it.
    void choose(int item);
    // A window shortcut typed in the main window, then the passes that deliver it.
    void key(int code);
    // A left (or right) click on the diagram at (x, y), then the passes that deliver it.
    void clickDiagram(int x, int y, int button = 0);

    // Texts of the application's gadgets and table, as plain strings.
    static std::string text(int gadget);
    static std::vector<std::vector<std::string>> tableRows();
    static std::vector<std::string> columnTitles();
    static std::vector<std::string> selectorItems();
};

// Acts on the next window other than the main window that waits for events (the application's
// message dialog), from inside its wait: types the key there, or runs the action with its number.
void answerNextDialogWithKey(int code);
void actInNextDialog(std::function<void(int window)> action);
// Actions given for dialogs that have not come yet.
int pendingDialogActions();
void forgetDialogActions();
