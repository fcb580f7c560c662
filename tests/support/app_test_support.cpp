#include "app_test_support.h"

#include "app/app_ids.h"
#include "app/event_loop.h"
#include "app/startup.h"

#include "imaging/image.h"
#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/menus.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Ends the toolkit after the last test, as the program does before it exits.
class AppEnvironment : public ::testing::Environment {
public:
    void TearDown() override { shutdownToolkit(); }
};

[[maybe_unused]] const auto* const g_environment
    = ::testing::AddGlobalTestEnvironment(std::make_unique<AppEnvironment>().release());

} // namespace

std::string sampleChartPath()
{
    return GRAPHONITE_SOURCE_DIR "/samples/bar_chart.png";
}

std::string writeTemporaryFile(const std::string& name, const std::string& bytes)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/graphonite-app-test-"
        + std::to_string(::getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void AppTest::SetUp()
{
    initRuntime();
    scriptRequesters(true);
    setProgramEnd([](int exitCode) { throw ProgramEnded { exitCode }; });
    placeMouseOutside();
}

void AppTest::TearDown()
{
    closeAllWindows();
    freeAllFonts();
    releaseAllImages();
    freeAllMenus();
    scriptRequesters(false);
    setProgramEnd({});
    resetMouse();
    for (int i = 0; i < 20 && (waitEvent(5) != EVENT_NONE || queuedEventCount() > 0); ++i) { }
    initEventQueue();
    resetApplicationState();
}

void AppTest::start(const std::string& picture, int language)
{
    setenv("LC_ALL", language == 1 ? "de_DE.UTF-8" : "en_US.UTF-8", 1);
    startApplication(picture.c_str());
    quitRequested = 0;
    settle();
}

void AppTest::pass()
{
    runEventLoopPass();
}

void AppTest::passes(int count)
{
    for (int i = 0; i < count; ++i)
        pass();
}

bool AppTest::passUntil(const std::function<bool()>& condition, int boundMs)
{
    const auto start = Clock::now();
    while (!condition()) {
        if (Clock::now() - start > std::chrono::milliseconds(boundMs))
            return false;
        pass();
    }
    return true;
}

void AppTest::settle()
{
    for (int i = 0; i < 200; ++i) {
        pass();
        if (eventCode == EVENT_NONE && queuedEventCount() == 0)
            return;
    }
}

void AppTest::choose(int item)
{
    EXPECT_EQ(chooseMenuItem(WINDOW_MAIN, item), 1) << "no menu bar item " << item;
    settle();
}

void AppTest::key(int code)
{
    pressKey(WINDOW_MAIN, code);
    settle();
}

void AppTest::clickDiagram(int x, int y, int button)
{
    EXPECT_EQ(clickGadget(GADGET_DIAGRAM, button, x, y), 1);
    placeMouse(WINDOW_MAIN, x, y);
    settle();
}

std::string AppTest::text(int gadget)
{
    return getGadgetText(gadget).c_str();
}

std::vector<std::vector<std::string>> AppTest::tableRows()
{
    std::vector<std::vector<std::string>> rows;
    const int columns = countGadgetColumns(GADGET_TABLE);
    for (int row = 0; row < countGadgetItems(GADGET_TABLE); ++row) {
        rows.emplace_back();
        for (int column = 0; column < columns; ++column)
            rows.back().push_back(getGadgetItemText(GADGET_TABLE, row, column).c_str());
    }
    return rows;
}

std::vector<std::string> AppTest::columnTitles()
{
    std::vector<std::string> titles;
    for (int column = 0; column < countGadgetColumns(GADGET_TABLE); ++column)
        titles.push_back(getGadgetItemText(GADGET_TABLE, -1, column).c_str());
    return titles;
}

std::vector<std::string> AppTest::selectorItems()
{
    std::vector<std::string> items;
    for (int item = 0; item < countGadgetItems(GADGET_COLUMN_SELECT); ++item)
        items.push_back(getGadgetItemText(GADGET_COLUMN_SELECT, item).c_str());
    return items;
}

namespace {

// Waits (at most this many event waits) for a dialog window to be the newest window.
constexpr int DIALOG_WAITS = 2000;

void actWhenDialogWaits(std::function<void(int window)> action, int waitsLeft)
{
    runDuringNextWait([action = std::move(action), waitsLeft]() mutable {
        const int window = lastOpenedWindow();
        if (window >= 0 && window != WINDOW_MAIN)
            action(window);
        else if (waitsLeft > 0)
            actWhenDialogWaits(std::move(action), waitsLeft - 1);
    });
}

} // namespace

void actInNextDialog(std::function<void(int window)> action)
{
    actWhenDialogWaits(std::move(action), DIALOG_WAITS);
}

void answerNextDialogWithKey(int code)
{
    actInNextDialog([code](int window) { pressKey(window, code); });
}
