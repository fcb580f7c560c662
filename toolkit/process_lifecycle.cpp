#include "toolkit/process_lifecycle.h"

#include "runtime/text_functions.h"
#include "runtime/work_area.h"
#include "toolkit/application.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/menus.h"
#include "toolkit/window.h"

#include <cerrno>
#include <string>

#include <unistd.h>

namespace {

std::string g_startingFolder;

// The working directory as the file system names it; empty when it cannot be found (removed,
// or not reachable from the root).
std::string workingDirectory()
{
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()))
            return buffer.c_str();
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

void bringProcessToFront()
{
    raiseApplicationWindows();
}

int enterProgramFolder()
{
    g_startingFolder = workingDirectory();
    std::string folder;
    {
        WorkAreaMark path;
        executablePath();
        const std::string executable = path.text();
        WorkAreaMark folderMark;
        folderOf(executable.c_str());
        folder = folderMark.text();
    }
    if (folder.empty())
        return 0;
    return chdir(folder.c_str()) == 0 ? 1 : 0;
}

const char* startingFolder()
{
    return g_startingFolder.c_str();
}

void shutdownToolkit()
{
    if (!platformRunning())
        return;
    closeAllWindows();
    freeAllMenus();
    freeAllFonts();
    initEventQueue();
    shutdownPlatform();
}
