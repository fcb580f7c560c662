#include "capture_model.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ull;
constexpr std::uint64_t FNV_PRIME = 1099511628211ull;

// A well-mixed 64-bit value (the finaliser of SplitMix64): neighbouring rows and columns must not
// give hashes that cancel in a sum.
std::uint64_t mix(std::uint64_t value)
{
    value += 0x9e3779b97f4a7c15ull;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

std::uint64_t combine(std::uint64_t hash, std::uint64_t value)
{
    return mix(hash ^ mix(value));
}

std::uint64_t textHash(const std::string& text)
{
    std::uint64_t hash = FNV_OFFSET;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= FNV_PRIME;
    }
    return combine(hash, text.size());
}

const Cell EMPTY_CELL;

} // namespace

Cell Cell::captured(PixelPoint point, int calibration)
{
    Cell cell;
    cell.kind = CellKind::Captured;
    cell.point = point;
    cell.calibration = calibration;
    return cell;
}

Cell Cell::loaded(std::string text)
{
    Cell cell;
    cell.kind = CellKind::Loaded;
    cell.text = std::move(text);
    return cell;
}

Cell Cell::loadedPair(std::string xText, std::string yText)
{
    Cell cell = loaded(std::move(yText));
    cell.xText = std::move(xText);
    return cell;
}

bool Cell::operator==(const Cell& other) const
{
    if (kind != other.kind)
        return false;
    switch (kind) {
    case CellKind::Captured:
        return point.x == other.point.x && point.y == other.point.y && calibration == other.calibration;
    case CellKind::Loaded:
        return text == other.text && xText == other.xText;
    case CellKind::Empty:
        break;
    }
    return true;
}

CaptureModel::CaptureModel()
{
    m_series.push_back(Series { "1", std::nullopt, {} });
    m_filledAbove.assign(1, 0);
}

const Cell& CaptureModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= columnCount())
        return EMPTY_CELL;
    return m_series[static_cast<std::size_t>(column)].cells[static_cast<std::size_t>(row)];
}

std::string CaptureModel::cellText(int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case CellKind::Captured:
    case CellKind::Loaded:
        return c.text;
    case CellKind::Empty:
        break;
    }
    return std::string();
}

std::string CaptureModel::cellXText(int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case CellKind::Captured:
        return calibration(c.calibration).xValueText(c.point);
    case CellKind::Loaded:
        return c.xText;
    case CellKind::Empty:
        break;
    }
    return std::string();
}

int CaptureModel::firstEmptyRow(int column) const
{
    if (column < 0 || column >= columnCount())
        return m_rows;
    const std::vector<Cell>& cells = m_series[static_cast<std::size_t>(column)].cells;
    int& above = m_filledAbove[static_cast<std::size_t>(column)];
    above = std::min(above, m_rows);
    while (above < m_rows && !cells[static_cast<std::size_t>(above)].isEmpty())
        ++above;
    return above;
}

std::uint64_t CaptureModel::cellHash(int row, int column, const Cell& c) const
{
    std::uint64_t hash = combine(combine(static_cast<std::uint64_t>(c.kind), static_cast<std::uint64_t>(row)),
        static_cast<std::uint64_t>(column));
    if (c.kind == CellKind::Captured) {
        hash = combine(hash, std::bit_cast<std::uint64_t>(c.point.x));
        hash = combine(hash, std::bit_cast<std::uint64_t>(c.point.y));
        hash = combine(hash, static_cast<std::uint64_t>(c.calibration));
    } else {
        hash = combine(hash, textHash(c.text));
        if (!c.xText.empty())
            hash = combine(hash, textHash(c.xText));
    }
    return hash;
}

void CaptureModel::setCell(int row, int column, Cell cell)
{
    if (column < 0 || column >= columnCount() || row < 0 || row > m_rows)
        return;
    if (row == m_rows) {
        for (Series& s : m_series)
            s.cells.emplace_back();
        ++m_rows;
    }
    Cell& target = m_series[static_cast<std::size_t>(column)].cells[static_cast<std::size_t>(row)];
    if (!target.isEmpty()) {
        m_cellSum -= cellHash(row, column, target);
        --m_filled;
    }
    target = std::move(cell);
    if (target.kind == CellKind::Captured)
        target.text = calibration(target.calibration).valueText(target.point);
    if (!target.isEmpty()) {
        m_cellSum += cellHash(row, column, target);
        ++m_filled;
    } else {
        int& above = m_filledAbove[static_cast<std::size_t>(column)];
        above = std::min(above, row);
    }
}

void CaptureModel::dropEmptyLastRow()
{
    if (m_rows == 0)
        return;
    for (const Series& s : m_series) {
        if (!s.cells.back().isEmpty())
            return;
    }
    for (Series& s : m_series)
        s.cells.pop_back();
    --m_rows;
}

std::vector<Cell> CaptureModel::removeRow(int row)
{
    std::vector<Cell> cells;
    if (row < 0 || row >= m_rows)
        return cells;
    cells.reserve(m_series.size());
    for (Series& s : m_series) {
        cells.push_back(std::move(s.cells[static_cast<std::size_t>(row)]));
        s.cells.erase(s.cells.begin() + row);
    }
    --m_rows;
    recount();
    return cells;
}

void CaptureModel::insertRow(int row, std::vector<Cell> cells)
{
    if (row < 0 || row > m_rows)
        return;
    cells.resize(m_series.size());
    for (std::size_t column = 0; column < m_series.size(); ++column) {
        std::vector<Cell>& target = m_series[column].cells;
        target.insert(target.begin() + row, std::move(cells[column]));
    }
    ++m_rows;
    recount();
}

std::vector<std::vector<Cell>> CaptureModel::takeRows()
{
    std::vector<std::vector<Cell>> rows;
    rows.reserve(m_series.size());
    for (Series& s : m_series)
        rows.push_back(std::exchange(s.cells, {}));
    m_rows = 0;
    recount();
    return rows;
}

void CaptureModel::restoreRows(std::vector<std::vector<Cell>> cellsBySeries)
{
    cellsBySeries.resize(m_series.size());
    m_rows = 0;
    for (const auto& cells : cellsBySeries)
        m_rows = std::max(m_rows, static_cast<int>(cells.size()));
    for (std::size_t column = 0; column < m_series.size(); ++column) {
        m_series[column].cells = std::move(cellsBySeries[column]);
        m_series[column].cells.resize(static_cast<std::size_t>(m_rows));
    }
    recount();
}

void CaptureModel::appendSeries(Series series)
{
    series.cells.resize(static_cast<std::size_t>(m_rows));
    m_series.push_back(std::move(series));
    recount();
}

Series CaptureModel::removeLastSeries()
{
    if (m_series.size() <= 1)
        return Series {};
    Series last = std::move(m_series.back());
    m_series.pop_back();
    recount();
    return last;
}

void CaptureModel::renameSeries(int column, const std::string& title, const std::optional<std::string>& label)
{
    if (column < 0 || column >= columnCount())
        return;
    m_series[static_cast<std::size_t>(column)].title = title;
    m_series[static_cast<std::size_t>(column)].label = label;
}

std::vector<Series> CaptureModel::replaceSeries(std::vector<Series> series)
{
    if (series.empty())
        series.push_back(Series { "1", std::nullopt, {} });
    std::swap(series, m_series);
    m_rows = 0;
    for (const Series& s : m_series)
        m_rows = std::max(m_rows, static_cast<int>(s.cells.size()));
    for (Series& s : m_series)
        s.cells.resize(static_cast<std::size_t>(m_rows));
    recount();
    return series;
}

int CaptureModel::internCalibration(const CaptureCalibration& calibration)
{
    for (std::size_t i = m_calibrations.size(); i-- > 0;) {
        if (m_calibrations[i] == calibration)
            return static_cast<int>(i);
    }
    m_calibrations.push_back(calibration);
    return static_cast<int>(m_calibrations.size()) - 1;
}

const CaptureCalibration& CaptureModel::calibration(int index) const
{
    static const CaptureCalibration NONE;
    if (index < 0 || index >= calibrationCount())
        return NONE;
    return m_calibrations[static_cast<std::size_t>(index)];
}

std::uint64_t CaptureModel::fingerprint() const
{
    std::uint64_t hash = combine(m_cellSum, static_cast<std::uint64_t>(m_rows));
    hash = combine(hash, m_series.size());
    // The option changes what a file gets, but a fresh table is the same in either form.
    if (m_capturesXy)
        hash = combine(hash, 0x78790000u);
    for (const Series& s : m_series) {
        hash = combine(hash, textHash(s.title));
        hash = combine(hash, s.label ? textHash(*s.label) : 0);
    }
    return hash;
}

void CaptureModel::recount()
{
    m_filled = 0;
    m_cellSum = 0;
    for (std::size_t column = 0; column < m_series.size(); ++column) {
        const std::vector<Cell>& cells = m_series[column].cells;
        for (std::size_t row = 0; row < cells.size(); ++row) {
            if (cells[row].isEmpty())
                continue;
            ++m_filled;
            m_cellSum += cellHash(static_cast<int>(row), static_cast<int>(column), cells[row]);
        }
    }
    m_filledAbove.assign(m_series.size(), 0);
}
