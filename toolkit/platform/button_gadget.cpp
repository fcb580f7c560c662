// Button gadgets: push buttons and toggle buttons over QPushButton.
// Implements: buttonGadget; the kind table slots getState, setState, getText, setText, setFont;
// GADGET_LEFT_CLICK when pressed; the default button, drawn as the style draws a default push
// button, which Return and Enter press anywhere in its window (through a window-wide event
// filter, as the key goes to the focused gadget). That filter is the only Return handler: it
// consumes the key, so QPushButton's own Return handling never runs; and a keyboard shortcut of
// the window for the key wins over it (a dialog that maps Return to an answer hears it once).

#include "toolkit/gadgets.h"

#include "toolkit/event_codes.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/platform/shortcut_table.h"
#include "toolkit/platform/window_container.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace {

class ButtonGadget final : public QPushButton, public Gadget {
public:
    ButtonGadget(const char* text, int flags)
        : Gadget(GADGET_KIND_BUTTON, flags)
    {
        QPushButton::setText(qtText(text));
        // Not auto-default: QPushButton would take the default mark from a default button that
        // loses the focus outside a QDialog, and handle Return itself when focused.
        setAutoDefault(false);
        if (flags & BUTTON_TOGGLE) {
            setCheckable(true);
            if (flags & BUTTON_LEFT)
                setStyleSheet(QStringLiteral("text-align: left; padding: 0 6px;"));
            else if (flags & BUTTON_RIGHT)
                setStyleSheet(QStringLiteral("text-align: right; padding: 0 6px;"));
        }
        if (flags & BUTTON_DEFAULT)
            setDefault(true);
        connect(this, &QPushButton::clicked, this, [this] { post(GADGET_LEFT_CLICK); });
    }

    ~ButtonGadget() override
    {
        if (m_filterWindow && m_filterId)
            m_filterWindow->removeWindowEventFilter(m_filterId);
    }

    QWidget* widget() override { return this; }

    Handle state() override { return isCheckable() && isChecked() ? 1 : 0; }

    void setState(Handle state) override
    {
        if (isCheckable())
            setChecked(state != 0);
    }

    QByteArray text() override { return latin1Text(QPushButton::text()); }
    void setText(const char* text) override { QPushButton::setText(qtText(text)); }
    void setFont(const QFont* font) override { QWidget::setFont(font ? *font : QFont()); }

protected:
    bool event(QEvent* event) override
    {
        // The window is known once the button sits in it.
        if (event->type() == QEvent::ParentChange && (flags() & BUTTON_DEFAULT))
            watchReturnKey();
        return QPushButton::event(event);
    }

private:
    void watchReturnKey()
    {
        auto* window = dynamic_cast<WindowContainer*>(QWidget::window());
        if (!window || window == m_filterWindow)
            return;
        if (m_filterWindow && m_filterId)
            m_filterWindow->removeWindowEventFilter(m_filterId);
        m_filterWindow = window;
        m_filterId
            = window->addWindowEventFilter([this](QObject*, QEvent* event) { return pressOnReturn(event); });
    }

    bool pressOnReturn(QEvent* event)
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        if (!isVisible() || !isEnabled() || windowShortcutTakes(*m_filterWindow, *key))
            return false;
        click();
        return true;
    }

    QPointer<WindowContainer> m_filterWindow;
    int m_filterId = 0;
};

} // namespace

Handle buttonGadget(int number, int x, int y, int width, int height, const char* text, int flags)
{
    return registerGadget(number, std::make_unique<ButtonGadget>(text, flags), QRect(x, y, width, height));
}
