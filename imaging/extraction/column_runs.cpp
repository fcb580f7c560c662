#include "imaging/extraction/column_runs.h"

namespace {

struct OpenRun {
    int top = -1;
    float mass = 0.0F;
    double moment = 0.0;
    bool matched = false;
    bool hidden = false;
    bool bordered = false;
};

} // namespace

std::vector<std::vector<ColumnRun>> findColumnRuns(
    const CoverageMap& map, const std::vector<std::uint8_t>& broad)
{
    std::vector<std::vector<ColumnRun>> columns(static_cast<std::size_t>(map.width));
    std::vector<OpenRun> open(static_cast<std::size_t>(map.width));
    auto close = [&](int column, int bottom) {
        OpenRun& run = open[static_cast<std::size_t>(column)];
        if (run.matched)
            columns[static_cast<std::size_t>(column)].push_back(
                { run.top, bottom, run.mass, run.moment, run.hidden, run.bordered });
        run = {};
    };
    for (int y = 0; y < map.height; ++y) {
        const std::uint8_t* values = map.row(y);
        const std::uint8_t* hides
            = broad.empty() ? nullptr : broad.data() + static_cast<std::size_t>(y) * map.width;
        for (int column = 0; column < map.width; ++column) {
            const std::uint8_t value = values[column];
            OpenRun& run = open[static_cast<std::size_t>(column)];
            if ((value & CoverageMap::COVERAGE_FULL) == 0) {
                if (run.top >= 0) {
                    // Something of another colour ends the run: it may hide part of the line.
                    run.bordered = run.bordered || (value & CoverageMap::FOREIGN) != 0;
                    close(column, y);
                }
                continue;
            }
            const float share = CoverageMap::share(value);
            if (run.top < 0) {
                run.top = y;
                run.bordered = y > 0 && (map.row(y - 1)[column] & CoverageMap::FOREIGN) != 0;
            }
            run.mass += share;
            run.moment += static_cast<double>(share) * y;
            run.matched = run.matched || (value & CoverageMap::MATCH) != 0;
            run.hidden = run.hidden || (hides && hides[column] != 0);
        }
    }
    for (int column = 0; column < map.width; ++column)
        if (open[static_cast<std::size_t>(column)].top >= 0)
            close(column, map.height);
    return columns;
}
