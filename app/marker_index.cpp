#include "marker_index.h"

#include <algorithm>
#include <cmath>

namespace {

// Enough for a diagram of 4096 x 4096 in cells of 8 pixels; larger areas get larger cells, so
// that the grid's own memory stays a few megabytes.
constexpr double MAX_CELLS = 1 << 18;
constexpr double MAX_CELLS_PER_SIDE = 1024;

double atLeastOne(double value)
{
    return std::isfinite(value) && value >= 1.0 ? value : 1.0;
}

} // namespace

void MarkerIndex::reset(double width, double height, double cellSize)
{
    width = atLeastOne(width);
    height = atLeastOne(height);
    cellSize = std::max({ atLeastOne(cellSize), width / MAX_CELLS_PER_SIDE, height / MAX_CELLS_PER_SIDE });
    const double cells = std::ceil(width / cellSize) * std::ceil(height / cellSize);
    if (cells > MAX_CELLS)
        cellSize *= std::sqrt(cells / MAX_CELLS) * 1.01;
    m_cellSize = cellSize;
    m_columns = std::max(1, static_cast<int>(std::ceil(width / cellSize)));
    m_rows = std::max(1, static_cast<int>(std::ceil(height / cellSize)));
    m_cells.assign(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), {});
    m_entries.clear();
    m_size = 0;
}

void MarkerIndex::clear()
{
    for (std::vector<CellEntry>& cell : m_cells)
        cell.clear();
    m_entries.clear();
    m_size = 0;
}

// The clamp happens before the conversion, which for a value beyond int's range would be undefined.
int MarkerIndex::columnOf(double x) const
{
    return static_cast<int>(std::clamp(std::floor(x / m_cellSize), 0.0, static_cast<double>(m_columns - 1)));
}

int MarkerIndex::rowOf(double y) const
{
    return static_cast<int>(std::clamp(std::floor(y / m_cellSize), 0.0, static_cast<double>(m_rows - 1)));
}

bool MarkerIndex::contains(int id) const
{
    return id >= 0 && static_cast<std::size_t>(id) < m_entries.size() && m_entries[id].cell >= 0;
}

void MarkerIndex::place(int id, double x, double y)
{
    Entry& entry = m_entries[id];
    entry.cell = rowOf(y) * m_columns + columnOf(x);
    std::vector<CellEntry>& cell = m_cells[entry.cell];
    entry.slot = static_cast<int>(cell.size());
    cell.push_back({ x, y, id });
}

// Swaps the last id of the cell into the place that frees up, so that removal stays O(1).
void MarkerIndex::unplace(int id)
{
    Entry& entry = m_entries[id];
    std::vector<CellEntry>& cell = m_cells[entry.cell];
    cell[entry.slot] = cell.back();
    m_entries[cell[entry.slot].id].slot = entry.slot;
    cell.pop_back();
    entry.cell = -1;
}

bool MarkerIndex::insert(int id, double x, double y)
{
    if (id < 0 || contains(id) || !std::isfinite(x) || !std::isfinite(y))
        return false;
    if (static_cast<std::size_t>(id) >= m_entries.size())
        m_entries.resize(static_cast<std::size_t>(id) + 1);
    place(id, x, y);
    ++m_size;
    return true;
}

bool MarkerIndex::move(int id, double x, double y)
{
    if (!contains(id) || !std::isfinite(x) || !std::isfinite(y))
        return false;
    Entry& entry = m_entries[id];
    if (rowOf(y) * m_columns + columnOf(x) == entry.cell) {
        CellEntry& held = m_cells[entry.cell][entry.slot];
        held.x = x;
        held.y = y;
        return true;
    }
    unplace(id);
    place(id, x, y);
    return true;
}

bool MarkerIndex::remove(int id)
{
    if (!contains(id))
        return false;
    unplace(id);
    --m_size;
    return true;
}

int MarkerIndex::nearest(double x, double y, double radius) const
{
    if (!std::isfinite(x) || !std::isfinite(y) || !(radius >= 0.0))
        return -1;
    const int firstColumn = columnOf(x - radius);
    const int lastColumn = columnOf(x + radius);
    const int firstRow = rowOf(y - radius);
    const int lastRow = rowOf(y + radius);
    int best = -1;
    double bestDistance = radius * radius;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            for (const CellEntry& entry : m_cells[static_cast<std::size_t>(row) * m_columns + column]) {
                const double dx = entry.x - x;
                const double dy = entry.y - y;
                const double distance = dx * dx + dy * dy;
                if (distance < bestDistance || (distance == bestDistance && (best < 0 || entry.id < best))) {
                    best = entry.id;
                    bestDistance = distance;
                }
            }
        }
    }
    return best;
}

void MarkerIndex::collect(double left, double top, double right, double bottom, std::vector<int>& ids) const
{
    if (!(left <= right) || !(top <= bottom))
        return;
    const int firstColumn = columnOf(left);
    const int lastColumn = columnOf(right);
    const int firstRow = rowOf(top);
    const int lastRow = rowOf(bottom);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            for (const CellEntry& entry : m_cells[static_cast<std::size_t>(row) * m_columns + column]) {
                if (entry.x >= left && entry.x <= right && entry.y >= top && entry.y <= bottom)
                    ids.push_back(entry.id);
            }
        }
    }
}
