#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/csv_table.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/diagram_markers.h"
#include "app/marker_palette.h"
#include "app/project/project_format.h"
#include "app/startup.h"
#include "app/work_text.h"

#include "imaging/image.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/requester_script.h"
#include "toolkit/status_bar.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::uint32_t diagramPixel(int x, int y)
{
    const std::uint8_t* p
        = imagePixels(IMAGE_DIAGRAM) + (static_cast<std::size_t>(y) * imagePixelWidth(IMAGE_DIAGRAM) + x) * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Everything the screen shows of the work: the table, the selector, the readouts, the options.
struct Screen {
    Rows rows;
    Strings titles;
    Strings selector;
    std::string selected;
    std::string origin;
    std::string width;
    std::string height;
    bool xy = false;
    bool markers = false;
    ClickMode mode = CLICK_NOTHING;
    std::uint32_t markerPixel = 0;

    bool operator==(const Screen&) const = default;
};

void PrintTo(const Screen& s, std::ostream* out)
{
    *out << "rows:";
    for (const auto& row : s.rows) {
        for (const auto& cell : row)
            *out << " " << cell;
        *out << " |";
    }
    *out << " titles:";
    for (const auto& t : s.titles)
        *out << " " << t;
    *out << " selector:";
    for (const auto& t : s.selector)
        *out << " " << t;
    *out << " selected: " << s.selected << " / " << s.origin << " / " << s.width << " / " << s.height
         << " / xy " << s.xy << " markers " << s.markers << " mode " << static_cast<int>(s.mode) << " pixel "
         << std::hex << s.markerPixel << std::dec;
}

// A chart in a folder of its own, with captures in two columns under two calibrations, a named
// column and x beside y: the work that a project has to give back.
class Projects : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        char folder[] = "/tmp/graphonite-project-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = std::string(folder) + "/";
        m_picture = m_folder + "chart.png";
        writeFile(m_picture, contentOf(sampleChartPath()));
    }
    void TearDown() override
    {
        AppTest::TearDown();
        std::system(("rm -rf '" + m_folder + "'").c_str());
    }

    void startWithWork()
    {
        start(m_picture);
        useSimpleCalibration();
        choose(MENU_CATCH_POINTS);
        clickDiagram(20, 249);
        clickDiagram(20, 248);
        key(SHORTCUT_ALT | 'a');
        clickDiagram(60, 240);
        heightReference = 200;
        spanHeight = 100;
        recordCalibration(captureModel().currentCalibration(), currentCaptureCalibration());
        // The readouts show the calibration as its own commands would have shown it.
        restoreCalibration(currentCaptureCalibration());
        clickDiagram(100, 230);
        key(SHORTCUT_ALT | 'n');
        setGadgetText(GADGET_COLUMN_NAME, "Pressure");
        key(13);
        choose(MENU_CAPTURE_XY);
        setGadgetState(GADGET_COLUMN_SELECT, 0);
    }

    static Screen screen()
    {
        Screen s;
        s.rows = tableRows();
        s.titles = columnTitles();
        s.selector = selectorItems();
        s.selected = text(GADGET_COLUMN_SELECT);
        s.origin = text(GADGET_ORIGIN);
        s.width = text(GADGET_WIDTH);
        s.height = text(GADGET_HEIGHT);
        s.xy = capturesXy();
        s.markers = markersShown();
        s.mode = clickMode;
        s.markerPixel = diagramPixel(100, 230);
        return s;
    }

    void saveProjectTo(const std::string& path, int item = MENU_SAVE_PROJECT_AS)
    {
        scriptSaveFileAnswer(path);
        choose(item);
    }

    void openProjectFrom(const std::string& path)
    {
        if (isWindowModified(WINDOW_MAIN))
            answerNextDialogWithKey('y');
        scriptOpenFileAnswer({ path });
        key(SHORTCUT_COMMAND | SHORTCUT_SHIFT | 'o');
    }

    std::string title() const { return shownWindowTitle(WINDOW_MAIN).c_str(); }

    std::string m_folder;
    std::string m_picture;
};

TEST_F(Projects, OpeningGivesBackTheSameScreenTableAndMarkers)
{
    startWithWork();
    const Screen before = screen();
    const CaptureModel model = captureModel();
    ASSERT_EQ(before.markerPixel, markerColours(1).fill);
    const std::string project = m_folder + "study.graphonite";
    scriptSaveFileAnswer(project);
    key(SHORTCUT_COMMAND | SHORTCUT_SHIFT | 's');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_NE(title().find("study.graphonite"), std::string::npos) << title();
    EXPECT_NE(contentOf(project).find("\"path\": \"chart.png\""), std::string::npos)
        << "relative to the project";

    // Other work in between: another picture, nothing of the project left.
    scriptOpenFileAnswer({ sampleChartPath() });
    choose(MENU_OPEN_DIAGRAM);
    ASSERT_TRUE(tableRows().empty());
    choose(MENU_SET_ORIGIN); // a prompt rewrites the title
    EXPECT_EQ(title().find("study.graphonite"), std::string::npos) << "a new picture belongs to no project";

    openProjectFrom(project);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(std::string(diagramPath.c_str()), m_picture);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_FALSE(canUndoChange()) << "an opened project starts its own history";
    ASSERT_EQ(captureModel().columnCount(), model.columnCount());
    for (int column = 0; column < model.columnCount(); ++column)
        EXPECT_TRUE(captureModel().series(column) == model.series(column)) << column;
    EXPECT_TRUE(captureModel().currentCalibration() == model.currentCalibration());
    EXPECT_NE(title().find("study.graphonite"), std::string::npos) << title();
    // Captures go on as before, under the calibration of the project.
    clickDiagram(140, 220);
    EXPECT_EQ(tableRows().size(), 3u);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    choose(MENU_SET_ORIGIN);
    EXPECT_NE(title().find("Graphonite - study.graphonite / "), std::string::npos) << title();
}

// The work text that the autosave writes restores the same way, and its summary names the picture.
TEST_F(Projects, WorkTextRestoresAndSummarizes)
{
    startWithWork();
    choose(MENU_TOGGLE_MARKERS);
    const Screen before = screen();
    const std::uint64_t count = workChangeCount();
    const std::string text = currentWorkText("");
    EXPECT_EQ(workChangeCount(), count);
    WorkSummary summary;
    std::string error;
    ASSERT_TRUE(summarizeWorkText(text, summary, error)) << error;
    EXPECT_EQ(summary.pictureName, "chart.png");
    EXPECT_EQ(summary.pointCount, 4u);
    clickDiagram(140, 220);
    EXPECT_NE(workChangeCount(), count);
    choose(MENU_TOGGLE_MARKERS);

    ASSERT_TRUE(restoreWorkText(text, "", error)) << error;
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(workChangeCount(), count);

    EXPECT_FALSE(summarizeWorkText("{\"format\": 1}", summary, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(restoreWorkText("not a project", "", error));
    EXPECT_EQ(screen(), before);
}

TEST_F(Projects, EveryRefusalLeavesTheWorkUntouched)
{
    startWithWork();
    const std::string good = m_folder + "good.graphonite";
    saveProjectTo(good);
    clickDiagram(140, 220); // unsaved work
    const Screen before = screen();
    const std::string text = contentOf(good);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        { "truncated", text.substr(0, text.size() - 10) },
        { "not JSON", "PNG\x89" },
        { "another version", "{\"format\": \"graphonite-project\", \"version\": 9}" },
        { "a path that climbs out",
            std::string(text).replace(text.find("\"chart.png\""), 11, "\"../chart.png\"") },
        { "a picture too large",
            std::string(text).replace(text.find("\"width\": 960"), 12, "\"width\": 99999") },
    };
    for (const auto& f : files) {
        const std::string path = m_folder + "bad.graphonite";
        writeFile(path, f.bytes);
        std::string shown;
        answerNextDialogWithKey('y');
        actInNextDialog([&shown](int window) {
            shown = shownWindowTitle(window).c_str();
            pressKey(window, 13);
        });
        scriptOpenFileAnswer({ path });
        choose(MENU_OPEN_PROJECT);
        EXPECT_EQ(shown, "Open Project") << f.name;
        EXPECT_EQ(screen(), before) << f.name;
        EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << f.name;
        EXPECT_EQ(pendingDialogActions(), 0) << f.name;
        forgetDialogActions();
    }
}

TEST_F(Projects, AMovedPictureIsFoundBesideTheProjectOrAskedFor)
{
    startWithWork();
    const std::string project = m_folder + "moved.graphonite";
    saveProjectTo(project);
    const Screen before = screen();

    // The project and its picture moved on together: the picture is found beside it.
    ASSERT_EQ(::mkdir((m_folder + "elsewhere").c_str(), 0700), 0);
    const std::string movedProject = m_folder + "elsewhere/moved.graphonite";
    const std::string movedPicture = m_folder + "elsewhere/chart.png";
    std::string text = contentOf(project);
    text.replace(text.find("\"chart.png\""), 11, "\"pictures/chart.png\"");
    writeFile(movedProject, text);
    ASSERT_EQ(::rename(m_picture.c_str(), movedPicture.c_str()), 0);
    openProjectFrom(movedProject);
    EXPECT_EQ(std::string(diagramPath.c_str()), movedPicture);
    EXPECT_EQ(screen(), before);
    EXPECT_TRUE(askedRequesters().back().title == "Open Project");

    // Nowhere to be found: the requester asks; cancelled, the work stays and the user is told.
    ASSERT_EQ(::rename(movedPicture.c_str(), (m_folder + "lost.png").c_str()), 0);
    clickDiagram(140, 220);
    const Screen edited = screen();
    answerNextDialogWithKey('y');
    answerNextDialogWithKey(13);
    scriptOpenFileAnswer({ movedProject });
    scriptOpenFileAnswer({});
    choose(MENU_OPEN_PROJECT);
    ASSERT_FALSE(askedRequesters().empty());
    EXPECT_EQ(askedRequesters().back().title, "Where is the picture of the project?");
    EXPECT_EQ(screen(), edited);
    EXPECT_EQ(pendingDialogActions(), 0);

    // Chosen in the requester, it opens.
    answerNextDialogWithKey('y');
    scriptOpenFileAnswer({ movedProject });
    scriptOpenFileAnswer({ m_folder + "lost.png" });
    choose(MENU_OPEN_PROJECT);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(pendingDialogActions(), 0);
}

TEST_F(Projects, AChangedPictureOpensWithAWarning)
{
    startWithWork();
    const std::string project = m_folder + "changed.graphonite";
    saveProjectTo(project);
    const Screen before = screen();
    std::string bytes = contentOf(m_picture);
    bytes += "trailing bytes the decoder ignores";
    writeFile(m_picture, bytes);

    std::string warning;
    actInNextDialog([&warning](int window) {
        warning = shownWindowTitle(window).c_str();
        pressKey(window, 13);
    });
    openProjectFrom(project);
    EXPECT_EQ(warning, "Open Project");
    EXPECT_EQ(screen(), before) << "it opens all the same";
}

TEST_F(Projects, APictureCarriedInTheProjectOpensWithoutItsFile)
{
    startWithWork();
    const Screen before = screen();
    const std::string project = m_folder + "mailed.graphonite";
    saveProjectTo(project, MENU_SAVE_PROJECT_WITH_PICTURE);
    ASSERT_EQ(askedRequesters().back().title, "Save Project With Picture");
    ASSERT_NE(contentOf(project).find("\"embedded\": \""), std::string::npos);
    ASSERT_EQ(::unlink(m_picture.c_str()), 0);

    // The picture is taken out into a private folder of the temporary folder, here the test's.
    const char* const temporary = std::getenv("TMPDIR");
    const std::string previousTemporary = temporary ? temporary : "";
    ASSERT_EQ(::setenv("TMPDIR", m_folder.c_str(), 1), 0);
    openProjectFrom(project);
    if (temporary)
        ::setenv("TMPDIR", previousTemporary.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(askedRequesters().back().title, "Open Project") << "nothing else was asked";
    EXPECT_EQ(pendingDialogActions(), 0);
    const auto pictureFolders = [this] {
        int found = 0;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder))
            found += entry.path().filename().string().rfind("graphonite-picture-", 0) == 0;
        return found;
    };
    EXPECT_EQ(pictureFolders(), 1);

    // Saved again, the project keeps carrying the picture, which has no other place.
    clickDiagram(140, 220);
    choose(MENU_SAVE_PROJECT);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_NE(contentOf(project).find("\"embedded\": \""), std::string::npos);

    // The program leaves nothing of it behind when it ends.
    EXPECT_THROW(endProgram(), ProgramEnded);
    EXPECT_EQ(pictureFolders(), 0);
}

// The table stops where a file or a project could no longer bring it back, at 1,000,000 cells
// (rows times columns), a column's empty cells counting as room. A table past that, which only a
// fault could make, is refused by Save Project before anything is written, and the autosave says
// it cannot keep it.
TEST_F(Projects, TheTableStopsAtTheCellsAProjectHolds)
{
    // 63 columns of 15,700 rows (989,100 cells): the first column holds a value in every row but
    // the first, the last column in the first row only.
    std::string csv = "\"1\"";
    for (int column = 2; column <= 63; ++column)
        csv += ",\"" + std::to_string(column) + "\"";
    csv += "\n";
    for (int row = 0; row < 15700; ++row)
        csv += row == 0 ? std::string(62, ',') + "1\n" : "1\n";
    startWithWork();
    const std::string table = m_folder + "long.csv";
    writeFile(table, csv);
    if (isWindowModified(WINDOW_MAIN))
        answerNextDialogWithKey('y');
    scriptOpenFileAnswer({ table });
    choose(MENU_LOAD_CSV);
    ASSERT_EQ(countTableColumns(), 63);
    ASSERT_EQ(tableRows().size(), 15700u);
    const std::string fits = m_folder + "fits.graphonite";
    saveProjectTo(fits);
    EXPECT_TRUE(std::filesystem::exists(fits)) << "a table as large as a CSV file brings fits";

    std::string shown;
    const auto readDialog = [&shown](int window) {
        shown.clear();
        for (int gadget = 0x40000000; gadget < 0x40010000; ++gadget)
            if (isGadget(gadget))
                shown += std::string(getGadgetText(gadget).c_str()) + "|";
        pressKey(window, 13);
    };
    actInNextDialog(readDialog);
    choose(MENU_ADD_COLUMN); // 64 x 15,700 cells would be 1,004,800
    EXPECT_NE(shown.find("The table holds 1,000,000 cells, as many as it can."), std::string::npos) << shown;
    EXPECT_EQ(countTableColumns(), 63);

    // The first column takes one point into its empty first row, then 173 in new rows:
    // 15,873 x 63 = 999,999 cells.
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    EXPECT_TRUE(tableHasRoomForPoints(174));
    EXPECT_FALSE(tableHasRoomForPoints(175));
    const CaptureCalibration calibration = currentCaptureCalibration();
    addExtractedPoints(std::vector<PixelPoint>(174, PixelPoint { 20, 240 }), calibration);
    ASSERT_EQ(tableRows().size(), 15873u);
    clickDiagram(20, 240); // would need a row more
    EXPECT_EQ(tableRows().size(), 15873u);
    EXPECT_EQ(std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str()),
        "The table holds 1,000,000 cells, as many as it can.");
    setGadgetState(GADGET_COLUMN_SELECT, 1);
    clickDiagram(20, 240); // the second column has room in its empty cells
    EXPECT_NE(tableRows()[0][1], "");

    // Past the limit by the model's own command, which does not check.
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    addExtractedPoints({ PixelPoint { 20, 240 } }, calibration);
    ASSERT_EQ(tableRows().size(), 15874u);
    const std::string project = m_folder + "too-large.graphonite";
    actInNextDialog(readDialog);
    saveProjectTo(project);
    EXPECT_NE(shown.find("more than 1,000,000 cells"), std::string::npos) << shown;
    EXPECT_FALSE(std::filesystem::exists(project)) << "no file that could not be opened again";
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << "nothing was saved";
    EXPECT_TRUE(passUntil(
        [] {
            return std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str())
                == "The work could not be autosaved: The table in this project has more than 1,000,000 "
                   "cells.";
        },
        1500))
        << statusBarFieldText(STATUSBAR_MAIN, 1).c_str();
}

// One rule for both kinds of file: the mark tells whether the work differs from what was last
// written to a file the user chose, whichever kind it was.
TEST_F(Projects, TheUnsavedMarkCoversProjectsAndCsv)
{
    startWithWork();
    const std::string project = m_folder + "mark.graphonite";
    const std::string csv = m_folder + "mark.csv";
    ASSERT_TRUE(isWindowModified(WINDOW_MAIN));
    saveProjectTo(project);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    clickDiagram(140, 220);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    EXPECT_EQ(title().front(), '*');
    key(SHORTCUT_COMMAND | 'z');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN)) << "back where the project was saved";

    clickDiagram(140, 220);
    scriptSaveFileAnswer(csv);
    key(SHORTCUT_COMMAND | 's');
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN)) << "the CSV holds the work";
    key(SHORTCUT_ALT | 'a');
    clickDiagram(150, 210);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN));
    // Save Project writes to the project chosen before, without asking again.
    const std::size_t asked = askedRequesters().size();
    choose(MENU_SAVE_PROJECT);
    EXPECT_EQ(askedRequesters().size(), asked);
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));

    // The unsaved-data question comes before another project replaces the work; No keeps it.
    clickDiagram(160, 200);
    const Rows rows = tableRows();
    answerNextDialogWithKey(27);
    scriptOpenFileAnswer({ project });
    choose(MENU_OPEN_PROJECT);
    EXPECT_EQ(tableRows(), rows);
    EXPECT_EQ(pendingRequesterAnswers(), 1);
}

// A picture named with ".." steps (as a command line may give it) is written by its plain path,
// which the reader accepts.
TEST_F(Projects, APictureOpenedByARoundaboutPathIsSavedByItsPlainOne)
{
    ASSERT_EQ(::mkdir((m_folder + "sub").c_str(), 0700), 0);
    start(m_folder + "sub/../chart.png");
    useSimpleCalibration();
    restoreCalibration(currentCaptureCalibration());
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    const Screen before = screen();
    const std::string project = m_folder + "sub/plain.graphonite";
    saveProjectTo(project);
    ASSERT_NE(contentOf(project).find("\"path\": \"" + m_picture + "\""), std::string::npos);
    clickDiagram(20, 248);
    openProjectFrom(project);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(pendingDialogActions(), 0);
}

TEST_F(Projects, ProjectsOpenFromTheCommandLineAndByDrop)
{
    startWithWork();
    const Screen before = screen();
    const std::string project = m_folder + "start.graphonite";
    saveProjectTo(project);

    start(project);
    EXPECT_EQ(screen(), before);
    EXPECT_NE(title().find("start.graphonite"), std::string::npos);

    scriptOpenFileAnswer({ sampleChartPath() });
    choose(MENU_OPEN_DIAGRAM);
    ASSERT_TRUE(tableRows().empty());
    EXPECT_EQ(dropFiles(WINDOW_MAIN, { project }), 1);
    settle();
    EXPECT_EQ(screen(), before);
}

} // namespace
