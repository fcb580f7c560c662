#include "imaging/extraction/column_runs.h"

namespace {

struct OpenRun {
    int top = -1;
    float mass = 0.0F;
    LineCentre centre;
    bool matched = false;
    bool hidden = false;
    bool bordered = false;
    bool fading = false; // the last pixel added was faint
};

// Runs of one column that only a pixel or two of the paper part are one line whose colour a JPEG
// picture let slip in places (a steep line crosses a column over many rows): they are joined and
// measured again as one. A gap of another colour is a real break and stays.
constexpr int MAXIMUM_HOLE = 2;

void mendHoles(const CoverageMap& map, int column, std::vector<ColumnRun>& runs)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (kept > 0) {
            ColumnRun& last = runs[kept - 1];
            const ColumnRun& next = runs[i];
            bool paper = next.top - last.bottom <= MAXIMUM_HOLE;
            for (int y = last.bottom; paper && y < next.top; ++y)
                paper = (map.row(y)[column] & CoverageMap::FOREIGN) == 0;
            if (paper) {
                LineCentre centre;
                float mass = 0.0F;
                for (int y = last.top; y < next.bottom; ++y) {
                    const float share = CoverageMap::share(map.row(y)[column]);
                    centre.add(y, share);
                    mass += share;
                }
                last.bottom = next.bottom;
                last.mass = mass;
                last.middle = centre.centre();
                last.hidden = last.hidden || next.hidden;
                last.bordered = last.bordered || next.bordered;
                continue;
            }
        }
        runs[kept++] = runs[i];
    }
    runs.resize(kept);
}

} // namespace

void LineCentre::add(int row, float share)
{
    if (m_first < 0)
        m_first = row;
    ++m_count;
    m_mass += share;
    m_moment += static_cast<double>(share) * row;
    if (m_count == 1)
        m_firstShare = share;
    m_lastShare = share;
    if (share >= WHOLE) {
        if (m_firstWhole < 0)
            m_firstWhole = row;
        m_lastWhole = row;
        m_after = 0.0;
    } else if (m_firstWhole < 0) {
        m_before += share;
    } else {
        m_after += share;
    }
}

double LineCentre::centre() const
{
    if (m_firstWhole >= 0) {
        const double top = m_firstWhole - 0.5 - m_before;
        const double bottom = m_lastWhole + 0.5 + m_after;
        return (top + bottom) / 2.0;
    }
    if (m_count == 2) {
        const double top = m_first + 0.5 - m_firstShare;
        const double bottom = m_first + 0.5 + m_lastShare;
        return (top + bottom) / 2.0;
    }
    return m_mass > 0.0 ? m_moment / m_mass : m_first;
}

std::vector<std::vector<ColumnRun>> findColumnRuns(
    const CoverageMap& map, const std::vector<std::uint8_t>& broad)
{
    std::vector<std::vector<ColumnRun>> columns(static_cast<std::size_t>(map.width));
    std::vector<OpenRun> open(static_cast<std::size_t>(map.width));
    auto close = [&](int column, int bottom) {
        OpenRun& run = open[static_cast<std::size_t>(column)];
        if (run.matched)
            columns[static_cast<std::size_t>(column)].push_back(
                { run.top, bottom, run.mass, run.centre.centre(), run.hidden, run.bordered });
        run = {};
    };
    std::vector<float> faintAbove(static_cast<std::size_t>(map.width));
    for (int y = 0; y < map.height; ++y) {
        const std::uint8_t* values = map.row(y);
        const std::uint8_t* hides
            = broad.empty() ? nullptr : broad.data() + static_cast<std::size_t>(y) * map.width;
        for (int column = 0; column < map.width; ++column) {
            const std::uint8_t value = values[column];
            OpenRun& run = open[static_cast<std::size_t>(column)];
            const float share = CoverageMap::share(value);
            const bool solid = CoverageMap::isSolid(value);
            float& faint = faintAbove[static_cast<std::size_t>(column)];
            // A faint pixel belongs to a run only as its first or last pixel: the faint edge of
            // a line, which would otherwise be lost on one side and bias its centre.
            if (!solid && (run.top < 0 || run.fading || share <= 0.0F)) {
                if (run.top >= 0) {
                    // Something of another colour ends the run: it may hide part of the line.
                    run.bordered = run.bordered || (value & CoverageMap::FOREIGN) != 0;
                    close(column, y);
                }
                faint = share;
                continue;
            }
            if (run.top < 0) {
                run.top = y;
                run.bordered = y > 0 && (map.row(y - 1)[column] & CoverageMap::FOREIGN) != 0;
                if (faint > 0.0F) {
                    run.top = y - 1;
                    run.mass += faint;
                    run.centre.add(y - 1, faint);
                }
            }
            faint = 0.0F;
            run.fading = !solid;
            run.mass += share;
            run.centre.add(y, share);
            run.matched = run.matched || (value & CoverageMap::MATCH) != 0;
            run.hidden = run.hidden || (hides && hides[column] != 0);
        }
    }
    for (int column = 0; column < map.width; ++column)
        if (open[static_cast<std::size_t>(column)].top >= 0)
            close(column, map.height);
    for (int column = 0; column < map.width; ++column)
        mendHoles(map, column, columns[static_cast<std::size_t>(column)]);
    return columns;
}
