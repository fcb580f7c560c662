#include "toolkit/process_lifecycle.h"

#include "runtime/text_functions.h"
#include "runtime/work_area.h"
#include "toolkit/application.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/menus.h"
#include "toolkit/window.h"

#include <string>

#include <unistd.h>

void bringProcessToFront()
{
    raiseApplicationWindows();
}

int enterProgramFolder()
{
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
