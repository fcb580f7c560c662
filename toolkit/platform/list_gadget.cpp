// List gadgets: multi-column lists with headers over QTreeView and ListGadgetModel.
// Implements: listGadget; the kind table slots getState, setState, getText, setText, the item
// and column slots and setFont; the events GADGET_LEFT_CLICK (rows selected by the user),
// GADGET_CHANGE (selection or a checkbox changed by the user), GADGET_LEFT_DOUBLE_CLICK,
// GADGET_RIGHT_CLICK and GADGET_DRAG_START; nothing is reported while an operation of the
// application runs.

#include "toolkit/gadgets.h"

#include "toolkit/event_codes.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/list_gadget_model.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The user may widen a column up to this; wider widths given by the application are cut to it.
constexpr int MAX_COLUMN_WIDTH = 500;
// The checkbox and the image column.
constexpr int SIDE_COLUMN_WIDTH = 25;

std::string bytesOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

QByteArray byteArrayOf(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

class ListGadget final : public QTreeView, public Gadget {
public:
    ListGadget(const char* title, int width, int flags)
        : Gadget(GADGET_KIND_LIST, flags)
        , m_model(std::make_unique<ListGadgetModel>(flags & LIST_CHECKBOXES, [this] { post(GADGET_CHANGE); }))
    {
        setModel(m_model.get());
        setRootIsDecorated(false);
        setItemsExpandable(false);
        setUniformRowHeights(true);
        setAllColumnsShowFocus(true);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(flags & LIST_MULTI_SELECT ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
        // Drags are reported, not carried out (startDrag).
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);

        QHeaderView* columns = header();
        columns->setStretchLastSection(false);
        columns->setSectionsMovable(false);
        columns->setMinimumSectionSize(0);
        columns->setMaximumSectionSize(MAX_COLUMN_WIDTH);
        columns->setSectionResizeMode(QHeaderView::Interactive);
        if (m_model->hasCheckboxColumn())
            fixSideColumn(0);

        connect(
            selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { reportSelectedRows(); });
        connect(this, &QAbstractItemView::doubleClicked, this, [this] { post(GADGET_LEFT_DOUBLE_CLICK); });

        addColumn(0, title, width);
    }

    ~ListGadget() override
    {
        // The view lets go of the model before the model goes.
        Quiet quiet(*this);
        setModel(nullptr);
    }

    QWidget* widget() override { return this; }

    Handle state() override
    {
        const QModelIndexList rows = selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }

    void setState(Handle state) override
    {
        Quiet quiet(*this);
        clearSelection();
        if (state < 0 || state >= m_model->rows())
            return;
        const QModelIndex row = m_model->index(static_cast<int>(state), 0);
        selectionModel()->setCurrentIndex(row, QItemSelectionModel::NoUpdate);
        selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(row);
    }

    QByteArray text() override
    {
        const Handle row = state();
        return row < 0 ? itemText(-1, 0) : itemText(static_cast<int>(row), 0);
    }

    void setText(const char* text) override
    {
        const Handle row = state();
        if (row < 0)
            return;
        Quiet quiet(*this);
        m_model->setRowText(static_cast<int>(row), bytesOf(text));
    }

    void addItem(int position, const char* text, Handle image) override
    {
        const int rows = m_model->rows();
        const int row = position < 0 || position >= rows ? rows : position;
        Quiet quiet(*this);
        if (m_model->insertRow(row, bytesOf(text), image)) {
            fixSideColumn(m_model->imageViewColumn());
            setIconSize(QSize(SIDE_COLUMN_WIDTH, SIDE_COLUMN_WIDTH));
        }
    }

    void addItems(const char* const* texts, int count) override
    {
        Quiet quiet(*this);
        m_model->appendRows(texts, count);
    }

    void removeItem(int position) override
    {
        if (position < 0 || position >= m_model->rows())
            return;
        Quiet quiet(*this);
        m_model->removeRowAt(position);
    }

    void clearItems() override
    {
        Quiet quiet(*this);
        m_model->removeAllRows();
        scrollToTop();
    }

    int countItems() override { return m_model->rows(); }

    QByteArray itemText(int item, int column) override
    {
        if (item == -1)
            return column >= 0 && column < m_model->textColumns() ? byteArrayOf(m_model->title(column))
                                                                  : QByteArray();
        if (item < 0 || item >= m_model->rows())
            return {};
        return byteArrayOf(m_model->cell(item, column));
    }

    void setItemText(int item, const char* text, int column) override
    {
        const int columns = m_model->textColumns();
        if (column < 0 || column >= columns)
            return;
        Quiet quiet(*this);
        if (item == -1) {
            m_model->setTitle(column, bytesOf(text));
            return;
        }
        if (item < 0 || item >= m_model->rows())
            return;
        m_model->setCell(item, columns, column, bytesOf(text));
    }

    void setFont(const QFont* font) override
    {
        // The header is a child of the view and takes its font, also for columns added later.
        QWidget::setFont(font ? *font : QFont());
    }

    void addColumn(int position, const char* title, int width) override
    {
        const int columns = m_model->textColumns();
        const int column = position >= 0 && position < columns ? position : columns;
        Quiet quiet(*this);
        m_model->insertTextColumn(column, bytesOf(title));
        header()->resizeSection(m_model->viewColumn(column), std::clamp(width, 0, MAX_COLUMN_WIDTH));
    }

    void removeColumn(int column) override
    {
        if (column < 0 || column >= m_model->textColumns())
            return;
        Quiet quiet(*this);
        m_model->removeTextColumn(column);
    }

    int countColumns() override { return m_model->textColumns(); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        event->accept();
        post(GADGET_RIGHT_CLICK);
    }

    // A drag is reported, not carried out. Until the button comes up the mouse belongs to the
    // drag, as it would to a real one: it neither selects rows nor clicks.
    void startDrag(Qt::DropActions) override
    {
        m_dragging = true;
        if (m_model->rows() > 0)
            post(GADGET_DRAG_START);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_dragging)
            return event->accept();
        QTreeView::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_dragging) {
            m_dragging = false;
            return event->accept();
        }
        QTreeView::mouseReleaseEvent(event);
    }

private:
    // Qt reports changes of selected cells; the gadget reports changes of the set of selected
    // rows: a row newly selected (GADGET_LEFT_CLICK) and any change of the set (GADGET_CHANGE).
    // The set is kept as persistent indexes, which follow rows that move.
    void reportSelectedRows()
    {
        const QModelIndexList now = selectionModel()->selectedRows();
        // Rows removed meanwhile are no longer selected.
        m_selectedRows.removeIf([](const QPersistentModelIndex& row) { return !row.isValid(); });
        bool added = false;
        for (const QModelIndex& row : now)
            added = added || !m_selectedRows.contains(QPersistentModelIndex(row));
        const bool changed = added || now.size() != m_selectedRows.size();
        m_selectedRows.clear();
        for (const QModelIndex& row : now)
            m_selectedRows.push_back(QPersistentModelIndex(row));
        if (added)
            post(GADGET_LEFT_CLICK);
        if (changed)
            post(GADGET_CHANGE);
    }

    void fixSideColumn(int section)
    {
        header()->setSectionResizeMode(section, QHeaderView::Fixed);
        header()->resizeSection(section, SIDE_COLUMN_WIDTH);
    }

    std::unique_ptr<ListGadgetModel> m_model;
    QList<QPersistentModelIndex> m_selectedRows;
    bool m_dragging = false;
};

} // namespace

Handle listGadget(int number, int x, int y, int width, int height, const char* firstColumnTitle,
    int firstColumnWidth, int flags)
{
    return registerGadget(number, std::make_unique<ListGadget>(firstColumnTitle, firstColumnWidth, flags),
        QRect(x, y, width, height));
}
