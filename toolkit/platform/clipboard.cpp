// The plain-text clipboard.
// Implements: setClipboardText over QClipboard (Latin-1 through qtText).

#include "toolkit/clipboard.h"

#include "toolkit/application.h"
#include "toolkit/platform/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

int setClipboardText(const char* text)
{
    ensurePlatform();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return 0;
    clipboard->setText(qtText(text));
    return 1;
}
