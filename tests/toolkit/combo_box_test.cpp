#include "gadget_test_support.h"
#include "test_images.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

using ComboBoxTest = GadgetTest;
using Items = std::vector<std::string>;

Items items(int gadget)
{
    Items all;
    for (int i = 0; i < countGadgetItems(gadget); ++i)
        all.push_back(text(getGadgetItemText(gadget, i, 0)));
    return all;
}

TEST_F(ComboBoxTest, ItemsGoWhereThePositionSays)
{
    struct Case {
        int position;
        Items after;
    };
    const Case cases[] = {
        { 1, { "A", "x", "B" } },
        { 0, { "x", "A", "B" } },
        { -1, { "A", "B", "x" } },
        { 2, { "A", "B", "x" } },
        { 9, { "A", "B", "x" } },
    };
    for (const Case& c : cases) {
        comboBoxGadget(3, 10, 10, 140, 20);
        addGadgetItem(3, -1, "A");
        addGadgetItem(3, -1, "B");
        addGadgetItem(3, c.position, "x");
        EXPECT_EQ(items(3), c.after) << c.position;
    }
}

TEST_F(ComboBoxTest, SelectionByTextAndIndex)
{
    comboBoxGadget(3, 10, 10, 140, 20);
    EXPECT_EQ(getGadgetState(3), -1);
    for (const char* item : { "Column 1", "Column 2", "Column 1" })
        addGadgetItem(3, -1, item);
    // Adding items selects nothing.
    EXPECT_EQ(getGadgetState(3), -1);
    EXPECT_EQ(text(getGadgetText(3)), "");

    setGadgetText(3, "Column 1");
    EXPECT_EQ(getGadgetState(3), 2); // the last item with that text
    setGadgetText(3, "Column 9");
    EXPECT_EQ(getGadgetState(3), 2);
    setGadgetText(3, "column 2"); // exactly: case counts
    EXPECT_EQ(getGadgetState(3), 2);
    setGadgetState(3, 1);
    EXPECT_EQ(text(getGadgetText(3)), "Column 2");
    setGadgetState(3, 7);
    EXPECT_EQ(getGadgetState(3), -1);
    setGadgetState(3, 0);
    setGadgetState(3, -1);
    EXPECT_EQ(getGadgetState(3), -1);
    EXPECT_EQ(text(getGadgetText(3)), "");
    EXPECT_TRUE(takeGadgetEvents().empty());
}

TEST_F(ComboBoxTest, ItemOperationsAndCase)
{
    comboBoxGadget(3, 10, 10, 140, 20, COMBOBOX_UPPER_CASE);
    comboBoxGadget(4, 10, 40, 140, 20, COMBOBOX_LOWER_CASE | COMBOBOX_UPPER_CASE);
    addGadgetItem(3, -1, "Spalte \xe4");
    addGadgetItem(4, -1, "Spalte \xc4");
    EXPECT_EQ(items(3), (Items { "SPALTE \xc4" }));
    EXPECT_EQ(items(4), (Items { "spalte \xe4" }));

    addGadgetItem(3, -1, "B");
    addGadgetItem(3, -1, nullptr);
    setGadgetItemText(3, 2, "c");
    setGadgetItemText(3, 5, "none");
    EXPECT_EQ(items(3), (Items { "SPALTE \xc4", "B", "c" }));
    EXPECT_EQ(text(getGadgetItemText(3, 3, 0)), "");
    EXPECT_EQ(text(getGadgetItemText(3, -1, 0)), "");
    removeGadgetItem(3, 3);
    removeGadgetItem(3, -1);
    EXPECT_EQ(countGadgetItems(3), 3);
    removeGadgetItem(3, 0);
    EXPECT_EQ(items(3), (Items { "B", "c" }));
    clearGadgetItems(3);
    EXPECT_EQ(countGadgetItems(3), 0);
}

TEST_F(ComboBoxTest, HeightsAreFixed)
{
    comboBoxGadget(3, 10, 10, 140, 50);
    comboBoxGadget(4, 10, 100, 140, 50, COMBOBOX_EDITABLE);
    EXPECT_EQ(geometryOf(3), QRect(10, 10, 140, 20));
    EXPECT_EQ(geometryOf(4), QRect(10, 100, 140, 25));

    resizeGadget(3, IGNORE_VALUE, -30, IGNORE_VALUE, IGNORE_VALUE);
    EXPECT_EQ(geometryOf(3), QRect(10, -30, 140, 25));
    EXPECT_EQ(gadgetY(3), -30);
    resizeGadget(3, IGNORE_VALUE, 10, IGNORE_VALUE, 60);
    EXPECT_EQ(geometryOf(3), QRect(10, 10, 140, 25));
    resizeGadget(4, IGNORE_VALUE, 120, IGNORE_VALUE, IGNORE_VALUE);
    EXPECT_EQ(geometryOf(4), QRect(10, 120, 140, 25));
    resizeGadget(4, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, 30);
    EXPECT_EQ(geometryOf(4), QRect(10, 120, 140, 30));
}

TEST_F(ComboBoxTest, ChoosingAnItemIsAChange)
{
    comboBoxGadget(3, 10, 10, 140, 20);
    addGadgetItem(3, -1, "A");
    addGadgetItem(3, -1, "B");
    setGadgetState(3, 0);
    auto* combo = widgetOf<QComboBox>(3);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(getGadgetState(3), 1);
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 3, GADGET_CHANGE, 0 } }));
    combo->activated(0); // what the popup list does when the user picks an item
    EXPECT_EQ(takeGadgetEvents(), (std::vector<GadgetEvent> { { 3, GADGET_CHANGE, 0 } }));
}

TEST_F(ComboBoxTest, AnEditableBoxHasAFieldThatTypingDoesNotTurnIntoItems)
{
    comboBoxGadget(3, 10, 10, 140, 25, COMBOBOX_EDITABLE);
    addGadgetItem(3, -1, "A");
    auto* combo = widgetOf<QComboBox>(3);
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("typed"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(text(getGadgetText(3)), "typed");
    EXPECT_EQ(countGadgetItems(3), 1);
    EXPECT_EQ(setActiveGadget(3), 1);
}

TEST_F(ComboBoxTest, ItemImagesOnlyWithTheImageFlag)
{
    TestImage icon(12, 12, 0, 128, 255);
    comboBoxGadget(3, 10, 10, 140, 20, COMBOBOX_IMAGE);
    comboBoxGadget(4, 10, 40, 140, 20);
    addGadgetItem(3, -1, "with", icon.handle());
    addGadgetItem(4, -1, "without", icon.handle());
    EXPECT_FALSE(widgetOf<QComboBox>(3)->itemIcon(0).isNull());
    EXPECT_TRUE(widgetOf<QComboBox>(4)->itemIcon(0).isNull());
}

} // namespace
