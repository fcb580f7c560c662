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
#include <vector>

namespace {

// The text of a row as the list takes it: a line per cell. Cells that hold a line break of their
// own are left empty here and set by themselves afterwards, so that the break stays inside them;
// true when the row has such a cell.
bool rowLines(const CaptureModel& model, int row, std::string& line)
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
    return hasBreaks;
}

void setCellsWithBreaks(const CaptureModel& model, int row)
{
    for (int column = 0; column < shownColumnCount(model); ++column) {
        const std::string cell = shownCellText(model, row, column);
        if (cell.find('\n') != std::string::npos)
            setGadgetItemText(GADGET_TABLE, row, cell.c_str(), column);
    }
}

void addRow(const CaptureModel& model, int row, std::string& line)
{
    const bool hasBreaks = rowLines(model, row, line);
    addGadgetItem(GADGET_TABLE, -1, line.c_str());
    if (hasBreaks)
        setCellsWithBreaks(model, row);
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
    // All rows go to the list in one step: one at a time, the list's view would take each in.
    const int rows = model.rowCount() - firstRow;
    if (rows <= 0)
        return;
    std::vector<std::string> lines(static_cast<std::size_t>(rows));
    std::vector<int> rowsWithBreaks;
    for (int row = firstRow; row < model.rowCount(); ++row) {
        if (rowLines(model, row, lines[static_cast<std::size_t>(row - firstRow)]))
            rowsWithBreaks.push_back(row);
    }
    std::vector<const char*> texts;
    texts.reserve(lines.size());
    for (const std::string& line : lines)
        texts.push_back(line.c_str());
    addGadgetItems(GADGET_TABLE, texts.data(), rows);
    for (const int row : rowsWithBreaks)
        setCellsWithBreaks(model, row);
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
