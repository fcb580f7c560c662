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
// as Latin-1). Characters that ISO 8859-1 cannot hold become "?". A line break inside a quoted
// field stays in the cell as "\n" (CRLF and CR, the file's line ends, become "\n" there too);
// other control bytes but the tab become blanks.
//
// Reading refuses a file whose last quote is never closed (it would swallow the rest of the file
// into one cell) and cells longer than MAX_CSV_CELL_LENGTH, which no chart value needs and which
// would make every repaint of the table slow.

struct TableData {
    std::vector<std::string> titles; // one per column, ISO 8859-1
    std::vector<std::vector<std::string>> rows; // each as many cells as there are titles

    bool operator==(const TableData&) const = default;
};

// Columns of the table, as many as it holds (Add Column stops there).
inline constexpr std::size_t MAX_CSV_COLUMNS = 64;
// Cells of one line of a file: a table of x,y pairs writes two for each of its columns.
inline constexpr std::size_t MAX_CSV_LINE_CELLS = 2 * MAX_CSV_COLUMNS;
// Cells of the table below the title line; the titles do not count.
inline constexpr std::size_t MAX_CSV_CELLS = 1000000;
// Cells of a file below the title line: x,y pairs write two for each cell of the table.
inline constexpr std::size_t MAX_CSV_FILE_CELLS = 2 * MAX_CSV_CELLS;
// Characters of one cell (in ISO 8859-1, one byte each).
inline constexpr std::size_t MAX_CSV_CELL_LENGTH = 10000;

enum class CsvProblem {
    None,
    Binary, // control bytes: not a text file
    NoTitleLine, // empty, or the first line holds nothing
    TooManyColumns,
    TooManyCells,
    UnclosedQuote, // line: where the quote opens
    CellTooLong, // line and column: where the cell starts
};

struct CsvReading {
    CsvProblem problem = CsvProblem::None;
    TableData table;
    // Where the problem lies: line of the file and column, both counted from 1; 0 when it has
    // no place.
    std::size_t line = 0;
    std::size_t column = 0;
};

std::string tableToCsv(const TableData& table);

// Tab-separated lines (title line first) for pasting into a spreadsheet, in ISO 8859-1 like the
// table (the clipboard converts). Tabs in a cell become blanks; a cell with a line break (or one
// that starts with a quote) is quoted, quotes doubled, which is how spreadsheets copy such cells
// and how they read them back when pasting.
std::string tableToTabText(const TableData& table);

CsvReading readCsv(std::string_view bytes);
