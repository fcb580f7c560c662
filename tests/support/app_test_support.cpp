#include "app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/event_loop.h"
#include "app/startup.h"

#include "imaging/image.h"
#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Ends the toolkit after the last test, as the program does before it exits.
// The files a test writes lie in one folder of the process, made on first use and removed with
// everything in it when the tests end. Named by mkdtemp, it can never be a folder that an earlier
// run of the same process number left behind.
std::string g_fileFolder;

std::string temporaryFileFolder()
{
    if (g_fileFolder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/graphonite-app-files-XXXXXX";
        if (::mkdtemp(pattern.data()))
            g_fileFolder = pattern;
    }
    return g_fileFolder;
}

class AppEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        shutdownToolkit();
        if (!g_fileFolder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(g_fileFolder, ignored);
        }
    }
};

[[maybe_unused]] const auto* const g_environment
    = ::testing::AddGlobalTestEnvironment(std::make_unique<AppEnvironment>().release());

// Each test keeps its session and its list of recent files in a folder of its own, so that no
// test finds another's work and none touches the user's.
std::string g_userFolder;

void useFreshUserFolders()
{
    // A test that sets itself up again leaves no folder of its first set-up behind.
    if (!g_userFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(g_userFolder, ignored);
        g_userFolder.clear();
    }
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/graphonite-app-test-XXXXXX";
    if (::mkdtemp(pattern.data()))
        g_userFolder = pattern;
    setenv("XDG_STATE_HOME", (g_userFolder + "/state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_userFolder + "/config").c_str(), 1);
}

} // namespace

std::string sampleChartPath()
{
    return GRAPHONITE_SOURCE_DIR "/samples/bar_chart.png";
}

std::string writeTemporaryFile(const std::string& name, const std::string& bytes)
{
    const std::string path = temporaryFileFolder() + "/" + name;
    // A pipe an earlier test made under this name would block the open for writing.
    ::unlink(path.c_str());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void AppTest::SetUp()
{
    useFreshUserFolders();
    initRuntime();
    scriptRequesters(true);
    setProgramEnd([](int exitCode) { throw ProgramEnded { exitCode }; });
    placeMouseOutside();
    // Test clicks follow each other faster than a person's: each is single unless a test asks.
    setDoubleClickInterval(0);
}

void AppTest::TearDown()
{
    closeAllWindows();
    freeAllFonts();
    releaseAllImages();
    freeAllMenus();
    scriptRequesters(false);
    setProgramEnd({});
    EXPECT_EQ(pendingDialogActions(), 0) << "a dialog the test meant to answer did not come";
    forgetDialogActions();
    resetMouse();
    for (int i = 0; i < 20 && (waitEvent(5) != EVENT_NONE || queuedEventCount() > 0); ++i) { }
    initEventQueue();
    resetApplicationState();
    std::error_code ignored;
    std::filesystem::remove_all(g_userFolder, ignored);
}

void AppTest::start(const std::string& picture, int language)
{
    setenv("LC_ALL", language == 1 ? "de_DE.UTF-8" : "en_US.UTF-8", 1);
    startApplication(picture.c_str());
    quitRequested = 0;
    settle();
}

void AppTest::useSimpleCalibration()
{
    originY = 250;
    spanHeight = 100;
    heightReference = 100;
}

void AppTest::startWithThreeCaptures()
{
    start(sampleChartPath());
    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    clickDiagram(20, 248);
    key(SHORTCUT_ALT | 'a');
    clickDiagram(20, 247);
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

// Actions for the next dialogs, first in first out. One pump runs in every wait while any are
// left and gives the first to the newest window once that is not the main window.
std::deque<std::function<void(int window)>> g_dialogActions;
bool g_pumping = false;
// A dialog that never comes must not leave the pump running for ever.
constexpr int PUMP_WAITS = 4000;
int g_pumpWaitsLeft = 0;

void pumpDialogActions()
{
    if (g_dialogActions.empty() || --g_pumpWaitsLeft < 0) {
        g_pumping = false;
        return;
    }
    // What the previous action caused comes first: a key's answer may wait in the queue.
    const int window = lastOpenedWindow();
    if (window >= 0 && window != WINDOW_MAIN && queuedEventCount() == 0) {
        auto action = std::move(g_dialogActions.front());
        g_dialogActions.pop_front();
        // The next action waits for the next wait, so that one key reaches one wait.
        runDuringNextWait(pumpDialogActions);
        action(window);
        return;
    }
    runDuringNextWait(pumpDialogActions);
}

} // namespace

void forgetDialogActions()
{
    g_dialogActions.clear();
}

int pendingDialogActions()
{
    return static_cast<int>(g_dialogActions.size());
}

void actInNextDialog(std::function<void(int window)> action)
{
    g_dialogActions.push_back(std::move(action));
    g_pumpWaitsLeft = PUMP_WAITS;
    if (!g_pumping) {
        g_pumping = true;
        runDuringNextWait(pumpDialogActions);
    }
}

void answerNextDialogWithKey(int code)
{
    actInNextDialog([code](int window) { pressKey(window, code); });
}
