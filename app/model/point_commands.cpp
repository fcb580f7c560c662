#include "point_commands.h"

#include <utility>
#include <vector>

namespace {

bool holdsPoint(const CaptureModel& model, int row, int column)
{
    return column >= 0 && column < model.columnCount() && row >= 0 && row < model.rowCount()
        && model.cell(row, column).kind == CellKind::Captured;
}

class MovePoint final : public ModelCommand {
public:
    MovePoint(int row, int column, PixelPoint to)
        : m_row(row)
        , m_column(column)
        , m_to(to)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (!holdsPoint(model, m_row, m_column))
            return {};
        m_before = model.cell(m_row, m_column);
        if (m_before.point.x == m_to.x && m_before.point.y == m_to.y)
            return {};
        model.setCell(m_row, m_column, Cell::captured(m_to, m_before.calibration));
        return { ModelChange::Kind::Cell, m_row, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        model.setCell(m_row, m_column, m_before);
        return { ModelChange::Kind::Cell, m_row, m_column };
    }

private:
    int m_row;
    int m_column;
    PixelPoint m_to;
    Cell m_before;
};

class DeletePoint final : public ModelCommand {
public:
    DeletePoint(int row, int column)
        : m_row(row)
        , m_column(column)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (!holdsPoint(model, m_row, m_column))
            return {};
        m_before = model.takeRows();
        std::vector<std::vector<Cell>> after = m_before;
        auto& cells = after[static_cast<std::size_t>(m_column)];
        cells.erase(cells.begin() + m_row);
        cells.emplace_back();
        model.restoreRows(std::move(after));
        model.dropEmptyLastRow();
        return { ModelChange::Kind::Rows, m_row, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        (void)model.takeRows();
        model.restoreRows(m_before);
        return { ModelChange::Kind::Rows, m_row, m_column };
    }

private:
    int m_row;
    int m_column;
    std::vector<std::vector<Cell>> m_before;
};

} // namespace

std::unique_ptr<ModelCommand> movePointCommand(int row, int column, PixelPoint to)
{
    return std::make_unique<MovePoint>(row, column, to);
}

std::unique_ptr<ModelCommand> deletePointCommand(int row, int column)
{
    return std::make_unique<DeletePoint>(row, column);
}
