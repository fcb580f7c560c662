// String gadgets: one-line text fields over QLineEdit.
// Implements: stringGadget; the kind table slots activate, getText, setText, setFont; the typing
// filter (STRING_NUMERIC, STRING_UPPER_CASE, STRING_LOWER_CASE); GADGET_CHANGE for every key
// typed; GADGET_FOCUS and GADGET_LOST_FOCUS; the inset field rectangle, with the field's frame
// drawn in the margin around it.

#include "toolkit/gadgets.h"

#include "toolkit/event_codes.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/qt_text.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMargins>

namespace {

// Where the field lies inside the rectangle given at creation.
constexpr int INSET_LEFT = 4;
constexpr int INSET_TOP = 3;
constexpr int INSET_WIDTH = 8;
constexpr int INSET_HEIGHT = 5;

// The field's frame is drawn around the field, in the inset margin: the widget reaches this far
// beyond the field on each side.
const QMargins FRAME_MARGINS(4, 3, 4, 2);

bool isLatin1(QChar c)
{
    return c.unicode() <= 0xFF;
}

class StringGadget final : public QLineEdit, public Gadget {
public:
    StringGadget(const char* text, int flags)
        : Gadget(GADGET_KIND_STRING, flags)
    {
        if (flags & STRING_PASSWORD)
            setEchoMode(QLineEdit::Password);
        setReadOnly(flags & STRING_READ_ONLY);
        QLineEdit::setText(qtText(text));
    }

    QWidget* widget() override { return this; }

    // As when the user tabs into the field, its text is selected, so that typing replaces it.
    void activate() override
    {
        selectAll();
        setFocus(Qt::OtherFocusReason);
    }
    QByteArray text() override { return latin1Text(QLineEdit::text()); }
    void setText(const char* text) override { QLineEdit::setText(qtText(text)); }
    void setFont(const QFont* font) override { QWidget::setFont(font ? *font : QFont()); }

    QRect bounds() override { return geometry() - FRAME_MARGINS; }
    void setBounds(const QRect& rect) override { setGeometry(rect + FRAME_MARGINS); }

    QRect adjustResize(const QRect& requested, const QRect& given) override
    {
        QRect field = requested;
        if (given.x() != IGNORE_VALUE)
            field.moveLeft(given.x() + INSET_LEFT);
        if (given.y() != IGNORE_VALUE)
            field.moveTop(given.y() + INSET_TOP);
        if (given.width() != IGNORE_VALUE)
            field.setWidth(given.width() - INSET_WIDTH);
        if (given.height() != IGNORE_VALUE)
            field.setHeight(given.height() - INSET_HEIGHT);
        return field;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString typed = event->text();
        // Characters above the space are filtered; control characters such as the one that
        // Delete produces (0x7F) are editing keys, not text.
        const bool filtered = !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            && !typed.isEmpty() && typed.at(0) > QLatin1Char(' ') && typed.at(0).isPrint();
        if (!filtered) {
            QLineEdit::keyPressEvent(event);
            post(GADGET_CHANGE);
            return;
        }
        const QString kept = filterTyped(typed);
        if (kept.isEmpty()) {
            event->accept();
            return;
        }
        if (kept == typed) {
            QLineEdit::keyPressEvent(event);
        } else {
            QKeyEvent changed(event->type(), event->key(), event->modifiers(), kept, event->isAutoRepeat(),
                static_cast<quint16>(event->count()));
            QLineEdit::keyPressEvent(&changed);
        }
        post(GADGET_CHANGE);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        if (movesFocusInsideWindow(event->reason()))
            post(GADGET_FOCUS);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        if (movesFocusInsideWindow(event->reason()))
            post(GADGET_LOST_FOCUS);
    }

private:
    // The field keeps the keyboard focus of its window while another window is active, or while
    // a menu or popup is open: those are no focus changes of the gadget.
    static bool movesFocusInsideWindow(Qt::FocusReason reason)
    {
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    }

    QString filterTyped(const QString& typed) const
    {
        QString kept;
        for (QChar c : typed) {
            if (flags() & STRING_NUMERIC) {
                if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.'))
                    kept += c;
                continue;
            }
            QChar converted = c;
            if (flags() & STRING_UPPER_CASE)
                converted = c.toUpper();
            else if (flags() & STRING_LOWER_CASE)
                converted = c.toLower();
            // The text stays ISO 8859-1: a letter whose other case lies outside it (the upper
            // case of y with diaeresis) stays as typed.
            kept += isLatin1(converted) || !isLatin1(c) ? converted : c;
        }
        return kept;
    }
};

} // namespace

Handle stringGadget(int number, int x, int y, int width, int height, const char* text, int flags)
{
    const QRect field(x + INSET_LEFT, y + INSET_TOP, width - INSET_WIDTH, height - INSET_HEIGHT);
    return registerGadget(number, std::make_unique<StringGadget>(text, flags), field);
}
