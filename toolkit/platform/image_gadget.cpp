// Image gadgets: a pane that shows a platform image at its natural size and reports clicks.
// Implements: imageGadget; the kind table slots getState and setState (the platform image, one
// reference held); the size that follows the image; drawing (window background, the two-tone
// frame of IMAGE_BORDER, the image); GADGET_LEFT_CLICK / GADGET_LEFT_DOUBLE_CLICK on release
// without a drag (with the modifier keys held at the press), GADGET_RIGHT_CLICK /
// GADGET_RIGHT_DOUBLE_CLICK on a right press, GADGET_DRAG_START / GADGET_DRAG_MOVE /
// GADGET_DRAG_END (each with the position in the image), with the toolkit's own double-click
// detection (click_tracker.h) over the desktop's double-click interval.

#include "toolkit/gadgets.h"

#include "imaging/platform_image.h"
#include "imaging/platform_image_qt.h"
#include "toolkit/click_tracker.h"
#include "toolkit/event_codes.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWidget>
#include <qdrawutil.h>

namespace {

// With IMAGE_BORDER the frame takes this much on every side and the image starts inside it.
constexpr int BORDER = 2;

ClickTracker& clickTracker()
{
    static ClickTracker tracker;
    return tracker;
}

// The SHORTCUT_* bits of a mouse event's modifier keys.
int mouseModifiers(const QMouseEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers();
    return (held & Qt::ShiftModifier ? SHORTCUT_SHIFT : 0)
        | (held & Qt::ControlModifier ? SHORTCUT_CONTROL : 0) | (held & Qt::AltModifier ? SHORTCUT_ALT : 0);
}

std::int64_t clickTime()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

class ImageGadget final : public QWidget, public Gadget {
public:
    ImageGadget(Handle image, int flags)
        : Gadget(GADGET_KIND_IMAGE, flags)
        , m_image(image)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QWidget* widget() override { return this; }

    Handle state() override { return m_image.handle(); }

    void setState(Handle image) override
    {
        m_image.reset(image);
        fitToImage();
        update();
    }

    void setBounds(const QRect& rect) override
    {
        setGeometry(rect);
        fitToImage();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        const int inset = flags() & IMAGE_BORDER ? BORDER : 0;
        if (inset)
            qDrawShadePanel(&painter, rect(), palette(), true, BORDER);
        if (const QImage* image = platformImageOf(m_image.handle())) {
            painter.setClipRect(rect().adjusted(inset, inset, -inset, -inset));
            painter.drawImage(QPoint(inset, inset), *image);
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        // On Linux only the right button is contextual: a left click with Control stays a left
        // click, and the application reads the Control key from the event's modifiers.
        if (event->button() == Qt::RightButton) {
            m_pressed = false;
            const QPoint at = event->position().toPoint();
            post(isDoubleClick(ClickKind::Contextual, at) ? GADGET_RIGHT_DOUBLE_CLICK : GADGET_RIGHT_CLICK,
                mouseModifiers(*event), imageX(at), imageY(at));
        } else if (event->button() == Qt::LeftButton) {
            m_pressed = true;
            m_dragged = false;
            m_pressPosition = event->position().toPoint();
            m_pressModifiers = mouseModifiers(*event);
        }
        event->accept();
    }

    // Qt turns the second press of a quick pair into a double-click event; the toolkit counts
    // double clicks itself.
    void mouseDoubleClickEvent(QMouseEvent* event) override { mousePressEvent(event); }

    // A drag starts where the button went down, so that the application can tell what was
    // grabbed; every later move reports the pointer, which Qt keeps giving this gadget while the
    // button is held, even outside it.
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_pressed || !(event->buttons() & Qt::LeftButton))
            return;
        const QPoint at = event->position().toPoint();
        if (m_dragged) {
            post(GADGET_DRAG_MOVE, m_pressModifiers, imageX(at), imageY(at));
            return;
        }
        if ((at - m_pressPosition).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragged = true;
            post(GADGET_DRAG_START, m_pressModifiers, imageX(m_pressPosition), imageY(m_pressPosition));
            post(GADGET_DRAG_MOVE, m_pressModifiers, imageX(at), imageY(at));
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !m_pressed)
            return;
        m_pressed = false;
        const QPoint at = event->position().toPoint();
        if (m_dragged)
            post(GADGET_DRAG_END, m_pressModifiers, imageX(at), imageY(at));
        else
            post(isDoubleClick(ClickKind::Left, m_pressPosition) ? GADGET_LEFT_DOUBLE_CLICK
                                                                 : GADGET_LEFT_CLICK,
                m_pressModifiers, imageX(m_pressPosition), imageY(m_pressPosition));
    }

private:
    // A point of the gadget in the coordinates of its image, which starts inside the frame.
    int imageX(QPoint at) const { return at.x() - (flags() & IMAGE_BORDER ? BORDER : 0); }
    int imageY(QPoint at) const { return at.y() - (flags() & IMAGE_BORDER ? BORDER : 0); }

    bool isDoubleClick(ClickKind kind, QPoint position)
    {
        const ClickLimits limits { QApplication::doubleClickInterval(),
            QGuiApplication::styleHints()->mouseDoubleClickDistance() };
        return clickTracker().click(number(), kind, { position.x(), position.y() }, clickTime(), limits);
    }

    // The gadget takes the size of its image (with the frame); without one it keeps its size.
    void fitToImage()
    {
        const QImage* image = platformImageOf(m_image.handle());
        if (!image)
            return;
        const int frame = flags() & IMAGE_BORDER ? 2 * BORDER : 0;
        resize(image->width() + frame, image->height() + frame);
    }

    PlatformImageReference m_image;
    bool m_pressed = false;
    bool m_dragged = false;
    QPoint m_pressPosition;
    int m_pressModifiers = 0;
};

} // namespace

Handle imageGadget(int number, int x, int y, int width, int height, Handle image, int flags)
{
    return registerGadget(number, std::make_unique<ImageGadget>(image, flags), QRect(x, y, width, height));
}
