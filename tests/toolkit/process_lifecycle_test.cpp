#include "toolkit/platform/window_container.h"
#include "toolkit/process_lifecycle.h"

#include "toolkit_test_support.h"

#include <QCoreApplication>
#include <QPointer>

#include <filesystem>

namespace {

using ProcessLifecycleTest = ToolkitTest;

TEST_F(ProcessLifecycleTest, TheWorkingDirectoryBecomesTheExecutablesFolder)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path("/");
    EXPECT_EQ(enterProgramFolder(), 1);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::read_symlink("/proc/self/exe").parent_path());
    std::filesystem::current_path(saved);
}

// The folder the program was started from is kept, so that requesters can start where the
// user's files are rather than in the program's folder.
TEST_F(ProcessLifecycleTest, TheStartingFolderIsKept)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    for (const char* folder : { "/", "/tmp" }) {
        std::filesystem::current_path(folder);
        enterProgramFolder();
        EXPECT_STREQ(startingFolder(), folder);
    }
    std::filesystem::current_path(saved);
}

TEST_F(ProcessLifecycleTest, BringingToFrontLeavesInvisibleWindowsAlone)
{
    bringProcessToFront(); // no window yet: nothing to do
    openWindow(0, 10, 10, 100, 100, "hidden", WINDOW_INVISIBLE);
    openWindowSimple(1, 200, 10, 100, 100, "shown");
    bringProcessToFront();
    EXPECT_FALSE(windowContainer(0)->isVisible());
    EXPECT_TRUE(windowContainer(1)->isVisible());
}

TEST_F(ProcessLifecycleTest, ShuttingDownReleasesEverythingAndTheToolkitCanStartAgain)
{
    openWindowSimple(0, 10, 10, 100, 100, "before");
    QPointer<QWidget> before = windowContainer(0);
    loadFont(0, "Arial", 12);
    postEvent(EVENT_MENU, 1, 0, 0);

    shutdownToolkit();
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_TRUE(before.isNull());
    EXPECT_EQ(queuedEventCount(), 0);
    shutdownToolkit(); // nothing left to do

    EXPECT_EQ(isWindow(0), 0);
    EXPECT_EQ(isFont(0), 0);
    openWindowSimple(0, 10, 10, 100, 100, "after");
    EXPECT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(windowWidth(0), 100);
    EXPECT_EQ(reportedEvents(eventsUntil(EVENT_ACTIVATE_WINDOW)).back(), EVENT_ACTIVATE_WINDOW);
}

} // namespace
