// Text gadgets: static texts over QLabel.
// Implements: textGadget; the kind table slots getText, setText, setFont.

#include "toolkit/gadgets.h"

#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/qt_text.h"

#include <QLabel>

namespace {

class TextGadget final : public QLabel, public Gadget {
public:
    TextGadget(const char* text, int flags)
        : Gadget(GADGET_KIND_TEXT, flags)
    {
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (flags & TEXT_CENTER)
            horizontal = Qt::AlignHCenter;
        else if (flags & TEXT_RIGHT)
            horizontal = Qt::AlignRight;
        // Static texts start at the top and wrap at their width, as a multi-line message needs.
        setAlignment(horizontal | Qt::AlignTop);
        setWordWrap(true);
        setTextFormat(Qt::PlainText);
        if (flags & TEXT_BORDER)
            setFrameStyle(QFrame::Box | QFrame::Plain);
        QLabel::setText(qtText(text));
    }

    QWidget* widget() override { return this; }

    QByteArray text() override { return latin1Text(QLabel::text()); }

    void setText(const char* text) override
    {
        QLabel::setText(qtText(text));
        repaint();
    }

    void setFont(const QFont* font) override { QWidget::setFont(font ? *font : QFont()); }
};

} // namespace

Handle textGadget(int number, int x, int y, int width, int height, const char* text, int flags)
{
    return registerGadget(number, std::make_unique<TextGadget>(text, flags), QRect(x, y, width, height));
}
