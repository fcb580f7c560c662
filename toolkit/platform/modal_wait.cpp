// Modal waits of requesters.
// Implements: ModalWait (toolkit/modal_wait.h) over QWidget::setWindowModality.

#include "toolkit/modal_wait.h"

#include "toolkit/platform/window_container.h"
#include "toolkit/window.h"

ModalWait::ModalWait(int window)
    : m_window(window)
{
    WindowContainer* container = windowContainer(window);
    if (!container)
        return;
    m_handle = windowHandle(window);
    container->setApplicationModal(true);
}

ModalWait::~ModalWait()
{
    // The number may have been closed, or even reused for another window, inside the wait.
    if (!m_handle || windowHandle(m_window) != m_handle)
        return;
    if (WindowContainer* container = windowContainer(m_window))
        container->setApplicationModal(false);
}
