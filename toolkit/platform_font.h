#pragma once

#include "runtime/object_number.h"

#include <memory>

// A desktop font. Plain C++: the core of the toolkit owns this interface; platform/qt_font.h
// builds it over QFont.
class PlatformFont {
public:
    virtual ~PlatformFont() = default;
};

// The font of that family (ISO 8859-1), size in pixels and style (FONT_BOLD, FONT_ITALIC,
// FONT_UNDERLINE), with the desktop's substitution for a family it lacks; nullptr when nothing
// usable exists (see fonts.h).
std::unique_ptr<PlatformFont> createPlatformFont(const char* family, int size, int style);

// The font of a live font handle (fontID), or nullptr; fonts.cpp answers it from the registry.
PlatformFont* platformFontOfHandle(Handle handle);
