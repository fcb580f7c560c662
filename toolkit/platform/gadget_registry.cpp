// The gadget registry and the creation steps common to every kind.
// Implements:
// - registerGadget: placement in the current gadget list, registration, show, default font.
// - gadgetOf, freeGadget, forgetGadget: the ObjectTable of gadgets, whose records live as long
//   as the widgets.
// - initGadgets, setDefaultGadgetFont.

#include "toolkit/platform/gadget_registry.h"

#include "runtime/object_table.h"
#include "toolkit/application.h"
#include "toolkit/gadgets.h"
#include "toolkit/platform/gadget_list_state.h"
#include "toolkit/platform/qt_font.h"

#include <QWidget>

namespace {

struct GadgetRecord {
    // The platform control: the gadget's widget; non-zero while the gadget exists.
    Handle handle = 0;
    Gadget* gadget = nullptr;
};

ObjectTable<GadgetRecord>& gadgetTable()
{
    ensurePlatform();
    static ObjectTable<GadgetRecord> table(16, freeGadget);
    return table;
}

Handle g_defaultFont = 0;

bool usableNumber(int number)
{
    return number == DYNAMIC_NUMBER
        || (number >= 0 && number < ObjectTable<GadgetRecord>::FIRST_DYNAMIC_NUMBER);
}

} // namespace

Handle registerGadget(int number, std::unique_ptr<Gadget> gadget, const QRect& rect)
{
    QWidget* parent = currentGadgetList().parent;
    if (!parent || !usableNumber(number))
        return 0;
    auto& table = gadgetTable();
    GadgetRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    const int assigned = number == DYNAMIC_NUMBER ? table.numberOf(record) : number;
    // Freeing the old gadget may have destroyed widgets of the current list: look again.
    parent = currentGadgetList().parent;
    if (!parent) {
        table.releaseObject(assigned);
        return 0;
    }
    QWidget* widget = gadget->widget();
    gadget->setNumber(assigned);
    record->handle = reinterpret_cast<Handle>(widget);
    record->gadget = gadget.get();
    widget->setParent(parent);
    gadget->setBounds(rect);
    if (const QFont* font = qtFontOfHandle(g_defaultFont))
        gadget->setFont(font);
    widget->show();
    // The parent owns the widget from here on.
    static_cast<void>(gadget.release());
    return number == DYNAMIC_NUMBER ? assigned : record->handle;
}

Gadget* gadgetOf(int number)
{
    GadgetRecord* record = gadgetTable().objectRecord(number);
    return record ? record->gadget : nullptr;
}

void freeGadget(int number)
{
    if (Gadget* gadget = gadgetOf(number))
        destroyWidget(gadget->widget());
}

void forgetGadget(int number, const Gadget* gadget)
{
    // Widgets that outlive the table (a window still open when the process ends) must not touch
    // it from their destructors.
    if (!ObjectTable<GadgetRecord>::tableExists())
        return;
    auto& table = gadgetTable();
    GadgetRecord* record = table.objectRecord(number);
    if (record && record->gadget == gadget)
        table.releaseObject(number);
}

void setDefaultGadgetFont(Handle font)
{
    g_defaultFont = font;
}

void initGadgets()
{
    gadgetTable();
    g_defaultFont = 0;
}
