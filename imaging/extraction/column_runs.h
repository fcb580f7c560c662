#pragma once

#include "imaging/extraction/coverage_map.h"

#include <cstdint>
#include <vector>

// One stretch of a pixel column that a colour covers: consecutive rows of some coverage, at least
// one of them the colour itself, so that the faint edges of a line count with what they cover and
// a faint blend alone counts not at all.
struct ColumnRun {
    int top = 0; // first row
    int bottom = 0; // one past the last row
    float mass = 0.0F; // the summed coverage: the run's height in whole pixels of the colour
    double moment = 0.0; // the coverage-weighted sum of the rows
    bool hidden = false; // part of it lies in a broad blob, where a line's centre cannot be seen
    bool bordered = false; // another colour borders it above or below, and may cover part of it

    double centre() const { return moment / mass; }
};

// The runs of every column of the map (rows and columns counted within it), each column's from
// the top; `broad`, when not empty, marks the pixels that hide a line (mapBroadBlobs). The map is
// read row by row, as it lies in memory.
[[nodiscard]] std::vector<std::vector<ColumnRun>> findColumnRuns(
    const CoverageMap& map, const std::vector<std::uint8_t>& broad);
