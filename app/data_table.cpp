#include "data_table.h"

#include "app_ids.h"
#include "csv_table.h"
#include "extraction/extracted_points_command.h"
#include "main_window_layout.h"
#include "model/capture_document.h"
#include "model/point_commands.h"
#include "status_prompt.h"
#include "table_view.h"
#include "translations.h"
#include "xy_table.h"

#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/window.h"

#include <algorithm>
#include <cmath>
#include <string>

int dataModified = 0;
int renameColumnIndex = 0;
int columnCount = 0;

namespace {

// The data of the diagram shown; a new main window starts a new one.
CaptureDocument g_document;
// Whoever else shows the data (the markers on the diagram).
ModelChangeListener g_listener = nullptr;

void setDataModified(int modified)
{
    setWindowModified(WINDOW_MAIN, modified);
    dataModified = modified;
}

// The one way the data changes: the model applies the command, the table shows what changed,
// and the unsaved mark follows.
ModelChange showChange(const ModelChange& change)
{
    showModelChange(g_document.model(), change);
    if (g_listener && change.kind != ModelChange::Kind::None)
        g_listener(change);
    refreshDataModified();
    return change;
}

ModelChange runCommand(std::unique_ptr<ModelCommand> command)
{
    return showChange(g_document.run(std::move(command)));
}

int selectedColumn()
{
    const int column = static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT));
    return column < 0 ? 0 : column;
}

// The rows the table has once count more points go into the column: they fill its empty cells
// from its first one down before rows are added.
std::size_t rowsAfterAdding(const CaptureModel& model, int column, std::size_t count)
{
    const auto rows = static_cast<std::size_t>(model.rowCount());
    std::size_t empty = 0;
    if (column >= 0 && column < model.columnCount())
        for (int row = model.firstEmptyRow(column); row < model.rowCount() && empty < count; ++row)
            empty += model.cell(row, column).isEmpty() ? 1 : 0;
    return rows + (count - empty);
}

} // namespace

bool tableHasRoomForPoints(std::size_t count)
{
    const CaptureModel& model = g_document.model();
    const auto columns = static_cast<std::size_t>(std::max(model.columnCount(), 1));
    // Far from the limit, as nearly always, the column's empty cells need not be counted.
    if ((static_cast<std::size_t>(model.rowCount()) + count) * columns <= MAX_CSV_CELLS)
        return true;
    return rowsAfterAdding(model, selectedColumn(), count) * columns <= MAX_CSV_CELLS;
}

int countTableColumns()
{
    return isGadget(GADGET_TABLE) ? g_document.model().columnCount() : 0;
}

const CaptureModel& captureModel()
{
    return g_document.model();
}

ModelChange::Kind undoChange()
{
    return showChange(g_document.undo()).kind;
}

ModelChange::Kind redoChange()
{
    return showChange(g_document.redo()).kind;
}

bool canUndoChange()
{
    return g_document.canUndo();
}

bool canRedoChange()
{
    return g_document.canRedo();
}

void recordCalibration(const CaptureCalibration& before, const CaptureCalibration& after)
{
    if (!(before == after))
        runCommand(setCalibrationCommand(before, after));
}

void applyCalibrationToColumn(const CaptureCalibration& calibration)
{
    runCommand(applyCalibrationCommand(selectedColumn(), calibration));
}

bool captureValue(double x, double y, const CaptureCalibration& calibration)
{
    const PixelPoint point = calibration.picturePixel({ x, y });
    const String text = calibration.valueText(point).c_str();
    if (text.isEmpty())
        return false;
    if (!tableHasRoomForPoints(1)) {
        showNotice(translate("The table holds 1,000,000 cells, as many as it can."));
        return true;
    }
    runCommand(captureCommand(selectedColumn(), point, calibration));
    setGadgetText(GADGET_MESSAGE, "");
    showResult(text);
    return true;
}

bool addColumn()
{
    columnCount = countTableColumns();
    // No file or project could bring a wider or larger table back.
    if (columnCount >= static_cast<int>(MAX_CSV_COLUMNS)
        || static_cast<std::size_t>(g_document.model().rowCount()) * static_cast<std::size_t>(columnCount + 1)
            > MAX_CSV_CELLS)
        return false;
    runCommand(addColumnCommand(std::to_string(columnCount + 1)));
    return true;
}

bool removeLastColumn()
{
    columnCount = countTableColumns();
    if (columnCount <= 1)
        return false;
    runCommand(removeLastColumnCommand());
    return true;
}

void emptyTable()
{
    runCommand(emptyTableCommand());
}

void deleteSelectedRow()
{
    columnCount = static_cast<int>(getGadgetState(GADGET_TABLE));
    if (columnCount != -1)
        runCommand(deleteRowCommand(columnCount));
}

int renameFieldOpen()
{
    return isGadget(GADGET_COLUMN_SELECT) && gadgetY(GADGET_COLUMN_SELECT) != COLUMN_FIELD_SHOWN_Y;
}

namespace {

void showRenameField()
{
    setGadgetText(GADGET_COLUMN_NAME, getGadgetText(GADGET_COLUMN_SELECT));
    renameColumnIndex = static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT));
    resizeGadget(GADGET_COLUMN_SELECT, IGNORE_VALUE, COLUMN_FIELD_PARKED_Y, IGNORE_VALUE, IGNORE_VALUE);
    resizeGadget(GADGET_COLUMN_NAME, IGNORE_VALUE, COLUMN_FIELD_SHOWN_Y, IGNORE_VALUE, IGNORE_VALUE);
}

void hideRenameField()
{
    resizeGadget(GADGET_COLUMN_SELECT, IGNORE_VALUE, COLUMN_FIELD_SHOWN_Y, IGNORE_VALUE, IGNORE_VALUE);
    resizeGadget(GADGET_COLUMN_NAME, IGNORE_VALUE, COLUMN_FIELD_PARKED_Y, IGNORE_VALUE, IGNORE_VALUE);
}

} // namespace

void openRenameField()
{
    if (!renameFieldOpen())
        showRenameField();
    setActiveGadget(GADGET_COLUMN_NAME);
}

void confirmRenameField()
{
    if (renameFieldOpen())
        toggleRenameField();
}

void cancelRenameField()
{
    if (renameFieldOpen())
        hideRenameField();
}

void toggleRenameField()
{
    if (!renameFieldOpen()) {
        showRenameField();
        return;
    }
    hideRenameField();
    // The column may have gone while the field was open (Remove Last Column); then the name has
    // nowhere to go.
    if (renameColumnIndex < 0 || renameColumnIndex >= countTableColumns())
        return;
    runCommand(renameColumnCommand(renameColumnIndex, getGadgetText(GADGET_COLUMN_NAME).c_str()));
}

TableData currentTable()
{
    return tableOf(g_document.model());
}

void replaceTable(const TableData& table)
{
    if (!isGadget(GADGET_TABLE) || table.titles.empty())
        return;
    if (renameFieldOpen())
        hideRenameField();
    if (auto series = pairSeriesTitles(table.titles)) {
        runCommand(replacePairTableCommand(std::move(*series), table.rows));
        return;
    }
    runCommand(replaceTableCommand(table.titles, table.rows));
}

bool capturesXy()
{
    return g_document.model().capturesXy();
}

void toggleCaptureXy()
{
    if (isGadget(GADGET_TABLE))
        runCommand(setCapturesXyCommand(!capturesXy()));
}

void refreshDataModified()
{
    if (!isGadget(GADGET_TABLE))
        return;
    setDataModified(g_document.isUnsaved() ? 1 : 0);
}

int isDataModified()
{
    return isWindowModified(WINDOW_MAIN);
}

void clearDataModified()
{
    g_document.markSaved();
    setDataModified(0);
}

void markDataNeverSaved()
{
    g_document.markNeverSaved();
    refreshDataModified();
}

void startDataTracking(const CaptureCalibration& calibration)
{
    g_document = CaptureDocument();
    g_document.startWith(calibration);
    setDataModified(0);
}

void startDataTrackingWith(CaptureModel model, int selectColumn)
{
    g_document.startWith(std::move(model));
    showWholeModel(g_document.model(), selectColumn);
    if (g_listener)
        g_listener(ModelChange { ModelChange::Kind::Whole });
    setDataModified(0);
}

void movePoint(int row, int column, PixelPoint to)
{
    runCommand(movePointCommand(row, column, to));
}

void deletePoint(int row, int column)
{
    runCommand(deletePointCommand(row, column));
}

void resetDataTable()
{
    dataModified = 0;
    g_document = CaptureDocument();
    renameColumnIndex = 0;
    columnCount = 0;
    g_listener = nullptr;
}

void setModelChangeListener(ModelChangeListener listener)
{
    g_listener = listener;
}

void addExtractedPoints(std::vector<PixelPoint> points, const CaptureCalibration& calibration)
{
    runCommand(extractedPointsCommand(selectedColumn(), std::move(points), calibration));
}
