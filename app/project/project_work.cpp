#include "project_work.h"

#include "project_format.h"

#include "app/app_ids.h"
#include "app/app_menus.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/diagram_markers.h"
#include "app/message_dialog.h"
#include "app/translations.h"

#include "imaging/decoders/decoder_support.h"
#include "imaging/image.h"
#include "runtime/atomic_file.h"
#include "runtime/file_names.h"
#include "runtime/sha256.h"
#include "toolkit/gadgets.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requesters.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* IMAGE_PATTERN = "Images|*.png,*.jpg";

// What a picture's bytes were found to be, kept per path as long as the file's size and time of
// change stay: a project saved every few minutes does not read and hash the picture each time,
// and a picture removed since it was opened can still be named by its digest.
struct PictureFacts {
    long long size = -1;
    long long changed = 0;
    std::string sha256;
    int width = 0;
    int height = 0;
};
std::map<std::string, PictureFacts> g_pictureFacts;

// The folder the picture shown came from when it was taken out of a project's own bytes.
std::string g_extractedFolder;

bool fileExists(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The path from the root, without "." and ".." steps: a picture opened as "../chart.png" must not
// be written as a path that the reader refuses for climbing.
std::string absolutePath(const std::string& path)
{
    if (path.empty())
        return path;
    if (path.front() == '/')
        return std::filesystem::path(path).lexically_normal().string();
    std::string folder = startingFolder();
    if (folder.empty()) {
        char buffer[4096];
        if (::getcwd(buffer, sizeof buffer))
            folder = buffer;
    }
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return std::filesystem::path(folder + path).lexically_normal().string();
}

bool readPictureFacts(const std::string& path, PictureFacts& facts, std::string& bytes, bool wantBytes)
{
    struct stat info { };
    const bool present = ::stat(path.c_str(), &info) == 0;
    auto known = g_pictureFacts.find(path);
    if (known != g_pictureFacts.end() && !wantBytes
        && (!present
            || (known->second.size == info.st_size
                && known->second.changed
                    == static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec))) {
        facts = known->second;
        return true;
    }
    if (!readWholeFile(path, bytes, static_cast<std::size_t>(MAX_SOURCE_FILE_BYTES)).empty())
        return false;
    ImageFileSize size;
    if (!readImageFileSize(path.c_str(), size))
        return false;
    facts.size = static_cast<long long>(bytes.size());
    facts.changed = static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    facts.sha256 = sha256Hex(bytes);
    facts.width = size.width;
    facts.height = size.height;
    g_pictureFacts[path] = facts;
    return true;
}

} // namespace

void removeExtractedPictures()
{
    if (g_extractedFolder.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(g_extractedFolder, ignored);
    g_extractedFolder.clear();
}

bool pictureCameFromProject()
{
    return !g_extractedFolder.empty() && std::string(diagramPath.c_str()).rfind(g_extractedFolder, 0) == 0;
}

bool gatherProjectData(
    const std::string& projectPath, bool embedPicture, ProjectData& data, std::string& error)
{
    const std::string picture = absolutePath(diagramPath.c_str());
    PictureFacts facts;
    std::string bytes;
    if (picture.empty() || !readPictureFacts(picture, facts, bytes, embedPicture)) {
        error = translate("The picture of the work could not be read:") + std::string(" ")
            + std::string(fileNamePart(picture));
        return false;
    }
    const std::string folder = projectPath.empty() ? std::string() : folderPart(absolutePath(projectPath));
    data.picturePath
        = !folder.empty() && picture.rfind(folder, 0) == 0 ? picture.substr(folder.size()) : picture;
    data.pictureSha256 = facts.sha256;
    data.pictureWidth = facts.width;
    data.pictureHeight = facts.height;
    if (embedPicture)
        data.embeddedPicture = std::move(bytes);

    const CaptureModel& model = captureModel();
    // A project the reader would refuse is not written at all.
    if (static_cast<std::size_t>(model.rowCount()) * static_cast<std::size_t>(model.columnCount())
        > MAX_PROJECT_CELLS) {
        error = translate("The table in this project has more than 1,000,000 cells.");
        return false;
    }
    data.calibration = currentCaptureCalibration();
    data.widthClicked = widthCalibrated == 1;
    data.heightClicked = heightCalibrated == 1;
    for (int i = 0; i < model.calibrationCount(); ++i)
        data.calibrations.push_back(model.calibration(i));
    for (int column = 0; column < model.columnCount(); ++column)
        data.columns.push_back(model.series(column));
    data.capturesXy = model.capturesXy();
    data.markersShown = markersShown();
    data.catchingPoints = clickMode == CLICK_CAPTURE;
    const int selected = countTableColumns() > 0 ? static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT)) : 0;
    data.selectedColumn = selected >= 0 && selected < model.columnCount() ? selected : 0;
    return true;
}

namespace {

// The calibration as it would have been clicked on the picture shown at another size: displayed
// pixels scale with it, values stay.
CaptureCalibration rescaled(CaptureCalibration c, double displayScale)
{
    const double ratio = displayScale / c.displayScale;
    if (ratio == 1.0)
        return c;
    c.originX *= ratio;
    c.originY *= ratio;
    c.spanWidth *= ratio;
    c.spanHeight *= ratio;
    if (c.axisMarks) {
        for (AxisMark* mark : { &c.axisMarks->x1, &c.axisMarks->x2, &c.axisMarks->y1, &c.axisMarks->y2 }) {
            mark->pixel.x *= ratio;
            mark->pixel.y *= ratio;
        }
    }
    c.displayScale = displayScale;
    return c;
}

// The table of the project as a model: the calibrations in their order (equal ones merged, the
// cells following them) and every captured cell's value text, as a capture would have set it.
CaptureModel modelOf(const ProjectData& data)
{
    CaptureModel model;
    std::vector<int> indexOf;
    indexOf.reserve(data.calibrations.size());
    for (const CaptureCalibration& calibration : data.calibrations)
        indexOf.push_back(model.internCalibration(calibration));
    std::vector<Series> columns = data.columns;
    for (Series& column : columns) {
        for (Cell& cell : column.cells) {
            if (cell.kind != CellKind::Captured)
                continue;
            cell.calibration = indexOf[static_cast<std::size_t>(cell.calibration)];
            cell.text = model.calibration(cell.calibration).valueText(cell.point);
        }
    }
    (void)model.replaceSeries(std::move(columns));
    model.setCapturesXy(data.capturesXy);
    return model;
}

// Where the picture is: where the project names it, else beside the project file by its name.
std::string pictureOnDisk(const ProjectData& data, const std::string& projectPath)
{
    const std::string folder = projectPath.empty() ? std::string() : folderPart(absolutePath(projectPath));
    const std::string named = data.picturePath.front() == '/' ? data.picturePath : folder + data.picturePath;
    if (fileExists(named))
        return named;
    const std::string beside = folder + std::string(fileNamePart(data.picturePath));
    if (!folder.empty() && fileExists(beside))
        return beside;
    return std::string();
}

// The project's own bytes of the picture as a file of a private folder, named as the picture was.
std::string extractPicture(const ProjectData& data)
{
    if (g_extractedFolder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/graphonite-picture-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return std::string();
        g_extractedFolder = pattern + "/";
    }
    const std::string path = g_extractedFolder + std::string(fileNamePart(data.picturePath));
    if (!writeFileAtomically(path, *data.embeddedPicture).empty())
        return std::string();
    return path;
}

} // namespace

std::string projectReadingError(const ProjectReading& reading)
{
    const char* text = "";
    switch (reading.problem) {
    case ProjectProblem::None:
        return std::string();
    case ProjectProblem::TooLarge:
        text = "This project file is larger than 256 MB.";
        break;
    case ProjectProblem::NotJson:
        text = "This file is no project: its text is broken or cut off.";
        break;
    case ProjectProblem::NotProject:
        text = "This file is no project of this program.";
        break;
    case ProjectProblem::NewerVersion:
        text = "This project was saved by a newer version of the program.";
        break;
    case ProjectProblem::Damaged:
        text = "This project file is damaged:";
        break;
    case ProjectProblem::PathClimbsOut:
        text = "This project names its picture outside its folder:";
        break;
    case ProjectProblem::PictureTooLarge:
        text = "The picture of this project is larger than the program opens.";
        break;
    case ProjectProblem::TooManyColumns:
        text = "The table in this project has more than 64 columns.";
        break;
    case ProjectProblem::TooManyPoints:
        text = "The table in this project has more than 1,000,000 cells.";
        break;
    case ProjectProblem::TooManyCalibrations:
        text = "This project has more than 10,000 calibrations.";
        break;
    case ProjectProblem::TextTooLong:
        text = "A text in this project is longer than 10,000 characters:";
        break;
    case ProjectProblem::NotLatin1:
        text = "A text in this project has characters the program cannot show:";
        break;
    }
    std::string message = translate(text);
    const bool named = reading.problem == ProjectProblem::Damaged
        || reading.problem == ProjectProblem::PathClimbsOut || reading.problem == ProjectProblem::TextTooLong
        || reading.problem == ProjectProblem::NotLatin1;
    if (named)
        message += " " + reading.detail;
    return message;
}

bool restoreProjectData(const ProjectData& data, const std::string& projectPath, std::string& error)
{
    std::string picture = pictureOnDisk(data, projectPath);
    PictureFacts facts;
    std::string bytes;
    if (!picture.empty() && data.embeddedPicture
        && (!readPictureFacts(picture, facts, bytes, false) || facts.sha256 != data.pictureSha256))
        picture.clear(); // the project's own bytes are the right ones
    if (picture.empty() && data.embeddedPicture)
        picture = extractPicture(data);
    if (picture.empty()) {
        const String chosen = openFileRequester(translate("Where is the picture of the project?"),
            (folderPart(absolutePath(projectPath)) + std::string(fileNamePart(data.picturePath))).c_str(),
            IMAGE_PATTERN, 0);
        if (chosen.isEmpty()) {
            error = translate("The picture of the project was not found:") + std::string(" ")
                + std::string(fileNamePart(data.picturePath));
            return false;
        }
        picture = chosen.c_str();
    }
    if (!readPictureFacts(picture, facts, bytes, false)) {
        error = translate("This file cannot be opened as a picture:") + std::string(" ")
            + std::string(fileNamePart(picture));
        return false;
    }
    // Everything that can fail is behind us before the current work is replaced.
    CaptureModel model = modelOf(data);
    if (!openDiagramFile(picture.c_str())) {
        error = translate("This file cannot be opened as a picture:") + std::string(" ")
            + std::string(fileNamePart(picture));
        return false;
    }
    const CaptureCalibration calibration
        = rescaled(data.calibration, currentCaptureCalibration().displayScale);
    model.setCurrentCalibration(calibration);
    widthCalibrated = data.widthClicked ? 1 : 0;
    heightCalibrated = data.heightClicked ? 1 : 0;
    startDataTrackingWith(std::move(model), data.selectedColumn);
    restoreCalibration(calibration);
    if (markersShown() != data.markersShown)
        toggleMarkersShown();
    showOptionChecks();
    clickMode = data.catchingPoints ? CLICK_CAPTURE : CLICK_NOTHING;
    if (facts.sha256 != data.pictureSha256 || facts.width != data.pictureWidth
        || facts.height != data.pictureHeight) {
        messageDialog(translate("Open Project"),
            translate("The picture has changed since the project was saved; the points may no longer lie on "
                      "what they marked."),
            DIALOG_OK, ICON_INFORMATION);
    }
    return true;
}
