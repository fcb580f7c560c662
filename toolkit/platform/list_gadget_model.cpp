// The data of list gadgets as a Qt table model.
// Implements: ListGadgetModel (rows, text columns, checkbox and image columns; cell texts, line
// breaks shown as a mark, check states, row images at list size).

#include "toolkit/platform/list_gadget_model.h"

#include "imaging/platform_image_qt.h"

#include <QImage>

#include <utility>

namespace {

// Row images are shown in a square of this size, smaller ones at their own size.
constexpr int ROW_IMAGE_SIZE = 25;
// A cell shows at most this many characters (and its tool tip as many): laying out a longer
// text on every repaint would make the list slow, and no column shows so much.
constexpr std::size_t MAX_SHOWN_CHARACTERS = 1000;
// Marks a line break in a cell, which shows on one line.
constexpr char16_t LINE_BREAK_MARK = u'\u21B5';

QString cellText(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The text of a cell as shown: in one line (for the tool tip, with its line breaks) and cut to
// MAX_SHOWN_CHARACTERS.
QString shownCellText(std::string_view bytes, bool oneLine)
{
    const bool cut = bytes.size() > MAX_SHOWN_CHARACTERS;
    QString text = cellText(bytes.substr(0, MAX_SHOWN_CHARACTERS));
    if (oneLine)
        text.replace(QLatin1Char('\n'), QChar(LINE_BREAK_MARK));
    if (cut)
        text += QChar(u'\u2026');
    return text;
}

// The lines of a row text as cells, read as rowCell() reads them, in one pass.
std::vector<std::string> cellsOf(std::string_view text)
{
    std::vector<std::string> cells;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            cells.emplace_back(text.substr(at));
            break;
        }
        cells.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return cells;
}

} // namespace

ListGadgetModel::ListGadgetModel(bool checkboxes, CheckToggled onCheckToggled)
    : m_checkboxes(checkboxes)
    , m_onCheckToggled(std::move(onCheckToggled))
{
}

std::string ListGadgetModel::rowText(int row) const
{
    std::string text;
    for (const std::string& cell : m_rows[static_cast<std::size_t>(row)].cells) {
        text += cell;
        text += '\n';
    }
    return text;
}

std::string_view ListGadgetModel::cell(int row, int column) const
{
    const std::vector<std::string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    return column >= 0 && static_cast<std::size_t>(column) < cells.size()
        ? cells[static_cast<std::size_t>(column)]
        : std::string_view();
}

void ListGadgetModel::setRowText(int row, std::string_view text)
{
    m_rows[static_cast<std::size_t>(row)].cells = cellsOf(text);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListGadgetModel::setCell(int row, int columns, int column, std::string text)
{
    std::vector<std::string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    cells.resize(static_cast<std::size_t>(columns));
    cells[static_cast<std::size_t>(column)] = std::move(text);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool ListGadgetModel::insertRow(int row, std::string_view text, Handle image)
{
    bool addedImageColumn = false;
    if (image && platformImagePixels(image) && !m_imageColumn) {
        const int column = imageViewColumn();
        beginInsertColumns(QModelIndex(), column, column);
        m_imageColumn = true;
        endInsertColumns();
        addedImageColumn = true;
    }
    beginInsertRows(QModelIndex(), row, row);
    Row entry;
    entry.cells = cellsOf(text);
    entry.image.reset(image);
    m_rows.insert(m_rows.begin() + row, std::move(entry));
    endInsertRows();
    return addedImageColumn;
}

void ListGadgetModel::appendRows(const char* const* texts, int count)
{
    const int first = rows();
    beginInsertRows(QModelIndex(), first, first + count - 1);
    m_rows.reserve(m_rows.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Row entry;
        entry.cells = cellsOf(texts[i] ? std::string_view(texts[i]) : std::string_view());
        m_rows.push_back(std::move(entry));
    }
    endInsertRows();
}

void ListGadgetModel::removeRowAt(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ListGadgetModel::removeAllRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ListGadgetModel::setTitle(int column, std::string title)
{
    m_titles[static_cast<std::size_t>(column)] = std::move(title);
    const int section = viewColumn(column);
    emit headerDataChanged(Qt::Horizontal, section, section);
}

void ListGadgetModel::insertTextColumn(int column, std::string title)
{
    const int section = viewColumn(column);
    beginInsertColumns(QModelIndex(), section, section);
    m_titles.insert(m_titles.begin() + column, std::move(title));
    // The cells from this column on move one to the right, so that every existing column keeps
    // its cells.
    for (Row& row : m_rows) {
        if (static_cast<std::size_t>(column) < row.cells.size())
            row.cells.emplace(row.cells.begin() + column);
    }
    endInsertColumns();
}

void ListGadgetModel::removeTextColumn(int column)
{
    const int section = viewColumn(column);
    beginRemoveColumns(QModelIndex(), section, section);
    m_titles.erase(m_titles.begin() + column);
    for (Row& row : m_rows) {
        if (static_cast<std::size_t>(column) < row.cells.size())
            row.cells.erase(row.cells.begin() + column);
    }
    endRemoveColumns();
}

int ListGadgetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int ListGadgetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : firstTextColumn() + textColumns();
}

QVariant ListGadgetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows())
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (m_checkboxes && column == 0)
        return role == Qt::CheckStateRole ? QVariant(static_cast<int>(row.check == 1 ? Qt::Checked
                       : row.check == 2                                              ? Qt::PartiallyChecked
                                                                                     : Qt::Unchecked))
                                          : QVariant();
    if (m_imageColumn && column == imageViewColumn()) {
        if (role != Qt::DecorationRole)
            return {};
        const QImage* image = platformImageOf(row.image.handle());
        if (!image)
            return {};
        if (image->width() <= ROW_IMAGE_SIZE && image->height() <= ROW_IMAGE_SIZE)
            return *image;
        return image->scaled(ROW_IMAGE_SIZE, ROW_IMAGE_SIZE, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QString text
        = shownCellText(cell(index.row(), column - firstTextColumn()), role == Qt::DisplayRole);
    // A cell's tool tip shows its whole text, for columns too narrow to show it.
    if (role == Qt::ToolTipRole && text.isEmpty())
        return {};
    return text;
}

bool ListGadgetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_checkboxes || !index.isValid() || index.column() != 0 || role != Qt::CheckStateRole
        || index.row() >= rows())
        return false;
    Row& row = m_rows[static_cast<std::size_t>(index.row())];
    row.check = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked ? 1 : 0;
    emit dataChanged(index, index, { Qt::CheckStateRole });
    if (m_onCheckToggled)
        m_onCheckToggled();
    return true;
}

QVariant ListGadgetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const int column = section - firstTextColumn();
    if (column < 0 || column >= textColumns())
        return QString();
    return cellText(m_titles[static_cast<std::size_t>(column)]);
}

Qt::ItemFlags ListGadgetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (m_checkboxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}
