// libFuzzer target: the CSV reader. Whatever it reads must come back whole through writing and
// reading again (the table a file gives is one the program can save).

#include "app/csv_table.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CsvReading reading = readCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reading.problem != CsvProblem::None)
        return 0;
    for (const auto& row : reading.table.rows) {
        if (row.size() != reading.table.titles.size())
            std::abort();
    }
    const CsvReading again = readCsv(tableToCsv(reading.table));
    if (again.problem != CsvProblem::None || !(again.table == reading.table))
        std::abort();
    return 0;
}
