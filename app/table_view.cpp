#include "table_view.h"

#include "app_ids.h"
#include "app_menus.h"
#include "main_window_layout.h"
#include "translations.h"
#include "xy_table.h"

#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"

#include <algorithm>
#include <string>

namespace {

// A row is added as one text with a line per cell; a cell that holds a line break of its own is
// set by itself afterwards, so that its break stays inside it.
void addRow(const CaptureModel& model, int row, std::string& line)
{
    line.clear();
    bool hasBreaks = false;
    const int columns = shownColumnCount(model);
    for (int column = 0; column < columns; ++column) {
        const std::string cell = shownCellText(model, row, column);
        if (cell.find('\n') == std::string::npos)
            line += cell;
        else
            hasBreaks = true;
        line += '\n';
    }
    addGadgetItem(GADGET_TABLE, -1, line.c_str());
    if (!hasBreaks)
        return;
    for (int column = 0; column < columns; ++column) {
        const std::string cell = shownCellText(model, row, column);
        if (cell.find('\n') != std::string::npos)
            setGadgetItemText(GADGET_TABLE, row, cell.c_str(), column);
    }
}

void showRowsFrom(const CaptureModel& model, int firstRow)
{
    // Rows above firstRow are as the model holds them; removing the rest one by one would cost
    // more than clearing all for most of a long table.
    const int shown = countGadgetItems(GADGET_TABLE);
    if (firstRow <= 0 || firstRow * 2 < shown) {
        clearGadgetItems(GADGET_TABLE);
        firstRow = 0;
    } else {
        for (int row = shown - 1; row >= firstRow; --row)
            removeGadgetItem(GADGET_TABLE, row);
    }
    std::string line;
    for (int row = firstRow; row < model.rowCount(); ++row)
        addRow(model, row, line);
}

void showCell(const CaptureModel& model, int row, int column)
{
    if (row >= countGadgetItems(GADGET_TABLE)) {
        std::string line;
        addRow(model, row, line);
        return;
    }
    const int first = firstShownColumn(model, column);
    for (int shown = first; shown < firstShownColumn(model, column + 1); ++shown)
        setGadgetItemText(GADGET_TABLE, row, shownCellText(model, row, shown).c_str(), shown);
}

void showTitle(const CaptureModel& model, int column)
{
    setGadgetItemText(GADGET_COLUMN_SELECT, column, columnLabel(model, column).c_str());
    for (int shown = firstShownColumn(model, column); shown < firstShownColumn(model, column + 1); ++shown)
        setGadgetItemText(GADGET_TABLE, -1, shownTitle(model, shown).c_str(), shown);
}

} // namespace

std::string columnLabel(const CaptureModel& model, int column)
{
    const Series& series = model.series(column);
    if (series.label)
        return *series.label;
    return WorkText(translate("Column "), column + 1).c_str();
}

void showWholeModel(const CaptureModel& model, int selectColumn)
{
    if (!isGadget(GADGET_TABLE))
        return;
    const int selected = static_cast<int>(getGadgetState(GADGET_COLUMN_SELECT));
    clearGadgetItems(GADGET_TABLE);
    for (int column = countGadgetColumns(GADGET_TABLE) - 1; column > 0; --column)
        removeGadgetColumn(GADGET_TABLE, column);
    setGadgetItemText(GADGET_TABLE, -1, shownTitle(model, 0).c_str(), 0);
    for (int shown = 1; shown < shownColumnCount(model); ++shown)
        addGadgetColumn(GADGET_TABLE, -1, shownTitle(model, shown).c_str(), TABLE_COLUMN_WIDTH);
    // The selector names series: a capture goes into a series whether it shows one column or two.
    clearGadgetItems(GADGET_COLUMN_SELECT);
    for (int column = 0; column < model.columnCount(); ++column)
        addGadgetItem(GADGET_COLUMN_SELECT, -1, columnLabel(model, column).c_str());
    if (selectColumn < 0)
        selectColumn = std::clamp(selected, 0, model.columnCount() - 1);
    setGadgetState(GADGET_COLUMN_SELECT, selectColumn);
    showRowsFrom(model, 0);
    buildMenus();
}

void showModelChange(const CaptureModel& model, const ModelChange& change)
{
    if (!isGadget(GADGET_TABLE))
        return;
    using Kind = ModelChange::Kind;
    switch (change.kind) {
    case Kind::Cell:
        showCell(model, change.row, change.column);
        break;
    case Kind::RowRemoved:
        if (change.row >= 0 && change.row < countGadgetItems(GADGET_TABLE))
            removeGadgetItem(GADGET_TABLE, change.row);
        break;
    case Kind::Rows:
        showRowsFrom(model, change.row);
        break;
    case Kind::Titles:
        showTitle(model, change.column);
        break;
    case Kind::Whole:
        showWholeModel(model, change.column);
        break;
    case Kind::None:
    case Kind::Calibration:
        break;
    }
}
