#pragma once

#include <algorithm>
#include <cmath>

// A parabola fitted to points by least squares, y over x, around a chosen origin so that the
// sums stay well conditioned far from column 0: the course of a smooth curve across a gap, taken
// from the points on both sides at once, which follows a bend that two straight ends would cut.
class QuadraticFit {
public:
    explicit QuadraticFit(double origin)
        : m_origin(origin)
    {
    }

    void add(double x, double y)
    {
        const double u = x - m_origin;
        const double uu = u * u;
        m_n += 1.0;
        m_u += u;
        m_uu += uu;
        m_uuu += uu * u;
        m_uuuu += uu * uu;
        m_y += y;
        m_uy += u * y;
        m_uuy += uu * y;
    }

    // Solves the normal equations; false when the points do not fix a parabola (fewer than three
    // distinct x).
    bool solve()
    {
        const double a[3][3] = { { m_n, m_u, m_uu }, { m_u, m_uu, m_uuu }, { m_uu, m_uuu, m_uuuu } };
        const double b[3] = { m_y, m_uy, m_uuy };
        const double det = determinant(a);
        if (!(std::abs(det) > 1e-9 * std::max(1.0, m_uuuu * m_uu * m_n)))
            return false;
        for (int k = 0; k < 3; ++k) {
            double replaced[3][3];
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    replaced[r][c] = c == k ? b[r] : a[r][c];
            m_coefficients[k] = determinant(replaced) / det;
        }
        return true;
    }

    double at(double x) const
    {
        const double u = x - m_origin;
        return m_coefficients[0] + m_coefficients[1] * u + m_coefficients[2] * u * u;
    }

private:
    static double determinant(const double m[3][3])
    {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
            - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
            + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }

    double m_origin = 0.0;
    double m_n = 0.0;
    double m_u = 0.0;
    double m_uu = 0.0;
    double m_uuu = 0.0;
    double m_uuuu = 0.0;
    double m_y = 0.0;
    double m_uy = 0.0;
    double m_uuy = 0.0;
    double m_coefficients[3] = { 0.0, 0.0, 0.0 };
};
