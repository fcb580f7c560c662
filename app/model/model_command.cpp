#include "model_command.h"

#include <utility>

namespace {

using Kind = ModelChange::Kind;

class Capture final : public ModelCommand {
public:
    Capture(int column, PixelPoint point, const CaptureCalibration& calibration)
        : m_column(column)
        , m_point(point)
        , m_calibration(calibration)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (m_column < 0 || m_column >= model.columnCount())
            return {};
        m_row = model.firstEmptyRow(m_column);
        m_appended = m_row == model.rowCount();
        model.setCell(m_row, m_column, Cell::captured(m_point, model.internCalibration(m_calibration)));
        return { Kind::Cell, m_row, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (m_row < 0)
            return {};
        model.setCell(m_row, m_column, Cell {});
        if (m_appended) {
            model.dropEmptyLastRow();
            return { Kind::RowRemoved, m_row, m_column };
        }
        return { Kind::Cell, m_row, m_column };
    }

private:
    int m_column;
    PixelPoint m_point;
    CaptureCalibration m_calibration;
    int m_row = -1;
    bool m_appended = false;
};

class DeleteRow final : public ModelCommand {
public:
    explicit DeleteRow(int row)
        : m_row(row)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (m_row < 0 || m_row >= model.rowCount())
            return {};
        m_cells = model.removeRow(m_row);
        m_removed = true;
        return { Kind::RowRemoved, m_row, -1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (!m_removed)
            return {};
        model.insertRow(m_row, std::move(m_cells));
        m_removed = false;
        return { Kind::Rows, m_row, -1 };
    }

private:
    int m_row;
    std::vector<Cell> m_cells;
    bool m_removed = false;
};

class EmptyTable final : public ModelCommand {
public:
    ModelChange apply(CaptureModel& model) override
    {
        if (model.rowCount() == 0)
            return {};
        m_rows = model.takeRows();
        return { Kind::Rows, 0, -1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        model.restoreRows(std::move(m_rows));
        return { Kind::Rows, 0, -1 };
    }

private:
    std::vector<std::vector<Cell>> m_rows;
};

class AddColumn final : public ModelCommand {
public:
    explicit AddColumn(std::string title)
        : m_title(std::move(title))
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        model.appendSeries(Series { m_title, std::nullopt, {} });
        return { Kind::Whole, -1, model.columnCount() - 1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        (void)model.removeLastSeries();
        return { Kind::Whole, -1, -1 };
    }

private:
    std::string m_title;
};

class RemoveLastColumn final : public ModelCommand {
public:
    ModelChange apply(CaptureModel& model) override
    {
        if (model.columnCount() <= 1)
            return {};
        m_removed = model.removeLastSeries();
        m_done = true;
        return { Kind::Whole, -1, -1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (!m_done)
            return {};
        model.appendSeries(std::move(m_removed));
        m_done = false;
        return { Kind::Whole, -1, -1 };
    }

private:
    Series m_removed;
    bool m_done = false;
};

class RenameColumn final : public ModelCommand {
public:
    RenameColumn(int column, std::string name)
        : m_column(column)
        , m_name(std::move(name))
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (m_column < 0 || m_column >= model.columnCount())
            return {};
        if (model.series(m_column).title == m_name && model.series(m_column).label == m_name)
            return {};
        m_oldTitle = model.series(m_column).title;
        m_oldLabel = model.series(m_column).label;
        model.renameSeries(m_column, m_name, m_name);
        m_done = true;
        return { Kind::Titles, -1, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (!m_done)
            return {};
        model.renameSeries(m_column, m_oldTitle, m_oldLabel);
        m_done = false;
        return { Kind::Titles, -1, m_column };
    }

private:
    int m_column;
    std::string m_name;
    std::string m_oldTitle;
    std::optional<std::string> m_oldLabel;
    bool m_done = false;
};

class ReplaceTable final : public ModelCommand {
public:
    ReplaceTable(std::vector<std::string> titles, std::vector<std::vector<std::string>> rows)
    {
        m_series.reserve(titles.size());
        for (std::size_t column = 0; column < titles.size(); ++column) {
            Series series { titles[column], titles[column], {} };
            series.cells.reserve(rows.size());
            for (auto& row : rows) {
                std::string text = column < row.size() ? std::move(row[column]) : std::string();
                series.cells.push_back(text.empty() ? Cell {} : Cell::loaded(std::move(text)));
            }
            m_series.push_back(std::move(series));
        }
    }

    // Rows of x,y pairs: cells 2k and 2k+1 are series k's x and y texts.
    ReplaceTable(std::vector<std::string> titles, std::vector<std::vector<std::string>> rows, bool pairs)
        : m_capturesXy(pairs)
    {
        m_series.reserve(titles.size());
        for (std::size_t column = 0; column < titles.size(); ++column) {
            Series series { titles[column], titles[column], {} };
            series.cells.reserve(rows.size());
            for (auto& row : rows) {
                std::string x = 2 * column < row.size() ? std::move(row[2 * column]) : std::string();
                std::string y = 2 * column + 1 < row.size() ? std::move(row[2 * column + 1]) : std::string();
                const bool empty = x.empty() && y.empty();
                series.cells.push_back(empty ? Cell {} : Cell::loadedPair(std::move(x), std::move(y)));
            }
            m_series.push_back(std::move(series));
        }
    }

    ModelChange apply(CaptureModel& model) override
    {
        m_series = model.replaceSeries(std::move(m_series));
        const bool before = model.capturesXy();
        model.setCapturesXy(m_capturesXy);
        m_capturesXy = before;
        return { Kind::Whole, -1, 0 };
    }

    ModelChange revert(CaptureModel& model) override { return apply(model); }

private:
    std::vector<Series> m_series;
    bool m_capturesXy = false;
};

class SetCapturesXy final : public ModelCommand {
public:
    explicit SetCapturesXy(bool on)
        : m_on(on)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (model.capturesXy() == m_on)
            return {};
        model.setCapturesXy(m_on);
        m_done = true;
        return { Kind::Whole, -1, -1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (!m_done)
            return {};
        model.setCapturesXy(!m_on);
        m_done = false;
        return { Kind::Whole, -1, -1 };
    }

private:
    bool m_on;
    bool m_done = false;
};

class ApplyCalibration final : public ModelCommand {
public:
    ApplyCalibration(int column, const CaptureCalibration& calibration)
        : m_column(column)
        , m_calibration(calibration)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        if (m_column < 0 || m_column >= model.columnCount())
            return {};
        const int index = model.internCalibration(m_calibration);
        m_previous.clear();
        for (int row = 0; row < model.rowCount(); ++row) {
            const Cell& cell = model.cell(row, m_column);
            if (cell.kind != CellKind::Captured || cell.calibration == index)
                continue;
            m_previous.push_back({ row, cell.calibration });
            model.setCell(row, m_column, Cell::captured(cell.point, index));
        }
        if (m_previous.empty())
            return {};
        return { Kind::Rows, 0, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        for (const Previous& p : m_previous)
            model.setCell(p.row, m_column, Cell::captured(model.cell(p.row, m_column).point, p.calibration));
        m_previous.clear();
        return { Kind::Rows, 0, m_column };
    }

private:
    struct Previous {
        int row;
        int calibration;
    };
    int m_column;
    CaptureCalibration m_calibration;
    std::vector<Previous> m_previous;
};

class SetCalibration final : public ModelCommand {
public:
    SetCalibration(const CaptureCalibration& before, const CaptureCalibration& after)
        : m_before(before)
        , m_after(after)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        model.setCurrentCalibration(m_after);
        return { Kind::Calibration, -1, -1 };
    }

    ModelChange revert(CaptureModel& model) override
    {
        model.setCurrentCalibration(m_before);
        return { Kind::Calibration, -1, -1 };
    }

private:
    CaptureCalibration m_before;
    CaptureCalibration m_after;
};

} // namespace

std::unique_ptr<ModelCommand> captureCommand(
    int column, PixelPoint point, const CaptureCalibration& calibration)
{
    return std::make_unique<Capture>(column, point, calibration);
}

std::unique_ptr<ModelCommand> deleteRowCommand(int row)
{
    return std::make_unique<DeleteRow>(row);
}

std::unique_ptr<ModelCommand> emptyTableCommand()
{
    return std::make_unique<EmptyTable>();
}

std::unique_ptr<ModelCommand> addColumnCommand(std::string title)
{
    return std::make_unique<AddColumn>(std::move(title));
}

std::unique_ptr<ModelCommand> removeLastColumnCommand()
{
    return std::make_unique<RemoveLastColumn>();
}

std::unique_ptr<ModelCommand> renameColumnCommand(int column, std::string name)
{
    return std::make_unique<RenameColumn>(column, std::move(name));
}

std::unique_ptr<ModelCommand> replaceTableCommand(
    std::vector<std::string> titles, std::vector<std::vector<std::string>> rows)
{
    return std::make_unique<ReplaceTable>(std::move(titles), std::move(rows));
}

std::unique_ptr<ModelCommand> replacePairTableCommand(
    std::vector<std::string> titles, std::vector<std::vector<std::string>> rows)
{
    return std::make_unique<ReplaceTable>(std::move(titles), std::move(rows), true);
}

std::unique_ptr<ModelCommand> setCapturesXyCommand(bool on)
{
    return std::make_unique<SetCapturesXy>(on);
}

std::unique_ptr<ModelCommand> applyCalibrationCommand(int column, const CaptureCalibration& calibration)
{
    return std::make_unique<ApplyCalibration>(column, calibration);
}

std::unique_ptr<ModelCommand> setCalibrationCommand(
    const CaptureCalibration& before, const CaptureCalibration& after)
{
    return std::make_unique<SetCalibration>(before, after);
}
