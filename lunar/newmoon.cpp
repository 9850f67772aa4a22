#include "lunar/newmoon.h"

#include <QHash>

#include "clock/civiltime.h"

#include "lunar/deltat.h"
#include "lunar/ephemeris.h"
#include "lunar/fundamentals.h"
#include "lunar/lunartheory.h"

#include <array>
#include <cmath>
#include <numbers>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace lunex {
namespace {

// One periodic term: coefficient × E^power × sin(m·M + mp·M' + f·F + o·Ω).
struct Term {
    double coefficient;
    int ePower;
    int m, mp, f, o;
};

constexpr std::array<Term, 25> NewMoonTerms{{
    {-0.40720, 0, 0, 1, 0, 0}, {0.17241, 1, 1, 0, 0, 0},    {0.01608, 0, 0, 2, 0, 0},
    {0.01039, 0, 0, 0, 2, 0},  {0.00739, 1, -1, 1, 0, 0},   {-0.00514, 1, 1, 1, 0, 0},
    {0.00208, 2, 2, 0, 0, 0},  {-0.00111, 0, 0, 1, -2, 0},  {-0.00057, 0, 0, 1, 2, 0},
    {0.00056, 1, 1, 2, 0, 0},  {-0.00042, 0, 0, 3, 0, 0},   {0.00042, 1, 1, 0, 2, 0},
    {0.00038, 1, 1, 0, -2, 0}, {-0.00024, 1, -1, 2, 0, 0},  {-0.00017, 0, 0, 0, 0, 1},
    {-0.00007, 0, 2, 1, 0, 0}, {0.00004, 0, 0, 2, -2, 0},   {0.00004, 0, 3, 0, 0, 0},
    {0.00003, 0, 1, 1, -2, 0}, {0.00003, 0, 0, 2, 2, 0},    {-0.00003, 0, 1, 1, 2, 0},
    {0.00003, 0, -1, 1, 2, 0}, {-0.00002, 0, -1, 1, -2, 0}, {-0.00002, 0, 1, 3, 0, 0},
    {0.00002, 0, 0, 4, 0, 0},
}};

// The additional corrections, common to all phases: coefficient and the
// argument's constant and rate per lunation (A1 also has a T² term).
struct Planetary {
    double coefficient, constant, rate;
};

constexpr std::array<Planetary, 14> AdditionalCorrections{{
    {0.000325, 299.77, 0.107408},
    {0.000165, 251.88, 0.016321},
    {0.000164, 251.83, 26.651886},
    {0.000126, 349.42, 36.412478},
    {0.000110, 84.66, 18.206239},
    {0.000062, 141.74, 53.303771},
    {0.000060, 207.14, 2.453732},
    {0.000056, 154.84, 7.306860},
    {0.000047, 34.52, 27.261239},
    {0.000042, 207.19, 0.121824},
    {0.000040, 291.34, 1.844379},
    {0.000037, 161.72, 24.198154},
    {0.000035, 239.56, 25.513099},
    {0.000023, 331.55, 3.592518},
}};

} // namespace

double MeeusNewMoonJde(int k) {
    const double kk = k;
    const double t = kk / 1236.85; // Julian centuries from J2000.0
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;

    const double meanJde = LunationEpochJde + MeanLunationDays * kk + 0.00015437 * t2 -
                           0.000000150 * t3 + 0.00000000073 * t4;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;
    const double sunAnomaly = 2.5534 + 29.10535670 * kk - 0.0000014 * t2 - 0.00000011 * t3;
    const double moonAnomaly =
        201.5643 + 385.81693528 * kk + 0.0107582 * t2 + 0.00001238 * t3 - 0.000000058 * t4;
    const double latitudeArgument =
        160.7108 + 390.67050284 * kk - 0.0016118 * t2 - 0.00000227 * t3 + 0.000000011 * t4;
    const double node = 124.7746 - 1.56375588 * kk + 0.0020672 * t2 + 0.00000215 * t3;

    double periodic = 0.0;
    for (const Term &term : NewMoonTerms) {
        const double argument =
            term.m * sunAnomaly + term.mp * moonAnomaly + term.f * latitudeArgument + term.o * node;
        periodic += term.coefficient * std::pow(e, term.ePower) * SinDeg(argument);
    }

    double additional = 0.0;
    for (std::size_t i = 0; i < AdditionalCorrections.size(); ++i) {
        double argument = AdditionalCorrections[i].constant + AdditionalCorrections[i].rate * kk;
        if (i == 0) {
            argument -= 0.009173 * t2;
        }
        additional += AdditionalCorrections[i].coefficient * SinDeg(argument);
    }

    return meanJde + periodic + additional;
}

namespace {

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

// Called before each new moon. Code elsewhere in the process (ICU's, which
// Qt's time-zone code runs) may leave the upper halves of the AVX registers
// in use; until they are cleared every SSE instruction of the series waits on
// them, and the series run five to ten times slower (lunex-newmoons for
// 1900–2100: 2.1 s instead of 0.3 s).
void ClearVectorUpperHalves() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = (__builtin_cpu_init(), __builtin_cpu_supports("avx") != 0);
    if (hasAvx) {
        ZeroUpperHalves();
    }
#endif
}

// How fast the Moon gains on the Sun (degrees per day) at an instant: the
// Moon's rate from the short series of chapter 47, good to a part in a
// thousand, plenty for steps of seconds.
double RelativeRate(double jde) {
    constexpr double step = 0.01;
    const Nutation none;
    const double moon = SignedDegrees(MoonApparent(jde + step, none).longitude -
                                      MoonApparent(jde - step, none).longitude) /
                        (2.0 * step);
    const double sun =
        SignedDegrees(SunApparentLongitude(jde + step) - SunApparentLongitude(jde - step)) /
        (2.0 * step);
    return moon - sun;
}

} // namespace

double TrueNewMoonJde(int k) {
    ClearVectorUpperHalves();
    // Meeus's instant is within about twenty seconds; with a rate good to a
    // part in a thousand each Newton step leaves about a thousandth of the
    // error before it, so a step under 0.05 s leaves well under a millisecond.
    double jde = MeeusNewMoonJde(k);
    const double rate = RelativeRate(jde);
    for (int evaluation = 0; evaluation < 3; ++evaluation) {
        const double correction =
            SignedDegrees(MoonApparentLongitude(jde) - SunApparentLongitude(jde)) / rate;
        jde -= correction;
        if (std::abs(correction) < 0.05 / 86400.0) {
            break;
        }
    }
    return jde;
}

// Kept once computed, a table for each thread: the full theory is the
// greater part of a log entry's prediction, and the entries of a log (an
// import of thousands) fall in far fewer lunations.
QDateTime NewMoonUtc(int k) {
    thread_local QHash<int, QDateTime> computed;
    if (const auto found = computed.constFind(k); found != computed.cend()) {
        return *found;
    }
    return *computed.insert(k, FromJulianDay(UniversalFromTerrestrial(TrueNewMoonJde(k))));
}

int LunationAtOrAfter(const QDateTime &instant) {
    const double lunations = (JulianDay(instant) - LunationEpochJde) / MeanLunationDays;
    int k = static_cast<int>(std::floor(lunations));
    // The true new moon strays up to about 15 hours from the mean one, so the
    // estimate is at most one off either way.
    while (NewMoonUtc(k) < instant) {
        ++k;
    }
    while (NewMoonUtc(k - 1) >= instant) {
        --k;
    }
    return k;
}

namespace {

// The first instant of 1 January of the year on the zone's clock.
QDateTime YearStart(int year, const QTimeZone &zone) {
    return DayStart(QDate(year, 1, 1), zone)
        .value_or(QDateTime(QDate(year, 1, 1), QTime(0, 0), QTimeZone::utc()));
}

} // namespace

int FirstForecastLunation(const QTimeZone &zone) {
    return LunationAtOrAfter(YearStart(FirstServedYear, zone));
}

int LastForecastLunation(const QTimeZone &zone) {
    return LunationAtOrAfter(YearStart(LastServedYear + 1, zone)) - 1;
}

} // namespace lunex
