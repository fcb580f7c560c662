// The generic gadget operations of gadgets.h: each finds the gadget by number and calls its kind
// table (gadget.h); unknown numbers and missing slots do nothing and answer 0 or "".
// Implements: isGadget, gadgetHandle, gadgetY, resizeGadget, setActiveGadget, the text, state,
// item and column operations, setGadgetFont, gadgetToolTip, gadgetPreferredHeight.

#include "toolkit/gadgets.h"

#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/qt_font.h"
#include "toolkit/platform/qt_text.h"

#include <QWidget>

namespace {

String stringOf(const QByteArray& bytes)
{
    return String(bytes.constData());
}

} // namespace

int isGadget(int number)
{
    return gadgetOf(number) ? 1 : 0;
}

Handle gadgetHandle(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? reinterpret_cast<Handle>(gadget->widget()) : 0;
}

int gadgetY(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? gadget->bounds().y() : 0;
}

void resizeGadget(int number, int x, int y, int width, int height)
{
    Gadget* gadget = gadgetOf(number);
    if (!gadget)
        return;
    const QRect current = gadget->bounds();
    const QRect given(x, y, width, height);
    QRect requested(x == IGNORE_VALUE ? current.x() : x, y == IGNORE_VALUE ? current.y() : y,
        width == IGNORE_VALUE ? current.width() : width, height == IGNORE_VALUE ? current.height() : height);
    requested = gadget->adjustResize(requested, given);
    if (requested == current)
        return;
    gadget->setBounds(requested);
    // A gadget moved out of view gives up the keyboard focus: keys must not edit what nobody
    // sees.
    QWidget* widget = gadget->widget();
    if (const QWidget* parent = widget->parentWidget()) {
        if (widget->hasFocus() && !widget->geometry().intersects(parent->rect()))
            widget->clearFocus();
    }
}

int setActiveGadget(int number)
{
    Gadget* gadget = gadgetOf(number);
    if (!gadget)
        return 0;
    QWidget* window = gadget->widget()->window();
    window->raise();
    window->activateWindow();
    gadget->activate();
    return 1;
}

String getGadgetText(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? stringOf(gadget->text()) : String();
}

void setGadgetText(int number, const char* text)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->setText(text ? text : "");
}

Handle getGadgetState(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? gadget->state() : 0;
}

void setGadgetState(int number, Handle state)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->setState(state);
}

void addGadgetItem(int number, int position, const char* text, Handle image)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->addItem(position, text ? text : "", image);
}

void addGadgetItems(int number, const char* const* texts, int count)
{
    if (!texts || count <= 0)
        return;
    if (Gadget* gadget = gadgetOf(number))
        gadget->addItems(texts, count);
}

void removeGadgetItem(int number, int position)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->removeItem(position);
}

void clearGadgetItems(int number)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->clearItems();
}

int countGadgetItems(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? gadget->countItems() : 0;
}

int countGadgetColumns(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? gadget->countColumns() : 0;
}

String getGadgetItemText(int number, int item, int column)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? stringOf(gadget->itemText(item, column)) : String();
}

void setGadgetItemText(int number, int item, const char* text, int column)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->setItemText(item, text ? text : "", column);
}

void addGadgetColumn(int number, int position, const char* title, int width)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->addColumn(position, title ? title : "", width);
}

void removeGadgetColumn(int number, int column)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->removeColumn(column);
}

void setGadgetFont(int number, Handle font)
{
    const QFont* qtFont = font == -1 ? nullptr : qtFontOfHandle(font);
    // A handle that denotes no font leaves everything as it was.
    if (font != -1 && !qtFont)
        return;
    if (number == -1) {
        setDefaultGadgetFont(font == -1 ? 0 : font);
        return;
    }
    if (Gadget* gadget = gadgetOf(number))
        gadget->setFont(qtFont);
}

void gadgetToolTip(int number, const char* text)
{
    if (Gadget* gadget = gadgetOf(number))
        gadget->widget()->setToolTip(qtText(text));
}

int gadgetPreferredHeight(int number)
{
    Gadget* gadget = gadgetOf(number);
    return gadget ? gadget->preferredHeight() : 0;
}
