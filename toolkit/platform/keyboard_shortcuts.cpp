// Keyboard shortcuts of a window.
// Implements:
// - addKeyboardShortcut: the window's ShortcutTable (a WindowAttachment) and, with the first
//   shortcut, a window event filter.
// - ShortcutTable::match, shortcutTableOf, windowShortcutTakes.
// - The filter: a key that a shortcut takes is consumed in all three forms Qt delivers it:
//   ShortcutOverride (accepted, so that no QAction shortcut of a menu fires for it and Qt
//   delivers the key press instead), KeyPress (queues EVENT_MENU, also on auto-repeat) and
//   KeyRelease (nothing).

#include "toolkit/keyboard_shortcuts.h"

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/platform/edit_commands.h"
#include "toolkit/platform/qt_keys.h"
#include "toolkit/platform/shortcut_table.h"

#include <QKeyEvent>
#include <QPointer>

#include <memory>

namespace {

// A shortcut for this item leaves its key to the focused gadget and the menus.
constexpr int PASSED_ON_ITEM = -1;

bool keyMatches(const ShortcutTable::Entry& entry, const QKeyEvent& event)
{
    if (!entry.key.isVirtual)
        return entry.key.key == unmodifiedCharacter(event);
    const QtVirtualKey virtualKey = qtKeyOfVirtualKey(entry.key.key);
    return virtualKey.key != 0 && virtualKey.key == event.key()
        && virtualKey.keypad == event.modifiers().testFlag(Qt::KeypadModifier);
}

// The keys that move the cursor or delete in a line of text, with Shift at most.
bool isTextCursorKey(const KeyEquivalent& key)
{
    if ((key.modifiers & ~SHORTCUT_SHIFT) != 0)
        return false;
    if (!key.isVirtual)
        return key.key == 127;
    return key.key >= 0x7B && key.key <= 0x7E;
}

// The edit keys (Control with X, C, V, Z or A) belong to a focused text field, as they do for the
// menus' key equivalents, and so do the arrow keys and Delete, without which nobody can correct
// what they typed: a window shortcut on them works while no field has the focus.
bool leftToTextField(WindowContainer& window, const ShortcutTable::Entry& entry)
{
    return (editCommandOf(entry.key).has_value() || isTextCursorKey(entry.key))
        && focusedTextField(&window) != nullptr;
}

bool isKeyEvent(const QEvent& event)
{
    return event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease
        || event.type() == QEvent::ShortcutOverride;
}

class ShortcutFilter {
public:
    explicit ShortcutFilter(WindowContainer& window)
        : m_window(&window)
    {
    }

    bool operator()(QObject*, QEvent* event) const
    {
        if (!m_window || !isKeyEvent(*event))
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const ShortcutTable* table = shortcutTableOf(*m_window);
        const ShortcutTable::Entry* entry = table ? table->match(key) : nullptr;
        if (!entry || entry->item == PASSED_ON_ITEM || leftToTextField(*m_window, *entry))
            return false;
        if (event->type() == QEvent::KeyPress)
            postEvent(EVENT_MENU, entry->item, m_window->number(), 0);
        event->accept();
        return true;
    }

private:
    QPointer<WindowContainer> m_window;
};

} // namespace

const ShortcutTable::Entry* ShortcutTable::match(const QKeyEvent& event) const
{
    const int modifiers = keyEventModifiers(event);
    for (const Entry& entry : m_entries) {
        if (entry.modifiers == modifiers && keyMatches(entry, event))
            return &entry;
    }
    return nullptr;
}

const ShortcutTable* shortcutTableOf(WindowContainer& window)
{
    return dynamic_cast<const ShortcutTable*>(window.shortcutTable().get());
}

bool windowShortcutTakes(WindowContainer& window, const QKeyEvent& event)
{
    const ShortcutTable* table = shortcutTableOf(window);
    const ShortcutTable::Entry* entry = table ? table->match(event) : nullptr;
    return entry && entry->item != PASSED_ON_ITEM && !leftToTextField(window, *entry);
}

void addKeyboardShortcut(int window, int code, int item)
{
    WindowContainer* container = windowContainer(window);
    if (!container)
        return;
    auto& attachment = container->shortcutTable();
    if (!dynamic_cast<ShortcutTable*>(attachment.get())) {
        attachment = std::make_unique<ShortcutTable>();
        container->addWindowEventFilter(ShortcutFilter(*container));
    }
    const std::optional<KeyEquivalent> key = shortcutKey(code);
    if (!key)
        return;
    static_cast<ShortcutTable&>(*attachment).append({ linuxModifiers(key->modifiers), *key, item });
}
