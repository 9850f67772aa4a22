#include "lunar/sightingprediction.h"

#include "lunar/apparentsky.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "lunar/lunarage.h"
#include "lunar/newmoon.h"

namespace lunex {

SightingPrediction PredictSighting(const Place &place, const QDateTime &moment) {
    SightingPrediction p;
    const double jd = JulianDay(moment);
    const double meanSolar = jd + place.longitude / 360.0;
    const QDateTime meanSolarTime = FromJulianDay(meanSolar);
    const QDate date = meanSolarTime.date();
    p.direction = meanSolarTime.time().hour() >= 12 ? Direction::Evening : Direction::Morning;
    const int next = LunationAtOrAfter(moment);
    p.newMoon = NewMoonUtc(p.direction == Direction::Evening ? next - 1 : next);
    if (const auto age = CalculateLunarAge(RoundedToMinute(p.newMoon), RoundedToMinute(moment))) {
        p.ageMinutes = age->elapsedDays < 0 ? -age->totalMinutes : age->totalMinutes;
    }

    const double dateJd = JulianDayOfDate(date);
    const SkyTrack track(dateJd - 1.0, dateJd + 2.0);
    const LocalSky sky(track, place);
    CrescentSighting s = ObserveCrescent(sky, dateJd, JulianDay(p.newMoon), p.direction);
    p.lagMinutes = s.lagMinutes;
    MeasureCrescent(sky, jd, s);
    p.moon = ObserveSky(sky, jd).moon;
    p.arcl = s.arcl;
    p.widthYallop = s.widthYallop;
    p.q = s.q;
    p.yallop = s.yallop;
    p.v = s.v;
    p.odeh = s.odeh;
    return p;
}

} // namespace lunex
