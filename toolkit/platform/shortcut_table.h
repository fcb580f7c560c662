#pragma once

#include "toolkit/key_equivalent.h"
#include "toolkit/platform/window_container.h"

#include <vector>

class QKeyEvent;

// A window's keyboard-shortcut table (keyboard_shortcuts.h), attached to its WindowContainer and
// destroyed with it. Its window event filter sees the window's keys before the focused gadget.
class ShortcutTable final : public WindowAttachment {
public:
    struct Entry {
        int modifiers = 0; // linuxModifiers() form
        KeyEquivalent key;
        int item = 0;
    };

    void append(const Entry& entry) { m_entries.push_back(entry); }

    // The first entry that matches the key event (modifiers exactly, keypad and lock states
    // aside), or nullptr.
    const Entry* match(const QKeyEvent& event) const;

private:
    std::vector<Entry> m_entries;
};

// The window's table, or nullptr before its first shortcut.
const ShortcutTable* shortcutTableOf(WindowContainer& window);

// true when the window's shortcuts take this key (a matching entry whose item is not -1).
bool windowShortcutTakes(WindowContainer& window, const QKeyEvent& event);
