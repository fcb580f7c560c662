#include "toolkit/platform/window_container.h"
#include "toolkit/status_bar_layout.h"

#include "gadget_test_support.h"

#include <QLabel>
#include <QPointer>

namespace {

using StatusBarTest = GadgetTest;

QWidget* barWidget(Handle handle)
{
    return reinterpret_cast<QWidget*>(handle);
}

std::vector<QLabel*> fieldLabels(QWidget* bar)
{
    const QList<QLabel*> labels = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    return std::vector<QLabel*>(labels.begin(), labels.end());
}

TEST(StatusBarLayout, FieldsShareWhatTheFixedOnesLeave)
{
    struct Case {
        int contentWidth;
        std::vector<int> widths;
        std::vector<StatusRect> fields;
    };
    const Case cases[] = {
        // The main window's bar: 500 - 16 = 484 wide; the shared field gets 484 - 202 - 2.
        { 500, { 200, IGNORE_VALUE }, { { 1, 1, 200, 20 }, { 203, 1, 280, 20 } } },
        { 500, { IGNORE_VALUE, IGNORE_VALUE, 100 },
            { { 1, 1, 189, 20 }, { 192, 1, 189, 20 }, { 383, 1, 100, 20 } } },
        // Integer division: 3 pixels short of two equal halves.
        { 119, { IGNORE_VALUE, IGNORE_VALUE }, { { 1, 1, 49, 20 }, { 52, 1, 49, 20 } } },
        { 100, { 300, IGNORE_VALUE }, { { 1, 1, 300, 20 }, { 303, 1, 0, 20 } } },
        // A negative fixed width is 0, also in what it leaves to the shared field.
        { 500, { -50, IGNORE_VALUE }, { { 1, 1, 0, 20 }, { 3, 1, 480, 20 } } },
        { 10, {}, {} },
    };
    for (const Case& c : cases) {
        const StatusBarLayout layout = layoutStatusBar(c.contentWidth, 300, 15, c.widths);
        EXPECT_EQ(layout.bar, (StatusRect { 0, 278, std::max(c.contentWidth - 16, 0), 22 }))
            << c.contentWidth;
        EXPECT_EQ(layout.fields, c.fields) << c.contentWidth;
    }
    EXPECT_EQ(layoutStatusBar(500, 300, 30, { 200 }).bar, (StatusRect { 0, 270, 484, 30 }));
    EXPECT_EQ(layoutStatusBar(500, 300, 30, { 200 }).fields.front(), (StatusRect { 1, 1, 200, 28 }));
}

TEST_F(StatusBarTest, TheMainWindowsBarAtTheBottom)
{
    const Handle bar = createStatusBar(0, windowHandle(0));
    ASSERT_NE(bar, 0);
    addStatusBarField(200);
    addStatusBarField(IGNORE_VALUE);
    statusBarText(0, 0, "Set Origin", STATUS_FIELD_BORDERLESS);
    statusBarText(0, 1, "12.50");

    QWidget* widget = barWidget(bar);
    EXPECT_EQ(widget->parentWidget(), windowContent(0));
    EXPECT_GE(widget->height(), 22);
    EXPECT_EQ(widget->geometry(), QRect(0, 300 - widget->height(), 484, widget->height()));
    const auto labels = fieldLabels(widget);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0]->geometry(), QRect(1, 1, 200, widget->height() - 2));
    EXPECT_EQ(labels[1]->geometry(), QRect(203, 1, 280, widget->height() - 2));
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Set Origin"));
    EXPECT_EQ(labels[0]->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(labels[1]->frameShape(), QFrame::Box);

    // The bar follows the window.
    resizeWindow(0, IGNORE_VALUE, IGNORE_VALUE, 700, 400);
    EXPECT_EQ(widget->geometry(), QRect(0, 400 - widget->height(), 684, widget->height()));
    EXPECT_EQ(labels[1]->geometry(), QRect(203, 1, 480, widget->height() - 2));
}

TEST_F(StatusBarTest, FieldFlagsAndTexts)
{
    QWidget* bar = barWidget(createStatusBar(0, windowHandle(0)));
    for (int i = 0; i < 4; ++i)
        addStatusBarField(100);
    EXPECT_TRUE(fieldLabels(bar).empty());
    statusBarText(0, 0, "left");
    statusBarText(0, 1, "centre", STATUS_FIELD_CENTER | STATUS_FIELD_RAISED);
    statusBarText(0, 2, "right", STATUS_FIELD_RIGHT);
    statusBarText(0, 3, nullptr);
    statusBarText(0, 4, "no such field");
    statusBarText(0, -1, "no such field");
    statusBarText(1, 0, "no such bar");
    const auto labels = fieldLabels(bar);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(labels[1]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(labels[2]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(labels[1]->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(labels[3]->text(), QString());

    // The same field again: its control stays, text and flags change.
    statusBarText(0, 0,
        "Gr\xF6\xDF"
        "e",
        STATUS_FIELD_BORDERLESS);
    ASSERT_EQ(fieldLabels(bar).size(), 4u);
    EXPECT_EQ(labels[0]->text(), QString::fromUtf8("Größe"));
    EXPECT_EQ(labels[0]->frameShape(), QFrame::NoFrame);
}

TEST_F(StatusBarTest, NumbersCurrentBarAndTheWindowsEnd)
{
    EXPECT_EQ(createStatusBar(0, 12345), 0);
    EXPECT_EQ(createStatusBar(-5, windowHandle(0)), 0);
    addStatusBarField(100); // no current bar: nothing

    openWindow(1, 300, 20, 300, 200, "second", WINDOW_CLOSE_BOX);
    const int dynamic = static_cast<int>(createStatusBar(DYNAMIC_NUMBER, windowHandle(1)));
    EXPECT_GE(dynamic, 0x40000000);
    QPointer<QWidget> first = barWidget(createStatusBar(0, windowHandle(0)));
    addStatusBarField(50); // goes to bar 0, the current one
    statusBarText(0, 0, "zero");
    statusBarText(dynamic, 0, "none");
    EXPECT_EQ(fieldLabels(first).size(), 1u);

    // Reusing the number destroys the old bar.
    const Handle second = createStatusBar(0, windowHandle(1));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(barWidget(second)->parentWidget(), windowContent(1));

    QPointer<QWidget> widget = barWidget(second);
    closeWindow(1);
    EXPECT_TRUE(widget.isNull());
    EXPECT_EQ(isStatusBar(0), 0);
    EXPECT_EQ(isStatusBar(dynamic), 0);
    addStatusBarField(10);
    statusBarText(0, 0, "gone");
}

} // namespace
