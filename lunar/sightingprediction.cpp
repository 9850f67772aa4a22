#include "lunar/sightingprediction.h"

#include "lunar/apparentsky.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "lunar/lunarage.h"
#include "lunar/newmoon.h"

#include <cmath>

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

    // The track over the hours the sunset (sunrise) and the Moon's setting
    // (rising) are sought in: from half a day before the local mean noon to
    // a day and a quarter after it (before it in the morning), not three
    // whole days; outside it the sky is computed directly. It starts on a
    // whole day from the date, as the forecast's does, so that its hours and
    // the forecast's are the very same instants.
    const double dateJd = JulianDayOfDate(date);
    const double noon = dateJd + 0.5 - place.longitude / 360.0;
    const bool evening = p.direction == Direction::Evening;
    const double from = noon - (evening ? 0.5 : 1.25);
    const SkyTrack track(dateJd + std::floor(from - dateJd), noon + (evening ? 1.25 : 0.5));
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

SightingMoment ClassifySightingMoment(const SightingPrediction &p, const Place &place,
                                      const QDateTime &moment) {
    // The Moon's mean apparent semi-diameter, degrees: the upper limb within
    // a few seconds of its setting either way.
    constexpr double MeanMoonSemiDiameter = 0.259;
    const auto meanSolarDate = [&place](const QDateTime &instant) {
        return FromJulianDay(JulianDay(instant) + place.longitude / 360.0).date();
    };
    const qint64 days = meanSolarDate(p.newMoon).daysTo(meanSolarDate(moment));
    const bool evening = p.direction == Direction::Evening;
    const bool crescentDay = evening ? days >= 0 && days < EveningsPerLunation
                                     : -days >= 0 && -days < MorningsPerLunation;
    if (!crescentDay) {
        return SightingMoment::NoCrescentDay;
    }
    return p.moon.altitude + MeanMoonSemiDiameter < 0 ? SightingMoment::MoonBelowHorizon
                                                      : SightingMoment::Crescent;
}

} // namespace lunex
