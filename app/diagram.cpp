#include "diagram.h"

#include "app_ids.h"
#include "app_menus.h"
#include "calibration.h"
#include "data_table.h"
#include "diagram_markers.h"
#include "diagram_size.h"
#include "main_window.h"
#include "message_dialog.h"
#include "project/project_commands.h"
#include "session/recent_files.h"
#include "status_prompt.h"
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
double diagramHeightBound = 0.0;
String diagramPath;

namespace {

constexpr const char* IMAGE_PATTERN = "Images|*.png,*.jpg";

// Rows of the picture last loaded that its data delivered, and all its rows.
int g_decodedSourceRows = 0;
int g_sourceRows = 0;

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

String incompletePictureText(int decodedRows, int rows)
{
    // The translation places the two numbers where its language wants them.
    const std::string pattern = translate("The picture is incomplete: %1 of %2 rows");
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            text += std::to_string(pattern[i + 1] == '1' ? decodedRows : rows);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return String(text.c_str());
}

namespace {

// The main display, or the first that tells its width; -1 when none does.
int measuredDesktop()
{
    const int count = examineDesktops();
    for (int index = 0; index < count; ++index) {
        if (desktopWidth(index) > 0)
            return index;
    }
    return -1;
}

} // namespace

double displayWidthOfDesktop()
{
    const int index = measuredDesktop();
    return index < 0 ? 0.0 : desktopWidth(index) / 2.0;
}

double diagramHeightBoundOfDesktop()
{
    const int index = measuredDesktop();
    return index < 0 ? 0.0 : diagramHeightLimit(desktopAvailableHeight(index));
}

void registerImageDecoders()
{
    usePngDecoder();
    useJpegDecoder();
}

bool loadDiagram(const char* path)
{
    ImageFileSize size;
    if (!path || !readImageFileSize(path, size) || size.width <= 0 || size.height <= 0)
        return false;
    // Without a desktop width the picture keeps its own; a tall one is shown smaller, so that
    // the whole window fits on the desktop.
    const ShownSize shown = shownDiagramSize(size.width, size.height, displayWidth, diagramHeightBound);
    DecodedRowCount rows;
    if (!loadImageFileScaled(IMAGE_DIAGRAM, path, shown.pixelWidth, shown.pixelHeight, &rows))
        return false;
    // A picture decoded reduced counts reduced rows; the user knows the picture's own.
    g_decodedSourceRows = rows.decoded >= rows.total || rows.total <= 0
        ? size.height
        : static_cast<int>(static_cast<long long>(rows.decoded) * size.height / rows.total);
    g_sourceRows = size.height;
    // The origin starts at the displayed picture's bottom-left corner, in the same pixels as
    // every click.
    startCalibration(shown.width, shown.height, static_cast<double>(shown.pixelWidth) / size.width);
    return true;
}

bool openDiagramFile(const char* path)
{
    if (!loadDiagram(path)) {
        reportUnreadablePicture(path);
        return false;
    }
    diagramPath = path;
    (void)rememberRecentFile(path);
    forgetProject();
    openMainWindow();
    startDiagramMarkers();
    setModelChangeListener(showMarkerChange);
    buildMenus();
    // The missing rows are black; without a word the user would take them for the chart's.
    if (g_decodedSourceRows < g_sourceRows)
        showNotice(incompletePictureText(g_decodedSourceRows, g_sourceRows));
    return true;
}

bool openDiagram(int mandatory)
{
    for (;;) {
        const String path = openFileRequester(
            translate("Open Diagram File (PNG, JPG)"), diagramFolder().c_str(), IMAGE_PATTERN, 0);
        if (!path.isEmpty()) {
            if (openDiagramFile(path) || !mandatory)
                return true;
            continue;
        }
        if (!mandatory)
            return true;
        const int answer = messageDialog(translate("Information"),
            translate("Please open an image to proceed, or click 'Cancel' to exit."), DIALOG_CANCEL_OK,
            ICON_QUESTION);
        if (answer == ANSWER_CANCEL)
            return false;
    }
}
