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
        { "quoted separators and line breaks", "\"a,b\",\"c\nd\"\n\"1\"\"\",2\n", { "a,b", "c d" },
            { { "1\"", "2" } } },
        { "Latin-1 file", "H\xF6he\n1\n", { "H\xF6he" }, { { "1" } } },
        { "UTF-8 outside Latin-1", "\xE2\x82\xAC,b\n", { "?", "b" }, {} },
        { "short and long rows", "a,b\n1\n1,2,3\n", { "a", "b", "3" },
            { { "1", "", "" }, { "1", "2", "3" } } },
        { "blank lines", "a\n\n1\n\n", { "a" }, { { "1" } } },
        { "separator found most often", "a;b;c,d\n", { "a", "b", "c,d" }, {} },
    };
    for (const Case& c : cases) {
        const CsvReading reading = readCsv(c.bytes);
        ASSERT_EQ(reading.problem, CsvProblem::None) << c.name;
        EXPECT_EQ(reading.table.titles, c.titles) << c.name;
        EXPECT_EQ(reading.table.rows, c.rows) << c.name;
    }
}

TEST(CsvReading, FilesThatHoldNoTable)
{
    EXPECT_EQ(readCsv("").problem, CsvProblem::NoTitleLine);
    EXPECT_EQ(readCsv("\n\n\r\n").problem, CsvProblem::NoTitleLine);
    EXPECT_EQ(readCsv(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)).problem, CsvProblem::Binary);
    EXPECT_EQ(readCsv(std::string(65, ',') + "\n").problem, CsvProblem::TooManyColumns);
    EXPECT_EQ(readCsv(std::string(63, ',') + "\n").problem, CsvProblem::None);
    std::string big = "a,b\n";
    for (int i = 0; i < 500001; ++i)
        big += "1,2\n";
    EXPECT_EQ(readCsv(big).problem, CsvProblem::TooManyCells);
}

} // namespace
