#include "toolkit/click_tracker.h"

#include <cstdlib>

bool ClickTracker::click(
    int gadget, ClickKind kind, ClickPoint point, std::int64_t timeMs, ClickLimits limits)
{
    const bool near = std::abs(point.x - m_point.x) <= limits.distance
        && std::abs(point.y - m_point.y) <= limits.distance;
    const bool isDouble = m_hasClick && m_gadget == gadget && m_kind == kind && timeMs >= m_time
        && timeMs - m_time < limits.intervalMs && near;
    m_hasClick = true;
    m_gadget = gadget;
    m_kind = kind;
    m_point = point;
    m_time = timeMs;
    return isDouble;
}
