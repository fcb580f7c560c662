#pragma once

#include "capture_calibration.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The captured data: series (the table's columns), each with a title and its cells, and the
// calibrations that the captured points were taken under. Plain C++ with no toolkit calls; the
// table gadget only shows it.
//
// Every series has as many cells as the model has rows. A cell is empty, a captured point (its
// position in the picture's own pixels and the index of its calibration) or a text loaded from a
// file, which has no position. Calibrations are only ever appended, so an index stays valid for
// the life of the model.

enum class CellKind { Empty, Captured, Loaded };

struct Cell {
    CellKind kind = CellKind::Empty;
    PixelPoint point; // Captured: in picture pixels
    int calibration = -1; // Captured: index into the model's calibrations
    // Loaded: the text of the file. Captured: the value text under its calibration, kept by
    // the model when the cell is set, since showing a long table would otherwise format every
    // value again.
    std::string text;
    // Loaded from a file of x,y pairs: the text of the x value (text holds the y value). A
    // captured point's x text is formatted when asked for, as only the x,y table shows it.
    std::string xText;

    [[nodiscard]] static Cell captured(PixelPoint point, int calibration);
    [[nodiscard]] static Cell loaded(std::string text);
    [[nodiscard]] static Cell loadedPair(std::string xText, std::string yText);
    bool isEmpty() const { return kind == CellKind::Empty; }
    bool operator==(const Cell& other) const;
};

struct Series {
    // The table header's title.
    std::string title;
    // The name in the column selector; none for the numbered name the interface gives a new
    // column in its language ("Column 3").
    std::optional<std::string> label;
    std::vector<Cell> cells;

    bool operator==(const Series&) const = default;
};

class CaptureModel {
public:
    // One series titled "1" and no rows, as a new main window starts.
    CaptureModel();

    int columnCount() const { return static_cast<int>(m_series.size()); }
    int rowCount() const { return m_rows; }
    const Series& series(int column) const { return m_series[static_cast<std::size_t>(column)]; }
    const Cell& cell(int row, int column) const;
    // The text a cell shows: a captured point's value under its calibration, a loaded text, or
    // the empty text (also for a cell outside the table).
    std::string cellText(int row, int column) const;
    // The x value's text of a cell the same way; empty for a text loaded without one.
    std::string cellXText(int row, int column) const;

    // Whether the table shows and writes each point as its x and y values ("Capture X and Y");
    // otherwise a point shows its y value alone. Switching loses nothing: every cell keeps both.
    bool capturesXy() const { return m_capturesXy; }
    void setCapturesXy(bool on) { m_capturesXy = on; }

    // The rows from the top that the column fills next: its first empty cell, or rowCount() when
    // every cell holds something.
    int firstEmptyRow(int column) const;
    // Puts the cell in place; a row of rowCount() appends a row of empty cells first.
    void setCell(int row, int column, Cell cell);
    // Removes the last row when it holds nothing.
    void dropEmptyLastRow();

    // Row r of every series, and putting such a row back (the rows below move down).
    [[nodiscard]] std::vector<Cell> removeRow(int row);
    void insertRow(int row, std::vector<Cell> cells);

    // Every row at once, the series and their titles staying; and putting them back.
    [[nodiscard]] std::vector<std::vector<Cell>> takeRows();
    void restoreRows(std::vector<std::vector<Cell>> cellsBySeries);

    void appendSeries(Series series);
    [[nodiscard]] Series removeLastSeries();
    void renameSeries(int column, const std::string& title, const std::optional<std::string>& label);

    // The whole of the series at once (a loaded file), and taking them out.
    [[nodiscard]] std::vector<Series> replaceSeries(std::vector<Series> series);

    // The index of a calibration equal to this one, appending it when there is none yet (the last
    // one is looked at first, as captures come in runs under one calibration).
    int internCalibration(const CaptureCalibration& calibration);
    int calibrationCount() const { return static_cast<int>(m_calibrations.size()); }
    const CaptureCalibration& calibration(int index) const;

    // The calibration the next capture is taken under, as the user last set it.
    const CaptureCalibration& currentCalibration() const { return m_current; }
    void setCurrentCalibration(const CaptureCalibration& calibration) { m_current = calibration; }

    // Cells that hold something.
    std::size_t filledCells() const { return m_filled; }
    // A digest of the titles and cells: equal contents give equal fingerprints, and a change
    // of a cell, a title or the shape changes it with near certainty. Kept up to date cell by
    // cell, so that a capture costs no pass over the table.
    std::uint64_t fingerprint() const;

private:
    void recount();
    std::uint64_t cellHash(int row, int column, const Cell& cell) const;

    std::vector<Series> m_series;
    int m_rows = 0;
    std::vector<CaptureCalibration> m_calibrations;
    CaptureCalibration m_current;
    std::size_t m_filled = 0;
    bool m_capturesXy = false;
    // The sum of the hashes of the filled cells; the titles and the shape enter fingerprint().
    std::uint64_t m_cellSum = 0;
    // Per series, a row above which every cell is filled (a lower bound of the first empty cell),
    // so that filling a long column does not scan it from the top each time.
    mutable std::vector<int> m_filledAbove;
};
