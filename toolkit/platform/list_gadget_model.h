#pragma once

#include "imaging/platform_image.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The rows and columns of a list gadget, as the Qt view reads them.
//
// Each row holds its cells, an optional image (one reference held) and a check state. A row's
// text as the application gives it carries all its cells, one per line (list_row_text.h); a cell
// set on its own may hold line breaks of its own, which stay in it and show as a mark. Columns are text
// columns: column 0 is the first text column. An optional checkbox column and an image column (added by the
// first row that brings an image) stand left of the text columns in the view and are not counted;
// viewColumn() maps a text column to the view's column.
class ListGadgetModel final : public QAbstractTableModel {
public:
    // Runs when the user toggles a row's checkbox.
    using CheckToggled = std::function<void()>;

    ListGadgetModel(bool checkboxes, CheckToggled onCheckToggled);

    int rows() const { return static_cast<int>(m_rows.size()); }
    // The row's cells, each followed by a line feed.
    std::string rowText(int row) const;
    // The cell's text; empty where the row has no such cell.
    std::string_view cell(int row, int column) const;
    // Replaces all cells of the row by the lines of text.
    void setRowText(int row, std::string_view text);
    // Sets one cell, the text kept whole; the row then has exactly `columns` cells.
    void setCell(int row, int columns, int column, std::string text);
    // Inserts before `row` (rows() appends). Returns true when the row brought the first image,
    // so that the image column was added.
    bool insertRow(int row, std::string_view text, Handle image);
    // Appends rows of text in one insertion, which the view lays out once.
    void appendRows(const char* const* texts, int count);
    void removeRowAt(int row);
    void removeAllRows();
    int checkState(int row) const { return m_rows[static_cast<std::size_t>(row)].check; }

    int textColumns() const { return static_cast<int>(m_titles.size()); }
    const std::string& title(int column) const { return m_titles[static_cast<std::size_t>(column)]; }
    void setTitle(int column, std::string title);
    void insertTextColumn(int column, std::string title);
    void removeTextColumn(int column);

    int viewColumn(int textColumn) const { return firstTextColumn() + textColumn; }
    bool hasCheckboxColumn() const { return m_checkboxes; }
    bool hasImageColumn() const { return m_imageColumn; }
    int imageViewColumn() const { return m_checkboxes ? 1 : 0; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::vector<std::string> cells;
        PlatformImageReference image;
        int check = 0; // 0 off, 1 on, 2 mixed
    };

    int firstTextColumn() const { return (m_checkboxes ? 1 : 0) + (m_imageColumn ? 1 : 0); }

    bool m_checkboxes;
    bool m_imageColumn = false;
    CheckToggled m_onCheckToggled;
    std::vector<Row> m_rows;
    std::vector<std::string> m_titles;
};
