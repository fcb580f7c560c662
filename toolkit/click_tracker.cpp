#include "toolkit/click_tracker.h"

bool ClickTracker::click(int gadget, ClickKind kind, std::int64_t timeMs, int intervalMs)
{
    const bool isDouble = m_hasClick && m_gadget == gadget && m_kind == kind && timeMs >= m_time
        && timeMs - m_time < intervalMs;
    m_hasClick = true;
    m_gadget = gadget;
    m_kind = kind;
    m_time = timeMs;
    return isDouble;
}
