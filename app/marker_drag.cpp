#include "marker_drag.h"

#include "app_ids.h"
#include "data_table.h"
#include "diagram_markers.h"

#include "imaging/image.h"

#include <algorithm>

namespace {

struct Drag {
    bool active = false;
    int row = -1;
    int column = -1;
    // Where the button went down, and where the grabbed marker stood then: the marker keeps its
    // offset from the pointer, so grabbing it off centre does not make it jump.
    double pressX = 0;
    double pressY = 0;
    PixelPoint grabbedShown;
    // Whether the drag has its step in the history yet, and where that step put the point.
    bool stepTaken = false;
    PixelPoint movedTo;
};

Drag& drag()
{
    static Drag state;
    return state;
}

} // namespace

void startMarkerDrag(double x, double y)
{
    Drag& state = drag();
    state = Drag();
    if (!selectPointNear(x, y))
        return;
    const CaptureModel& model = captureModel();
    const Cell& cell = model.cell(selectedPointRow(), selectedPointColumn());
    state.active = true;
    state.row = selectedPointRow();
    state.column = selectedPointColumn();
    state.pressX = x;
    state.pressY = y;
    state.grabbedShown = model.calibration(cell.calibration).displayedPixel(cell.point);
}

void followMarkerDrag(double x, double y)
{
    Drag& state = drag();
    if (!state.active)
        return;
    const CaptureModel& model = captureModel();
    const bool inTable = state.row < model.rowCount() && state.column < model.columnCount();
    const Cell* cell = inTable ? &model.cell(state.row, state.column) : nullptr;
    // Something else changed the point meanwhile (a key, a menu command): the drag lets go of
    // it rather than take back a step that is not its own.
    if (!cell || cell->kind != CellKind::Captured
        || (state.stepTaken && !(cell->point.x == state.movedTo.x && cell->point.y == state.movedTo.y))) {
        state = Drag();
        return;
    }
    const double right = std::max(0, imagePixelWidth(IMAGE_DIAGRAM) - 1);
    const double bottom = std::max(0, imagePixelHeight(IMAGE_DIAGRAM) - 1);
    const PixelPoint shown { std::clamp(state.grabbedShown.x + x - state.pressX, 0.0, right),
        std::clamp(state.grabbedShown.y + y - state.pressY, 0.0, bottom) };
    const PixelPoint to = model.calibration(cell->calibration).picturePixel(shown);
    if (state.stepTaken && to.x == state.movedTo.x && to.y == state.movedTo.y)
        return;
    // The drag's one step is replaced by one that reaches the new place, so that Undo takes the
    // whole drag back at once.
    if (state.stepTaken)
        (void)undoChange();
    movePoint(state.row, state.column, to);
    state.stepTaken = true;
    state.movedTo = to;
}

void endMarkerDrag(double x, double y)
{
    followMarkerDrag(x, y);
    drag() = Drag();
}

bool markerDragActive()
{
    return drag().active;
}
