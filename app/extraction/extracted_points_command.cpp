#include "extracted_points_command.h"

#include <utility>

namespace {

class ExtractedPoints final : public ModelCommand {
public:
    ExtractedPoints(int column, std::vector<PixelPoint> points, const CaptureCalibration& calibration)
        : m_column(column)
        , m_points(std::move(points))
        , m_calibration(calibration)
    {
    }

    ModelChange apply(CaptureModel& model) override
    {
        m_applied = false;
        if (m_column < 0 || m_column >= model.columnCount() || m_points.empty())
            return {};
        // The rows as they were are the way back: the points may fill gaps between other cells
        // and append rows, and putting the rows back undoes both at once.
        m_before = model.takeRows();
        model.restoreRows(m_before);
        m_firstRow = model.firstEmptyRow(m_column);
        const int calibration = model.internCalibration(m_calibration);
        for (const PixelPoint& point : m_points)
            model.setCell(model.firstEmptyRow(m_column), m_column, Cell::captured(point, calibration));
        m_applied = true;
        return { ModelChange::Kind::Rows, m_firstRow, m_column };
    }

    ModelChange revert(CaptureModel& model) override
    {
        if (!m_applied)
            return {};
        (void)model.takeRows();
        model.restoreRows(m_before);
        return { ModelChange::Kind::Rows, m_firstRow, m_column };
    }

private:
    int m_column;
    std::vector<PixelPoint> m_points;
    CaptureCalibration m_calibration;
    std::vector<std::vector<Cell>> m_before;
    int m_firstRow = 0;
    bool m_applied = false;
};

} // namespace

std::unique_ptr<ModelCommand> extractedPointsCommand(
    int column, std::vector<PixelPoint> points, const CaptureCalibration& calibration)
{
    return std::make_unique<ExtractedPoints>(column, std::move(points), calibration);
}
