// Fonts over QFont and the desktop's font configuration.
// Implements:
// - createPlatformFont: QFont with family, pixel size, bold, italic, underline; Qt resolves a
//   missing family through fontconfig (metric aliases first, then the default face).
// - qtFontOfHandle: the QFont of a toolkit font handle.

#include "toolkit/platform/qt_font.h"

#include "toolkit/application.h"
#include "toolkit/font_styles.h"
#include "toolkit/platform/qt_text.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

std::unique_ptr<PlatformFont> createPlatformFont(const char* family, int size, int style)
{
    if (!family || !*family || size < 1 || size > 32767)
        return nullptr;
    ensurePlatform();
    if (QFontDatabase::families().isEmpty())
        return nullptr;
    QFont font(qtText(family));
    font.setPixelSize(size);
    font.setBold(style & FONT_BOLD);
    font.setItalic(style & FONT_ITALIC);
    font.setUnderline(style & FONT_UNDERLINE);
    // The face that will actually draw; empty only when no face could be found at all.
    if (QFontInfo(font).family().isEmpty())
        return nullptr;
    return std::make_unique<QtFont>(std::move(font));
}

const QFont* qtFontOfHandle(Handle handle)
{
    const auto* font = dynamic_cast<const QtFont*>(platformFontOfHandle(handle));
    return font ? &font->font() : nullptr;
}
