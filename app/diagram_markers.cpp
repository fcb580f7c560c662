#include "diagram_markers.h"

#include "app_ids.h"
#include "calibration.h"
#include "data_table.h"
#include "marker_layer.h"
#include "model/point_commands.h"

#include "imaging/image.h"
#include "imaging/pixel_buffer.h"
#include "toolkit/gadgets.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Markers {
    MarkerLayer layer;
    // The marker number of each cell, by column and row; -1 where no point is captured.
    std::vector<std::vector<int>> numbers;
    int selectedRow = -1;
    int selectedColumn = -1;
};

Markers& markers()
{
    static Markers state;
    return state;
}

int markerOfCell(int row, int column)
{
    const auto& numbers = markers().numbers;
    if (column < 0 || column >= static_cast<int>(numbers.size()))
        return -1;
    const auto& cells = numbers[static_cast<std::size_t>(column)];
    return row >= 0 && row < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(row)] : -1;
}

// The layer's picture must be the one the diagram image holds; a layer without one paints nothing.
void paintMarkers()
{
    MarkerLayer& layer = markers().layer;
    if (!layer.hasChanges() || layer.pictureWidth() == 0 || !imageExists(IMAGE_DIAGRAM))
        return;
    const std::shared_ptr<PixelBuffer> held = imagePixelBuffer(IMAGE_DIAGRAM);
    const std::shared_ptr<PixelBuffer> target = held ? imagePixelsForWriting(IMAGE_DIAGRAM, held) : nullptr;
    if (!target)
        return;
    const PixelRect painted
        = layer.paintChanges({ target->data(), target->width(), target->height(), target->stride() });
    if (painted.empty())
        return;
    renewImagePlatformImage(IMAGE_DIAGRAM, target.get());
    if (isGadget(GADGET_DIAGRAM))
        setGadgetState(GADGET_DIAGRAM, imagePlatformHandle(IMAGE_DIAGRAM));
    // The magnifier shows the diagram's pixels as they were when it was last drawn.
    forgetTrackedMouse();
}

// The marker of one cell as the model has it: added, moved or removed.
void showCellMarker(const CaptureModel& model, int row, int column, int& number)
{
    MarkerLayer& layer = markers().layer;
    const Cell& cell = model.cell(row, column);
    if (cell.kind != CellKind::Captured) {
        if (number >= 0)
            layer.removeMarker(number);
        number = -1;
        return;
    }
    const PixelPoint shown = model.calibration(cell.calibration).displayedPixel(cell.point);
    if (number < 0) {
        number = layer.addMarker(shown.x, shown.y, column);
        return;
    }
    const std::optional<Marker> marker = layer.marker(number);
    if (marker && (marker->x != shown.x || marker->y != shown.y))
        layer.moveMarker(number, shown.x, shown.y);
}

// After markers changed: a selected point that went selects none, and the changes are painted.
void finishMarkerChange()
{
    Markers& state = markers();
    const int selected = markerOfCell(state.selectedRow, state.selectedColumn);
    if (selected < 0)
        state.selectedRow = state.selectedColumn = -1;
    if (state.layer.selectedMarker() != selected)
        state.layer.selectMarker(selected);
    paintMarkers();
}

} // namespace

void startDiagramMarkers()
{
    Markers& state = markers();
    state.layer.removeAllMarkers();
    state.numbers.clear();
    state.selectedRow = state.selectedColumn = -1;
    const std::shared_ptr<PixelBuffer> picture = imagePixelBuffer(IMAGE_DIAGRAM);
    if (!picture
        || !state.layer.setPicture(picture->data(), picture->width(), picture->height(), picture->stride()))
        return;
    refreshDiagramMarkers();
}

void showMarkerChange(const ModelChange& change)
{
    if (change.kind == ModelChange::Kind::Cell)
        refreshDiagramMarkerOfCell(change.row, change.column);
    else if (change.kind != ModelChange::Kind::None)
        refreshDiagramMarkers();
}

void refreshDiagramMarkerOfCell(int row, int column)
{
    Markers& state = markers();
    const CaptureModel& model = captureModel();
    // A change of the table's shape needs the whole comparison.
    if (row < 0 || column < 0 || row >= model.rowCount() || column >= model.columnCount()
        || state.numbers.size() != static_cast<std::size_t>(model.columnCount())) {
        refreshDiagramMarkers();
        return;
    }
    auto& cells = state.numbers[static_cast<std::size_t>(column)];
    if (cells.size() <= static_cast<std::size_t>(row))
        cells.resize(static_cast<std::size_t>(row) + 1, -1);
    showCellMarker(model, row, column, cells[static_cast<std::size_t>(row)]);
    finishMarkerChange();
}

void refreshDiagramMarkers()
{
    Markers& state = markers();
    MarkerLayer& layer = state.layer;
    const CaptureModel& model = captureModel();
    const auto columns = static_cast<std::size_t>(model.columnCount());
    const auto rows = static_cast<std::size_t>(model.rowCount());
    // Markers of cells that are gone: columns removed, rows removed.
    for (std::size_t column = 0; column < state.numbers.size(); ++column) {
        auto& cells = state.numbers[column];
        for (std::size_t row = column < columns ? rows : 0; row < cells.size(); ++row) {
            if (cells[row] >= 0)
                layer.removeMarker(cells[row]);
        }
        cells.resize(column < columns ? std::min(cells.size(), rows) : 0);
    }
    state.numbers.resize(columns);
    for (std::size_t column = 0; column < columns; ++column) {
        auto& cells = state.numbers[column];
        cells.resize(rows, -1);
        for (std::size_t row = 0; row < rows; ++row)
            showCellMarker(model, static_cast<int>(row), static_cast<int>(column), cells[row]);
    }
    finishMarkerChange();
}

int selectedPointRow()
{
    return markers().selectedRow;
}

int selectedPointColumn()
{
    return markers().selectedColumn;
}

void selectPoint(int row, int column)
{
    Markers& state = markers();
    const int number = markerOfCell(row, column);
    state.selectedRow = number < 0 ? -1 : row;
    state.selectedColumn = number < 0 ? -1 : column;
    if (state.layer.selectedMarker() != number)
        state.layer.selectMarker(number);
    // The table shows the selected point's row selected.
    if (number >= 0 && isGadget(GADGET_TABLE) && static_cast<int>(getGadgetState(GADGET_TABLE)) != row)
        setGadgetState(GADGET_TABLE, row);
    paintMarkers();
}

void selectPointOfTableRow(int row, int preferredColumn)
{
    if (markerOfCell(row, preferredColumn) >= 0) {
        selectPoint(row, preferredColumn);
        return;
    }
    const int columns = static_cast<int>(markers().numbers.size());
    for (int column = 0; column < columns; ++column) {
        if (markerOfCell(row, column) >= 0) {
            selectPoint(row, column);
            return;
        }
    }
    selectPoint(-1, -1);
}

void toggleMarkersShown()
{
    MarkerLayer& layer = markers().layer;
    layer.showMarkers(!layer.markersShown());
    paintMarkers();
}

bool markersShown()
{
    return markers().layer.markersShown();
}

void moveSelectedPoint(int dx, int dy)
{
    const Markers& state = markers();
    if (state.selectedRow < 0)
        return;
    const CaptureModel& model = captureModel();
    const Cell& cell = model.cell(state.selectedRow, state.selectedColumn);
    if (cell.kind != CellKind::Captured)
        return;
    movePoint(state.selectedRow, state.selectedColumn, { cell.point.x + dx, cell.point.y + dy });
}

void deleteSelectedPoint()
{
    const Markers& state = markers();
    if (state.selectedRow >= 0)
        deletePoint(state.selectedRow, state.selectedColumn);
}

bool selectPointNear(double x, double y)
{
    // About the size of a marker: near enough to aim at with the mouse, small enough that a click
    // between two neighbouring points still tells them apart by distance.
    constexpr double PICK_RADIUS = 5.0;
    const Markers& state = markers();
    // A hidden marker cannot be aimed at.
    if (!state.layer.markersShown())
        return false;
    const int number = state.layer.markerNear(x, y, PICK_RADIUS);
    if (number < 0)
        return false;
    for (std::size_t column = 0; column < state.numbers.size(); ++column) {
        const auto& cells = state.numbers[column];
        for (std::size_t row = 0; row < cells.size(); ++row) {
            if (cells[row] == number) {
                selectPoint(static_cast<int>(row), static_cast<int>(column));
                return true;
            }
        }
    }
    return false;
}

void showDiagramFrame(int left, int top, int right, int bottom)
{
    const int x = std::min(left, right);
    const int y = std::min(top, bottom);
    markers().layer.setFrame(
        PixelRect { x, y, std::max(left, right) - x + 1, std::max(top, bottom) - y + 1 });
    paintMarkers();
}

void hideDiagramFrame()
{
    if (!markers().layer.frame())
        return;
    markers().layer.setFrame(std::nullopt);
    paintMarkers();
}

std::shared_ptr<const PixelBuffer> diagramPictureWithoutMarkers()
{
    return markers().layer.picture();
}

void resetDiagramMarkers()
{
    Markers& state = markers();
    state.layer = MarkerLayer();
    state.numbers.clear();
    state.selectedRow = state.selectedColumn = -1;
}
