#include "app/work_text.h"

#include "project_format.h"
#include "project_work.h"

#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/diagram_markers.h"
#include "app/translations.h"

#include "runtime/file_names.h"

#include <cstring>
#include <memory>

std::string currentWorkText(const std::string& projectPath)
{
    ProjectData data;
    std::string error;
    // A picture that can no longer be read still leaves the work worth keeping: its path stays,
    // without a digest to check it against.
    if (!gatherProjectData(projectPath, false, data, error))
        return std::string();
    return writeProject(data);
}

std::function<std::string()> currentWorkTextMaker(const std::string& projectPath, std::string& error)
{
    auto data = std::make_shared<ProjectData>();
    if (!gatherProjectData(projectPath, false, *data, error))
        return {};
    return [data = std::shared_ptr<const ProjectData>(std::move(data))] { return writeProject(*data); };
}

bool summarizeWorkText(const std::string& text, WorkSummary& summary, std::string& error)
{
    const ProjectReading reading = readProject(text);
    if (reading.problem != ProjectProblem::None) {
        error = projectReadingError(reading);
        return false;
    }
    summary.pictureName = std::string(fileNamePart(reading.data.picturePath));
    summary.pointCount = reading.data.pointCount();
    return true;
}

bool restoreWorkText(const std::string& text, const std::string& projectPath, std::string& error)
{
    const ProjectReading reading = readProject(text);
    if (reading.problem != ProjectProblem::None) {
        error = projectReadingError(reading);
        return false;
    }
    return restoreProjectData(reading.data, projectPath, error);
}

namespace {

std::uint64_t mixIn(std::uint64_t hash, std::uint64_t value)
{
    hash ^= value + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
    return hash;
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

std::uint64_t workChangeCount()
{
    // A digest of everything a project holds, so that any change shows and a change taken back
    // shows as none.
    std::uint64_t hash = captureModel().fingerprint();
    const CaptureCalibration c = currentCaptureCalibration();
    for (const double value : { c.originX, c.originY, c.spanWidth, c.spanHeight, c.widthReference,
             c.heightReference, c.displayScale, c.originValueX, c.originValueY })
        hash = mixIn(hash, bitsOf(value));
    hash = mixIn(hash, static_cast<std::uint64_t>(c.xScale) * 2 + static_cast<std::uint64_t>(c.yScale));
    if (c.axisMarks) {
        for (const AxisMark& mark : { c.axisMarks->x1, c.axisMarks->x2, c.axisMarks->y1, c.axisMarks->y2 }) {
            hash = mixIn(hash, bitsOf(mark.pixel.x));
            hash = mixIn(hash, bitsOf(mark.pixel.y));
            hash = mixIn(hash, bitsOf(mark.value));
        }
    }
    hash = mixIn(hash, static_cast<std::uint64_t>(widthCalibrated * 4 + heightCalibrated * 2));
    hash = mixIn(
        hash, (capturesXy() ? 1u : 0u) | (markersShown() ? 2u : 0u) | (clickMode == CLICK_CAPTURE ? 4u : 0u));
    hash = mixIn(hash, static_cast<std::uint64_t>(captureModel().calibrationCount()));
    for (const char* p = diagramPath.c_str(); *p; ++p)
        hash = mixIn(hash, static_cast<unsigned char>(*p));
    return hash;
}
