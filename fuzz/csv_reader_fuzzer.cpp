// libFuzzer target: the CSV reader. Whatever it reads must come back whole through writing and
// reading again (the table a file gives is one the program can save), line breaks inside cells
// included, within the limits the reader promises; a refusal names a place in the file.

#include "app/csv_table.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CsvReading reading = readCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reading.problem == CsvProblem::UnclosedQuote || reading.problem == CsvProblem::CellTooLong) {
        if (reading.line == 0 || reading.line > size + 1)
            std::abort();
    }
    if (reading.problem != CsvProblem::None)
        return 0;
    auto withinLimits = [](const std::vector<std::string>& cells) {
        for (const std::string& cell : cells) {
            if (cell.size() > MAX_CSV_CELL_LENGTH || cell.find('\r') != std::string::npos)
                return false;
        }
        return true;
    };
    if (!withinLimits(reading.table.titles) || reading.table.titles.size() > MAX_CSV_LINE_CELLS
        || reading.table.rows.size() * reading.table.titles.size() > MAX_CSV_FILE_CELLS)
        std::abort();
    for (const auto& row : reading.table.rows) {
        if (row.size() != reading.table.titles.size() || !withinLimits(row))
            std::abort();
    }
    const CsvReading again = readCsv(tableToCsv(reading.table));
    if (again.problem != CsvProblem::None || !(again.table == reading.table))
        std::abort();
    // Saving what was loaded from a saved file gives the same bytes.
    if (tableToCsv(again.table) != tableToCsv(reading.table))
        std::abort();
    return 0;
}
