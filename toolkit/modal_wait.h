#pragma once

#include "runtime/object_number.h"

// A requester's modal wait: while a ModalWait lives, its window is application-modal, so the
// desktop keeps mouse and keyboard input away from every other window of the program, and the
// requester loops on waitEvent / waitEventForever for its own window's events. Events that other
// windows queued before stay queued; a requester that must not hand them on pops and drops them
// itself. Timers keep ticking and queue their events meanwhile.
//
// A visible window is hidden and shown again when the wait begins, because the desktop applies
// modality when a window is shown. Closing the window inside the wait is fine: the end of the
// wait then has nothing to undo.
class ModalWait {
public:
    explicit ModalWait(int window);
    ~ModalWait();
    ModalWait(const ModalWait&) = delete;
    ModalWait& operator=(const ModalWait&) = delete;

    // false when the window did not exist.
    bool isModal() const { return m_handle != 0; }

private:
    int m_window;
    Handle m_handle = 0;
};
