#pragma once

#include "lunar/ephemeris.h"

#include <optional>

// Sunset and moonset (sunrise and moonrise for the morning) found on the true
// altitude, to about a second, by bracketing each event between the body's
// culmination and its lower culmination and closing in on it.
//
// The conventions are those of the almanacs' tables of rising and setting
// (Explanatory Supplement to the Astronomical Almanac, 1992, sec. 9.3; Meeus,
// Astronomical Algorithms, ch. 15, whose standard altitudes h0 = −0°50′ for
// the Sun and 0.7275 π − 0°34′ for the Moon are their geocentric form):
// - the upper limb touches the horizon: the semi-diameter of the day, not a
//   mean one;
// - refraction at the horizon is 34′ whatever the weather;
// - the horizon is that of sea level, whatever the observer's height: no
//   dip. Yallop's note does not spell its convention out, but times computed
//   this way reproduce the Lag of its Table 4 (B. D. Yallop, NAO Technical
//   Note 69, 1998), on which the best time and q rest: see the tests;
// - the Moon is seen from the observer (topocentric, ch. 40), its parallax of
//   up to a degree included; the Sun's 9″ parallax is left out, as the
//   almanacs leave it out.
namespace lunex {

enum class Direction {
    Evening = 1, // forward in time: setting
    Morning = -1 // backward in time: rising
};

// One place under the sky of a track.
class LocalSky {
public:
    LocalSky(const SkyTrack &track, const Place &place);

    // The altitude of the body's upper limb with standard refraction minus
    // that of the horizon: positive while the body is up by the convention above.
    double sunAboveHorizon(double jdUt) const;
    double moonAboveHorizon(double jdUt) const;

    double sunHourAngle(double jdUt) const;
    double moonHourAngle(double jdUt) const;

    const SkyTrack &track() const { return track_; }
    const Place &place() const { return place_; }
    const ObserverPosition &observer() const { return observer_; }

private:
    const SkyTrack &track_;
    Place place_;
    ObserverPosition observer_;
};

struct SunHorizon {
    enum class Kind {
        Crosses,  // sets (rises) that day
        StaysUp,  // midnight Sun: up at its lower culmination
        StaysDown // polar night: down at its culmination
    };
    Kind kind = Kind::Crosses;
    double jdUt = 0; // the instant of setting (rising) when it crosses
};

// The sunset that follows (the sunrise that precedes) the Sun's culmination
// nearest to the given local noon.
SunHorizon FindSunHorizon(const LocalSky &sky, double localNoonUt, Direction direction);

struct MoonHorizon {
    enum class Kind {
        Crosses,     // sets after (rises before) the instant
        StaysUp,     // up at the instant and still up at its next lower culmination
        AlreadyDown, // below the horizon at the instant
        StaysDown    // below it at the instant and at its culmination before (after) it
    };
    Kind kind = Kind::Crosses;
    // The instant of setting (rising). For AlreadyDown, the setting before
    // (the rising after) the instant when there is one since the Moon's last
    // culmination.
    std::optional<double> jdUt;
};

// The first moonset after (the last moonrise before) an instant.
MoonHorizon FindMoonHorizon(const LocalSky &sky, double jdUt, Direction direction);

} // namespace lunex
