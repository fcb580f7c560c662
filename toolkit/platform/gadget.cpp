// The part that every gadget kind shares.
// Implements: Gadget (numbering, bounds, preferred height, posting of gadget events),
// destroyWidget.

#include "toolkit/platform/gadget.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/window_container.h"

#include <QWidget>

Gadget::Gadget(int kind, int flags)
    : m_kind(kind)
    , m_flags(flags)
{
}

Gadget::~Gadget()
{
    forgetGadget(m_number, this);
}

QRect Gadget::bounds()
{
    return widget()->geometry();
}

void Gadget::setBounds(const QRect& rect)
{
    widget()->setGeometry(rect);
}

int Gadget::preferredHeight()
{
    QWidget* control = widget();
    const int height = control->hasHeightForWidth() ? control->heightForWidth(control->width()) : -1;
    return height >= 0 ? height : control->sizeHint().height();
}

int Gadget::windowNumber()
{
    auto* container = dynamic_cast<WindowContainer*>(widget()->window());
    return container ? container->number() : -1;
}

void Gadget::post(int type, int modifiers, int x, int y)
{
    if (!reporting())
        return;
    const int window = windowNumber();
    if (window != -1)
        postEvent(EVENT_GADGET, m_number, window, type, modifiers, x, y);
}

void destroyWidget(QWidget* widget)
{
    std::unique_ptr<QWidget> owned(widget);
}
