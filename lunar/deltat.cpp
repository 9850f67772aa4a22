#include "lunar/deltat.h"

#include "lunar/fundamentals.h"

#include <QDate>

#include <array>

namespace lunex {
namespace {

// Horner's scheme over the coefficients c0 + c1·x + c2·x² + ...
template <std::size_t N> double Polynomial(double x, const std::array<double, N> &c) {
    double sum = 0.0;
    for (std::size_t i = N; i-- > 0;) {
        sum = sum * x + c[i];
    }
    return sum;
}

// ΔT outside 1600–2050 follows the long-term parabola of tidal braking.
double LongTermParabola(double y) {
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u;
}

} // namespace

double DeltaTSeconds(double y) {
    if (y < -500.0) {
        return LongTermParabola(y);
    }
    if (y < 500.0) {
        return Polynomial(y / 100.0, std::array{10583.6, -1014.41, 33.78311, -5.952053, -0.1798452,
                                                0.022174192, 0.0090316521});
    }
    if (y < 1600.0) {
        return Polynomial((y - 1000.0) / 100.0, std::array{1574.2, -556.01, 71.23472, 0.319781,
                                                           -0.8503463, -0.005050998, 0.0083572073});
    }
    if (y < 1700.0) {
        return Polynomial(y - 1600.0, std::array{120.0, -0.9808, -0.01532, 1.0 / 7129.0});
    }
    if (y < 1800.0) {
        return Polynomial(y - 1700.0,
                          std::array{8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0});
    }
    if (y < 1860.0) {
        return Polynomial(y - 1800.0,
                          std::array{13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436,
                                     0.0000121272, -0.0000001699, 0.000000000875});
    }
    if (y < 1900.0) {
        return Polynomial(y - 1860.0, std::array{7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624,
                                                 1.0 / 233174.0});
    }
    if (y < 1920.0) {
        return Polynomial(y - 1900.0,
                          std::array{-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
    }
    if (y < 1941.0) {
        return Polynomial(y - 1920.0, std::array{21.20, 0.84493, -0.076100, 0.0020936});
    }
    if (y < 1961.0) {
        return Polynomial(y - 1950.0, std::array{29.07, 0.407, -1.0 / 233.0, 1.0 / 2547.0});
    }
    if (y < 1986.0) {
        return Polynomial(y - 1975.0, std::array{45.45, 1.067, -1.0 / 260.0, -1.0 / 718.0});
    }
    if (y < 2005.0) {
        return Polynomial(y - 2000.0, std::array{63.86, 0.3345, -0.060374, 0.0017275, 0.000651814,
                                                 0.00002373599});
    }
    if (y < 2050.0) {
        return Polynomial(y - 2000.0, std::array{62.92, 0.32217, 0.005589});
    }
    if (y < 2150.0) {
        return LongTermParabola(y) - 0.5628 * (2150.0 - y);
    }
    return LongTermParabola(y);
}

double DecimalYear(const QDateTime &instant) {
    const QDate date = instant.toUTC().date();
    // QDate counts 1 BC as -1; ΔT's polynomials count it as 0.
    const int year = date.year() < 0 ? date.year() + 1 : date.year();
    return year + (date.month() - 0.5) / 12.0;
}

double DeltaTDays(double jdUt) {
    // The decimal year of the instant itself, not the middle of its month:
    // the polynomials are the same, only the sampling is finer.
    const double year = 2000.0 + (jdUt - J2000) / 365.25;
    return DeltaTSeconds(year) / 86400.0;
}

} // namespace lunex
