#include "lunar/evenings.h"

#include "lunar/apparentsky.h"
#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <algorithm>

namespace lunex {
namespace {

void AddWhereToLook(const LocalSky &sky, const HorizonProfile &skyline, Evening &e) {
    if (e.sighting.sunEvent) {
        e.moonAtSunset = ObserveSky(sky, *e.sighting.sunEvent).moon;
    }
    if (e.sighting.bestTime) {
        const SkyMoment best = ObserveSky(sky, *e.sighting.bestTime);
        e.moonAtBestTime = best.moon;
        e.illuminatedPercent = 100.0 * best.illuminatedFraction;
        e.sunAltitudeAtBestTime = best.sun.altitude;
    }
    if (!skyline.isFlat()) {
        e.skyline = MoonAgainstSkyline(sky, skyline, e.sighting, e.direction);
    }
}

// The evening (morning) of a date, with the crescent's age when it has one.
Evening ObserveDate(const LocalSky &sky, const HorizonProfile &skyline, const QDate &date,
                    Direction direction, const QDateTime &newMoon) {
    Evening e;
    e.date = date;
    e.direction = direction;
    e.sighting = ObserveCrescent(sky, JulianDayOfDate(date), JulianDay(newMoon), direction);
    AddWhereToLook(sky, skyline, e);
    if (e.sighting.status == CrescentStatus::Computed) {
        // The age of the two times as they are shown: what Lunex itself
        // says for a new moon and an observation typed to the minute.
        e.age = CalculateLunarAge(RoundedToMinute(newMoon), MinuteOf(*e.sighting.bestTime));
    }
    return e;
}

bool SeenByEye(const Evening &e) {
    return e.sighting.status == CrescentStatus::Computed && e.sighting.yallop <= YallopClass::B;
}

bool SeenWithAid(const Evening &e) {
    return e.sighting.status == CrescentStatus::Computed && e.sighting.yallop <= YallopClass::D;
}

// Marks the first of the rows that the criterion shows.
template <typename Iterator>
void Mark(Iterator begin, Iterator end, bool (*seen)(const Evening &), bool Evening::*mark) {
    const Iterator found = std::find_if(begin, end, seen);
    if (found != end) {
        (*found).*mark = true;
    }
}

} // namespace

Lunation ComputeLunation(const Place &place, int k, const HorizonProfile &skyline) {
    Lunation lunation{NewMoonUtc(k), {}, {}};
    const double newMoon = JulianDay(lunation.newMoon);
    // The day of the new moon by the place's own mean solar time.
    const QDate newMoonDate = FromJulianDay(newMoon + place.longitude / 360.0).date();
    const double newMoonDay = JulianDayOfDate(newMoonDate);
    // From the moonrise before the first sunrise to the moonset after the
    // last sunset, a day's margin on either side for the lower culminations.
    const SkyTrack track(newMoonDay - MorningsPerLunation - 1.0,
                         newMoonDay + EveningsPerLunation + 2.0);
    const LocalSky sky(track, place);
    for (int i = MorningsPerLunation - 1; i >= 0; --i) {
        lunation.mornings.append(ObserveDate(sky, skyline, newMoonDate.addDays(-i),
                                             Direction::Morning, lunation.newMoon));
    }
    for (int i = 0; i < EveningsPerLunation; ++i) {
        lunation.evenings.append(ObserveDate(sky, skyline, newMoonDate.addDays(i),
                                             Direction::Evening, lunation.newMoon));
    }
    // The old crescent's last mornings, looking back from the new moon, and
    // the young one's first evenings.
    Mark(lunation.mornings.rbegin(), lunation.mornings.rend(), SeenByEye, &Evening::lastNakedEye);
    Mark(lunation.mornings.rbegin(), lunation.mornings.rend(), SeenWithAid,
         &Evening::lastOpticalAid);
    Mark(lunation.evenings.begin(), lunation.evenings.end(), SeenByEye, &Evening::firstNakedEye);
    Mark(lunation.evenings.begin(), lunation.evenings.end(), SeenWithAid,
         &Evening::firstOpticalAid);
    return lunation;
}

QList<Evening> MorningsAndEvenings(const Lunation &lunation) {
    return lunation.mornings + lunation.evenings;
}

QList<Evening> RowsOf(const Lunation &lunation, DayParts parts) {
    switch (parts) {
    case DayParts::Evenings:
        return lunation.evenings;
    case DayParts::Mornings:
        return lunation.mornings;
    case DayParts::Both:
        break;
    }
    return MorningsAndEvenings(lunation);
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

QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count,
                                 const HorizonProfile &skyline) {
    QList<Lunation> lunations;
    const int first = LunationAtOrAfter(from);
    for (int k = first; k < first + count; ++k) {
        lunations.append(ComputeLunation(place, k, skyline));
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
    // Noon lies half a day from either midnight: only a clock a day off the
    // Sun (west of the date line on Asia's side, as Samoa's) changes the date.
    const double noon = LocalMeanNoon(JulianDayOfDate(evening.date), place.longitude);
    return MinuteOf(noon).toTimeZone(zone).date();
}

} // namespace lunex
