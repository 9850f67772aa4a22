#include "lunar/riseset.h"

#include <algorithm>
#include <cmath>

namespace lunex {
namespace {

constexpr double Refraction = 34.0 / 60.0; // degrees, at the horizon
constexpr double SecondInDays = 1.0 / 86400.0;

// Mean rates of the hour angles, degrees a day: a first step that the
// iteration on the true hour angle then corrects.
constexpr double SunHourRate = 360.0;
constexpr double MoonHourRate = 347.81;

// The instant after (direction > 0) or before (< 0) `from` at which the hour
// angle takes the target value.
template <typename HourAngleOf>
double FindHourAngle(HourAngleOf hourAngle, double from, double target, int direction,
                     double rate) {
    const double ahead = NormalizeDegrees(direction * (target - hourAngle(from)));
    double t = from + direction * ahead / rate;
    for (int i = 0; i < 4; ++i) {
        t -= SignedDegrees(hourAngle(t) - target) / rate;
    }
    return t;
}

// The instant between a and b where f, of opposite signs at the two ends,
// crosses zero: regula falsi with the Illinois modification, which keeps the
// bracket while converging faster than halving it.
template <typename Function>
double FindCrossing(Function f, double a, double fa, double b, double fb) {
    int stale = 0;
    for (int i = 0; i < 100 && std::abs(b - a) > SecondInDays; ++i) {
        const double c = (fa * b - fb * a) / (fa - fb);
        const double fc = f(c);
        if (fc == 0) {
            return c;
        }
        if ((fc > 0) == (fb > 0)) {
            b = c;
            fb = fc;
            if (stale == -1) {
                fa /= 2;
            }
            stale = -1;
        } else {
            a = c;
            fa = fc;
            if (stale == 1) {
                fb /= 2;
            }
            stale = 1;
        }
    }
    return (a + b) / 2;
}

} // namespace

LocalSky::LocalSky(const SkyTrack &track, const Place &place)
    : track_(track), place_(place), observer_(ObserverPositionOf(place)) {}

double LocalSky::sunAboveHorizon(double jdUt) const {
    const GeocentricSky sky = track_.at(jdUt);
    const double hourAngle = HourAngle(GreenwichApparentSiderealTime(jdUt, sky), place_, sky.sun);
    const Horizontal h = ToHorizontal(hourAngle, sky.sun.declination, place_.latitude);
    return h.altitude + Refraction + SunSemiDiameter(sky.sun.distanceKm);
}

double LocalSky::moonAboveHorizon(double jdUt) const {
    const GeocentricSky sky = track_.at(jdUt);
    const double hourAngle = HourAngle(GreenwichApparentSiderealTime(jdUt, sky), place_, sky.moon);
    const Topocentric seen = ToTopocentric(hourAngle, sky.moon, observer_);
    const Horizontal h = ToHorizontal(seen.hourAngle, seen.declination, place_.latitude);
    return h.altitude + Refraction + MoonSemiDiameter(seen.distanceKm);
}

double LocalSky::sunHourAngle(double jdUt) const {
    const GeocentricSky sky = track_.at(jdUt);
    return HourAngle(GreenwichApparentSiderealTime(jdUt, sky), place_, sky.sun);
}

double LocalSky::moonHourAngle(double jdUt) const {
    const GeocentricSky sky = track_.at(jdUt);
    return HourAngle(GreenwichApparentSiderealTime(jdUt, sky), place_, sky.moon);
}

SunHorizon FindSunHorizon(const LocalSky &sky, double localNoonUt, Direction direction) {
    const int s = int(direction);
    const auto hourAngle = [&](double t) { return sky.sunHourAngle(t); };
    const auto above = [&](double t) { return sky.sunAboveHorizon(t); };
    // The equation of time keeps the culmination within 17 minutes of mean noon.
    const double culmination = FindHourAngle(hourAngle, localNoonUt - 0.5, 0.0, 1, SunHourRate);
    const double lower = FindHourAngle(hourAngle, culmination, 180.0, s, SunHourRate);
    const double high = above(culmination);
    const double low = above(lower);
    if (high <= 0) {
        return {SunHorizon::Kind::StaysDown, 0};
    }
    if (low > 0) {
        return {SunHorizon::Kind::StaysUp, 0};
    }
    return {SunHorizon::Kind::Crosses, FindCrossing(above, culmination, high, lower, low)};
}

MoonHorizon FindMoonHorizon(const LocalSky &sky, double jdUt, Direction direction) {
    const int s = int(direction);
    const auto hourAngle = [&](double t) { return sky.moonHourAngle(t); };
    const auto above = [&](double t) { return sky.moonAboveHorizon(t); };
    // "Later" and "earlier" in the direction of the search.
    const auto later = [s](double a, double b) { return s > 0 ? std::max(a, b) : std::min(a, b); };
    const auto earlier = [s](double a, double b) {
        return s > 0 ? std::min(a, b) : std::max(a, b);
    };

    const double atStart = above(jdUt);
    if (atStart <= 0) {
        // Below already: the setting before it (rising after it), if the Moon
        // was up since its last culmination on that side.
        const double culmination = FindHourAngle(hourAngle, jdUt, 0.0, -s, MoonHourRate);
        const double lower = FindHourAngle(hourAngle, culmination, 180.0, s, MoonHourRate);
        const double end = earlier(jdUt, lower);
        const double high = above(culmination);
        if (high <= 0) {
            // Down at its highest: it does not rise that day.
            return {MoonHorizon::Kind::StaysDown, std::nullopt};
        }
        const double atEnd = end == jdUt ? atStart : above(end);
        MoonHorizon result{MoonHorizon::Kind::AlreadyDown, std::nullopt};
        if (atEnd <= 0) {
            result.jdUt = FindCrossing(above, culmination, high, end, atEnd);
        }
        return result;
    }
    const double lower = FindHourAngle(hourAngle, jdUt, 180.0, s, MoonHourRate);
    const double low = above(lower);
    if (low > 0) {
        return {MoonHorizon::Kind::StaysUp, std::nullopt};
    }
    // From the later of the instant and the culmination before the lower
    // one, the altitude only falls (rises, going back) to the lower culmination.
    const double culmination = FindHourAngle(hourAngle, lower, 0.0, -s, MoonHourRate);
    const double start = later(jdUt, culmination);
    const double atCulmination = start == jdUt ? atStart : above(start);
    if (atCulmination > 0) {
        return {MoonHorizon::Kind::Crosses, FindCrossing(above, start, atCulmination, lower, low)};
    }
    // Only where the Moon grazes the horizon near a pole can it dip below
    // before culminating: the crossing lies between the instant and then.
    return {MoonHorizon::Kind::Crosses, FindCrossing(above, jdUt, atStart, start, atCulmination)};
}

} // namespace lunex
