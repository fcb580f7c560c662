#include "recent_menu.h"

#include "recent_files.h"

#include "app/app_ids.h"
#include "app/diagram.h"
#include "app/message_dialog.h"
#include "app/project/project_commands.h"
#include "app/translations.h"

#include "runtime/atomic_file.h"
#include "runtime/file_names.h"
#include "runtime/latin1.h"
#include "runtime/text_builder.h"
#include "toolkit/menus.h"

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// The entries as the menu shows them, so that an item names the same file however the stored
// list changed since.
std::vector<std::string> g_shownFiles;

String latin1(std::string_view utf8)
{
    return makeText([utf8] { appendUtf8AsLatin1(utf8); });
}

// A tab in a menu text starts its key equivalent: in a file name it is shown as a blank.
String menuLabel(std::string_view utf8)
{
    std::string label(utf8);
    for (char& c : label)
        if (c == '\t')
            c = ' ';
    return latin1(label);
}

void tellFailure(const char* what, const std::string& path)
{
    messageDialog(
        translate("Open Recent"), WorkText(translate(what), " ", latin1(path)), DIALOG_OK, ICON_PROHIBITION);
}

} // namespace

void addRecentFileItems()
{
    // The picture shown is open already; the menus are built anew with its window and with
    // every change of the column count, and list it only once another picture replaced it.
    g_shownFiles = existingRecentFiles(
        loadRecentFiles(), [](const std::string& path) { return path != diagramPath.c_str(); });
    if (g_shownFiles.empty())
        return;
    menuSeparator();
    for (std::size_t i = 0; i < g_shownFiles.size(); ++i) {
        const std::string& path = g_shownFiles[i];
        std::string folder = folderPart(path);
        if (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        menuItem(MENU_RECENT_FILE_FIRST + static_cast<int>(i),
            WorkText(translate("Open Recent"), " ", static_cast<int>(i + 1), ": ",
                menuLabel(fileNamePart(path)), "  (", menuLabel(folder), ")"));
    }
}

bool isRecentFileItem(int item)
{
    return item >= MENU_RECENT_FILE_FIRST
        && item < MENU_RECENT_FILE_FIRST + static_cast<int>(MAX_RECENT_FILES);
}

void openRecentFile(int item)
{
    const std::size_t index = static_cast<std::size_t>(item - MENU_RECENT_FILE_FIRST);
    if (!isRecentFileItem(item) || index >= g_shownFiles.size())
        return;
    const std::string path = g_shownFiles[index];
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        (void)forgetRecentFile(path);
        tellFailure("This file no longer exists:", path);
        return;
    }
    if (!confirmDiscard(translate("Open Recent")))
        return;
    if (isProjectFileName(path.c_str()))
        (void)openProjectFile(path.c_str());
    else
        (void)openDiagramFile(path.c_str());
}
