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
    double middle = 0.0; // the centre of the line's cross-section (see lineCentre)
    bool hidden = false; // part of it lies in a broad blob, where a line's centre cannot be seen
    bool bordered = false; // another colour borders it above or below, and may cover part of it

    double centre() const { return middle; }
};

// Where a run's two edges lie, from the shares of its pixels: each edge lies before the first
// (after the last) whole pixel by the summed shares of the partly covered pixels beyond it, which is
// exact for the straight edge of a line at any slope. A run without a whole pixel has its
// coverage-weighted centroid, except one of two pixels, which a line thinner than two pixels
// covers from the first pixel's far part to the second's near part.
class LineCentre {
public:
    void add(int row, float share);
    double centre() const;

private:
    // A pixel at least this much covered counts as whole (the shares of a JPEG picture are noisy).
    static constexpr float WHOLE = 0.9F;

    int m_first = -1;
    int m_count = 0;
    float m_firstShare = 0.0F;
    float m_lastShare = 0.0F;
    int m_firstWhole = -1;
    int m_lastWhole = -1;
    double m_before = 0.0; // summed shares before the first whole pixel
    double m_after = 0.0; // summed shares after the last whole pixel
    double m_mass = 0.0;
    double m_moment = 0.0;
};

// The runs of every column of the map (rows and columns counted within it), each column's from
// the top; `broad`, when not empty, marks the pixels that hide a line (mapBroadBlobs). The map is
// read row by row, as it lies in memory.
[[nodiscard]] std::vector<std::vector<ColumnRun>> findColumnRuns(
    const CoverageMap& map, const std::vector<std::uint8_t>& broad);
