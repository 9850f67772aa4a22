#pragma once

#include "lunar/crescent.h"
#include "lunar/ephemeris.h"
#include "lunar/lunarage.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTimeZone>

#include <optional>

// The evenings after each new moon at one place: when the young crescent can
// first be seen, by the eye and with optical aid.
namespace lunex {

// Evenings shown after each new moon: the day of the new moon and three more.
inline constexpr int EveningsPerLunation = 4;

struct Evening {
    QDate date; // the place's own date (by its mean solar time)
    CrescentSighting sighting;
    std::optional<LunarAge> age;  // at the best time, when there is a crescent
    bool firstNakedEye = false;   // the lunation's first evening of Yallop A or B
    bool firstOpticalAid = false; // its first of A to D: optical aid shows it from then on
    // Where to look, as the eye sees it (lunar/apparentsky.h): the Moon at
    // sunset, when the Sun sets, and at the best time, when there is one.
    std::optional<Horizontal> moonAtSunset;
    std::optional<Horizontal> moonAtBestTime;
    std::optional<double> illuminatedPercent; // the lit part of the disc at the best time
};

struct Lunation {
    QDateTime newMoon; // UTC
    QList<Evening> evenings;
};

// The lunation k (lunar/newmoon.h): its new moon and its evenings at the place.
Lunation ComputeLunation(const Place &place, int k);

// The lunation to show when none is asked for: the latest new moon whose
// evenings at the place have not all passed by `now`'s date in the zone.
int CurrentLunation(const Place &place, const QDateTime &now, const QTimeZone &zone);

// `count` lunations, from the first new moon at or after the instant.
QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count);

// The instant rounded to the nearest minute, as every time of the evenings is shown.
QDateTime RoundedToMinute(const QDateTime &instant);
// The same for a Julian Day of UT.
QDateTime MinuteOf(double jd);

// The civil date an evening has in a zone: that of its sunset, or, where the
// Sun does not set, that of the place's mean noon.
QDate CivilDateOf(const Evening &evening, const Place &place, const QTimeZone &zone);

} // namespace lunex
