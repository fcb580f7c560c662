#pragma once

#include <cmath>
#include <optional>

// A straight line fitted to points by least squares, y over x: the direction a curve takes at one
// end of a gap.
class LineFit {
public:
    void add(double x, double y)
    {
        ++m_count;
        m_x += x;
        m_y += y;
        m_xx += x * x;
        m_xy += x * y;
    }

    // y on the line at x; with one point (or all at one x) the line is level through their mean.
    double at(double x) const
    {
        if (m_count == 0)
            return 0.0;
        return m_y / m_count + slope() * (x - m_x / m_count);
    }

    double slope() const
    {
        const double spread = m_xx - m_x * m_x / m_count;
        return m_count < 2 || spread <= 1e-9 ? 0.0 : (m_xy - m_x * m_y / m_count) / spread;
    }

    // Where this line and another cross, unless they run parallel.
    std::optional<double> meeting(const LineFit& other) const
    {
        const double turn = slope() - other.slope();
        if (std::abs(turn) < 1e-6)
            return std::nullopt;
        return (other.at(0.0) - at(0.0)) / turn;
    }

private:
    int m_count = 0;
    double m_x = 0.0;
    double m_y = 0.0;
    double m_xx = 0.0;
    double m_xy = 0.0;
};
