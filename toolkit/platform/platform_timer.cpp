// Window timers over QTimer.
// Implements: startPlatformTimer (a repeating precise QTimer; destroying it stops it).

#include "toolkit/platform_timer.h"

#include "toolkit/application.h"

#include <QTimer>

namespace {

class QtTimer final : public PlatformTimer {
public:
    QtTimer(int intervalMs, std::function<void()> onTick)
    {
        // Precise: a coarse timer may tick up to 5 % early, and ticks drive visible blinking.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(onTick));
        m_timer.start(intervalMs);
    }

    bool isActive() const { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<PlatformTimer> startPlatformTimer(int intervalMs, std::function<void()> onTick)
{
    if (intervalMs <= 0)
        return nullptr;
    ensurePlatform();
    auto timer = std::make_unique<QtTimer>(intervalMs, std::move(onTick));
    if (!timer->isActive())
        return nullptr;
    return timer;
}
