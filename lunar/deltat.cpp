#include "lunar/deltat.h"

#include "lunar/fundamentals.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lunex {
namespace {

// ΔT in seconds at 1 January of each year from 1620 to 2150: Stephenson,
// Morrison and Hohenkerk's fit to eclipses and occultations (Proc. R. Soc. A
// 472, 2016) to 1954; the Earth's measured rotation (the Astronomical Almanac,
// the IERS) from 1955 to 2025; a forecast after that. As Swiss Ephemeris
// 2.10.03 gives them (swe_deltat_ex).
constexpr int FirstTableYear = 1620;
constexpr std::array<double, 531> YearlyDeltaT{
    64.31,  63.40,  62.51,  61.63,  60.77,  59.92,  59.08,  58.25,  57.44,  56.63,  55.84,  55.06,
    54.29,  53.52,  52.77,  52.02,  51.28,  50.55,  49.83,  49.11,  48.39,  47.68,  46.98,  46.28,
    45.58,  44.89,  44.20,  43.51,  42.82,  42.14,  41.45,  40.77,  40.08,  39.39,  38.71,  38.03,
    37.35,  36.67,  35.99,  35.32,  34.64,  33.97,  33.31,  32.64,  31.98,  31.33,  30.67,  30.03,
    29.39,  28.75,  28.11,  27.49,  26.87,  26.25,  25.64,  25.04,  24.45,  23.86,  23.28,  22.71,
    22.15,  21.59,  21.04,  20.50,  19.98,  19.46,  18.95,  18.45,  17.96,  17.48,  17.01,  16.55,
    16.11,  15.67,  15.25,  14.84,  14.44,  14.06,  13.69,  13.33,  12.98,  12.65,  12.34,  12.04,
    11.75,  11.48,  11.22,  10.98,  10.75,  10.54,  10.35,  10.17,  10.01,  9.87,   9.74,   9.64,
    9.55,   9.47,   9.42,   9.39,   9.37,   9.38,   9.40,   9.44,   9.50,   9.58,   9.67,   9.78,
    9.90,   10.04,  10.19,  10.35,  10.53,  10.72,  10.92,  11.13,  11.35,  11.59,  11.82,  12.07,
    12.33,  12.59,  12.86,  13.13,  13.41,  13.70,  13.99,  14.28,  14.57,  14.87,  15.16,  15.46,
    15.76,  16.06,  16.36,  16.65,  16.94,  17.23,  17.52,  17.80,  18.08,  18.35,  18.62,  18.88,
    19.13,  19.37,  19.61,  19.84,  20.05,  20.26,  20.45,  20.64,  20.81,  20.97,  21.11,  21.24,
    21.36,  21.46,  21.55,  21.61,  21.67,  21.70,  21.71,  21.71,  21.69,  21.64,  21.58,  21.49,
    21.38,  21.25,  21.10,  20.92,  20.71,  20.48,  20.23,  19.95,  19.64,  19.30,  18.94,  18.55,
    18.12,  17.67,  17.21,  16.74,  16.29,  15.87,  15.49,  15.18,  14.94,  14.78,  14.74,  14.81,
    14.96,  15.19,  15.45,  15.72,  15.97,  16.18,  16.31,  16.33,  16.23,  15.98,  15.59,  15.09,
    14.51,  13.85,  13.15,  12.43,  11.71,  11.02,  10.37,  9.79,   9.28,   8.83,   8.45,   8.13,
    7.86,   7.65,   7.50,   7.40,   7.34,   7.34,   7.37,   7.45,   7.58,   7.74,   7.93,   8.16,
    8.43,   8.72,   9.05,   9.39,   9.71,   9.98,   10.13,  10.13,  9.96,   9.66,   9.32,   9.01,
    8.82,   8.77,   8.79,   8.76,   8.56,   8.06,   7.19,   6.04,   4.73,   3.40,   2.19,   1.19,
    0.39,   -0.27,  -0.81,  -1.28,  -1.73,  -2.16,  -2.57,  -2.97,  -3.35,  -3.71,  -4.04,  -4.30,
    -4.46,  -4.51,  -4.42,  -4.26,  -4.09,  -3.97,  -3.99,  -4.17,  -4.47,  -4.78,  -5.03,  -5.11,
    -4.95,  -4.56,  -3.94,  -3.10,  -2.05,  -0.82,  0.55,   1.99,   3.45,   4.86,   6.18,   7.43,
    8.64,   9.85,   11.09,  12.39,  13.71,  15.02,  16.27,  17.44,  18.48,  19.41,  20.22,  20.94,
    21.59,  22.16,  22.66,  23.10,  23.47,  23.77,  24.00,  24.18,  24.30,  24.37,  24.40,  24.40,
    24.36,  24.31,  24.23,  24.15,  24.08,  24.03,  24.05,  24.17,  24.42,  24.83,  25.34,  25.92,
    26.51,  27.05,  27.50,  27.89,  28.24,  28.57,  28.93,  29.32,  29.70,  30.18,  30.62,  31.07,
    31.35,  31.68,  32.18,  32.68,  33.15,  33.59,  34.00,  34.47,  35.03,  35.73,  36.54,  37.43,
    38.29,  39.20,  40.18,  41.17,  42.23,  43.37,  44.49,  45.48,  46.46,  47.52,  48.54,  49.59,
    50.54,  51.38,  52.17,  52.96,  53.79,  54.34,  54.87,  55.32,  55.82,  56.30,  56.86,  57.57,
    58.31,  59.12,  59.99,  60.79,  61.63,  62.30,  62.97,  63.47,  63.83,  64.09,  64.30,  64.47,
    64.57,  64.69,  64.85,  65.15,  65.46,  65.78,  66.07,  66.32,  66.60,  66.91,  67.28,  67.64,
    68.10,  68.59,  68.97,  69.22,  69.36,  69.36,  69.29,  69.18,  69.10,  69.00,  68.90,  68.80,
    68.80,  69.04,  69.28,  69.52,  69.76,  70.01,  70.26,  70.51,  70.76,  71.02,  71.28,  71.54,
    71.80,  72.07,  72.33,  72.61,  72.88,  73.16,  73.44,  73.72,  74.00,  74.29,  74.58,  74.87,
    75.17,  75.47,  75.77,  76.07,  76.38,  76.69,  77.01,  77.32,  77.64,  77.97,  78.29,  78.62,
    78.95,  79.29,  79.62,  79.97,  80.31,  80.66,  81.01,  81.36,  81.72,  82.08,  82.45,  82.81,
    83.19,  83.56,  83.94,  84.32,  84.70,  85.09,  85.49,  85.88,  86.28,  86.68,  87.09,  87.50,
    87.92,  88.33,  88.76,  89.18,  89.61,  90.04,  90.48,  90.92,  91.36,  91.81,  92.27,  92.72,
    93.18,  93.65,  94.11,  94.59,  95.06,  95.54,  96.03,  96.52,  97.01,  97.51,  98.01,  98.52,
    99.03,  99.54,  100.06, 100.58, 101.11, 101.64, 102.18, 102.72, 103.27, 103.82, 104.37, 104.93,
    105.49, 106.06, 106.63, 107.21, 107.79, 108.37, 108.96, 109.55, 110.14, 110.74, 111.34, 111.95,
    112.56, 113.18, 113.80, 114.43, 115.06, 115.70, 116.34, 116.99, 117.64, 118.30, 118.96, 119.63,
    120.30, 120.98, 121.66,
};
constexpr int LastTableYear = FirstTableYear + int(YearlyDeltaT.size()) - 1;

// Horner's scheme over the coefficients c0 + c1·x + c2·x² + ...
template <std::size_t N> double Polynomial(double x, const std::array<double, N> &c) {
    double sum = 0.0;
    for (std::size_t i = N; i-- > 0;) {
        sum = sum * x + c[i];
    }
    return sum;
}

// The long-term parabola of tidal braking (Morrison and Stephenson 2004).
double LongTermParabola(double y) {
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u;
}

// Before the table: the Espenak–Meeus expressions (NASA's Five Millennium
// Canon of Solar Eclipses, 2006), the one for 500–1600 carried on to the
// table's first year so that no join of theirs falls where the table takes over.
double HistoricalDeltaT(double y) {
    if (y < -500.0) {
        return LongTermParabola(y);
    }
    const auto ancient = [](double x) {
        return Polynomial(x / 100.0, std::array{10583.6, -1014.41, 33.78311, -5.952053, -0.1798452,
                                                0.022174192, 0.0090316521});
    };
    const auto medieval = [](double x) {
        return Polynomial((x - 1000.0) / 100.0, std::array{1574.2, -556.01, 71.23472, 0.319781,
                                                           -0.8503463, -0.005050998, 0.0083572073});
    };
    // The two meet at 500 within 0.1 s, at slopes of some 2 s a year: mixed
    // over twenty years, no day steps by more than its own share.
    const double weight = std::clamp((y - 490.0) / 20.0, 0.0, 1.0);
    if (weight == 0.0) {
        return ancient(y);
    }
    if (weight == 1.0) {
        return medieval(y);
    }
    return (1.0 - weight) * ancient(y) + weight * medieval(y);
}

// The table between its rows: a cubic through the four nearest (Catmull–Rom),
// which keeps the slope continuous from one year to the next.
double TableDeltaT(double y) {
    const double position = std::clamp(y - FirstTableYear, 0.0, double(YearlyDeltaT.size() - 1));
    const auto i = std::min(static_cast<std::size_t>(position), YearlyDeltaT.size() - 2);
    const double x = position - double(i);
    const auto at = [](std::ptrdiff_t j) {
        const auto last = std::ptrdiff_t(YearlyDeltaT.size()) - 1;
        return YearlyDeltaT[std::size_t(std::clamp<std::ptrdiff_t>(j, 0, last))];
    };
    const auto j = std::ptrdiff_t(i);
    const double p0 = at(j - 1), p1 = at(j), p2 = at(j + 1), p3 = at(j + 2);
    return p1 + 0.5 * x *
                    (p2 - p0 +
                     x * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + x * (3.0 * (p1 - p2) + p3 - p0)));
}

// The spans over which the table hands over to the long-term expressions:
// the difference at the table's end fades out linearly, so that no day jumps.
constexpr double PastBlendYears = 100.0;
constexpr double FutureBlendYears = 200.0;

} // namespace

double DeltaTSeconds(double y) {
    if (y < FirstTableYear) {
        const double offset = TableDeltaT(FirstTableYear) - HistoricalDeltaT(FirstTableYear);
        const double weight = std::max(0.0, 1.0 - (FirstTableYear - y) / PastBlendYears);
        return HistoricalDeltaT(y) + offset * weight;
    }
    if (y <= LastTableYear) {
        return TableDeltaT(y);
    }
    const double offset = TableDeltaT(LastTableYear) - LongTermParabola(LastTableYear);
    const double weight = std::max(0.0, 1.0 - (y - LastTableYear) / FutureBlendYears);
    return LongTermParabola(y) + offset * weight;
}

double DecimalYear(double jd) {
    // 2000 January 1, 0h is 2000.0; the table's rows are at 1 January.
    return 2000.0 + (jd - (J2000 - 0.5)) / 365.2425;
}

double DeltaTDays(double jdUt) {
    return DeltaTSeconds(DecimalYear(jdUt)) / 86400.0;
}

double UniversalFromTerrestrial(double jde) {
    // ΔT changes by well under a millisecond in the seventy seconds between
    // the two scales, so ΔT at the TT instant serves.
    return jde - DeltaTDays(jde);
}

} // namespace lunex
