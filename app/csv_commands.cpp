#include "csv_commands.h"

#include "csv_table.h"
#include "data_table.h"
#include "diagram.h"
#include "message_dialog.h"
#include "status_prompt.h"
#include "translations.h"
#include "xy_table.h"

#include "runtime/atomic_file.h"
#include "runtime/file_names.h"
#include "runtime/latin1.h"
#include "runtime/text_builder.h"
#include "toolkit/clipboard.h"
#include "toolkit/requesters.h"

#include <string>

namespace {

constexpr const char* CSV_PATTERN = "CSV|*.csv";
// Files larger than this cannot hold an acceptable table anyway (a million cells of 64 bytes).
constexpr std::size_t MAX_CSV_FILE_SIZE = 64u << 20;

// The diagram's file with the extension .csv.
std::string proposedCsvPath()
{
    std::string path = diagramPath.c_str();
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        path.erase(dot);
    return path.empty() ? std::string() : path + ".csv";
}

// The system's words for a failure come in the locale's UTF-8.
String latin1Reason(const std::string& reason)
{
    return makeText([&reason] { appendUtf8AsLatin1(reason); });
}

void tellFailure(const char* title, const char* what, const char* detail)
{
    messageDialog(title, WorkText(translate(what), " ", detail), DIALOG_OK, ICON_PROHIBITION);
}

const char* problemText(CsvProblem problem)
{
    switch (problem) {
    case CsvProblem::Binary:
        return "This file holds no table: it is not a text file.";
    case CsvProblem::NoTitleLine:
        return "This file holds no table: it has no title line.";
    case CsvProblem::TooManyColumns:
        return "The table in this file has more than 64 columns.";
    case CsvProblem::TooManyCells:
        return "The table in this file has more than 1,000,000 cells.";
    case CsvProblem::UnclosedQuote:
        return "This file holds no table: a quote is never closed. It opens in line";
    case CsvProblem::CellTooLong:
        return "A cell in this file is longer than 10,000 characters: line";
    case CsvProblem::None:
        break;
    }
    return "";
}

} // namespace

void saveTableToCsv()
{
    const String path = saveFileRequester(translate("Save File"), proposedCsvPath().c_str(), CSV_PATTERN, 0);
    if (path.isEmpty())
        return;
    const std::string reason = writeFileAtomically(path.c_str(), tableToCsv(currentTable()));
    if (!reason.empty()) {
        tellFailure(translate("Save To CSV"), "The table could not be saved:", latin1Reason(reason));
        return;
    }
    clearDataModified();
    showResult(WorkText(translate("Saved:"), " ", fileNamePart(path.c_str()).data()));
}

bool loadTableFile(const char* path)
{
    std::string bytes;
    const std::string reason = readWholeFile(path, bytes, MAX_CSV_FILE_SIZE);
    if (!reason.empty()) {
        tellFailure(translate("Load From CSV"), "The file could not be read:", latin1Reason(reason));
        return false;
    }
    const CsvReading reading = readCsv(bytes);
    if (reading.problem == CsvProblem::CellTooLong) {
        messageDialog(translate("Load From CSV"),
            WorkText(translate(problemText(reading.problem)), " ", reading.line, ", ", translate("column"),
                " ", reading.column),
            DIALOG_OK, ICON_PROHIBITION);
        return false;
    }
    if (reading.problem == CsvProblem::UnclosedQuote) {
        messageDialog(translate("Load From CSV"),
            WorkText(translate(problemText(reading.problem)), " ", reading.line, "."), DIALOG_OK,
            ICON_PROHIBITION);
        return false;
    }
    // A file holds twice the table's columns and cells when its cells are x,y pairs, a column each.
    const std::size_t fileColumns = reading.table.titles.size();
    const std::size_t columns = pairSeriesTitles(reading.table.titles) ? fileColumns / 2 : fileColumns;
    CsvProblem problem = reading.problem;
    if (problem == CsvProblem::None && columns > MAX_CSV_COLUMNS)
        problem = CsvProblem::TooManyColumns;
    else if (problem == CsvProblem::None && columns * reading.table.rows.size() > MAX_CSV_CELLS)
        problem = CsvProblem::TooManyCells;
    if (problem != CsvProblem::None) {
        messageDialog(
            translate("Load From CSV"), translate(problemText(problem)), DIALOG_OK, ICON_PROHIBITION);
        return false;
    }
    replaceTable(reading.table);
    clearDataModified();
    showResult(fileNamePart(path).data());
    return true;
}

void loadTableFromCsv()
{
    if (!confirmDiscard(translate("Load From CSV")))
        return;
    const String path = openFileRequester(
        translate("Load From CSV"), folderPart(diagramPath.c_str()).c_str(), CSV_PATTERN, 0);
    if (!path.isEmpty())
        loadTableFile(path);
}

void copyTableToClipboard()
{
    setClipboardText(tableToTabText(currentTable()).c_str());
}
