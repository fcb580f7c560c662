#include "diagram.h"

#include "app_ids.h"
#include "app_menus.h"
#include "calibration.h"
#include "main_window.h"
#include "message_dialog.h"
#include "startup.h"
#include "translations.h"

#include "imaging/decoders/image_decoding.h"
#include "imaging/image.h"
#include "runtime/file_names.h"
#include "runtime/number_text.h"
#include "runtime/text_builder.h"
#include "toolkit/desktop.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requesters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

double displayWidth = 0.0;
String diagramPath;

namespace {

constexpr const char* IMAGE_PATTERN = "Images|*.png,*.jpg";

void reportUnreadablePicture(const char* path)
{
    messageDialog(translate("Information"),
        WorkText(translate("This file cannot be opened as a picture:"), " ", fileNamePart(path).data()),
        DIALOG_OK, ICON_PROHIBITION);
}

// Where the requester for a diagram starts: the folder of the open diagram, else the folder the
// program was started from (the working directory is the program's own folder by now).
std::string diagramFolder()
{
    const char* path = diagramPath.c_str();
    if (const char* slash = std::strrchr(path, '/'))
        return std::string(path, static_cast<std::size_t>(slash - path + 1));
    return startingFolder();
}

} // namespace

double displayWidthOfDesktop()
{
    const int count = examineDesktops();
    for (int index = 0; index < count; ++index) {
        if (desktopWidth(index) > 0)
            return desktopWidth(index) / 2.0;
    }
    return 0.0;
}

void registerImageDecoders()
{
    usePngDecoder();
    useJpegDecoder();
}

int loadDiagram(const char* path)
{
    ImageFileSize size;
    if (!path || !readImageFileSize(path, size) || size.width <= 0 || size.height <= 0)
        return 0;
    // Without a desktop width the picture keeps its own.
    const double width = displayWidth > 0 ? displayWidth : static_cast<double>(size.width);
    const float height = static_cast<float>(static_cast<double>(size.height) / size.width * width);
    const int pixelWidth = std::max<int>(1, static_cast<int>(roundToEven(width)));
    const int pixelHeight = std::max<int>(1, static_cast<int>(roundToEven(height)));
    if (!loadImageFileScaled(IMAGE_DIAGRAM, path, pixelWidth, pixelHeight))
        return 0;
    // The origin starts at the displayed picture's bottom-left corner, in the same pixels as
    // every click.
    originX = 0.0;
    widthCalibrated = heightCalibrated = 0;
    spanHeight = height;
    spanWidth = width;
    originY = spanHeight;
    return 1;
}

int openDiagramFile(const char* path)
{
    if (!loadDiagram(path)) {
        reportUnreadablePicture(path);
        return 0;
    }
    diagramPath = path;
    openMainWindow();
    return 1;
}

void openDiagram(int mandatory)
{
    for (;;) {
        const String path = openFileRequester(
            translate("Open Diagram File (PNG, JPG)"), diagramFolder().c_str(), IMAGE_PATTERN, 0);
        if (!path.isEmpty()) {
            if (openDiagramFile(path)) {
                // The menu bar belongs to the window and went with the old one.
                if (!mandatory)
                    buildMenus();
                return;
            }
            if (!mandatory)
                return;
            continue;
        }
        if (!mandatory)
            return;
        const int answer = messageDialog(translate("Information"),
            translate("Please open an image to proceed, or click 'Cancel' to exit."), DIALOG_CANCEL_OK,
            ICON_QUESTION);
        if (answer == ANSWER_CANCEL)
            endProgram();
    }
}
