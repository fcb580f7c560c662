#include "app/model/capture_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

// A calibration in which the displayed row y has the value 250 - y.
CaptureCalibration simpleCalibration(double scale = 1.0)
{
    CaptureCalibration calibration;
    calibration.originY = 250;
    calibration.spanWidth = 100;
    calibration.spanHeight = 100;
    calibration.widthReference = 100;
    calibration.heightReference = 100;
    calibration.displayScale = scale;
    return calibration;
}

Rows texts(const CaptureModel& model)
{
    Rows rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        auto& cells = rows.emplace_back();
        for (int column = 0; column < model.columnCount(); ++column)
            cells.push_back(model.cellText(row, column));
    }
    return rows;
}

Strings titles(const CaptureModel& model)
{
    Strings result;
    for (int column = 0; column < model.columnCount(); ++column)
        result.push_back(model.series(column).title);
    return result;
}

class Document {
public:
    void capture(int column, int value, const CaptureCalibration& calibration = simpleCalibration())
    {
        doc.run(captureCommand(column, calibration.picturePixel({ 20, 250.0 - value }), calibration));
    }

    CaptureDocument doc;
};

TEST(CaptureModel, ColumnsFillFromTheTopAndRowsMoveUp)
{
    Document d;
    EXPECT_EQ(titles(d.doc.model()), Strings { "1" });
    d.capture(0, 1);
    d.capture(0, 2);
    d.capture(0, 3);
    d.doc.run(addColumnCommand("2"));
    d.capture(1, 4);
    d.capture(1, 5);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "1.00", "4.00" }, { "2.00", "5.00" }, { "3.00", "" } }));

    d.doc.run(deleteRowCommand(0));
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "2.00", "5.00" }, { "3.00", "" } }));
    d.capture(1, 6);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "2.00", "5.00" }, { "3.00", "6.00" } }));

    // A first capture into a later column of an empty table leaves the cells before it empty,
    // and the first column then fills its own first cell.
    d.doc.run(emptyTableCommand());
    EXPECT_EQ(texts(d.doc.model()), Rows {});
    EXPECT_EQ(titles(d.doc.model()), (Strings { "1", "2" }));
    d.capture(1, 7);
    d.capture(0, 8);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "8.00", "7.00" } }));

    d.doc.run(removeLastColumnCommand());
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "8.00" } }));
    EXPECT_EQ(d.doc.run(removeLastColumnCommand()).kind, ModelChange::Kind::None) << "the last column stays";
    d.doc.run(renameColumnCommand(0, "Pressure"));
    EXPECT_EQ(titles(d.doc.model()), Strings { "Pressure" });
    EXPECT_EQ(d.doc.model().series(0).label, "Pressure");
}

TEST(CaptureModel, ValuesComeFromTheCalibrationOfTheirCapture)
{
    // Picture pixels of a picture shown reduced keep what a whole displayed pixel cannot; the
    // value is still exactly that of the displayed row clicked.
    const struct {
        double scale;
        int value;
        const char* text;
    } cases[] = {
        { 1.0, 1, "1.00" },
        { 0.5, 3, "3.00" },
        { 0.3, -7, "-7.00" },
        { 2.0 / 3.0, 17, "17.00" },
        { 0.123456789, 99, "99.00" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        Document d;
        d.capture(0, c.value, simpleCalibration(c.scale));
        EXPECT_EQ(d.doc.model().cellText(0, 0), c.text);
        EXPECT_DOUBLE_EQ(d.doc.model().cell(0, 0).point.y, (250.0 - c.value) / c.scale);
    }

    // A second calibration (a second y axis) leaves the values taken under the first alone;
    // applying it to a column takes that column's points under it.
    Document d;
    d.capture(0, 10);
    CaptureCalibration right = simpleCalibration();
    right.heightReference = 200;
    d.doc.run(addColumnCommand("2"));
    d.capture(1, 10, right);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "10.00", "20.00" } }));
    d.doc.run(applyCalibrationCommand(0, right));
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "20.00", "20.00" } }));
    d.doc.undo();
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "10.00", "20.00" } }));
    EXPECT_EQ(d.doc.model().calibrationCount(), 2);
}

TEST(CaptureModel, EveryCommandUndoesAndRedoes)
{
    const struct {
        const char* name;
        std::function<std::unique_ptr<ModelCommand>()> command;
    } commands[] = {
        { "capture",
            [] {
                return captureCommand(1, { 3, 200 }, simpleCalibration());
            } },
        { "delete row", [] { return deleteRowCommand(0); } },
        { "empty table", [] { return emptyTableCommand(); } },
        { "add column", [] { return addColumnCommand("3"); } },
        { "remove last column", [] { return removeLastColumnCommand(); } },
        { "rename", [] { return renameColumnCommand(1, "Speed"); } },
        { "load",
            [] {
                return replaceTableCommand({ "a", "b", "c" }, { { "1", "", "x" }, { "", "2", "" } });
            } },
        { "apply calibration", [] { return applyCalibrationCommand(0, simpleCalibration(0.5)); } },
        { "calibrate", [] { return setCalibrationCommand({}, simpleCalibration(0.5)); } },
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        Document d;
        d.capture(0, 1);
        d.capture(0, 2);
        d.doc.run(addColumnCommand("2"));
        d.capture(1, 3);
        const Rows before = texts(d.doc.model());
        const Strings beforeTitles = titles(d.doc.model());
        const std::uint64_t beforeFingerprint = d.doc.model().fingerprint();

        EXPECT_NE(d.doc.run(c.command()).kind, ModelChange::Kind::None);
        const Rows after = texts(d.doc.model());
        const Strings afterTitles = titles(d.doc.model());
        const CaptureCalibration afterCalibration = d.doc.model().currentCalibration();
        for (int round = 0; round < 2; ++round) {
            d.doc.undo();
            EXPECT_EQ(texts(d.doc.model()), before);
            EXPECT_EQ(titles(d.doc.model()), beforeTitles);
            EXPECT_EQ(d.doc.model().fingerprint(), beforeFingerprint);
            EXPECT_EQ(d.doc.model().currentCalibration(), CaptureCalibration {});
            d.doc.redo();
            EXPECT_EQ(texts(d.doc.model()), after);
            EXPECT_EQ(titles(d.doc.model()), afterTitles);
            EXPECT_EQ(d.doc.model().currentCalibration(), afterCalibration);
        }
        // Undo reaches back to the fresh table.
        while (d.doc.canUndo())
            d.doc.undo();
        EXPECT_EQ(texts(d.doc.model()), Rows {});
        EXPECT_EQ(titles(d.doc.model()), Strings { "1" });
    }
}

TEST(CaptureModel, UnsavedMarkFollowsTheHistory)
{
    Document d;
    EXPECT_FALSE(d.doc.isUnsaved());
    d.doc.run(addColumnCommand("2"));
    EXPECT_FALSE(d.doc.isUnsaved()) << "a table that never held a value";
    d.capture(0, 1);
    EXPECT_TRUE(d.doc.isUnsaved());
    d.doc.markSaved();
    EXPECT_FALSE(d.doc.isUnsaved());

    const struct {
        const char* name;
        std::function<void(CaptureDocument&)> change;
        bool unsaved;
    } changes[] = {
        { "capture",
            [](CaptureDocument& doc) {
                doc.run(captureCommand(0, { 1, 2 }, simpleCalibration()));
            },
            true },
        { "rename", [](CaptureDocument& doc) { doc.run(renameColumnCommand(0, "x")); }, true },
        { "calibrate", [](CaptureDocument& doc) { doc.run(setCalibrationCommand({}, simpleCalibration())); },
            false },
        { "add and remove a column",
            [](CaptureDocument& doc) {
                doc.run(addColumnCommand("3"));
                doc.run(removeLastColumnCommand());
            },
            false },
        { "nothing to delete", [](CaptureDocument& doc) { doc.run(deleteRowCommand(5)); }, false },
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        c.change(d.doc);
        EXPECT_EQ(d.doc.isUnsaved(), c.unsaved);
        while (d.doc.isUnsaved())
            d.doc.undo();
        EXPECT_FALSE(d.doc.isUnsaved()) << "undoing back to the save";
        d.doc.markSaved();
    }

    // A new change after an undo drops the redo; the saved state can then not come back by redo.
    d.capture(0, 5);
    d.doc.markSaved();
    d.doc.undo();
    EXPECT_TRUE(d.doc.isUnsaved());
    d.capture(0, 6);
    EXPECT_FALSE(d.doc.canRedo());
    EXPECT_TRUE(d.doc.isUnsaved());
}

TEST(CaptureModel, LoadedTablesKeepTheirTextsAndFillLikeCaptures)
{
    Document d;
    d.doc.run(replaceTableCommand({ "t", "u" }, { { "1,5", "" }, { "", "b" } }));
    EXPECT_EQ(titles(d.doc.model()), (Strings { "t", "u" }));
    EXPECT_EQ(d.doc.model().cell(0, 0).kind, CellKind::Loaded);
    d.capture(1, 4);
    d.capture(0, 3);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "1,5", "4.00" }, { "3.00", "b" } }));
    d.capture(1, 2);
    EXPECT_EQ(texts(d.doc.model()), (Rows { { "1,5", "4.00" }, { "3.00", "b" }, { "", "2.00" } }));
    d.doc.undo();
    EXPECT_EQ(d.doc.model().rowCount(), 2) << "the appended row goes with its capture";
}

} // namespace
