// Display metrics over QScreen.
// Implements: listPlatformDisplays (QGuiApplication::primaryScreen first, then screens();
// geometry and available geometry in device-independent pixels, depth, refresh rate).

#include "toolkit/platform_desktop.h"

#include "toolkit/application.h"

#include <QGuiApplication>
#include <QScreen>

std::vector<PlatformDisplay> listPlatformDisplays(int maxCount)
{
    ensurePlatform();
    std::vector<PlatformDisplay> displays;
    QScreen* primary = QGuiApplication::primaryScreen();
    QList<QScreen*> screens = QGuiApplication::screens();
    if (primary) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    for (QScreen* screen : screens) {
        if (static_cast<int>(displays.size()) >= maxCount)
            break;
        const QRect geometry = screen->geometry();
        PlatformDisplay display;
        display.x = geometry.x();
        display.y = geometry.y();
        display.width = geometry.width();
        display.height = geometry.height();
        display.depth = screen->depth();
        display.refreshRate = screen->refreshRate();
        const QRect available = screen->availableGeometry();
        display.availableX = available.x();
        display.availableY = available.y();
        display.availableWidth = available.width();
        display.availableHeight = available.height();
        displays.push_back(display);
    }
    return displays;
}
