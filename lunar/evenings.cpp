#include "lunar/evenings.h"

#include "lunar/apparentsky.h"
#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

namespace lunex {
namespace {

void AddWhereToLook(const LocalSky &sky, Evening &e) {
    if (e.sighting.sunEvent) {
        e.moonAtSunset = ObserveSky(sky, *e.sighting.sunEvent).moon;
    }
    if (e.sighting.bestTime) {
        const SkyMoment best = ObserveSky(sky, *e.sighting.bestTime);
        e.moonAtBestTime = best.moon;
        e.illuminatedPercent = 100.0 * best.illuminatedFraction;
    }
}

} // namespace

Lunation ComputeLunation(const Place &place, int k) {
    Lunation lunation{NewMoonUtc(k), {}};
    const double newMoon = JulianDay(lunation.newMoon);
    // The day of the new moon by the place's own mean solar time.
    const QDate firstDate = FromJulianDay(newMoon + place.longitude / 360.0).date();
    const double firstJd = JulianDayOfDate(firstDate);
    // From the culmination before the first sunset to the moonset after the last.
    const SkyTrack track(firstJd - 1.0, firstJd + EveningsPerLunation + 2.0);
    const LocalSky sky(track, place);
    bool seenByEye = false, seenWithAid = false;
    for (int i = 0; i < EveningsPerLunation; ++i) {
        Evening e;
        e.date = firstDate.addDays(i);
        e.sighting = ObserveCrescent(sky, firstJd + i, newMoon);
        AddWhereToLook(sky, e);
        if (e.sighting.status == CrescentStatus::Computed) {
            // The age of the two times as they are shown: what Lunex itself
            // says for a new moon and an observation typed to the minute.
            e.age = CalculateLunarAge(RoundedToMinute(lunation.newMoon),
                                      MinuteOf(*e.sighting.bestTime));
            if (!seenByEye && e.sighting.yallop <= YallopClass::B) {
                e.firstNakedEye = seenByEye = true;
            }
            if (!seenWithAid && e.sighting.yallop <= YallopClass::D) {
                e.firstOpticalAid = seenWithAid = true;
            }
        }
        lunation.evenings.append(e);
    }
    return lunation;
}

QDateTime RoundedToMinute(const QDateTime &instant) {
    constexpr qint64 minute = 60000;
    const qint64 shifted = instant.toMSecsSinceEpoch() + minute / 2;
    const qint64 rounded = shifted - (((shifted % minute) + minute) % minute);
    return QDateTime::fromMSecsSinceEpoch(rounded, QTimeZone::utc());
}

QDateTime MinuteOf(double jd) {
    return RoundedToMinute(FromJulianDay(jd));
}

QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count) {
    QList<Lunation> lunations;
    const int first = LunationAtOrAfter(from);
    for (int k = first; k < first + count; ++k) {
        lunations.append(ComputeLunation(place, k));
    }
    return lunations;
}

int CurrentLunation(const Place &place, const QDateTime &now, const QTimeZone &zone) {
    const int latest = LunationAtOrAfter(now) - 1;
    const QDate today = now.toTimeZone(zone).date();
    const Lunation lunation = ComputeLunation(place, latest);
    return CivilDateOf(lunation.evenings.constLast(), place, zone) < today ? latest + 1 : latest;
}

QDate CivilDateOf(const Evening &evening, const Place &place, const QTimeZone &zone) {
    const double jd = evening.sighting.sunEvent.value_or(
        LocalMeanNoon(JulianDayOfDate(evening.date), place.longitude));
    return MinuteOf(jd).toTimeZone(zone).date();
}

} // namespace lunex
