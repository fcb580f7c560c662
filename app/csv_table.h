#pragma once

#include <string>
#include <string_view>
#include <vector>

// The data table as a file or clipboard text. Inside the program texts are ISO 8859-1; files
// and the clipboard are UTF-8.
//
// Writing: the title line, then one line per row; comma separators and "." decimal points
// whatever the locale (the cells hold the texts the table shows); a field that holds a comma, a
// quote, a line break or leading or trailing blanks is quoted, quotes doubled (RFC 4180); lines
// end in "\n".
//
// Reading takes what writing gives and the usual variants: semicolon or tab separators (the one
// found most often in the title line), CRLF or CR line ends, quoted fields with separators and
// line breaks, a UTF-8 byte order mark, and Latin-1 files (a file that is not valid UTF-8 is read
// as Latin-1). Characters that ISO 8859-1 cannot hold become "?"; line breaks and other control
// bytes (but tabs) inside a field become blanks, as a cell holds one line.

struct TableData {
    std::vector<std::string> titles; // one per column, ISO 8859-1
    std::vector<std::vector<std::string>> rows; // each as many cells as there are titles

    bool operator==(const TableData&) const = default;
};

inline constexpr std::size_t MAX_CSV_COLUMNS = 64;
inline constexpr std::size_t MAX_CSV_CELLS = 1000000;

enum class CsvProblem {
    None,
    Binary, // control bytes: not a text file
    NoTitleLine, // empty, or the first line holds nothing
    TooManyColumns,
    TooManyCells,
};

struct CsvReading {
    CsvProblem problem = CsvProblem::None;
    TableData table;
};

std::string tableToCsv(const TableData& table);

// Tab-separated lines (title line first) for pasting into a spreadsheet, in ISO 8859-1 like the
// table (the clipboard converts); tabs and line breaks in a cell become blanks.
std::string tableToTabText(const TableData& table);

CsvReading readCsv(std::string_view bytes);
