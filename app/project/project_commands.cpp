#include "project_commands.h"

#include "project_format.h"
#include "project_work.h"

#include "app/app_ids.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/message_dialog.h"
#include "app/session/autosave.h"
#include "app/session/recent_files.h"
#include "app/status_prompt.h"
#include "app/translations.h"

#include "runtime/atomic_file.h"
#include "runtime/file_names.h"
#include "runtime/latin1.h"
#include "runtime/text_builder.h"
#include "toolkit/requesters.h"
#include "toolkit/window.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr const char* PROJECT_PATTERN = "Graphonite|*.graphonite";

// The project file the work was last written to or read from; empty for none.
std::string g_projectPath;
// Whether that file carries the picture's bytes.
bool g_projectEmbedsPicture = false;
std::string g_titlePart;

void showProjectTitle()
{
    g_titlePart = g_projectPath.empty() ? std::string() : " - " + std::string(fileNamePart(g_projectPath));
    setWindowTitle(WINDOW_MAIN, WorkText(PRODUCT_NAME, g_titlePart.c_str()));
}

void setProject(const std::string& path, bool embedsPicture)
{
    g_projectPath = path;
    g_projectEmbedsPicture = embedsPicture;
    showProjectTitle();
}

// The system's words for a failure come in the locale's UTF-8.
String latin1Reason(const std::string& reason)
{
    return makeText([&reason] { appendUtf8AsLatin1(reason); });
}

void tellFailure(const char* title, const std::string& message)
{
    messageDialog(title, message.c_str(), DIALOG_OK, ICON_PROHIBITION);
}

// The project's file when there is one, else the diagram's with the extension .graphonite.
std::string proposedProjectPath()
{
    if (!g_projectPath.empty())
        return g_projectPath;
    std::string path = diagramPath.c_str();
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        path.erase(dot);
    return path.empty() ? std::string() : path + PROJECT_EXTENSION;
}

bool writeProjectTo(const std::string& path, bool withPicture)
{
    ProjectData data;
    std::string error;
    if (!gatherProjectData(path, withPicture, data, error)) {
        tellFailure(translate("Save Project"), error);
        return false;
    }
    const std::string reason = writeFileAtomically(path, writeProject(data));
    if (!reason.empty()) {
        messageDialog(translate("Save Project"),
            WorkText(translate("The project could not be saved:"), " ", latin1Reason(reason)), DIALOG_OK,
            ICON_PROHIBITION);
        return false;
    }
    // A project holds all of the table, so it is as much a save as a CSV file is.
    clearDataModified();
    setProject(path, withPicture);
    // The whole work is in a file the user chose: the session need not keep it any more.
    sessionWorkSaved();
    (void)rememberRecentFile(path);
    showResult(WorkText(translate("Saved:"), " ", fileNamePart(path).data()));
    return true;
}

void askAndWrite(const char* title, bool withPicture)
{
    const String path
        = saveFileRequester(translate(title), proposedProjectPath().c_str(), PROJECT_PATTERN, 0);
    if (path.isEmpty())
        return;
    (void)writeProjectTo(path.c_str(), withPicture || pictureCameFromProject());
}

} // namespace

void saveProject()
{
    if (g_projectPath.empty())
        askAndWrite("Save Project", false);
    else
        (void)writeProjectTo(g_projectPath, g_projectEmbedsPicture || pictureCameFromProject());
}

void saveProjectAs(bool withPicture)
{
    askAndWrite(withPicture ? "Save Project With Picture" : "Save Project As", withPicture);
}

void openProject()
{
    if (!confirmDiscard(translate("Open Project")))
        return;
    const std::string folder
        = folderPart(g_projectPath.empty() ? std::string(diagramPath.c_str()) : g_projectPath);
    const String path = openFileRequester(translate("Open Project"), folder.c_str(), PROJECT_PATTERN, 0);
    if (!path.isEmpty())
        (void)openProjectFile(path);
}

bool openProjectFile(const char* path)
{
    std::string text;
    const std::string reason = readWholeFile(path, text, MAX_PROJECT_FILE_BYTES);
    if (!reason.empty()) {
        messageDialog(translate("Open Project"),
            WorkText(translate("The file could not be read:"), " ", latin1Reason(reason)), DIALOG_OK,
            ICON_PROHIBITION);
        return false;
    }
    const ProjectReading reading = readProject(text);
    if (reading.problem != ProjectProblem::None) {
        tellFailure(translate("Open Project"), projectReadingError(reading));
        return false;
    }
    std::string error;
    if (!restoreProjectData(reading.data, path, error)) {
        tellFailure(translate("Open Project"), error);
        return false;
    }
    setProject(path, reading.data.embeddedPicture.has_value());
    (void)rememberRecentFile(path);
    showResult(fileNamePart(path).data());
    return true;
}

bool isProjectFileName(const char* path)
{
    const std::string_view name = path ? path : "";
    const std::string_view extension = PROJECT_EXTENSION;
    return name.size() > extension.size()
        && std::equal(name.end() - static_cast<std::ptrdiff_t>(extension.size()), name.end(),
            extension.begin(),
            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool openProjectOrDiagramFile(const char* path)
{
    return isProjectFileName(path) ? openProjectFile(path) : openDiagramFile(path);
}

void forgetProject()
{
    g_projectPath.clear();
    g_projectEmbedsPicture = false;
    g_titlePart.clear();
}

const char* projectTitlePart()
{
    return g_titlePart.c_str();
}
