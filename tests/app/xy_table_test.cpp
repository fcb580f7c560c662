#include "app/csv_table.h"
#include "app/model/capture_document.h"
#include "app/xy_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

// Displayed column x has the x value (x - 10) / 10, displayed row y the y value 250 - y; the
// picture is shown at half its size.
CaptureCalibration halfScaleCalibration()
{
    CaptureCalibration calibration;
    calibration.originX = 10;
    calibration.originY = 250;
    calibration.spanWidth = 100;
    calibration.spanHeight = 100;
    calibration.widthReference = 10;
    calibration.heightReference = 100;
    calibration.displayScale = 0.5;
    return calibration;
}

// Two series: (20, 249) and (110, 240) in the first, (30, 200) in the second, all in displayed
// pixels.
CaptureDocument twoSeries()
{
    const CaptureCalibration calibration = halfScaleCalibration();
    CaptureDocument document;
    const auto capture = [&](int column, double x, double y) {
        document.run(captureCommand(column, calibration.picturePixel({ x, y }), calibration));
    };
    capture(0, 20, 249);
    capture(0, 110, 240);
    document.run(addColumnCommand("B"));
    capture(1, 30, 200);
    return document;
}

TEST(XyTable, TheOptionOffGivesTheValueTableItAlwaysGave)
{
    CaptureDocument document = twoSeries();
    EXPECT_EQ(
        tableOf(document.model()), (TableData { { "1", "B" }, { { "1.00", "50.00" }, { "10.00", "" } } }));
}

TEST(XyTable, TheOptionOnShowsBothValuesOfEveryPointAndUndoTakesItBack)
{
    CaptureDocument document = twoSeries();
    const TableData plain = tableOf(document.model());
    document.run(setCapturesXyCommand(true));
    const TableData pairs { { "1 x", "1 y", "B x", "B y" },
        { { "1.00", "1.00", "2.00", "50.00" }, { "10.00", "10.00", "", "" } } };
    EXPECT_EQ(tableOf(document.model()), pairs);
    EXPECT_EQ(shownColumnCount(document.model()), 4);
    EXPECT_EQ(firstShownColumn(document.model(), 1), 2);
    EXPECT_EQ(
        tableToCsv(tableOf(document.model())), "1 x,1 y,B x,B y\n1.00,1.00,2.00,50.00\n10.00,10.00,,\n");

    // Setting what is already set is no step of the history.
    document.run(setCapturesXyCommand(true));
    document.undo();
    EXPECT_EQ(tableOf(document.model()), plain);
    EXPECT_FALSE(document.model().capturesXy());
    document.redo();
    EXPECT_EQ(tableOf(document.model()), pairs);
}

TEST(XyTable, SwitchingMarksTheDataUnsavedOnlyWhileItDiffersFromTheFile)
{
    CaptureDocument document = twoSeries();
    document.markSaved();
    document.run(setCapturesXyCommand(true));
    EXPECT_TRUE(document.isUnsaved());
    document.run(setCapturesXyCommand(false));
    EXPECT_FALSE(document.isUnsaved());

    CaptureDocument fresh;
    fresh.run(setCapturesXyCommand(true));
    EXPECT_FALSE(fresh.isUnsaved());
}

TEST(XyTable, PairTitlesAreRecognisedOnlyInWholePairs)
{
    struct Case {
        Strings titles;
        std::optional<Strings> series;
    };
    const Case cases[] = {
        { { "1 x", "1 y" }, Strings { "1" } },
        { { "A x", "A y", "B b x", "B b y" }, Strings { "A", "B b" } },
        { { " x", " y" }, Strings { "" } },
        { { "A x", "A y", "B x" }, std::nullopt }, // a pair cut short
        { { "A x", "B y" }, std::nullopt }, // two series
        { { "A y", "A x" }, std::nullopt }, // the wrong order
        { { "A X", "A Y" }, std::nullopt },
        { { "Ax", "Ay" }, std::nullopt },
        { { "1", "2" }, std::nullopt },
        { {}, std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pairSeriesTitles(c.titles), c.series) << (c.titles.empty() ? "" : c.titles[0]);
    }
}

TEST(XyTable, ASavedPairFileLoadsBackIntoTheSameTable)
{
    CaptureDocument document = twoSeries();
    document.run(setCapturesXyCommand(true));
    const TableData saved = tableOf(document.model());

    const CsvReading reading = readCsv(tableToCsv(saved));
    ASSERT_EQ(reading.problem, CsvProblem::None);
    const std::optional<Strings> series = pairSeriesTitles(reading.table.titles);
    ASSERT_TRUE(series);
    CaptureDocument loaded;
    loaded.run(replacePairTableCommand(*series, reading.table.rows));
    EXPECT_TRUE(loaded.model().capturesXy());
    EXPECT_EQ(tableOf(loaded.model()), saved);
    // The half-filled last row keeps its empty cell in the second series.
    EXPECT_TRUE(loaded.model().cell(1, 1).isEmpty());
    // A value loaded without its partner keeps the one it has.
    loaded.run(replacePairTableCommand({ "A" }, { { "", "3" }, { "4", "" } }));
    EXPECT_EQ(tableOf(loaded.model()), (TableData { { "A x", "A y" }, { { "", "3" }, { "4", "" } } }));

    // A plain file puts the plain table back, and undo the pairs.
    loaded.run(replaceTableCommand({ "V" }, { { "7" } }));
    EXPECT_FALSE(loaded.model().capturesXy());
    EXPECT_EQ(tableOf(loaded.model()), (TableData { { "V" }, { { "7" } } }));
    loaded.undo();
    EXPECT_TRUE(loaded.model().capturesXy());
    EXPECT_EQ(tableOf(loaded.model()), (TableData { { "A x", "A y" }, { { "", "3" }, { "4", "" } } }));
}

TEST(XyTable, LoadedXTextsCountForTheUnsavedMark)
{
    CaptureModel a;
    CaptureModel b;
    a.setCell(0, 0, Cell::loadedPair("1", "2"));
    b.setCell(0, 0, Cell::loadedPair("9", "2"));
    EXPECT_FALSE(a.cell(0, 0) == b.cell(0, 0));
    EXPECT_NE(a.fingerprint(), b.fingerprint());
}

} // namespace
