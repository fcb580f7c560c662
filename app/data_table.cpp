#include "data_table.h"

#include "app_ids.h"
#include "app_menus.h"
#include "calibration.h"
#include "chart_transform.h"
#include "csv_table.h"
#include "main_window_layout.h"
#include "status_prompt.h"
#include "translations.h"

#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/window.h"

#include <cmath>
#include <cstdint>
#include <string>

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
        // store until the height is set again, so the next click sets it, as the prompt says.
        clickMode = CLICK_HEIGHT;
        setStatus(translate("Please click for setting the Height of Dataarea."),
            translate("Set Height of Dataarea"));
        return;
    }
    const String text = valueText(value);
    storeInColumn(column, text);
    setGadgetText(GADGET_MESSAGE, "");
    showResult(text);
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
    const String name = getGadgetText(GADGET_COLUMN_NAME);
    setGadgetItemText(GADGET_COLUMN_SELECT, renameColumnIndex, name);
    setGadgetItemText(GADGET_TABLE, -1, name, renameColumnIndex);
}

TableData currentTable()
{
    TableData table;
    const int columns = countTableColumns();
    for (int column = 0; column < columns; ++column)
        table.titles.push_back(getGadgetItemText(GADGET_TABLE, -1, column).c_str());
    const int rows = countGadgetItems(GADGET_TABLE);
    table.rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        auto& cells = table.rows.emplace_back();
        for (int column = 0; column < columns; ++column)
            cells.push_back(getGadgetItemText(GADGET_TABLE, row, column).c_str());
    }
    return table;
}

void replaceTable(const TableData& table)
{
    if (!isGadget(GADGET_TABLE) || table.titles.empty())
        return;
    if (renameFieldOpen())
        hideRenameField();
    clearGadgetItems(GADGET_TABLE);
    for (int column = countTableColumns() - 1; column > 0; --column)
        removeGadgetColumn(GADGET_TABLE, column);
    setGadgetItemText(GADGET_TABLE, -1, table.titles[0].c_str(), 0);
    clearGadgetItems(GADGET_COLUMN_SELECT);
    for (std::size_t column = 0; column < table.titles.size(); ++column) {
        if (column > 0)
            addGadgetColumn(GADGET_TABLE, -1, table.titles[column].c_str(), TABLE_COLUMN_WIDTH);
        addGadgetItem(GADGET_COLUMN_SELECT, -1, table.titles[column].c_str());
    }
    setGadgetState(GADGET_COLUMN_SELECT, 0);
    // A row is added as one text with a line per cell; a cell that holds a line break of its
    // own is set by itself afterwards, so that its break stays inside it.
    std::string line;
    const int columns = static_cast<int>(table.titles.size());
    for (const auto& cells : table.rows) {
        line.clear();
        bool hasBreaks = false;
        for (const std::string& cell : cells) {
            if (cell.find('\n') == std::string::npos)
                line += cell;
            else
                hasBreaks = true;
            line += '\n';
        }
        addGadgetItem(GADGET_TABLE, -1, line.c_str());
        if (!hasBreaks)
            continue;
        const int row = countGadgetItems(GADGET_TABLE) - 1;
        for (int column = 0; column < columns && column < static_cast<int>(cells.size()); ++column) {
            const std::string& cell = cells[static_cast<std::size_t>(column)];
            if (cell.find('\n') != std::string::npos)
                setGadgetItemText(GADGET_TABLE, row, cell.c_str(), column);
        }
    }
    buildMenus();
}

namespace {

// What the table was when it was last saved or loaded (or its window opened), as a fingerprint:
// a copy of a large table would double its memory for a comparison that a 64-bit hash serves.
std::uint64_t g_savedFingerprint = 0;
// 1 once the table held a captured or loaded value, or was saved.
int g_tableHeldData = 0;

constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ull;
constexpr std::uint64_t FNV_PRIME = 1099511628211ull;

// Each text goes in with its length, so that moving text between neighbouring cells changes
// the fingerprint.
void addToFingerprint(std::uint64_t& hash, const std::string& text)
{
    auto add = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= FNV_PRIME;
    };
    for (std::size_t length = text.size(), i = 0; i < sizeof length; ++i)
        add(static_cast<unsigned char>(length >> (8 * i)));
    for (const char c : text)
        add(static_cast<unsigned char>(c));
}

struct TableLook {
    std::uint64_t fingerprint = FNV_OFFSET;
    bool hasValue = false;
};

TableLook lookAtTable()
{
    const TableData table = currentTable();
    TableLook look;
    addToFingerprint(look.fingerprint, std::to_string(table.titles.size()));
    for (const std::string& title : table.titles)
        addToFingerprint(look.fingerprint, title);
    for (const auto& cells : table.rows) {
        for (const std::string& cell : cells) {
            addToFingerprint(look.fingerprint, cell);
            look.hasValue = look.hasValue || !cell.empty();
        }
    }
    return look;
}

void setDataModified(int modified)
{
    setWindowModified(WINDOW_MAIN, modified);
    dataModified = modified;
}

} // namespace

void refreshDataModified()
{
    if (!isGadget(GADGET_TABLE))
        return;
    const TableLook look = lookAtTable();
    if (look.hasValue)
        g_tableHeldData = 1;
    setDataModified(g_tableHeldData == 1 && look.fingerprint != g_savedFingerprint ? 1 : 0);
}

int isDataModified()
{
    return isWindowModified(WINDOW_MAIN);
}

void clearDataModified()
{
    g_savedFingerprint = lookAtTable().fingerprint;
    g_tableHeldData = 1;
    setDataModified(0);
}

void startDataTracking()
{
    g_savedFingerprint = lookAtTable().fingerprint;
    g_tableHeldData = 0;
    setDataModified(0);
}

void resetDataTable()
{
    dataModified = 0;
    g_savedFingerprint = 0;
    g_tableHeldData = 0;
    renameColumnIndex = 0;
    columnCount = 0;
}
