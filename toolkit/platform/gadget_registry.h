#pragma once

#include "runtime/object_number.h"
#include "toolkit/platform/gadget.h"

#include <QRect>

#include <memory>

// The registry of numbered gadgets.
//
// Rules:
// - A record is live while its gadget's widget exists; the widget's parent owns the widget, and
//   the gadget's destructor frees the record (whether the number was reused, the window closed or
//   the widget was destroyed in any other way).
// - Taking a number that is live destroys the old widget first.
// - Records stay valid for the life of the process; lookups of a number that is not live give
//   nullptr.

// Creation steps shared by every kind: puts the gadget into the current gadget list's parent at
// `rect`, registers it under the number (destroying any gadget that held it), shows it and gives
// it the default font. Returns the dynamic number for DYNAMIC_NUMBER, else the platform control;
// 0, with the gadget destroyed and the number untouched, when there is no current gadget list or
// the number cannot be used.
Handle registerGadget(int number, std::unique_ptr<Gadget> gadget, const QRect& rect);

// The gadget of a live number, or nullptr.
Gadget* gadgetOf(int number);

// Frees the gadget under the number (the free handler of the registry).
void freeGadget(int number);

// The gadget's destructor: frees its record when the number still holds it.
void forgetGadget(int number, const Gadget* gadget);

// The font for gadgets created from now on: a font handle, or 0 for the system font.
void setDefaultGadgetFont(Handle font);
