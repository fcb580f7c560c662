#include "startup.h"

#include "app_identity.h"
#include "app_menus.h"
#include "app_state.h"
#include "calibration.h"
#include "command_line.h"
#include "data_table.h"
#include "diagram.h"
#include "diagram_markers.h"
#include "event_loop.h"
#include "extraction/extraction_commands.h"
#include "language.h"
#include "message_dialog.h"
#include "project/project_commands.h"
#include "project/project_work.h"
#include "session/autosave.h"
#include "status_prompt.h"
#include "translations.h"

#include "imaging/decoders/image_decoding.h"
#include "imaging/drawing.h"
#include "imaging/image.h"
#include "runtime/program_runner.h"
#include "runtime/record_layout.h"
#include "runtime/work_area.h"
#include "toolkit/application.h"
#include "toolkit/event_queue.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/menus.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/session_end.h"
#include "toolkit/status_bar.h"
#include "toolkit/window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

std::function<void(int)> g_programEnd;

// The file registry: the program opens no files through a registry, so it has none. The steps
// stay in their places of the order.
void initFiles()
{
}
void closeAllFiles()
{
}

} // namespace

void initRuntime()
{
    bringProcessToFront();
    enterProgramFolder();
    initWorkArea();
    initEventQueue();
    initImageDecoders();
    useBmpDecoder();
    initImages();
    initDrawing();
    registerArrayHandlers();
    initFiles();
    initFonts();
    registerListHandlers();
    initMenus();
    initWindows();
    initGadgets();
    registerMapHandlers();
    initProgramRunner();
    initStatusBars();
}

void resetApplicationState()
{
    resetCalibration();
    resetStatusPrompt();
    resetDataTable();
    resetDiagramMarkers();
    resetExtraction();
    endAutosave();
    removeExtractedPictures();
    displayWidth = 0.0;
    diagramPath = String();
    diagramHeightBound = 0.0;
    quitRequested = 0;
    eventCode = eventGadget = eventType = eventMenuItem = 0;
}

void startApplication(const char* picturePath)
{
    resetApplicationState();
    createTranslations();
    detectLanguage();
    displayWidth = displayWidthOfDesktop();
    diagramHeightBound = diagramHeightBoundOfDesktop();
    buildTranslations(LANGUAGE_DETECTED);
    // Qt's own texts (the file requesters, their questions) speak the program's language.
    setToolkitLanguage(language == 1 ? "de" : "en");
    announceApplicationIdentity();
    setSessionEndQuestion(agreeToSessionEndKeepingWork);
    registerImageDecoders();
    // Work that a crash left behind comes before the picture or project of the command line.
    startAutosave();
    if (offerUnfinishedWork())
        return;
    if (!picturePath || !*picturePath || !openProjectOrDiagramFile(picturePath))
        if (!openDiagram(1))
            endProgram();
}

void shutdownRuntime()
{
    closeAllWindows();
    freeAllFonts();
    closeAllFiles();
    releaseAllImages();
}

void endProgram()
{
    endAutosave();
    removeExtractedPictures();
    shutdownRuntime();
    freeWorkArea();
    if (g_programEnd)
        g_programEnd(0);
    shutdownToolkit();
    std::exit(0);
}

void setProgramEnd(std::function<void(int exitCode)> end)
{
    g_programEnd = std::move(end);
}

int runGraphonite(int argc, char** argv)
{
    // Help, version and usage errors are answered before the runtime touches the desktop.
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.action != CommandLineAction::Run)
        return answerCommandLine(commandLine, stdout, stderr);
    // Start-up changes the working directory: a relative path must be resolved before.
    std::string picture;
    if (!commandLine.picturePath.empty()) {
        std::error_code error;
        picture = std::filesystem::absolute(commandLine.picturePath, error).string();
        if (error)
            picture = commandLine.picturePath;
    }
    initRuntime();
    startApplication(picture.c_str());
    quitRequested = 0;
    runEventLoop();
    endProgram();
}
