#include "app/model/capture_document.h"
#include "app/model/point_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The displayed row y has the value 250 - y.
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

// Column 0 holds the values 1, 2, 3; column 1 holds 7.
class PointCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (double y : { 249.0, 248.0, 247.0 })
            m_document.run(captureCommand(0, { 10, y }, rowCalibration()));
        m_document.run(addColumnCommand("2"));
        m_document.run(captureCommand(1, { 10, 243 }, rowCalibration()));
        m_start = texts(m_document.model());
    }

    CaptureDocument m_document;
    Rows m_start;
};

TEST_F(PointCommands, MoveKeepsTheCalibrationAndUndoes)
{
    const ModelChange change = m_document.run(movePointCommand(1, 0, { 12, 238 }));
    EXPECT_EQ(change.kind, ModelChange::Kind::Cell);
    EXPECT_EQ(texts(m_document.model()), (Rows { { "1.00", "7.00" }, { "12.00", "" }, { "3.00", "" } }));
    const Cell& cell = m_document.model().cell(1, 0);
    EXPECT_EQ(cell.point.x, 12);
    EXPECT_EQ(cell.calibration, m_document.model().cell(0, 0).calibration);
    m_document.undo();
    EXPECT_EQ(texts(m_document.model()), m_start);
    m_document.redo();
    EXPECT_EQ(texts(m_document.model())[1][0], "12.00");
}

TEST_F(PointCommands, DeleteMovesTheCellsBelowUpInThatColumnOnly)
{
    struct Case {
        int row;
        int column;
        Rows after;
    };
    const Case cases[] = {
        { 0, 0, { { "2.00", "7.00" }, { "3.00", "" } } },
        { 2, 0, { { "1.00", "7.00" }, { "2.00", "" } } },
        { 0, 1, { { "1.00", "" }, { "2.00", "" }, { "3.00", "" } } },
    };
    for (const Case& c : cases) {
        const ModelChange change = m_document.run(deletePointCommand(c.row, c.column));
        EXPECT_EQ(change.kind, ModelChange::Kind::Rows) << c.row << "," << c.column;
        EXPECT_EQ(texts(m_document.model()), c.after) << c.row << "," << c.column;
        m_document.undo();
        EXPECT_EQ(texts(m_document.model()), m_start) << c.row << "," << c.column;
    }
}

TEST_F(PointCommands, ACellWithoutAPointIsLeftAlone)
{
    const std::pair<int, int> cells[] = { { 1, 1 }, { 3, 0 }, { -1, 0 }, { 0, 2 }, { 0, -1 } };
    for (const auto& [row, column] : cells) {
        EXPECT_EQ(m_document.run(deletePointCommand(row, column)).kind, ModelChange::Kind::None);
        EXPECT_EQ(m_document.run(movePointCommand(row, column, { 1, 1 })).kind, ModelChange::Kind::None);
    }
    // Nor is a move to where the point is.
    EXPECT_EQ(m_document.run(movePointCommand(0, 0, { 10, 249 })).kind, ModelChange::Kind::None);
    EXPECT_EQ(texts(m_document.model()), m_start);
}

TEST_F(PointCommands, DeletingTheLastPointOfTheLastRowDropsTheRow)
{
    m_document.run(deletePointCommand(2, 0));
    m_document.run(deletePointCommand(1, 0));
    m_document.run(deletePointCommand(0, 0));
    m_document.run(deletePointCommand(0, 1));
    EXPECT_EQ(m_document.model().rowCount(), 0);
    EXPECT_EQ(m_document.model().filledCells(), 0u);
    for (int i = 0; i < 4; ++i)
        m_document.undo();
    EXPECT_EQ(texts(m_document.model()), m_start);
}

} // namespace
