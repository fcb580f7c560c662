// The points of one extraction as one change of the model.

#include "app/extraction/extracted_points_command.h"
#include "app/model/capture_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CaptureCalibration rowCalibration()
{
    CaptureCalibration calibration;
    calibration.originY = 250;
    calibration.spanWidth = 100;
    calibration.spanHeight = 100;
    calibration.widthReference = 100;
    calibration.heightReference = 100;
    return calibration;
}

std::vector<std::string> columnTexts(const CaptureModel& model, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.push_back(model.cellText(row, column));
    return texts;
}

TEST(ExtractedPointsCommand, FillsTheColumnsEmptyCellsInOrderAndUndoesAsOneStep)
{
    CaptureDocument document;
    document.startWith(rowCalibration());
    (void)document.run(addColumnCommand("2"));
    // Column 1 holds two points, column 0 one: the extraction into column 0 fills the gap first.
    (void)document.run(captureCommand(1, { 0, 249 }, rowCalibration()));
    (void)document.run(captureCommand(1, { 0, 248 }, rowCalibration()));
    (void)document.run(captureCommand(0, { 0, 247 }, rowCalibration()));
    const std::uint64_t before = document.model().fingerprint();

    const ModelChange change
        = document.run(extractedPointsCommand(0, { { 5, 240 }, { 6, 230 }, { 7, 220 } }, rowCalibration()));
    EXPECT_EQ(change.kind, ModelChange::Kind::Rows);
    EXPECT_EQ(change.row, 1);
    EXPECT_EQ(
        columnTexts(document.model(), 0), (std::vector<std::string> { "3.00", "10.00", "20.00", "30.00" }));
    EXPECT_EQ(columnTexts(document.model(), 1), (std::vector<std::string> { "1.00", "2.00", "", "" }));
    EXPECT_EQ(document.model().cell(3, 0).point, (PixelPoint { 7, 220 }));

    (void)document.undo();
    EXPECT_EQ(document.model().rowCount(), 2);
    EXPECT_EQ(document.model().fingerprint(), before);
    (void)document.redo();
    EXPECT_EQ(document.model().rowCount(), 4);
    EXPECT_EQ(columnTexts(document.model(), 0).back(), "30.00");
}

TEST(ExtractedPointsCommand, NothingChangesForNoPointsOrNoSuchColumn)
{
    CaptureDocument document;
    document.startWith(rowCalibration());
    const struct {
        int column;
        std::vector<PixelPoint> points;
    } cases[] = { { 0, {} }, { 3, { { 1, 1 } } }, { -1, { { 1, 1 } } } };
    for (const auto& c : cases) {
        EXPECT_EQ(document.run(extractedPointsCommand(c.column, c.points, rowCalibration())).kind,
            ModelChange::Kind::None)
            << c.column;
        EXPECT_EQ(document.model().rowCount(), 0);
        // A change that changed nothing gives Undo nothing to take back.
        (void)document.undo();
        EXPECT_EQ(document.model().rowCount(), 0);
    }
}

} // namespace
