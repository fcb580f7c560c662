#include "toolkit/platform/window_container.h"
#include "toolkit/process_startup.h"

#include "toolkit_test_support.h"

#include <filesystem>

namespace {

using ProcessStartupTest = ToolkitTest;

TEST_F(ProcessStartupTest, TheWorkingDirectoryBecomesTheExecutablesFolder)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path("/");
    EXPECT_EQ(enterProgramFolder(), 1);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::read_symlink("/proc/self/exe").parent_path());
    std::filesystem::current_path(saved);
}

TEST_F(ProcessStartupTest, BringingToFrontLeavesInvisibleWindowsAlone)
{
    bringProcessToFront(); // no window yet: nothing to do
    openWindow(0, 10, 10, 100, 100, "hidden", WINDOW_INVISIBLE);
    openWindowSimple(1, 200, 10, 100, 100, "shown");
    bringProcessToFront();
    EXPECT_FALSE(windowContainer(0)->isVisible());
    EXPECT_TRUE(windowContainer(1)->isVisible());
}

} // namespace
