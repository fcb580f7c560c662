#pragma once

#include <cstddef>
#include <vector>

// Finds markers near a position among many, in time that does not grow with their number: a
// uniform grid of square cells over an area (the shown diagram), each cell listing the markers
// whose centre lies in it. A lookup visits only the cells its radius touches. Positions outside
// the area are kept in the nearest border cell, so that every marker can still be found.
//
// Markers are known by small non-negative ids that the caller chooses (the marker layer's
// numbers); the index's memory grows with the highest id used. Every change is O(1).
class MarkerIndex {
public:
    // An empty index over width x height pixels, in cells of cellSize pixels. Sizes that are not
    // finite or below 1 count as 1; a grid that would have an unreasonable number of cells gets
    // larger ones instead.
    void reset(double width, double height, double cellSize);

    // false, changing nothing, when the id is negative, already present (insert) or absent (move,
    // remove), or the position is not finite.
    bool insert(int id, double x, double y);
    bool move(int id, double x, double y);
    bool remove(int id);
    void clear();

    bool contains(int id) const;
    std::size_t size() const { return m_size; }

    // The id whose position is nearest to (x, y), at most radius away (inclusive); of equally near
    // ones the lowest id. -1 when there is none or the query is not finite.
    int nearest(double x, double y, double radius) const;
    // Appends to ids, in no particular order, every id whose position lies within left..right x
    // top..bottom (inclusive).
    void collect(double left, double top, double right, double bottom, std::vector<int>& ids) const;

private:
    // Cells hold the positions themselves, so that a lookup reads each cell's memory in one run.
    struct CellEntry {
        double x;
        double y;
        int id;
    };
    struct Entry {
        int cell = -1; // -1: absent
        int slot = 0; // where in the cell's list
    };

    int columnOf(double x) const;
    int rowOf(double y) const;
    void place(int id, double x, double y);
    void unplace(int id);

    double m_cellSize = 1.0;
    int m_columns = 1;
    int m_rows = 1;
    std::size_t m_size = 0;
    std::vector<std::vector<CellEntry>> m_cells = std::vector<std::vector<CellEntry>>(1);
    std::vector<Entry> m_entries;
};
