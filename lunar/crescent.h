#pragma once

#include "lunar/riseset.h"

#include <QChar>

#include <optional>

// How hard the young (or old) crescent is to see on one evening (morning)
// at one place, by the two published criteria.
//
// B. D. Yallop, "A Method for Predicting the First Sighting of the New
// Crescent Moon", NAO Technical Note No. 69, HM Nautical Almanac Office (1997,
// rev. 1998):
// - best time Tb = Ts + 4/9 Lag, Lag = moonset − sunset (for the morning,
//   Tb = Tr − 4/9 Lag with Lag = sunrise − moonrise);
// - ARCL, ARCV and DAZ at Tb from geocentric, airless places;
// - the crescent's width W′ = SD′ (1 − cos ARCL) in arc minutes with the
//   topocentric semi-diameter SD′ = SD (1 + sin h sin π), SD = 0.27245 π,
//   π the horizontal parallax and h the Moon's altitude;
// - q = (ARCV − (11.8371 − 6.3226 W′ + 0.7319 W′² − 0.1018 W′³)) / 10 and the
//   classes A–F at q > +0.216, −0.014, −0.160, −0.232, −0.293.
//
// M. Sh. Odeh, "New Criterion for Lunar Crescent Visibility", Experimental
// Astronomy 18 (2004) 39–64: the same best time; V = ARCV − (7.1651 −
// 6.3226 W + 0.7319 W² − 0.1018 W³) with the topocentric ARCV and the
// topocentric width W (from the topocentric ARCL); zones A–D at
// V ≥ 5.65, 2.00 and −0.96.
namespace lunex {

enum class YallopClass { A, B, C, D, E, F };
enum class OdehZone { A, B, C, D };

YallopClass ClassifyYallop(double q);
OdehZone ClassifyOdeh(double v);

// The names the papers give them: "A" to "F" for Yallop's classes, "A" to
// "D" for Odeh's zones.
QChar ClassLetter(YallopClass c);
QChar ClassLetter(OdehZone z);

// Evenings (mornings) that have no best time, or no crescent at it.
enum class CrescentStatus {
    Computed,
    SunStaysUp,    // midnight Sun: no sunset (sunrise) that day
    SunStaysDown,  // polar night
    MoonSetsFirst, // the Moon is below the horizon at sunset (rises after sunrise)
    MoonStaysUp,   // the Moon does not set (rise) before its lower culmination
    BeforeNewMoon  // the best time precedes the new moon (morning: follows it)
};

struct CrescentSighting {
    CrescentStatus status = CrescentStatus::Computed;
    // Julian Days (UT): sunset and moonset; sunrise and moonrise in the morning.
    std::optional<double> sunEvent;
    std::optional<double> moonEvent;
    // Moonset − sunset (sunrise − moonrise) in minutes, when both exist;
    // negative when the Moon sets first.
    std::optional<double> lagMinutes;
    std::optional<double> bestTime;

    // Yallop's quantities: geocentric and airless, in degrees; W′ in arc minutes.
    double arcl = 0;
    double arcv = 0;
    double daz = 0;      // the Sun's azimuth minus the Moon's
    double parallax = 0; // the Moon's horizontal parallax
    double widthYallop = 0;
    double q = 0;
    YallopClass yallop = YallopClass::F;

    // Odeh's: topocentric.
    double arclTopocentric = 0;
    double arcvTopocentric = 0;
    double widthTopocentric = 0;
    double v = 0;
    OdehZone odeh = OdehZone::D;
};

// The crescent on the evening (morning) of a local date at a place. The date
// is given by the Julian Day of its 0h UT; its evening is the one after the
// culmination of the Sun nearest to local mean noon, whatever the zone's
// clock says. The new moon is the conjunction that the crescent follows
// (the morning's: the one it precedes), in Julian Days of UT.
CrescentSighting ObserveCrescent(const LocalSky &sky, double dateJd, double newMoonJd,
                                 Direction direction = Direction::Evening);

// The quantities at a given best time, whatever the horizon did.
void MeasureCrescent(const LocalSky &sky, double bestTime, CrescentSighting &sighting);

} // namespace lunex
