#include "data_table.h"

#include "app_ids.h"
#include "app_menus.h"
#include "calibration.h"
#include "chart_transform.h"
#include "main_window_layout.h"
#include "status_prompt.h"
#include "translations.h"

#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/window.h"

#include <cmath>

int dataModified = 0;
int renameColumnIndex = 0;
int columnCount = 0;

namespace {

void addSelectorItem(int columnNumber)
{
    const WorkText name(translate("Column "), columnNumber);
    addGadgetItem(GADGET_COLUMN_SELECT, -1, name);
    setGadgetText(GADGET_COLUMN_SELECT, name);
}

} // namespace

int countTableColumns()
{
    return isGadget(GADGET_TABLE) ? countGadgetColumns(GADGET_TABLE) : 0;
}

void storeInColumn(int column, const char* text)
{
    const int rows = countGadgetItems(GADGET_TABLE);
    for (int row = 0; row < rows; ++row) {
        if (getGadgetItemText(GADGET_TABLE, row, column).isEmpty()) {
            setGadgetItemText(GADGET_TABLE, row, text, column);
            return;
        }
    }
    if (column == 0) {
        addGadgetItem(GADGET_TABLE, -1, text);
    } else {
        addGadgetItem(GADGET_TABLE, -1, "");
        setGadgetItemText(GADGET_TABLE, rows, text, column);
    }
}

void captureValue()
{
    int column = static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT));
    if (column < 0)
        column = 0;
    const double value = chartValue(heightReference, spanHeight, originY, mouseY);
    if (!std::isfinite(value)) {
        // The height end lies on the origin's row, or the numbers overflow: nothing sensible to
        // store until the height is set again.
        setStatus(translate("Please click for setting the Height of Dataarea."), translate("Set Height of Dataarea"));
        return;
    }
    const String text = valueText(value);
    storeInColumn(column, text);
    setGadgetText(GADGET_MESSAGE, "");
    showResult(text);
    markDataModified();
}

void addColumn()
{
    columnCount = countTableColumns();
    addGadgetColumn(GADGET_TABLE, columnCount, WorkText(columnCount + 1), TABLE_COLUMN_WIDTH);
    addSelectorItem(columnCount + 1);
    buildMenus();
}

int removeLastColumn()
{
    columnCount = countTableColumns();
    if (columnCount <= 1)
        return 0;
    removeGadgetColumn(GADGET_TABLE, columnCount - 1);
    removeGadgetItem(GADGET_COLUMN_SELECT, columnCount - 1);
    buildMenus();
    return 1;
}

void emptyTable()
{
    clearGadgetItems(GADGET_TABLE);
}

void deleteSelectedRow()
{
    columnCount = static_cast<int>(getGadgetState(GADGET_TABLE));
    if (columnCount != -1)
        removeGadgetItem(GADGET_TABLE, columnCount);
}

int renameFieldOpen()
{
    return isGadget(GADGET_COLUMN_SELECT) && gadgetY(GADGET_COLUMN_SELECT) != COLUMN_FIELD_SHOWN_Y;
}

void toggleRenameField()
{
    if (!renameFieldOpen()) {
        setGadgetText(GADGET_COLUMN_NAME, getGadgetText(GADGET_COLUMN_SELECT));
        renameColumnIndex = static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT));
        resizeGadget(GADGET_COLUMN_SELECT, IGNORE_VALUE, COLUMN_FIELD_PARKED_Y, IGNORE_VALUE, IGNORE_VALUE);
        resizeGadget(GADGET_COLUMN_NAME, IGNORE_VALUE, COLUMN_FIELD_SHOWN_Y, IGNORE_VALUE, IGNORE_VALUE);
        return;
    }
    resizeGadget(GADGET_COLUMN_SELECT, IGNORE_VALUE, COLUMN_FIELD_SHOWN_Y, IGNORE_VALUE, IGNORE_VALUE);
    resizeGadget(GADGET_COLUMN_NAME, IGNORE_VALUE, COLUMN_FIELD_PARKED_Y, IGNORE_VALUE, IGNORE_VALUE);
    // The column may have gone while the field was open (Remove Last Column); then the name has
    // nowhere to go.
    if (renameColumnIndex < 0 || renameColumnIndex >= countTableColumns())
        return;
    const String name = getGadgetText(GADGET_COLUMN_NAME);
    setGadgetItemText(GADGET_COLUMN_SELECT, renameColumnIndex, name);
    setGadgetItemText(GADGET_TABLE, -1, name, renameColumnIndex);
}

void markDataModified()
{
    setWindowModified(WINDOW_MAIN, 1);
    dataModified = 1;
}

int isDataModified()
{
    return isWindowModified(WINDOW_MAIN);
}

void resetDataTable()
{
    dataModified = 0;
    renameColumnIndex = 0;
    columnCount = 0;
}
