#include "gadget_test_support.h"
#include "test_images.h"
#include "toolkit/current_event.h"
#include "toolkit/keyboard_shortcuts.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <vector>

namespace {

class ImageGadgetTest : public GadgetTest {
protected:
    void SetUp() override
    {
        GadgetTest::SetUp();
        m_interval = QApplication::doubleClickInterval();
    }

    void TearDown() override
    {
        QApplication::setDoubleClickInterval(m_interval);
        GadgetTest::TearDown();
    }

    // The second press of a quick pair comes as a double-click event from the desktop.
    void click(int gadget, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* widget = widgetOf(gadget);
        const QPoint at(5, 5);
        QMouseEvent press(m_pressed ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, at,
            widget->mapToGlobal(at), button, button, modifiers);
        QApplication::sendEvent(widget, &press);
        m_pressed = !m_pressed;
        QMouseEvent release(
            QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, Qt::NoButton, modifiers);
        QApplication::sendEvent(widget, &release);
    }

    std::vector<int> clicks(const std::vector<int>& gadgets)
    {
        std::vector<int> types;
        for (int gadget : gadgets) {
            click(gadget);
            for (int type : takeGadgetEventTypes())
                types.push_back(type);
        }
        return types;
    }

private:
    int m_interval = 0;
    bool m_pressed = false;
};

TEST_F(ImageGadgetTest, TheGadgetTakesTheSizeOfItsImage)
{
    TestImage pen(24, 24, 0, 0, 255);
    TestImage wide(60, 20, 255, 0, 0);
    struct Case {
        Handle image;
        int flags;
        QSize size;
    };
    const Case cases[] = {
        { pen.handle(), 0, QSize(24, 24) }, { pen.handle(), IMAGE_BORDER, QSize(28, 28) },
        { wide.handle(), 0, QSize(60, 20) }, { 0, 0, QSize(10, 10) },
        { 12345, IMAGE_BORDER, QSize(10, 10) }, // no such platform image
    };
    for (const Case& c : cases) {
        imageGadget(5, 30, 40, 10, 10, c.image, c.flags);
        EXPECT_EQ(geometryOf(5), QRect(QPoint(30, 40), c.size)) << c.image << " " << c.flags;
    }
    setGadgetState(5, pen.handle());
    EXPECT_EQ(getGadgetState(5), pen.handle());
    EXPECT_EQ(geometryOf(5).size(), QSize(28, 28));
    resizeGadget(5, 0, 0, 100, 100);
    EXPECT_EQ(geometryOf(5), QRect(0, 0, 28, 28));
}

TEST_F(ImageGadgetTest, TheGadgetHoldsOneReferenceToWhatItShows)
{
    const int before = livePlatformImageCount();
    {
        TestImage first(8, 8, 1, 2, 3);
        TestImage second(8, 8, 4, 5, 6);
        imageGadget(0, 0, 0, 8, 8, first.handle());
        EXPECT_EQ(first.otherReferences(), 1);
        setGadgetState(0, second.handle());
        EXPECT_EQ(first.otherReferences(), 0);
        EXPECT_EQ(second.otherReferences(), 1);
        setGadgetState(0, second.handle());
        EXPECT_EQ(second.otherReferences(), 1);
    }
    // The gadget keeps showing the second image after the test let go of it.
    EXPECT_EQ(livePlatformImageCount(), before + 1);
    imageGadget(0, 0, 0, 8, 8, 0);
    EXPECT_EQ(livePlatformImageCount(), before);
}

TEST_F(ImageGadgetTest, DrawnOnTheWindowBackgroundWithTheFrameAround)
{
    TestImage red(20, 10, 255, 0, 0);
    imageGadget(1, 10, 10, 5, 5, red.handle(), IMAGE_BORDER);
    imageGadget(2, 50, 10, 5, 5, red.handle());
    const QImage framed = widgetOf(1)->grab().toImage();
    const QImage plain = widgetOf(2)->grab().toImage();
    EXPECT_EQ(framed.size(), QSize(24, 14) * framed.devicePixelRatio());
    EXPECT_EQ(QColor(framed.pixel(framed.width() / 2, framed.height() / 2)), QColor(255, 0, 0));
    EXPECT_NE(QColor(framed.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(plain.pixel(0, 0)), QColor(255, 0, 0));
}

TEST_F(ImageGadgetTest, DoubleClicksByTheToolkitsOwnClock)
{
    TestImage image(16, 16, 0, 0, 0);
    imageGadget(0, 0, 0, 16, 16, image.handle());
    imageGadget(1, 50, 0, 16, 16, image.handle());
    const int L = GADGET_LEFT_CLICK;
    const int D = GADGET_LEFT_DOUBLE_CLICK;
    QApplication::setDoubleClickInterval(60000);
    EXPECT_EQ(clicks({ 0, 0, 0 }), (std::vector<int> { L, D, D }));
    EXPECT_EQ(clicks({ 1, 0, 0 }), (std::vector<int> { L, L, D }));

    // A contextual click between two left clicks.
    click(0, Qt::RightButton);
    EXPECT_EQ(takeGadgetEventTypes(), (std::vector<int> { GADGET_RIGHT_CLICK }));
    EXPECT_EQ(clicks({ 0 }), (std::vector<int> { L }));
    click(0, Qt::RightButton);
    click(0, Qt::RightButton);
    EXPECT_EQ(takeGadgetEventTypes(), (std::vector<int> { GADGET_RIGHT_CLICK, GADGET_RIGHT_DOUBLE_CLICK }));

    // Past the desktop's interval every click is single.
    QApplication::setDoubleClickInterval(0);
    EXPECT_EQ(clicks({ 0, 0, 0 }), (std::vector<int> { L, L, L }));
}

// Each click's type and the modifier keys the application reads with it: Control with the left
// button is a left click on Linux, not a contextual one.
TEST_F(ImageGadgetTest, ModifierKeysComeWithTheClick)
{
    TestImage image(16, 16, 0, 0, 0);
    imageGadget(0, 0, 0, 16, 16, image.handle());
    QApplication::setDoubleClickInterval(0);
    struct Case {
        const char* name;
        Qt::MouseButton button;
        Qt::KeyboardModifiers held;
        int type;
        int modifiers;
    };
    const Case cases[] = {
        { "plain left", Qt::LeftButton, {}, GADGET_LEFT_CLICK, 0 },
        { "control left", Qt::LeftButton, Qt::ControlModifier, GADGET_LEFT_CLICK, SHORTCUT_CONTROL },
        { "shift alt left", Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier, GADGET_LEFT_CLICK,
            SHORTCUT_SHIFT | SHORTCUT_ALT },
        { "plain right", Qt::RightButton, {}, GADGET_RIGHT_CLICK, 0 },
        { "control right", Qt::RightButton, Qt::ControlModifier, GADGET_RIGHT_CLICK, SHORTCUT_CONTROL },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click(0, c.button, c.held);
        ASSERT_EQ(queuedEventCount(), 1);
        ASSERT_EQ(waitEvent(0), EVENT_GADGET);
        EXPECT_EQ(lastEventType(), c.type);
        EXPECT_EQ(lastEventModifiers(), c.modifiers);
    }
    // The modifiers belong to the event they came with, not to the next one.
    EXPECT_NE(waitEvent(0), EVENT_GADGET);
    EXPECT_EQ(lastEventModifiers(), 0);
}

TEST_F(ImageGadgetTest, ADragIsNoClick)
{
    TestImage image(100, 100, 0, 0, 0);
    imageGadget(0, 0, 0, 10, 10, image.handle());
    QWidget* widget = widgetOf(0);
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(widget, QPoint(12, 11));
    EXPECT_TRUE(takeGadgetEvents().empty());
    QTest::mouseMove(widget, QPoint(40, 40));
    QTest::mouseMove(widget, QPoint(60, 60));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(takeGadgetEventTypes(),
        (std::vector<int> { GADGET_DRAG_START, GADGET_DRAG_MOVE, GADGET_DRAG_MOVE, GADGET_DRAG_END }));
}

// A drag reports where it started, every move and its end, in the image's coordinates (inside
// the frame); a click reports where it was pressed.
TEST_F(ImageGadgetTest, ADragReportsItsPathInImageCoordinates)
{
    TestImage image(100, 100, 0, 0, 0);
    imageGadget(0, 0, 0, 10, 10, image.handle(), IMAGE_BORDER);
    QWidget* widget = widgetOf(0);
    struct Report {
        int type;
        int x;
        int y;
        bool operator==(const Report&) const = default;
    };
    const auto reports = [] {
        std::vector<Report> taken;
        while (queuedEventCount() > 0) {
            if (waitEvent(0) == EVENT_GADGET)
                taken.push_back({ lastEventType(), lastEventX(), lastEventY() });
        }
        return taken;
    };
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseMove(widget, QPoint(42, 32));
    QTest::mouseMove(widget, QPoint(52, 62));
    // Qt keeps reporting to the gadget that took the press when the pointer leaves it.
    QTest::mouseMove(widget, QPoint(-8, 200));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(-8, 200));
    const std::vector<Report> expected {
        { GADGET_DRAG_START, 10, 10 },
        { GADGET_DRAG_MOVE, 40, 30 },
        { GADGET_DRAG_MOVE, 50, 60 },
        { GADGET_DRAG_MOVE, -10, 198 },
        { GADGET_DRAG_END, -10, 198 },
    };
    const std::vector<Report> taken = reports();
    ASSERT_EQ(taken.size(), expected.size());
    for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i].type, expected[i].type) << i;
        EXPECT_EQ(taken[i].x, expected[i].x) << i;
        EXPECT_EQ(taken[i].y, expected[i].y) << i;
    }

    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(7, 9));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(8, 9));
    const std::vector<Report> click = reports();
    ASSERT_EQ(click.size(), 1u);
    EXPECT_EQ(click[0].type, GADGET_LEFT_CLICK);
    EXPECT_EQ(click[0].x, 5);
    EXPECT_EQ(click[0].y, 7);
}

} // namespace
