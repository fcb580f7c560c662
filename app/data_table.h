#pragma once

#include "model/capture_model.h"
#include "model/model_command.h"

// The data table: the captured data of the diagram shown (a capture model with its history) and
// the commands that change it. The table gadget (GADGET_TABLE) and the column selector above it
// (GADGET_COLUMN_SELECT; item k names column k) show the model. Each capture puts one point into
// the first empty cell of the selected column.

// 1 while the table differs from what was last saved or loaded (with the main window's modified
// mark); see refreshDataModified.
extern int dataModified;
// The column whose name the open rename field edits.
extern int renameColumnIndex;
// Scratch value of the table commands: a row or a column count.
extern int columnCount;

// The number of columns of the table; 0 without a table.
int countTableColumns();

// Told of every change of the data after the table showed it: the one other view of the data
// (the markers on the diagram) follows it this way.
using ModelChangeListener = void (*)(const ModelChange& change);
void setModelChangeListener(ModelChangeListener listener);

// The captured data as it stands.
const CaptureModel& captureModel();

// Undo and Redo of the last change of the data (calibrations included): what kind of change was
// undone or redone, None when there was nothing to do. After a Calibration the model's current
// calibration is the one to show.
ModelChange::Kind undoChange();
ModelChange::Kind redoChange();
bool canUndoChange();
bool canRedoChange();

// The calibration the next capture is taken under changed from before to after: a change that
// Undo takes back.
void recordCalibration(const CaptureCalibration& before, const CaptureCalibration& after);

// "Apply Calibration to Column": the selected column's points are taken under the calibration.
void applyCalibrationToColumn(const CaptureCalibration& calibration);

// Captures the point clicked at the displayed pixel (x, y) under the calibration into the
// selected column (column 0 when none is selected), and shows its value. false, with nothing
// stored, when the calibration gives the point no finite value. A table that holds as many cells
// as it can takes nothing and says so in the status bar.
[[nodiscard]] bool captureValue(double x, double y, const CaptureCalibration& calibration);

// Whether count more points fit into the selected column without taking the table past the
// MAX_CSV_CELLS cells (rows times columns) that a file or a project brings back.
[[nodiscard]] bool tableHasRoomForPoints(std::size_t count);

// "Add Column": a column numbered after the others, selected in the selector. false, with
// nothing changed, when the table holds MAX_CSV_COLUMNS columns already or another column would
// take it past MAX_CSV_CELLS cells.
[[nodiscard]] bool addColumn();
// "Remove Last Column": true when a column was removed (there were at least two).
bool removeLastColumn();
// "Empty Table": every row goes; the columns stay.
void emptyTable();
// Option D: the selected row goes, the rows below move up.
void deleteSelectedRow();

// The pen button: opens the rename field with the selected column's name, or puts the typed name
// on that column and closes the field.
void toggleRenameField();
// 1 while the rename field is shown in place of the selector.
int renameFieldOpen();

// The table as it stands, and replacing it whole (columns, selector items, rows), as a file
// gives it.
struct TableData;
TableData currentTable();
void replaceTable(const TableData& table);

// "Capture X and Y": whether each point shows and saves its x value beside its y value, and
// switching it (a change that Undo takes back; the cells keep both values either way).
bool capturesXy();
void toggleCaptureXy();

// "Name Column": opens the rename field with the keyboard focus in it. Return in the open field
// confirms like the pen, Escape closes it unchanged.
void openRenameField();
void confirmRenameField();
void cancelRenameField();

// The unsaved mark follows one rule: the table is unsaved while its history stands elsewhere
// than at the last save or load and it differs (values, rows, columns or titles) from what it was
// there, or, before either, from the fresh table of its window; a table that never held a
// captured or loaded value is never unsaved. Every change of the data applies the rule.
void refreshDataModified();
// The window's modified mark.
int isDataModified();
// The table was saved or loaded: it is what the file holds, nothing unsaved any more.
void clearDataModified();
// The table came back from the autosaved session: no file the user chose holds it, so it is
// unsaved once it holds a value.
void markDataNeverSaved();
// A new main window: a fresh model and history, the calibration given current; it holds nothing
// yet.
void startDataTracking(const CaptureCalibration& calibration);

// An opened project: its model becomes the window's data with a fresh history, nothing unsaved,
// the table, the selector (selecting the column given) and the markers showing it.
void startDataTrackingWith(CaptureModel model, int selectColumn);

// The captured point of the cell moves to another picture pixel, or goes (the cells below it in
// its column move up): each one change that Undo takes back.
void movePoint(int row, int column, PixelPoint to);
void deletePoint(int row, int column);

// Back to the values before start-up.
void resetDataTable();

// The points an extraction found (picture pixels) into the selected column's first empty cells
// under the calibration: one change that Undo takes back.
void addExtractedPoints(std::vector<PixelPoint> points, const CaptureCalibration& calibration);
