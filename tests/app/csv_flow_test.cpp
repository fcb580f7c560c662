#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/csv_table.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/event_loop.h"

#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

// Opens and closes the writing end of a named pipe after a while unless stopped first. That
// releases a reader blocked on the pipe (its read then meets the end of the file), so that a fault
// makes the test fail instead of hanging it.
class PipeWatchdog {
public:
    explicit PipeWatchdog(std::string path)
        : m_path(std::move(path))
        , m_thread([this] { watch(); })
    {
    }
    ~PipeWatchdog() { stop(); }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

    // Whether a reader had to be released.
    bool fired()
    {
        stop();
        return m_fired;
    }

private:
    void watch()
    {
        std::unique_lock lock(m_mutex);
        if (m_cv.wait_for(lock, std::chrono::seconds(10), [this] { return m_stopped; }))
            return;
        m_fired = true;
        const int writer = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_cv.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stopped = false;
    bool m_fired = false;
    std::thread m_thread;
};

// A named pipe in the temporary folder, without a writer.
std::string makePipe(const char* name)
{
    std::string path = writeTemporaryFile(name, "");
    ::unlink(path.c_str());
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
}

// A calibrated chart with captures in two columns: 1.00, 2.00 in column 0 and 3.00 in column 1.
class DataFlow : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        startWithThreeCaptures();
        ASSERT_TRUE(isWindowModified(WINDOW_MAIN));
    }

    std::string csvPath(const char* name) { return writeTemporaryFile(name, ""); }
};

TEST_F(DataFlow, SaveWritesTheTableAndClearsTheMark)
{
    const std::string path = csvPath("saved.csv");
    scriptSaveFileAnswer(path);
    key(SHORTCUT_COMMAND | 's');
    ASSERT_FALSE(askedRequesters().empty());
    const RequesterQuestion& question = askedRequesters().back();
    EXPECT_EQ(question.kind, RequesterKind::SaveFile);
    EXPECT_EQ(question.title, "Save File");
    EXPECT_EQ(question.defaultText, GRAPHONITE_SOURCE_DIR "/samples/bar_chart.csv");
    EXPECT_EQ(contentOf(path), "1,2\n1.00,3.00\n2.00,\n");
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    // Quit no longer asks, until the next capture.
    choose(MENU_ITEM_QUIT);
    EXPECT_EQ(quitRequested, 1);
    quitRequested = 0;
    clickDiagram(20, 246);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
}

TEST_F(DataFlow, AFailedSaveSaysWhyAndKeepsTheMark)
{
    char folder[] = "/tmp/graphonite-save-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    scriptSaveFileAnswer(folder); // a folder chosen as the file
    std::string shown;
    actInNextDialog([&shown](int window) {
        shown = shownWindowTitle(window).c_str();
        pressKey(window, 13);
    });
    key(SHORTCUT_COMMAND | 's');
    EXPECT_EQ(shown, "Save To CSV");
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    ::rmdir(folder);
}

TEST_F(DataFlow, LoadReplacesTheTableAndRoundTrips)
{
    const std::string path = csvPath("round.csv");
    scriptSaveFileAnswer(path);
    key(SHORTCUT_COMMAND | 's');
    const Rows saved = tableRows();
    key(SHORTCUT_ALT | 'e');
    ASSERT_TRUE(tableRows().empty());

    const std::string other = writeTemporaryFile("other.csv", "\xEF\xBB\xBFTemp;H\xC3\xB6he\r\n1,5;7\r\n");
    scriptOpenFileAnswer({ other });
    answerNextDialogWithKey('y'); // emptied since the save: unsaved
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(columnTitles(), (Strings { "Temp", "H\xF6he" }));
    EXPECT_EQ(selectorItems(), (Strings { "Temp", "H\xF6he" }));
    EXPECT_EQ(text(GADGET_COLUMN_SELECT), "Temp") << "the first column is selected";
    EXPECT_EQ(tableRows(), (Rows { { "1,5", "7" } }));
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    scriptOpenFileAnswer({ path });
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(tableRows(), saved);
    EXPECT_EQ(columnTitles(), (Strings { "1", "2" }));
}

using SaveRequester = AppTest;

// The save requester proposes the picture's own name with .csv for its extension; where the name
// has none (a dot that starts a hidden name, a dot in a folder's name), .csv is added.
TEST_F(SaveRequester, ProposesThePicturesNameAsCsv)
{
    char folder[] = "/tmp/graphonite-names-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string base = folder;
    ASSERT_EQ(::mkdir((base + "/v1.2").c_str(), 0700), 0);
    struct Case {
        std::string picture;
        std::string proposed;
    };
    const Case cases[] = {
        { base + "/chart.png", base + "/chart.csv" },
        { base + "/chart.scan.png", base + "/chart.scan.csv" },
        { base + "/.chart", base + "/.chart.csv" },
        { base + "/v1.2/chart", base + "/v1.2/chart.csv" },
    };
    const std::string bytes = contentOf(sampleChartPath());
    for (const Case& c : cases)
        std::ofstream(c.picture, std::ios::binary) << bytes;
    start(cases[0].picture);
    for (const Case& c : cases) {
        scriptOpenFileAnswer({ c.picture });
        choose(MENU_OPEN_DIAGRAM);
        scriptSaveFileAnswer(""); // cancelled
        key(SHORTCUT_COMMAND | 's');
        ASSERT_FALSE(askedRequesters().empty());
        EXPECT_EQ(askedRequesters().back().kind, RequesterKind::SaveFile) << c.picture;
        EXPECT_EQ(askedRequesters().back().defaultText, c.proposed);
    }
    for (const Case& c : cases)
        std::remove(c.picture.c_str());
    ::rmdir((base + "/v1.2").c_str());
    ::rmdir(folder);
}

TEST_F(DataFlow, RefusedFilesLeaveTheTableUntouched)
{
    const Rows before = tableRows();
    // One cell more than the table holds (a file of x,y pairs may hold twice as many).
    std::string manyCells = "a,b\n";
    for (std::size_t row = 0; row <= MAX_CSV_CELLS / 2; ++row)
        manyCells += "1,2\n";
    const std::string files[] = {
        writeTemporaryFile("binary.csv", std::string("\x89PNG\0\0\0", 8)),
        writeTemporaryFile("empty.csv", ""),
        writeTemporaryFile("wide.csv", std::string(70, ';') + "\n"),
        writeTemporaryFile("many.csv", manyCells),
        writeTemporaryFile("unclosed.csv", "a,b\n1,\"2\n3,4\n"),
        writeTemporaryFile("long.csv", "a\n" + std::string(10001, '7') + "\n"),
        "/nonexistent/graphonite.csv",
    };
    for (const std::string& file : files) {
        answerNextDialogWithKey('y'); // the unsaved captures may go
        scriptOpenFileAnswer({ file });
        int reported = 0;
        actInNextDialog([&reported](int window) {
            ++reported;
            pressKey(window, 13);
        });
        key(SHORTCUT_COMMAND | 'l');
        EXPECT_EQ(reported, 1) << file;
        EXPECT_EQ(tableRows(), before) << file;
        EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << file;
    }
}

TEST_F(DataFlow, LineBreaksInCellsSurviveLoadAndSave)
{
    const std::string original = "Note,\"b\nc\"\n\"first\nsecond\",2\n\"\n\",\n";
    const std::string path = writeTemporaryFile("breaks.csv", original);
    answerNextDialogWithKey('y');
    scriptOpenFileAnswer({ path });
    key(SHORTCUT_COMMAND | 'l');
    EXPECT_EQ(columnTitles(), (Strings { "Note", "b\nc" }));
    EXPECT_EQ(tableRows(), (Rows { { "first\nsecond", "2" }, { "\n", "" } }));
    const std::string saved = csvPath("breaks-saved.csv");
    scriptSaveFileAnswer(saved);
    key(SHORTCUT_COMMAND | 's');
    EXPECT_EQ(contentOf(saved), original);
    key(SHORTCUT_COMMAND | 'c');
    EXPECT_EQ(std::string(clipboardText().c_str()), "Note\t\"b\nc\"\n\"first\nsecond\"\t2\n\"\n\"\t\n");
}

TEST_F(DataFlow, AWriteProtectedFileIsNotReplaced)
{
    const std::string path = writeTemporaryFile("protected.csv", "old\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    scriptSaveFileAnswer(path);
    std::string shown;
    actInNextDialog([&shown](int window) {
        shown = shownWindowTitle(window).c_str();
        pressKey(window, 13);
    });
    key(SHORTCUT_COMMAND | 's');
    EXPECT_EQ(shown, "Save To CSV");
    EXPECT_EQ(contentOf(path), "old\n");
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    ::chmod(path.c_str(), 0644);
}

TEST_F(DataFlow, PipesAreRefusedAtOnceWhereverTheyComeFrom)
{
    const Rows before = tableRows();
    const std::string csvPipe = makePipe("pipe.csv");
    const std::string picturePipe = makePipe("pipe.png");
    const std::function<void()> ways[] = {
        [&] {
            scriptOpenFileAnswer({ csvPipe });
            key(SHORTCUT_COMMAND | 'l');
        },
        [&] {
            dropFiles(WINDOW_MAIN, { csvPipe });
            settle();
        },
        [&] {
            scriptOpenFileAnswer({ picturePipe });
            choose(MENU_OPEN_DIAGRAM);
        },
        [&] {
            dropFiles(WINDOW_MAIN, { picturePipe });
            settle();
        },
    };
    int way = 0;
    for (const auto& open : ways) {
        answerNextDialogWithKey('y'); // the unsaved captures may go
        int reported = 0;
        actInNextDialog([&reported](int window) {
            ++reported;
            pressKey(window, 13);
        });
        PipeWatchdog watchdog(way < 2 ? csvPipe : picturePipe);
        open();
        EXPECT_FALSE(watchdog.fired()) << "way " << way << " blocked on the pipe";
        EXPECT_EQ(reported, 1) << way;
        EXPECT_EQ(tableRows(), before) << way;
        ++way;
    }
}

class PipeStart : public AppTest { };

TEST_F(PipeStart, APipeAsThePictureArgumentIsReportedAndTheRequesterFollows)
{
    const std::string pipe = makePipe("start.png");
    scriptOpenFileAnswer({ sampleChartPath() });
    int dialogs = 0;
    actInNextDialog([&dialogs](int window) {
        ++dialogs;
        pressKey(window, 13);
    });
    PipeWatchdog watchdog(pipe);
    start(pipe);
    EXPECT_FALSE(watchdog.fired()) << "the start blocked on the pipe";
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(isWindow(WINDOW_MAIN));
}

TEST_F(DataFlow, EmptyTableAsksFirst)
{
    answerNextDialogWithKey('n'); // not a letter of the Yes/No dialog
    answerNextDialogWithKey(27);
    key(SHORTCUT_ALT | 'e');
    EXPECT_EQ(tableRows().size(), 2u);
    answerNextDialogWithKey('y');
    key(SHORTCUT_ALT | 'e');
    EXPECT_TRUE(tableRows().empty());
}

TEST_F(DataFlow, CopyPutsTabSeparatedLinesOnTheClipboard)
{
    key(SHORTCUT_COMMAND | 'c');
    EXPECT_EQ(std::string(clipboardText().c_str()), "1\t2\n1.00\t3.00\n2.00\t\n");
}

TEST_F(DataFlow, TheEditKeysBelongToTheFocusedRenameField)
{
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    key(SHORTCUT_ALT | 'n');
    const std::size_t asked = askedRequesters().size();
    key(SHORTCUT_COMMAND | 'a'); // selects all in the field, asks for no number
    key(SHORTCUT_COMMAND | 'c'); // copies the field's selection, not the table
    EXPECT_EQ(askedRequesters().size(), asked);
    EXPECT_EQ(std::string(clipboardText().c_str()), "Column 1");
    key(27);
    key(SHORTCUT_COMMAND | 'c');
    EXPECT_EQ(std::string(clipboardText().c_str()), "1\t2\n1.00\t3.00\n2.00\t\n");
}

TEST_F(DataFlow, NameColumnWithReturnAndEscape)
{
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    key(SHORTCUT_ALT | 'n');
    EXPECT_EQ(gadgetY(GADGET_COLUMN_NAME), 13); // the field lies 3 pixels inside its rectangle
    EXPECT_EQ(focusedGadget(), GADGET_COLUMN_NAME);
    setGadgetText(GADGET_COLUMN_NAME, "Speed");
    key(13);
    EXPECT_EQ(gadgetY(GADGET_COLUMN_SELECT), 10);
    EXPECT_EQ(columnTitles(), (Strings { "Speed", "2" }));
    EXPECT_EQ(selectorItems(), (Strings { "Speed", "Column 2" }));

    key(SHORTCUT_ALT | 'n');
    setGadgetText(GADGET_COLUMN_NAME, "Lost");
    key(27);
    EXPECT_EQ(gadgetY(GADGET_COLUMN_SELECT), 10);
    EXPECT_EQ(columnTitles(), (Strings { "Speed", "2" }));
}

TEST_F(DataFlow, ChartValuesUnderTheMouseOnceCalibrated)
{
    placeMouse(WINDOW_MAIN, 30, 200);
    pass();
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "") << "not calibrated yet";

    // Width 10 units over 100 pixels from x = 20, height 100 units over 100 rows up from 250.
    originX = 20;
    widthCalibrated = heightCalibrated = 1;
    spanWidth = 100;
    widthReference = 10;
    pass();
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()), "x: 1.0000   y: 50.0000");
}

using ChartValues = AppTest;

// The picture's own size is no calibration: the chart values appear once both the width end and
// the height end were clicked, in either order.
TEST_F(ChartValues, ShowOnlyOnceWidthAndHeightWereBothClicked)
{
    const struct {
        int first;
        int second;
    } orders[] = { { MENU_SET_WIDTH, MENU_SET_HEIGHT }, { MENU_SET_HEIGHT, MENU_SET_WIDTH } };
    start(sampleChartPath());
    for (const auto& order : orders) {
        scriptOpenFileAnswer({ sampleChartPath() });
        choose(MENU_OPEN_DIAGRAM); // a new picture starts uncalibrated
        const auto field = [] { return std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()); };
        choose(order.first);
        clickDiagram(300, 100);
        placeMouse(WINDOW_MAIN, 30, 200);
        pass();
        EXPECT_EQ(field(), "") << "after item " << order.first << " alone";
        choose(order.second);
        clickDiagram(300, 100);
        placeMouse(WINDOW_MAIN, 30, 200);
        pass();
        EXPECT_EQ(field().substr(0, 3), "x: ") << "after items " << order.first << " and " << order.second;
    }
}

} // namespace

namespace {

TEST_F(DataFlow, DroppedFilesOpenAsTableOrDiagram)
{
    const std::string csv = writeTemporaryFile("dropped.CSV", "x,y\n1,2\n");
    answerNextDialogWithKey('y'); // unsaved captures
    EXPECT_EQ(dropFiles(WINDOW_MAIN, { csv }), 1);
    settle();
    EXPECT_EQ(columnTitles(), (Strings { "x", "y" }));
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    EXPECT_EQ(dropFiles(WINDOW_MAIN, { sampleChartPath() }), 1);
    settle();
    EXPECT_EQ(columnTitles(), (Strings { "1" })) << "a new diagram, a new table";
    EXPECT_FALSE(menuBarItems(WINDOW_MAIN).empty()) << "the new window has its menus";
}

// A name whose bytes are not UTF-8 (Latin-1 "\xe9", as old archives hold them) arrives as the
// file system's bytes and opens.
TEST_F(DataFlow, DroppedFilesWithLatin1NamesOpen)
{
    std::ifstream chart(sampleChartPath(), std::ios::binary);
    std::stringstream bytes;
    bytes << chart.rdbuf();
    const std::string picture = writeTemporaryFile("\xe9.png", bytes.str());
    const std::string table = writeTemporaryFile("\xe9.csv", "a,b\n1,2\n");

    answerNextDialogWithKey('y'); // unsaved captures
    EXPECT_EQ(dropFiles(WINDOW_MAIN, { table }), 1);
    settle();
    EXPECT_EQ(columnTitles(), (Strings { "a", "b" }));

    EXPECT_EQ(dropFiles(WINDOW_MAIN, { picture }), 1);
    settle();
    EXPECT_EQ(std::string(diagramPath.c_str()), picture);
    EXPECT_EQ(columnTitles(), (Strings { "1" })) << "the picture opened";
    std::remove(picture.c_str());
    std::remove(table.c_str());
}

} // namespace
