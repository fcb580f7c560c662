#include "toolkit/platform/list_gadget_model.h"

#include "gadget_test_support.h"
#include "test_images.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTest>
#include <QTreeView>

#include <string>
#include <vector>

namespace {

constexpr int LIST = 2;

class ListGadgetTest : public GadgetTest {
protected:
    void SetUp() override
    {
        GadgetTest::SetUp();
        listGadget(LIST, 10, 10, 300, 200, "1", 78);
    }

    QTreeView* view() { return widgetOf<QTreeView>(LIST); }
    ListGadgetModel* model() { return dynamic_cast<ListGadgetModel*>(view()->model()); }
    std::string rowText(int row) { return model()->rowText(row); }

    std::vector<std::string> column(int c)
    {
        std::vector<std::string> cells;
        for (int row = 0; row < countGadgetItems(LIST); ++row)
            cells.push_back(text(getGadgetItemText(LIST, row, c)));
        return cells;
    }

    std::vector<std::string> titles()
    {
        std::vector<std::string> all;
        for (int c = 0; c < model()->textColumns(); ++c)
            all.push_back(text(getGadgetItemText(LIST, -1, c)));
        return all;
    }

    QPoint rowCentre(int row) { return view()->visualRect(model()->index(row, 0)).center(); }
};

using Cells = std::vector<std::string>;

// What the desktop delivers for a double click: press, release, double-click, release.
void doubleClick(QWidget* widget, QPoint at)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &second);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

TEST_F(ListGadgetTest, RowsArePlacedByPosition)
{
    struct Case {
        int position;
        const char* text;
        Cells after;
    };
    const Case cases[] = {
        { -1, "a", { "a" } },
        { -1, "b", { "a", "b" } },
        { 0, "c", { "c", "a", "b" } },
        { 2, "d", { "c", "a", "d", "b" } },
        { 4, "e", { "c", "a", "d", "b", "e" } },
        { 99, "f", { "c", "a", "d", "b", "e", "f" } },
        { -7, "g", { "c", "a", "d", "b", "e", "f", "g" } },
    };
    for (const Case& c : cases) {
        addGadgetItem(LIST, c.position, c.text);
        EXPECT_EQ(column(0), c.after) << c.position;
    }
    EXPECT_EQ(countGadgetItems(LIST), 7);

    struct Removal {
        int position;
        Cells after;
    };
    const Removal removals[] = {
        { -1, { "c", "a", "d", "b", "e", "f", "g" } },
        { 7, { "c", "a", "d", "b", "e", "f", "g" } },
        { 0, { "a", "d", "b", "e", "f", "g" } },
        { 5, { "a", "d", "b", "e", "f" } },
        { 2, { "a", "d", "e", "f" } },
    };
    for (const Removal& r : removals) {
        removeGadgetItem(LIST, r.position);
        EXPECT_EQ(column(0), r.after) << r.position;
    }
    clearGadgetItems(LIST);
    EXPECT_EQ(countGadgetItems(LIST), 0);
    EXPECT_EQ(titles(), (Cells { "1" }));
}

TEST_F(ListGadgetTest, CellsAreLinesOfTheRowText)
{
    addGadgetColumn(LIST, 1, "2", 78);
    addGadgetColumn(LIST, 2, "3", 78);
    addGadgetItem(LIST, -1, "a\nb");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 0)), "a");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 1)), "b");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 2)), "");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0)), "a");
    EXPECT_EQ(text(getGadgetItemText(LIST, 1, 0)), "");
    EXPECT_EQ(text(getGadgetItemText(LIST, -2, 0)), "");

    setGadgetItemText(LIST, 0, "x", 2);
    EXPECT_EQ(rowText(0), "a\nb\nx\n");
    setGadgetItemText(LIST, 0, "y", 3); // no such column
    setGadgetItemText(LIST, 0, "y", -1);
    setGadgetItemText(LIST, 5, "y", 0); // no such row
    EXPECT_EQ(rowText(0), "a\nb\nx\n");
    setGadgetItemText(LIST, 0, nullptr, 0);
    EXPECT_EQ(rowText(0), "\nb\nx\n");

    // The view shows line c in column c.
    EXPECT_EQ(model()->data(model()->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("x"));

    removeGadgetColumn(LIST, 0);
    EXPECT_EQ(rowText(0), "b\nx\n");
    EXPECT_EQ(titles(), (Cells { "2", "3" }));
    removeGadgetColumn(LIST, 2);
    removeGadgetColumn(LIST, -1);
    EXPECT_EQ(titles(), (Cells { "2", "3" }));
    EXPECT_EQ(countGadgetColumns(LIST), 2);
    setGadgetItemText(LIST, -1, "", 1);
    EXPECT_EQ(countGadgetColumns(LIST), 2) << "an empty title still counts";
}

// Many rows at once are the same rows as one by one, after those already there; a combo box
// takes them as items.
TEST_F(ListGadgetTest, RowsAddedAtOnceAreTheRowsAddedOneByOne)
{
    addGadgetColumn(LIST, 1, "2", 78);
    addGadgetItem(LIST, -1, "first\nrow");
    const char* const texts[] = { "a\nb", "", nullptr, "c", "d\ne\nf" };
    addGadgetItems(LIST, texts, 5);
    EXPECT_EQ(countGadgetItems(LIST), 6);
    EXPECT_EQ(column(0), (Cells { "first", "a", "", "", "c", "d" }));
    EXPECT_EQ(column(1), (Cells { "row", "b", "", "", "", "e" }));
    EXPECT_EQ(rowText(5), "d\ne\nf\n");
    EXPECT_EQ(model()->data(model()->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("b"));

    addGadgetItems(LIST, texts, 0);
    addGadgetItems(LIST, nullptr, 3);
    addGadgetItems(99, texts, 5);
    EXPECT_EQ(countGadgetItems(LIST), 6);

    comboBoxGadget(7, 10, 220, 100, 25);
    addGadgetItems(7, texts + 3, 2);
    EXPECT_EQ(countGadgetItems(7), 2);
    EXPECT_EQ(text(getGadgetItemText(7, 0)), "c");
}

TEST_F(ListGadgetTest, ACellSetByItselfKeepsItsLineBreaks)
{
    addGadgetColumn(LIST, 1, "2", 78);
    addGadgetItem(LIST, -1, "a\nb");
    setGadgetItemText(LIST, 0, "one\ntwo\n", 0);
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 0)), "one\ntwo\n");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 1)), "b");
    EXPECT_EQ(countGadgetColumns(LIST), 2);
    // Shown on one line with a mark for each break; the tool tip shows the lines.
    const QModelIndex cell = model()->index(0, 0);
    EXPECT_EQ(model()->data(cell, Qt::DisplayRole).toString(), QString::fromUtf8("one\u21B5two\u21B5"));
    EXPECT_EQ(model()->data(cell, Qt::ToolTipRole).toString(), QStringLiteral("one\ntwo\n"));
    // Columns added and removed around it leave it whole.
    addGadgetColumn(LIST, 0, "first", 78);
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 1)), "one\ntwo\n");
    removeGadgetColumn(LIST, 0);
    EXPECT_EQ(column(0), (Cells { "one\ntwo\n" }));
    EXPECT_EQ(column(1), (Cells { "b" }));

    // A very long cell shows its beginning only.
    const std::string longText(20000, 'x');
    setGadgetItemText(LIST, 0, longText.c_str(), 1);
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 1)), longText);
    const QString shown = model()->data(model()->index(0, 1), Qt::DisplayRole).toString();
    EXPECT_LT(shown.size(), 2000);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));
}

TEST_F(ListGadgetTest, RemovingColumnZeroOfATwoLineRow)
{
    addGadgetColumn(LIST, -1, "2", 78);
    addGadgetItem(LIST, -1, "a\nb\n");
    removeGadgetColumn(LIST, 0);
    EXPECT_EQ(rowText(0), "b\n");
}

TEST_F(ListGadgetTest, ColumnTitlesPositionsAndWidths)
{
    setGadgetItemText(LIST, -1, "one", 0);
    setGadgetItemText(LIST, -1, "nothing", 1);
    EXPECT_EQ(titles(), (Cells { "one" }));
    EXPECT_EQ(text(getGadgetItemText(LIST, -1, 1)), "");
    EXPECT_EQ(text(getGadgetItemText(LIST, -1, -1)), "");

    struct Case {
        int position;
        const char* title;
        Cells after;
    };
    const Case cases[] = {
        { 1, "two", { "one", "two" } },
        { 0, "zero", { "zero", "one", "two" } },
        { 2, "mid", { "zero", "one", "mid", "two" } },
        { 10, "end", { "zero", "one", "mid", "two", "end" } },
        { -1, "last", { "zero", "one", "mid", "two", "end", "last" } },
    };
    for (const Case& c : cases) {
        addGadgetColumn(LIST, c.position, c.title, 60);
        EXPECT_EQ(titles(), c.after) << c.position;
    }
    QHeaderView* header = view()->header();
    EXPECT_EQ(header->sectionSize(1), 78);
    EXPECT_EQ(header->sectionSize(0), 60);
    addGadgetColumn(LIST, -1, "wide", 600);
    addGadgetColumn(LIST, -1, "marker", 0);
    EXPECT_EQ(header->sectionSize(6), 500);
    EXPECT_EQ(header->sectionSize(7), 0);
    EXPECT_EQ(header->maximumSectionSize(), 500);
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("mid"));
}

// A column inserted before others takes an empty cell in every row, so each column keeps its
// cells; the application's column count inserts a marker column at position 10 and removes it.
TEST_F(ListGadgetTest, InsertingAColumnKeepsTheCellsOfTheOthers)
{
    for (int c = 1; c < 11; ++c)
        addGadgetColumn(LIST, c, std::to_string(c + 1).c_str(), 78);
    std::string row;
    for (int c = 0; c < 11; ++c)
        row += "v" + std::to_string(c) + "\n";
    addGadgetItem(LIST, -1, row.c_str());

    addGadgetColumn(LIST, 10, "blablabla", 0);
    EXPECT_EQ(text(getGadgetItemText(LIST, -1, 10)), "blablabla");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 10)), "");
    EXPECT_EQ(text(getGadgetItemText(LIST, 0, 11)), "v10");
    removeGadgetColumn(LIST, 10);
    EXPECT_EQ(rowText(0), row);

    addGadgetColumn(LIST, 0, "first", 78);
    EXPECT_EQ(column(1), (Cells { "v0" }));
    EXPECT_EQ(column(0), (Cells { "" }));
}

TEST_F(ListGadgetTest, SelectionByTheApplicationPostsNothing)
{
    for (const char* row : { "r0", "r1", "r2", "r3", "r4" })
        addGadgetItem(LIST, -1, row);
    EXPECT_EQ(getGadgetState(LIST), -1);
    // No selection: the title of column 0.
    EXPECT_EQ(text(getGadgetText(LIST)), "1");

    setGadgetState(LIST, 3);
    EXPECT_EQ(getGadgetState(LIST), 3);
    EXPECT_EQ(text(getGadgetText(LIST)), "r3");
    setGadgetText(LIST, "new\ncells");
    EXPECT_EQ(rowText(3), "new\ncells\n");
    setGadgetState(LIST, 9);
    EXPECT_EQ(getGadgetState(LIST), -1);
    setGadgetText(LIST, "nowhere");
    setGadgetState(LIST, 0);
    removeGadgetItem(LIST, 0);
    clearGadgetItems(LIST);
    EXPECT_TRUE(takeGadgetEvents().empty());
}

TEST_F(ListGadgetTest, UserClicksSelectionsAndDrags)
{
    for (const char* row : { "r0", "r1", "r2" })
        addGadgetItem(LIST, -1, row);
    QWidget* viewport = view()->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(takeGadgetEventTypes(), (std::vector<int> { GADGET_LEFT_CLICK, GADGET_CHANGE }));
    EXPECT_EQ(getGadgetState(LIST), 1);

    doubleClick(viewport, rowCentre(2));
    EXPECT_EQ(takeGadgetEventTypes(),
        (std::vector<int> { GADGET_LEFT_CLICK, GADGET_CHANGE, GADGET_LEFT_DOUBLE_CLICK }));
    EXPECT_EQ(getGadgetState(LIST), 2);

    QContextMenuEvent context(QContextMenuEvent::Mouse, rowCentre(0), viewport->mapToGlobal(rowCentre(0)));
    QApplication::sendEvent(viewport, &context);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { LIST, GADGET_RIGHT_CLICK, 0 } }));

    // Press on the selected row and move: a drag, reported once.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(2));
    takeGadgetEvents();
    QTest::mouseMove(viewport, rowCentre(2) + QPoint(40, 0));
    QTest::mouseMove(viewport, rowCentre(2) + QPoint(60, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(2) + QPoint(60, 0));
    EXPECT_EQ(takeGadgetEventTypes(), (std::vector<int> { GADGET_DRAG_START }));
    EXPECT_EQ(getGadgetState(LIST), 2);
}

TEST_F(ListGadgetTest, SeveralSelectedRowsAreNoState)
{
    listGadget(3, 10, 220, 300, 70, "multi", 100, LIST_MULTI_SELECT);
    for (const char* row : { "r0", "r1", "r2" })
        addGadgetItem(3, -1, row);
    auto* multi = widgetOf<QTreeView>(3);
    const auto centre = [&](int row) { return multi->visualRect(multi->model()->index(row, 0)).center(); };
    QTest::mouseClick(multi->viewport(), Qt::LeftButton, {}, centre(0));
    EXPECT_EQ(getGadgetState(3), 0);
    QTest::mouseClick(multi->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(2));
    EXPECT_EQ(multi->selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(getGadgetState(3), -1);
    EXPECT_EQ(text(getGadgetText(3)), "multi");
    // Deselecting one row is a change, with no row newly selected.
    takeGadgetEvents();
    QTest::mouseClick(multi->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(0));
    EXPECT_EQ(takeGadgetEventTypes(), (std::vector<int> { GADGET_CHANGE }));
    EXPECT_EQ(getGadgetState(3), 2);
}

TEST_F(ListGadgetTest, CheckboxesStandLeftOfTheTextColumns)
{
    listGadget(3, 10, 220, 300, 70, "checked", 100, LIST_CHECKBOXES);
    addGadgetItem(3, -1, "a\nb");
    auto* list = widgetOf<QTreeView>(3);
    auto* data = dynamic_cast<ListGadgetModel*>(list->model());
    EXPECT_EQ(data->columnCount(), 2);
    EXPECT_EQ(list->header()->sectionSize(0), 25);
    EXPECT_EQ(text(getGadgetItemText(3, 0, 0)), "a");
    EXPECT_EQ(text(getGadgetItemText(3, -1, 0)), "checked");
    EXPECT_EQ(data->data(data->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("a"));
    EXPECT_TRUE(data->flags(data->index(0, 0)) & Qt::ItemIsUserCheckable);

    // What the view does when the user clicks the box.
    data->setData(data->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(data->checkState(0), 1);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 3, GADGET_CHANGE, 0 } }));
    data->setData(data->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(data->checkState(0), 0);
}

TEST_F(ListGadgetTest, RowImagesAddTheImageColumnAndAreHeld)
{
    const int before = livePlatformImageCount();
    {
        TestImage icon(16, 16, 255, 0, 0);
        addGadgetItem(LIST, -1, "plain");
        EXPECT_EQ(model()->columnCount(), 1);
        addGadgetItem(LIST, -1, "with\nimage", icon.handle());
        addGadgetItem(LIST, -1, "again", icon.handle());
        EXPECT_EQ(model()->columnCount(), 2);
        EXPECT_EQ(icon.otherReferences(), 2);
        EXPECT_EQ(view()->header()->sectionSize(0), 25);
        EXPECT_EQ(text(getGadgetItemText(LIST, 1, 1)), "image");
        EXPECT_EQ(model()->data(model()->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("with"));
        EXPECT_FALSE(model()->data(model()->index(1, 0), Qt::DecorationRole).isNull());
        removeGadgetItem(LIST, 2);
        EXPECT_EQ(icon.otherReferences(), 1);
    }
    // The list holds the last reference now; closing the window lets go of it.
    EXPECT_EQ(livePlatformImageCount(), before + 1);
    closeWindow(0);
    EXPECT_EQ(livePlatformImageCount(), before);
}

TEST_F(ListGadgetTest, TheHeaderFollowsTheGadgetsFont)
{
    const Handle font = loadFont(0, "Arial", 16, FONT_BOLD);
    setGadgetFont(LIST, font);
    addGadgetColumn(LIST, -1, "later", 50);
    EXPECT_EQ(view()->header()->font().pixelSize(), 16);
    EXPECT_TRUE(view()->header()->font().bold());
    setGadgetFont(LIST, -1);
    EXPECT_EQ(view()->header()->font(), QApplication::font(view()->header()));
}

} // namespace
