#include "imaging/extraction/colour_coverage.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

ColourCoverage::ColourCoverage(Rgb background, Rgb colour, int tolerance)
    : m_background { background.r, background.g, background.b }
    , m_colour { colour.r, colour.g, colour.b }
    , m_direction { colour.r - background.r, colour.g - background.g, colour.b - background.b }
{
    tolerance = std::clamp(tolerance, 0, 442);
    m_toleranceSquared = tolerance * tolerance;
    const int lengthSquared
        = m_direction[0] * m_direction[0] + m_direction[1] * m_direction[1] + m_direction[2] * m_direction[2];
    // A colour within the tolerance of the background would find the paper itself.
    m_usable = lengthSquared > 0 && lengthSquared > m_toleranceSquared;
    if (!m_usable) {
        m_minimumAlong = INT_MAX;
        return;
    }
    // Brightness weights of ITU-R BT.601, out of 256, as JPEG uses them.
    const int luma[3] = { 77, 150, 29 };
    const int lumaContrast = luma[0] * m_direction[0] + luma[1] * m_direction[1] + luma[2] * m_direction[2];
    const bool byBrightness = static_cast<double>(lumaContrast) * lumaContrast
        >= 0.25 * 256.0 * 256.0 * static_cast<double>(lengthSquared);
    for (int channel = 0; channel < 3; ++channel)
        m_axis[channel]
            = byBrightness ? (lumaContrast < 0 ? -luma[channel] : luma[channel]) : m_direction[channel];
    const int axisLength = byBrightness ? std::abs(lumaContrast) : lengthSquared;
    m_inverseLength = 1.0F / static_cast<float>(axisLength);
    m_minimumAlong = static_cast<int>(MINIMUM_EDGE_COVERAGE * static_cast<float>(axisLength));
    // A blend strays from the straight way between background and colour only by noise, which the
    // tolerance bounds; a quarter of it keeps grey grid lines out of coloured lines' edges.
    const float edge = static_cast<float>(tolerance) / 4.0F;
    m_edgeResidual = edge * edge;
}
