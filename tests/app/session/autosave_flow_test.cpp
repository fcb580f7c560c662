#include "support/app_test_support.h"

#include "app/app_ids.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/event_loop.h"
#include "app/session/autosave.h"
#include "app/session/recent_files.h"
#include "app/session/session_store.h"
#include "app/session/user_folders.h"
#include "app/startup.h"
#include "app/work_text.h"

#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/requester_script.h"
#include "toolkit/requesters.h"
#include "toolkit/status_bar.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

bool exists(const std::string& path)
{
    return !path.empty() && std::filesystem::exists(path);
}

// A session left by a program that is gone: its lock file and its work, the lock held by nobody,
// as after a crash or SIGKILL. With a holder, the lock is taken on a descriptor of its own, as a
// running program holds it. The work file's path.
std::string sessionLeftBehind(const std::string& text, UniqueFd* holder = nullptr)
{
    static int number = 0;
    const std::string folder = stateFolder();
    if (!makeFolders(folder).empty())
        return {};
    const std::string stem
        = folder + "/session-" + std::to_string(::getpid()) + "-0-" + std::to_string(++number);
    std::ofstream(stem + ".lock").flush();
    std::ofstream(stem + ".graphonite", std::ios::binary) << text;
    if (holder) {
        holder->reset(::open((stem + ".lock").c_str(), O_RDWR | O_CLOEXEC));
        if (::flock(holder->get(), LOCK_EX | LOCK_NB) != 0)
            return {};
    }
    return stem + ".graphonite";
}

// What the restore offer showed: every text of its window (title, message, buttons).
struct Offer {
    std::string title;
    std::vector<std::string> texts;

    bool shows(const std::string& text) const
    {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

std::vector<Offer> g_offers;

std::size_t messagesAsked()
{
    return g_offers.size();
}

class Autosave : public AppTest {
protected:
    // The three captures of the sample chart, their work as text and their table.
    void captureThree()
    {
        startWithThreeCaptures();
        m_work = currentWorkText(std::string());
        m_rows = tableRows();
        ASSERT_EQ(m_rows.size(), 2u);
    }

    // A new start of the program in the same process (the window of the last one closes).
    void restart(int answer, int language = 0)
    {
        scriptRequesters(true);
        g_offers.clear();
        forgetDialogActions();
        // The offer, if it comes, is read and answered: Return is Yes, Escape No.
        if (answer != 0)
            actInNextDialog([answer](int window) {
                Offer offer { shownWindowTitle(window).c_str(), {} };
                for (int gadget = 0x40000000; gadget < 0x40010000; ++gadget)
                    if (isGadget(gadget))
                        offer.texts.push_back(getGadgetText(gadget).c_str());
                g_offers.push_back(offer);
                pressKey(window, answer == MESSAGE_FIRST_BUTTON ? 13 : 27);
            });
        start(sampleChartPath(), language);
    }

    bool sessionHoldsTheWork(int boundMs = 1000)
    {
        return passUntil(
            [] {
                return exists(sessionWorkPath())
                    && contentOf(sessionWorkPath()) == currentWorkText(std::string());
            },
            boundMs);
    }

    void endCleanly() { EXPECT_THROW(endProgram(), ProgramEnded); }

    std::string m_work;
    Rows m_rows;
};

TEST_F(Autosave, EveryChangeIsOnTheDiskWithinASecond)
{
    start(sampleChartPath());
    settle();
    ASSERT_NE(sessionWorkPath(), "");
    EXPECT_FALSE(exists(sessionWorkPath())) << "a picture just opened is nothing to lose";
    EXPECT_EQ(sessionWriteCount(), 0u);

    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    EXPECT_TRUE(sessionHoldsTheWork()) << "the first capture";
    clickDiagram(20, 248);
    EXPECT_TRUE(sessionHoldsTheWork()) << "the second, within the interval after the first";
    choose(MENU_UNDO);
    EXPECT_TRUE(sessionHoldsTheWork()) << "an undo is a change too";
    EXPECT_EQ(std::filesystem::status(std::filesystem::path(sessionWorkPath()).parent_path()).permissions()
            & std::filesystem::perms::others_all,
        std::filesystem::perms::none)
        << "the work is the user's alone";
}

TEST_F(Autosave, ChangesInABurstShareTheirWrites)
{
    start(sampleChartPath());
    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 30; ++i)
        clickDiagram(20 + i, 200);
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    ASSERT_TRUE(sessionHoldsTheWork());
    const auto intervals = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 250;
    EXPECT_LE(sessionWriteCount(), static_cast<std::uint64_t>(intervals + 3)) << "30 captures";
    const std::uint64_t before = sessionWriteCount();
    passes(20);
    EXPECT_EQ(sessionWriteCount(), before) << "nothing changed: nothing written";
}

TEST_F(Autosave, ACleanQuitAndASaveOfEverythingRemoveTheSession)
{
    captureThree();
    ASSERT_TRUE(sessionHoldsTheWork());
    const std::string path = sessionWorkPath();

    sessionWorkSaved();
    EXPECT_FALSE(exists(path)) << "saved whole";
    passes(5);
    EXPECT_FALSE(exists(path)) << "and not written again without a change";
    clickDiagram(20, 240);
    EXPECT_TRUE(sessionHoldsTheWork()) << "the next change writes it again";

    answerNextDialogWithKey(13); // Yes, quit without saving
    choose(MENU_ITEM_QUIT);
    ASSERT_EQ(quitRequested, 1);
    endCleanly();
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(stateFolder())) << "no lock file either";
}

TEST_F(Autosave, SavingAProjectRemovesTheSessionAndListsTheProject)
{
    captureThree();
    ASSERT_TRUE(sessionHoldsTheWork());
    const std::string path = sessionWorkPath();
    const std::string project = writeTemporaryFile("saved.graphonite", "");
    std::filesystem::remove(project);
    scriptSaveFileAnswer(project);
    choose(MENU_SAVE_PROJECT_AS);
    ASSERT_TRUE(exists(project));
    EXPECT_FALSE(isWindowModified(WINDOW_MAIN));
    EXPECT_FALSE(exists(path)) << "the project holds the whole work";
    EXPECT_EQ(loadRecentFiles(), (std::vector<std::string> { project, sampleChartPath() }));
    // Opening it from the list gives it back; a CSV file alone does not hold the whole work.
    clickDiagram(20, 240);
    EXPECT_TRUE(sessionHoldsTheWork());
    scriptSaveFileAnswer(project + ".csv");
    choose(MENU_SAVE_CSV);
    passes(5);
    EXPECT_TRUE(exists(path)) << "the calibration is in no file the user chose";
    std::filesystem::remove(project);
    std::filesystem::remove(project + ".csv");
}

TEST_F(Autosave, TheNextStartRestoresTheWorkOfAProgramThatIsGone)
{
    captureThree();
    const std::string dead = sessionLeftBehind(m_work);
    ASSERT_TRUE(exists(dead));

    restart(MESSAGE_FIRST_BUTTON);
    ASSERT_EQ(messagesAsked(), 1u);
    const Offer& offer = g_offers[0];
    EXPECT_EQ(offer.title, "Restore Unfinished Work");
    EXPECT_TRUE(offer.shows("The program ended before this work was saved: bar_chart.png with 3 points. Do "
                            "you want to restore it?"))
        << testing::PrintToString(offer.texts);
    EXPECT_TRUE(offer.shows("Yes") && offer.shows("No"));
    EXPECT_EQ(tableRows(), m_rows);
    EXPECT_TRUE(isWindowModified(WINDOW_MAIN)) << "the restored work was never saved";
    EXPECT_EQ(sessionWorkPath(), dead) << "the session goes on in the restored file";

    // The restored work goes on being saved there, and a clean quit removes it.
    clickDiagram(20, 240);
    EXPECT_TRUE(sessionHoldsTheWork());
    answerNextDialogWithKey(13);
    choose(MENU_ITEM_QUIT);
    endCleanly();
    EXPECT_FALSE(exists(dead));
}

TEST_F(Autosave, TheOfferSpeaksGermanAndCountsOnePoint)
{
    start(sampleChartPath(), 1);
    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    const std::string dead = sessionLeftBehind(currentWorkText(std::string()));

    restart(MESSAGE_SECOND_BUTTON, 1);
    ASSERT_EQ(messagesAsked(), 1u);
    EXPECT_EQ(g_offers[0].title, "Unfertige Arbeit wiederherstellen");
    EXPECT_TRUE(g_offers[0].shows("Das Programm endete, bevor diese Arbeit gesichert war: bar_chart.png mit "
                                  "einem Punkt. M\xF6"
                                  "chten Sie sie wiederherstellen?"))
        << testing::PrintToString(g_offers[0].texts);
    EXPECT_TRUE(g_offers[0].shows("Ja") && g_offers[0].shows("Nein")) << "buttons in the user's language";
    EXPECT_EQ(unfinishedWorkText("a.png", 0),
        "Das Programm endete, bevor diese Arbeit gesichert war: a.png mit 0 "
        "Punkten. M\xF6"
        "chten Sie sie wiederherstellen?");
}

TEST_F(Autosave, NoKeepsTheWorkAsideUntilTheNextCleanQuit)
{
    captureThree();
    const std::string dead = sessionLeftBehind(m_work);

    restart(MESSAGE_SECOND_BUTTON);
    EXPECT_EQ(messagesAsked(), 1u);
    EXPECT_TRUE(tableRows().empty()) << "the picture of the command line opened as usual";
    EXPECT_TRUE(exists(dead));
    EXPECT_EQ(contentOf(dead), m_work) << "untouched";
    SessionStore another(stateFolder());
    ASSERT_EQ(another.create(), "");
    EXPECT_TRUE(another.findStaleSessions().empty()) << "a program started meanwhile is not offered it";
    another.removeSessions();

    choose(MENU_ITEM_QUIT);
    endCleanly();
    EXPECT_FALSE(exists(dead));
}

TEST_F(Autosave, TheSessionOfARunningProgramIsNotOffered)
{
    start(sampleChartPath());
    UniqueFd running;
    const std::string live = sessionLeftBehind(currentWorkText(std::string()), &running);
    ASSERT_TRUE(exists(live));

    restart(MESSAGE_FIRST_BUTTON);
    EXPECT_EQ(messagesAsked(), 0u);
    EXPECT_EQ(pendingDialogActions(), 1);
    forgetDialogActions();
    EXPECT_TRUE(exists(live));

    // Once that program is gone, the next start offers its work.
    running.reset();
    restart(MESSAGE_SECOND_BUTTON);
    EXPECT_EQ(messagesAsked(), 1u);
}

TEST_F(Autosave, AnUnreadableSessionIsSetAsideWithoutAQuestion)
{
    start(sampleChartPath());
    const std::string dead = sessionLeftBehind("not the work of this program");
    restart(MESSAGE_FIRST_BUTTON);
    EXPECT_EQ(messagesAsked(), 0u);
    EXPECT_EQ(pendingDialogActions(), 1);
    forgetDialogActions();
    EXPECT_FALSE(exists(dead));
    EXPECT_EQ(contentOf(dead + ".unreadable"), "not the work of this program");
}

// Logging out: without leave to ask, the program no longer keeps the desktop waiting; the work is
// on the disk and the next start offers it.
TEST_F(Autosave, TheEndOfTheDesktopSessionKeepsTheWorkForTheNextStart)
{
    captureThree();
    EXPECT_EQ(askSessionEnd(0), 1);
    const std::string path = sessionWorkPath();
    EXPECT_EQ(contentOf(path), m_work) << "on the disk before the answer";
    requestDesktopQuit();
    settle();
    ASSERT_EQ(quitRequested, 1);
    endCleanly();
    ASSERT_TRUE(exists(path));

    restart(MESSAGE_FIRST_BUTTON);
    EXPECT_EQ(messagesAsked(), 1u);
    EXPECT_EQ(tableRows(), m_rows);
}

TEST_F(Autosave, TheQuitQuestionStillDecidesWhenTheDesktopLetsTheProgramAsk)
{
    captureThree();
    answerNextDialogWithKey(13); // Yes
    EXPECT_EQ(askSessionEnd(1), 1);
    requestDesktopQuit();
    settle();
    ASSERT_EQ(quitRequested, 1);
    const std::string path = sessionWorkPath();
    endCleanly();
    EXPECT_FALSE(exists(path)) << "the user chose to leave the work";
}

TEST_F(Autosave, WithoutAFolderForTheSessionUnsavedWorkStillKeepsTheDesktopWaiting)
{
    setenv("XDG_STATE_HOME", "/proc/no-such-folder", 1);
    captureThree();
    EXPECT_EQ(sessionWorkPath(), "");
    EXPECT_EQ(askSessionEnd(0), 0);
}

TEST_F(Autosave, AFailedWriteIsToldAndKeepsTheDesktopWaiting)
{
    start(sampleChartPath());
    // A folder in the place of the work file: every write fails, even for the administrator.
    std::filesystem::create_directories(sessionWorkPath());
    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    EXPECT_TRUE(passUntil(
        [] {
            return std::string(statusBarFieldText(STATUSBAR_MAIN, 1).c_str())
                       .rfind("The work could not be autosaved: ", 0)
                == 0;
        },
        1500))
        << statusBarFieldText(STATUSBAR_MAIN, 1).c_str();
    EXPECT_EQ(askSessionEnd(0), 0) << "the work is not on the disk";
    std::filesystem::remove(sessionWorkPath());
    EXPECT_EQ(askSessionEnd(0), 1) << "written at the session's end";
    EXPECT_EQ(contentOf(sessionWorkPath()), currentWorkText(std::string()));
}

class OpenRecent : public AppTest {
protected:
    // A copy of the sample chart under another name; its path.
    static std::string otherChart(const std::string& name)
    {
        const std::string path = writeTemporaryFile(name, contentOf(sampleChartPath()));
        return path;
    }

    static std::vector<int> recentItems()
    {
        std::vector<int> items;
        for (int item : menuBarItems(WINDOW_MAIN))
            if (item >= MENU_RECENT_FILE_FIRST && item < MENU_RECENT_FILE_FIRST + 10)
                items.push_back(item);
        return items;
    }
};

TEST_F(OpenRecent, TheFileMenuListsTheOtherFilesOpenedAndOpensThem)
{
    const std::string other = otherChart("other chart.png");
    start(sampleChartPath());
    EXPECT_TRUE(recentItems().empty()) << "only the picture shown was opened";
    ASSERT_TRUE(openDiagramFile(other.c_str()));
    settle();
    EXPECT_EQ(recentItems(), (std::vector<int> { MENU_RECENT_FILE_FIRST }));
    const std::vector<std::string> texts = menuBarItemTexts(WINDOW_MAIN);
    const std::string folder = std::filesystem::path(sampleChartPath()).parent_path().string();
    EXPECT_NE(
        std::find(texts.begin(), texts.end(), "Open Recent 1: bar_chart.png  (" + folder + ")"), texts.end())
        << ::testing::PrintToString(texts);
    EXPECT_EQ(loadRecentFiles(), (std::vector<std::string> { other, sampleChartPath() }));

    choose(MENU_RECENT_FILE_FIRST);
    EXPECT_STREQ(diagramPath.c_str(), sampleChartPath().c_str());
    EXPECT_EQ(recentItems(), (std::vector<int> { MENU_RECENT_FILE_FIRST }));

    // Unsaved captures are not dropped without the question.
    useSimpleCalibration();
    choose(MENU_CATCH_POINTS);
    clickDiagram(20, 249);
    answerNextDialogWithKey(27); // No
    choose(MENU_RECENT_FILE_FIRST);
    EXPECT_STREQ(diagramPath.c_str(), sampleChartPath().c_str());
    EXPECT_EQ(tableRows().size(), 1u);
    std::filesystem::remove(other);
}

TEST_F(OpenRecent, AFileThatIsGoneIsDroppedWithAWord)
{
    const std::string other = otherChart("gone.png");
    start(other);
    ASSERT_TRUE(openDiagramFile(sampleChartPath().c_str()));
    settle();
    ASSERT_EQ(recentItems().size(), 1u);
    std::filesystem::remove(other);
    int dialogs = 0;
    actInNextDialog([&dialogs](int window) {
        ++dialogs;
        pressKey(window, 13);
    });
    choose(MENU_RECENT_FILE_FIRST);
    EXPECT_EQ(dialogs, 1);
    EXPECT_STREQ(diagramPath.c_str(), sampleChartPath().c_str());
    EXPECT_EQ(loadRecentFiles(), (std::vector<std::string> { sampleChartPath() }));
}

TEST_F(OpenRecent, AProjectOpensThroughItsText)
{
    startWithThreeCaptures();
    const Rows rows = tableRows();
    const std::string project = writeTemporaryFile("work.graphonite", currentWorkText(std::string()));
    ASSERT_EQ(rememberRecentFile(project), "");
    clearDataModified();
    ASSERT_TRUE(openDiagramFile(sampleChartPath().c_str()));
    settle();
    ASSERT_TRUE(tableRows().empty());
    ASSERT_EQ(recentItems().size(), 1u);
    choose(MENU_RECENT_FILE_FIRST);
    EXPECT_EQ(tableRows(), rows);
    std::filesystem::remove(project);
}

} // namespace
