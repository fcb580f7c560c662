#pragma once

#include "runtime/object_number.h"
#include "toolkit/platform_font.h"

#include <QFont>

// The Qt side of a toolkit font, for gadgets (setGadgetFont).
class QtFont final : public PlatformFont {
public:
    explicit QtFont(QFont font)
        : m_font(std::move(font))
    {
    }

    const QFont& font() const { return m_font; }

private:
    QFont m_font;
};

// The QFont of a live font handle (fontID), or nullptr.
const QFont* qtFontOfHandle(Handle handle);
