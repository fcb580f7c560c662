#pragma once

// The data table: a multi-column list (GADGET_TABLE) whose columns are data series, chosen in the
// column selector above it (GADGET_COLUMN_SELECT; item k names column k). Each capture writes
// one value into the first empty cell of the selected column. The table lives only in the
// gadgets of the main window.

// 1 while the table differs from what was last saved or loaded (with the main window's modified
// mark); see refreshDataModified.
extern int dataModified;
// The column whose name the open rename field edits.
extern int renameColumnIndex;
// Scratch value of the table commands: a row or a column count.
extern int columnCount;

// The number of columns of the table; 0 without a table.
int countTableColumns();

// Captures the chart value of the mouse row into the selected column (column 0 when none is
// selected). A value that is not finite is not stored; the height prompt asks for a usable
// calibration instead and the next click sets the height.
void captureValue();

// The value text into the first empty cell of the column, appending a row when there is none.
void storeInColumn(int column, const char* text);

// "Add Column": a column numbered after the others, selected in the selector.
void addColumn();
// "Remove Last Column": 1 when a column was removed (there were at least two), else 0.
int removeLastColumn();
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

// "Name Column": opens the rename field with the keyboard focus in it. Return in the open field
// confirms like the pen, Escape closes it unchanged.
void openRenameField();
void confirmRenameField();
void cancelRenameField();

// The unsaved mark follows one rule: the table is unsaved while it differs (values, rows,
// columns or titles) from what was last saved or loaded, or, before either, from the fresh table
// of its window; a table that never held a captured or loaded value is never unsaved. The event
// loop applies the rule after every command, so no command can forget it.
void refreshDataModified();
// The window's modified mark.
int isDataModified();
// The table was saved or loaded: it is what the file holds, nothing unsaved any more.
void clearDataModified();
// A new main window: its fresh table is the one to compare with, and it holds nothing yet.
void startDataTracking();

// Back to the values before start-up.
void resetDataTable();
