#include "lunar/newmoon.h"

#include "lunar/angleunits.h"

#include <QDate>
#include <QTime>

#include <array>
#include <cmath>
#include <numbers>

namespace lunex {
namespace {

constexpr double UnixEpochJd = 2440587.5; // 1970-01-01 00:00 UT
constexpr double MsPerDay = 86400000.0;
// Meeus's mean lunation for the lunation count (eq. 49.1), not the program's
// phase constant SynodicMonthDays.
constexpr double MeanLunationDays = 29.530588861;

double SinDeg(double degrees) {
    // Reduced first: at k of several thousand the arguments reach millions of degrees.
    return std::sin(std::fmod(degrees, 360.0) * Degree);
}

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

double TrueNewMoonJde(int k) {
    const double kk = k;
    const double t = kk / 1236.85; // Julian centuries from J2000.0
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;

    const double meanJde = 2451550.09766 + MeanLunationDays * kk + 0.00015437 * t2 -
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

double JulianDay(const QDateTime &instant) {
    return UnixEpochJd + static_cast<double>(instant.toMSecsSinceEpoch()) / MsPerDay;
}

QDateTime FromJulianDay(double jd) {
    const auto ms = static_cast<qint64>(std::llround((jd - UnixEpochJd) * MsPerDay));
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

QDateTime NewMoonUtc(int k) {
    const double jde = TrueNewMoonJde(k);
    // ΔT changes by well under a second within the month, so the TT date
    // picks the same month as the UT one for every practical purpose.
    const double deltaT = DeltaTSeconds(DecimalYear(FromJulianDay(jde)));
    return FromJulianDay(jde - deltaT / 86400.0);
}

int LunationAtOrAfter(const QDateTime &instant) {
    const double lunations = (JulianDay(instant) - 2451550.09766) / MeanLunationDays;
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

// The zone's wall clock at the instant, rounded to the nearest minute, as a
// UTC date-time that reads like it (so no zone rule applies twice).
QDateTime WallClockMinute(const QDateTime &utc, const QTimeZone &zone) {
    const qint64 offsetMs = qint64{zone.offsetFromUtc(utc)} * 1000;
    const qint64 localMs = utc.toMSecsSinceEpoch() + offsetMs;
    // Rounded on the local clock, not in UT: historical offsets (local mean
    // time) are not whole minutes.
    const qint64 minute = 60000;
    const qint64 shifted = localMs + minute / 2;
    const qint64 rounded = shifted - (((shifted % minute) + minute) % minute);
    // Rounded up across the moment the clocks go forward, the minute is one
    // the clock skips (02:00 for a new moon at 01:59:40): the rounded instant
    // is read off the clock again, which then shows 03:00.
    const qint64 instant = rounded - offsetMs;
    const int offsetThen = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(instant, Qt::UTC));
    return QDateTime::fromMSecsSinceEpoch(instant + qint64{offsetThen} * 1000, QTimeZone::utc());
}

QString EntryText(const QDateTime &wallClock) {
    return wallClock.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

QString NewMoonText(const QDateTime &utc, const QTimeZone &zone) {
    return EntryText(WallClockMinute(utc, zone));
}

QStringList NewMoonTexts(int fromYear, int toYear, const QTimeZone &zone) {
    QStringList texts;
    if (fromYear > toYear) {
        return texts;
    }
    // Two days early: the zone's offset may put a new moon of the last UT
    // hours of December into the local January.
    const QDateTime start =
        QDateTime(QDate(fromYear, 1, 1), QTime(0, 0), QTimeZone::utc()).addDays(-2);
    for (int k = LunationAtOrAfter(start);; ++k) {
        const QDateTime wallClock = WallClockMinute(NewMoonUtc(k), zone);
        const int year = wallClock.date().year();
        if (year > toYear) {
            break;
        }
        if (year >= fromYear) {
            texts.append(EntryText(wallClock));
        }
    }
    return texts;
}

QString NewMoonListHeading(const QTimeZone &zone) {
    return QStringLiteral("Újholdak (helyi idő: %1)").arg(QString::fromUtf8(zone.id()));
}

} // namespace lunex
