#pragma once

#include "runtime/object_number.h"

#include <QByteArray>
#include <QRect>

#include <memory>
#include <utility>

class QFont;
class QWidget;

// Kind codes of the gadgets.
inline constexpr int GADGET_KIND_BUTTON = 1;
inline constexpr int GADGET_KIND_STRING = 2;
inline constexpr int GADGET_KIND_TEXT = 3;
inline constexpr int GADGET_KIND_COMBO_BOX = 8;
inline constexpr int GADGET_KIND_IMAGE = 9;
inline constexpr int GADGET_KIND_LIST = 12;

// A gadget: a Qt widget of its kind that also derives from this class. The virtual operations
// from activate to removeColumn are the kind table, in its fixed slot order; the generic
// operations of gadgets.h call them, and a kind that lacks a slot keeps the default, which does
// nothing and answers 0 or the empty text.
//
// Ownership: the widget belongs to its parent (the window content), so closing the window
// destroys it; the destructor frees the gadget's number in the registry. Texts are ISO 8859-1.
class Gadget {
public:
    Gadget(int kind, int flags);
    virtual ~Gadget();
    Gadget(const Gadget&) = delete;
    Gadget& operator=(const Gadget&) = delete;

    int kind() const { return m_kind; }
    int flags() const { return m_flags; }
    int number() const { return m_number; }
    void setNumber(int number) { m_number = number; }

    virtual QWidget* widget() = 0;

    // The kind table.
    virtual void activate() { }
    virtual Handle state() { return 0; }
    virtual void setState(Handle) { }
    virtual QByteArray text() { return {}; }
    virtual void setText(const char*) { }
    virtual void addItem(int, const char*, Handle) { }
    // Appends items without images; kinds that can take many at once do so.
    virtual void addItems(const char* const* texts, int count)
    {
        for (int i = 0; i < count; ++i)
            addItem(-1, texts[i] ? texts[i] : "", 0);
    }
    virtual void removeItem(int) { }
    virtual void clearItems() { }
    virtual int countItems() { return 0; }
    virtual QByteArray itemText(int, int) { return {}; }
    virtual void setItemText(int, const char*, int) { }
    // nullptr: the system font.
    virtual void setFont(const QFont*) { }
    virtual void addColumn(int, const char*, int) { }
    virtual void removeColumn(int) { }
    virtual int countColumns() { return 0; }

    // Every kind. The rectangle of the control relative to its parent; a kind whose frame lies
    // outside its control rectangle keeps the widget larger than this.
    virtual QRect bounds();
    virtual void setBounds(const QRect& rect);
    // The rectangle that resizeGadget asks for, after the kind's own adjustments.
    virtual QRect adjustResize(const QRect& requested, const QRect& /* given */) { return requested; }
    virtual int preferredHeight();

    // The number of the window the gadget lives in, or -1 while it is in none.
    int windowNumber();

protected:
    // Queues EVENT_GADGET with this gadget's number, its window, the type and the modifier keys
    // held (SHORTCUT_* bits) and where the mouse event happened (gadget coordinates).
    void post(int type, int modifiers = 0, int x = 0, int y = 0);
    // Whether the gadget reports user actions now: false while one of its own operations runs.
    bool reporting() const { return m_quiet == 0; }

    // Holds the gadget's reports back for the length of one operation.
    class Quiet {
    public:
        explicit Quiet(Gadget& gadget)
            : m_gadget(gadget)
        {
            ++m_gadget.m_quiet;
        }
        ~Quiet() { --m_gadget.m_quiet; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        Gadget& m_gadget;
    };

private:
    int m_kind;
    int m_flags;
    int m_number = 0;
    int m_quiet = 0;
};

// A widget made for a Qt parent: built owned, handed to the parent, which destroys it.
template <class Widget, class... Arguments> Widget* makeChildWidget(QWidget* parent, Arguments&&... arguments)
{
    auto widget = std::make_unique<Widget>(std::forward<Arguments>(arguments)...);
    widget->setParent(parent);
    return widget.release();
}

// Destroys a widget now (Qt parents own their children; this takes it back to destroy it).
void destroyWidget(QWidget* widget);
