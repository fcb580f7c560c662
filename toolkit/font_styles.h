#pragma once

// Font styles (flags of loadFont, combinable).
inline constexpr int FONT_BOLD = 1;
inline constexpr int FONT_ITALIC = 2;
inline constexpr int FONT_UNDERLINE = 4;
