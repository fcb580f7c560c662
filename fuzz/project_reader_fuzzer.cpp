// libFuzzer target: the project reader. Whatever it accepts stays within the limits it promises
// and comes back equal through writing and reading again (a project the program opens is one it
// can save); whatever it refuses leaves no data behind.

#include "app/project/project_format.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool sameData(const ProjectData& a, const ProjectData& b)
{
    return a.picturePath == b.picturePath && a.pictureSha256 == b.pictureSha256
        && a.pictureWidth == b.pictureWidth && a.pictureHeight == b.pictureHeight
        && a.embeddedPicture == b.embeddedPicture && a.calibration == b.calibration
        && a.widthClicked == b.widthClicked && a.heightClicked == b.heightClicked
        && a.calibrations == b.calibrations && a.columns == b.columns && a.capturesXy == b.capturesXy
        && a.markersShown == b.markersShown && a.catchingPoints == b.catchingPoints
        && a.selectedColumn == b.selectedColumn;
}

bool climbsOut(std::string_view path)
{
    const std::string wrapped = "/" + std::string(path) + "/";
    return wrapped.find("/../") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ProjectReading reading = readProject(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reading.problem != ProjectProblem::None) {
        if (!reading.data.columns.empty() || !reading.data.calibrations.empty())
            std::abort();
        return 0;
    }
    const ProjectData& project = reading.data;
    std::size_t cells = 0;
    for (const Series& column : project.columns) {
        if (column.cells.size() != project.columns.front().cells.size())
            std::abort();
        cells += column.cells.size();
        for (const Cell& cell : column.cells) {
            if (cell.kind == CellKind::Captured
                && (cell.calibration < 0
                    || static_cast<std::size_t>(cell.calibration) >= project.calibrations.size()))
                std::abort();
        }
    }
    if (project.columns.empty() || project.columns.size() > MAX_PROJECT_COLUMNS || cells > MAX_PROJECT_CELLS
        || project.selectedColumn < 0
        || static_cast<std::size_t>(project.selectedColumn) >= project.columns.size()
        || project.picturePath.empty() || climbsOut(project.picturePath))
        std::abort();
    const ProjectReading again = readProject(writeProject(project));
    if (again.problem != ProjectProblem::None || !sameData(again.data, project))
        std::abort();
    return 0;
}
