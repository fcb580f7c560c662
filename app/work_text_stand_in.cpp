// A stand-in for the project text until the real project format arrives: the picture's path on
// the first line, the table as CSV after it. It keeps no calibration.
#include "work_text.h"

#include "csv_table.h"
#include "data_table.h"
#include "diagram.h"

#include "runtime/file_names.h"

#include <functional>

namespace {

constexpr const char FIRST_LINE[] = "graphonite stand-in work\n";

bool splitText(const std::string& text, std::string& picture, CsvReading& reading)
{
    if (text.rfind(FIRST_LINE, 0) != 0)
        return false;
    const std::size_t start = sizeof FIRST_LINE - 1;
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
        return false;
    picture = text.substr(start, end - start);
    reading = readCsv(std::string_view(text).substr(end + 1));
    return !picture.empty() && reading.problem == CsvProblem::None;
}

} // namespace

std::string currentWorkText(const std::string&)
{
    return FIRST_LINE + std::string(diagramPath.c_str()) + "\n" + tableToCsv(currentTable());
}

bool summarizeWorkText(const std::string& text, WorkSummary& summary, std::string& error)
{
    std::string picture;
    CsvReading reading;
    if (!splitText(text, picture, reading)) {
        error = "This is no work of this program.";
        return false;
    }
    summary.pictureName = std::string(fileNamePart(picture));
    summary.pointCount = 0;
    for (const auto& row : reading.table.rows)
        for (const std::string& cell : row)
            summary.pointCount += cell.empty() ? 0 : 1;
    return true;
}

bool restoreWorkText(const std::string& text, const std::string&, std::string& error)
{
    std::string picture;
    CsvReading reading;
    if (!splitText(text, picture, reading)) {
        error = "This is no work of this program.";
        return false;
    }
    if (!openDiagramFile(picture.c_str())) {
        error = "The picture could not be opened.";
        return false;
    }
    replaceTable(reading.table);
    refreshDataModified();
    return true;
}

std::uint64_t workChangeCount()
{
    return captureModel().fingerprint() ^ (std::hash<std::string> {}(diagramPath.c_str()) * 31u);
}
