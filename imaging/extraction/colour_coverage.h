#pragma once

#include "imaging/extraction/extraction_types.h"

#include <cstdint>

// How much of one pixel a colour covers, for pictures drawn with anti-aliasing: a pixel at the
// edge of a line is a blend of the line's colour and the background behind it, so its position on
// the way from the background to the colour tells the share of the pixel the line covers.
class ColourCoverage {
public:
    // Edge pixels below this share are lost in the noise of a JPEG picture.
    static constexpr float MINIMUM_EDGE_COVERAGE = 0.06F;
    // Below this share a pixel is too faint to tell from a light grid line or noise on its own; it
    // counts only as the faint edge of a line beside it.
    static constexpr float SOLID_COVERAGE = 0.15F;

    ColourCoverage(Rgb background, Rgb colour, int tolerance);

    // Returned by coverage() for a pixel of another colour that stands out from the background.
    static constexpr float FOREIGN = -1.0F;

    // The share of the pixel (R, G, B at `pixel`) that the colour covers, 0 to 1; 0 for a pixel of
    // the background or one too faint to count, FOREIGN for one of another colour.
    float coverage(const std::uint8_t* pixel) const
    {
        const int dr = pixel[0] - m_background[0];
        const int dg = pixel[1] - m_background[1];
        const int db = pixel[2] - m_background[2];
        const int along = dr * m_axis[0] + dg * m_axis[1] + db * m_axis[2];
        if (along <= m_minimumAlong)
            return dr * dr + dg * dg + db * db > FOREIGN_DISTANCE_SQUARED ? FOREIGN : 0.0F;
        const float share = static_cast<float>(along) * m_inverseLength;
        // What is left of the pixel after the blend of that share is taken away must be small: a
        // pixel of another hue that happens to lie as far along is not the colour.
        const float rr = static_cast<float>(dr) - share * static_cast<float>(m_direction[0]);
        const float rg = static_cast<float>(dg) - share * static_cast<float>(m_direction[1]);
        const float rb = static_cast<float>(db) - share * static_cast<float>(m_direction[2]);
        const float residual = rr * rr + rg * rg + rb * rb;
        if (!isMatch(pixel)) {
            const float distance = static_cast<float>(dr * dr + dg * dg + db * db);
            if (residual > m_edgeResidual + 0.04F * distance)
                return distance > FOREIGN_DISTANCE_SQUARED ? FOREIGN : 0.0F;
        }
        return share < 1.0F ? share : 1.0F;
    }

    // Whether the pixel is the colour itself, within the tolerance.
    bool isMatch(const std::uint8_t* pixel) const
    {
        const int dr = pixel[0] - m_colour[0];
        const int dg = pixel[1] - m_colour[1];
        const int db = pixel[2] - m_colour[2];
        return dr * dr + dg * dg + db * db <= m_toleranceSquared;
    }

    // False when the colour cannot be told from the background, so that nothing is found.
    bool isUsable() const { return m_usable; }

private:
    // Farther from the background than the noise of a JPEG picture comes.
    static constexpr int FOREIGN_DISTANCE_SQUARED = 100 * 100;

    int m_background[3];
    int m_colour[3];
    int m_direction[3];
    // The share is measured along this axis: the brightness where the colour differs from the
    // background mostly in brightness (JPEG keeps brightness sharp and blurs the hue), else the way
    // from background to colour itself.
    int m_axis[3];
    int m_minimumAlong = 0;
    int m_toleranceSquared = 0;
    float m_inverseLength = 0.0F;
    float m_edgeResidual = 0.0F;
    bool m_usable = false;
};
