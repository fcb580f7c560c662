#include "app/csv_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

TEST(CsvWriting, QuotingSeparatorsAndEncoding)
{
    const TableData table {
        { "1", "Druck, kPa", "say \"hi\"", " padded", "H\xF6he" },
        { { "1.25", "", "x", "", "-3.50" }, { "", "2.00", "", "", "" } },
    };
    EXPECT_EQ(tableToCsv(table),
        "1,\"Druck, kPa\",\"say \"\"hi\"\"\",\" padded\",H\xC3\xB6he\n"
        "1.25,,x,,-3.50\n"
        ",2.00,,,\n");
    EXPECT_EQ(tableToTabText(table),
        "1\tDruck, kPa\tsay \"hi\"\t padded\tH\xF6he\n"
        "1.25\t\tx\t\t-3.50\n"
        "\t2.00\t\t\t\n");
}

TEST(CsvWriting, RoundTripsThroughReading)
{
    const TableData tables[] = {
        { { "1" }, {} },
        { { "1" }, { { "" }, { "2.00" }, { "" } } }, // empty rows of one column survive
        { { "" }, { { "1.00" } } }, // a column renamed to nothing
        { { "A;B", "Tab\there", "\xE4\xF6\xFC\xDF", "quote\"d" }, { { "1", "2", "3", "4" } } },
        { { "1", "2" }, { { "", "" }, { "5.00", "" } } },
        { { "Notes\n(kPa)", "2" }, { { "first\nsecond\n", "x" }, { "\n", "\n\n" } } },
        { { "1" }, { { "a\nb" }, { "\n" }, { "" } } },
        { { "\"\n\"", "," }, { { "\n,\n", ";\n\t" } } },
    };
    for (const TableData& table : tables) {
        const CsvReading reading = readCsv(tableToCsv(table));
        EXPECT_EQ(reading.problem, CsvProblem::None) << tableToCsv(table);
        EXPECT_EQ(reading.table, table) << tableToCsv(table);
    }
}

TEST(CsvReading, CommonVariants)
{
    struct Case {
        const char* name;
        std::string bytes;
        Strings titles;
        Rows rows;
    };
    const Case cases[] = {
        { "semicolons and CRLF", "a;b\r\n1,5;2\r\n", { "a", "b" }, { { "1,5", "2" } } },
        { "tabs", "a\tb\n1\t2\n", { "a", "b" }, { { "1", "2" } } },
        { "old Mac line ends", "a,b\r1,2\r", { "a", "b" }, { { "1", "2" } } },
        { "byte order mark", "\xEF\xBB\xBFx,y\n1,2", { "x", "y" }, { { "1", "2" } } },
        { "quoted separators and line breaks", "\"a,b\",\"c\nd\"\n\"1\"\"\",2\n", { "a,b", "c\nd" },
            { { "1\"", "2" } } },
        { "Latin-1 file", "H\xF6he\n1\n", { "H\xF6he" }, { { "1" } } },
        { "UTF-8 outside Latin-1", "\xE2\x82\xAC,b\n", { "?", "b" }, {} },
        { "short and long rows", "a,b\n1\n1,2,3\n", { "a", "b", "3" },
            { { "1", "", "" }, { "1", "2", "3" } } },
        { "blank lines", "a\n\n1\n\n", { "a" }, { { "1" } } },
        { "separator found most often", "a;b;c,d\n", { "a", "b", "c,d" }, {} },
        // A tie keeps the comma, the format's own separator, and a semicolon before a tab.
        { "tie of comma and semicolon", "a;b,c\n", { "a;b", "c" }, {} },
        { "tie of comma and tab", "a\tb,c\n", { "a\tb", "c" }, {} },
        { "tie of semicolon and tab", "a\tb;c\n", { "a\tb", "c" }, {} },
    };
    for (const Case& c : cases) {
        const CsvReading reading = readCsv(c.bytes);
        ASSERT_EQ(reading.problem, CsvProblem::None) << c.name;
        EXPECT_EQ(reading.table.titles, c.titles) << c.name;
        EXPECT_EQ(reading.table.rows, c.rows) << c.name;
    }
}

TEST(CsvQuoting, EverySpecialCharacterIsQuotedAndReadBack)
{
    struct Case {
        const char* name;
        std::string cell;
        std::string written; // the cell as a field of the file
        std::string read; // the cell after reading it back
    };
    const Case cases[] = {
        { "comma", "a,b", "\"a,b\"", "a,b" },
        { "semicolon", "a;b", "\"a;b\"", "a;b" },
        { "tab", "a\tb", "\"a\tb\"", "a\tb" },
        { "quote", "a\"b", "\"a\"\"b\"", "a\"b" },
        { "quote first", "\"ab", "\"\"\"ab\"", "\"ab" },
        { "carriage return", "a\rb", "\"a\rb\"", "a\nb" }, // a line end of the file
        { "line feed", "a\nb", "\"a\nb\"", "a\nb" },
        { "CRLF", "a\r\nb", "\"a\r\nb\"", "a\nb" },
        { "leading blank", " ab", "\" ab\"", " ab" },
        { "trailing blank", "ab ", "\"ab \"", "ab " },
        { "leading tab", "\tab", "\"\tab\"", "\tab" },
        { "only a separator", ";", "\";\"", ";" },
        { "plain", "a b", "a b", "a b" },
    };
    for (const Case& c : cases) {
        // One column: the field is the whole line, and nothing may pass for a separator.
        const TableData one { { c.cell }, { { c.cell }, { "1" } } };
        EXPECT_EQ(tableToCsv(one), c.written + "\n" + c.written + "\n1\n") << c.name;
        const CsvReading oneRead = readCsv(tableToCsv(one));
        ASSERT_EQ(oneRead.problem, CsvProblem::None) << c.name;
        EXPECT_EQ(oneRead.table, (TableData { { c.read }, { { c.read }, { "1" } } })) << c.name;
        // Two columns, the special cell on either side.
        const TableData two { { c.cell, "t" }, { { "x", c.cell } } };
        EXPECT_EQ(tableToCsv(two), c.written + ",t\nx," + c.written + "\n") << c.name;
        const CsvReading twoRead = readCsv(tableToCsv(two));
        ASSERT_EQ(twoRead.problem, CsvProblem::None) << c.name;
        EXPECT_EQ(twoRead.table, (TableData { { c.read, "t" }, { { "x", c.read } } })) << c.name;
    }
}

TEST(CsvQuoting, SeparatorIsFoundOutsideQuotesOnly)
{
    struct Case {
        std::string bytes;
        Strings titles;
    };
    const Case cases[] = {
        { "\"a;b;c\",d\n", { "a;b;c", "d" } },
        { "\"a,b,c\";d\n", { "a,b,c", "d" } },
        { "\"a\tb\tc\";d\n", { "a\tb\tc", "d" } },
        { "\"a,b\"\tc\n", { "a,b", "c" } },
        { "\"a;\nb;c\",d\n", { "a;\nb;c", "d" } }, // a line break inside quotes ends no line
        { "\"x;y\"\n", { "x;y" } },
    };
    for (const Case& c : cases) {
        const CsvReading reading = readCsv(c.bytes);
        ASSERT_EQ(reading.problem, CsvProblem::None) << c.bytes;
        EXPECT_EQ(reading.table.titles, c.titles) << c.bytes;
    }
}

TEST(CsvEncoding, Utf8AndLatin1AtTheEdgesOfEachLeadByte)
{
    struct Case {
        const char* name;
        std::string file;
        std::string cell;
    };
    const Case reading[] = {
        { "C2 lowest", "\xC2\x80", "\x80" },
        { "C2 highest", "\xC2\xBF", "\xBF" },
        { "C3 lowest", "\xC3\x80", "\xC0" },
        { "C3 highest", "\xC3\xBF", "\xFF" },
        { "C4 beyond Latin-1", "\xC4\x80", "?" },
        { "DF beyond Latin-1", "\xDF\xBF", "?" },
        { "three bytes", "\xE2\x82\xAC", "?" },
        { "four bytes", "\xF0\x9F\x98\x80", "?" },
        // Not UTF-8: the file is read as Latin-1, byte for byte.
        { "C0 overlong", "\xC0\x80", "\xC0\x80" },
        { "C1 overlong", "\xC1\xBF", "\xC1\xBF" },
        { "truncated at the end", "x\xC3", "x\xC3" },
        { "truncated before ASCII", "\xC3x", "\xC3x" },
        { "three bytes truncated", "\xE2\x82", "\xE2\x82" },
        { "lone continuation", "\x80", "\x80" },
    };
    for (const Case& c : reading) {
        const CsvReading result = readCsv("t\n" + c.file + "\n");
        ASSERT_EQ(result.problem, CsvProblem::None) << c.name;
        EXPECT_EQ(result.table.rows, (Rows { { c.cell } })) << c.name;
    }
    const Case writing[] = {
        { "last ASCII", "\x7F", "\x7F" },
        { "first of C2", "\xC2\x80", "\x80" },
        { "last of C2", "\xC2\xBF", "\xBF" },
        { "first of C3", "\xC3\x80", "\xC0" },
        { "last of C3", "\xC3\xBF", "\xFF" },
    };
    for (const Case& c : writing) {
        EXPECT_EQ(tableToCsv(TableData { { c.cell }, {} }), c.file + "\n") << c.name;
        EXPECT_EQ(readCsv(tableToCsv(TableData { { c.cell }, {} })).table.titles, Strings { c.cell })
            << c.name;
    }
}

TEST(CsvReading, UnclosedQuoteIsRefusedNamingItsLine)
{
    struct Case {
        std::string bytes;
        std::size_t line;
    };
    const Case cases[] = {
        { "\"abc", 1 },
        { "a,b\n1,\"2\n3,4\n", 2 },
        { "a\r\n\r\n\"x,y\r\n", 3 },
        { "a\r1\r\"x\ry", 3 },
        { "\"a\nb\",c\n\"d\n", 3 }, // after a quoted cell with a break of its own
        { "a\n\"\"\"\n", 2 },
    };
    for (const Case& c : cases) {
        const CsvReading reading = readCsv(c.bytes);
        EXPECT_EQ(reading.problem, CsvProblem::UnclosedQuote) << c.bytes;
        EXPECT_EQ(reading.line, c.line) << c.bytes;
        EXPECT_TRUE(reading.table.titles.empty()) << c.bytes;
    }
    EXPECT_EQ(readCsv("a\n\"\"\"\"\n").problem, CsvProblem::None) << "a quote doubled inside quotes";
}

TEST(CsvReading, OverlongCellIsRefusedNamingItsPlace)
{
    const std::string longest(MAX_CSV_CELL_LENGTH, 'x');
    EXPECT_EQ(readCsv("a,b\n1," + longest + "\n").problem, CsvProblem::None);
    EXPECT_EQ(readCsv("a,b\n1,\"" + longest + "\"\n").problem, CsvProblem::None);
    struct Case {
        std::string bytes;
        std::size_t line;
        std::size_t column;
    };
    const Case cases[] = {
        { "a,b\n1," + longest + "y\n", 2, 2 }, { longest + "y\n", 1, 1 },
        { "a;b;c\n\n1;2;\"q\n" + longest + "\"\n", 3, 3 }, // counted in characters, breaks too
    };
    for (const Case& c : cases) {
        const CsvReading reading = readCsv(c.bytes);
        EXPECT_EQ(reading.problem, CsvProblem::CellTooLong) << c.line;
        EXPECT_EQ(reading.line, c.line);
        EXPECT_EQ(reading.column, c.column);
        EXPECT_TRUE(reading.table.titles.empty());
    }
}

// The reader takes as many cells as an x,y file of the largest table holds; the table's own limit
// is the loader's to check, knowing whether the cells are pairs.
TEST(CsvReading, TheCellLimitCountsDataCellsOnly)
{
    struct Case {
        std::size_t columns;
        std::size_t rows;
        bool blankLines;
        CsvProblem problem;
    };
    const Case cases[] = {
        { 2, MAX_CSV_FILE_CELLS / 2, false, CsvProblem::None },
        { 2, MAX_CSV_FILE_CELLS / 2, true, CsvProblem::None },
        { 1, MAX_CSV_FILE_CELLS, false, CsvProblem::None },
        { 1, MAX_CSV_FILE_CELLS + 1, false, CsvProblem::TooManyCells },
        { 2, MAX_CSV_FILE_CELLS / 2 + 1, true, CsvProblem::TooManyCells },
        { 64, MAX_CSV_FILE_CELLS / 64, false, CsvProblem::None }, // 1,999,936 cells
        { 64, MAX_CSV_FILE_CELLS / 64 + 1, false, CsvProblem::TooManyCells },
    };
    for (const Case& c : cases) {
        std::string line;
        for (std::size_t i = 0; i < c.columns; ++i)
            line += i == 0 ? "1" : ",1";
        line += c.blankLines ? "\n\n" : "\n";
        std::string bytes = line;
        bytes.reserve(line.size() * (c.rows + 1));
        for (std::size_t r = 0; r < c.rows; ++r)
            bytes += line;
        const CsvReading reading = readCsv(bytes);
        EXPECT_EQ(reading.problem, c.problem) << c.columns << " x " << c.rows;
        if (c.problem == CsvProblem::None) {
            EXPECT_EQ(reading.table.rows.size(), c.rows);
        }
    }
    // Short rows are padded: the padded cells count.
    std::string padded = "a\n1,2\n";
    for (std::size_t r = 0; r < MAX_CSV_FILE_CELLS / 2; ++r)
        padded += "1\n";
    EXPECT_EQ(readCsv(padded).problem, CsvProblem::TooManyCells);
}

TEST(CsvWriting, TabTextQuotesCellsWithLineBreaks)
{
    const TableData table { { "a\nb", "say \"hi\"" }, { { "\"q\"", "x\ty" }, { "1\n", "" } } };
    EXPECT_EQ(tableToTabText(table),
        "\"a\nb\"\tsay \"hi\"\n"
        "\"\"\"q\"\"\"\tx y\n"
        "\"1\n\"\t\n");
}

TEST(CsvReading, FilesThatHoldNoTable)
{
    EXPECT_EQ(readCsv("").problem, CsvProblem::NoTitleLine);
    EXPECT_EQ(readCsv("\n\n\r\n").problem, CsvProblem::NoTitleLine);
    EXPECT_EQ(readCsv(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)).problem, CsvProblem::Binary);
    // A line may hold 128 cells, the x,y pairs of 64 columns.
    EXPECT_EQ(readCsv(std::string(128, ',') + "\n").problem, CsvProblem::TooManyColumns);
    EXPECT_EQ(readCsv(std::string(127, ',') + "\n").problem, CsvProblem::None);
    std::string big = "a,b\n";
    for (std::size_t i = 0; i < MAX_CSV_FILE_CELLS / 2 + 1; ++i)
        big += "1,2\n";
    EXPECT_EQ(readCsv(big).problem, CsvProblem::TooManyCells);
}

} // namespace
