// The mouse position source.
// Implements: globalMousePosition (QCursor::pos, or the source a test installed), setMouseSource.
// On X11 every QCursor::pos asks the server (a round trip); the answer is kept for a moment, so
// that the x and y of one look at the mouse cost one question.

#include "toolkit/platform/mouse_source.h"

#include <QCursor>

#include <chrono>
#include <utility>

namespace {

std::function<QPoint()>& source()
{
    static std::function<QPoint()> installed;
    return installed;
}

} // namespace

QPoint globalMousePosition()
{
    const auto& installed = source();
    if (installed)
        return installed();
    using Clock = std::chrono::steady_clock;
    constexpr auto FRESH = std::chrono::milliseconds(2);
    static Clock::time_point asked;
    static QPoint position;
    const Clock::time_point now = Clock::now();
    if (asked == Clock::time_point() || now - asked > FRESH) {
        position = QCursor::pos();
        asked = now;
    }
    return position;
}

bool mouseSourceInstalled()
{
    return static_cast<bool>(source());
}

void setMouseSource(std::function<QPoint()> replacement)
{
    source() = std::move(replacement);
}
