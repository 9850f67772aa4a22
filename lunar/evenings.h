#pragma once

#include "lunar/crescent.h"
#include "lunar/ephemeris.h"
#include "lunar/horizon.h"
#include "lunar/lunarage.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTimeZone>

#include <optional>

// The mornings before each new moon and the evenings after it at one place:
// when the old crescent can last be seen and the young one first, by the eye
// and with optical aid.
namespace lunex {

// Evenings shown after each new moon: the day of the new moon and three more.
inline constexpr int EveningsPerLunation = 4;
// Mornings shown before it: the three days before the new moon's and its own.
inline constexpr int MorningsPerLunation = 4;

// One evening, or one morning: a morning mirrors an evening in time (sunrise
// for sunset, moonrise for moonset, the best time before sunrise), so one
// type holds both and a lunation's rows can be either.
struct Evening {
    QDate date; // the place's own date (by its mean solar time)
    Direction direction = Direction::Evening;
    CrescentSighting sighting;
    // At the best time, when there is a crescent; before the new moon (a
    // negative elapsedDays) in the morning.
    std::optional<LunarAge> age;
    bool firstNakedEye = false;   // the lunation's first evening of Yallop A or B
    bool firstOpticalAid = false; // its first of A to D: optical aid shows it from then on
    bool lastNakedEye = false;    // its last morning of Yallop A or B
    bool lastOpticalAid = false;  // its last of A to D: optical aid shows it until then
    // Where to look, as the eye sees it (lunar/apparentsky.h): the Moon at
    // sunset (sunrise, in the morning), when the Sun sets (rises), and at the
    // best time, when there is one.
    std::optional<Horizontal> moonAtSunset;
    std::optional<Horizontal> moonAtBestTime;
    std::optional<double> illuminatedPercent;    // the lit part of the disc at the best time
    std::optional<double> sunAltitudeAtBestTime; // apparent, degrees: how dark the sky is then
    // The Moon against the place's own skyline; none on a flat horizon.
    std::optional<SkylineMoon> skyline;

    bool isMorning() const { return direction == Direction::Morning; }
};

struct Lunation {
    QDateTime newMoon;       // UTC
    QList<Evening> mornings; // before the new moon, the earliest first
    QList<Evening> evenings;
};

// The lunation's mornings and then its evenings: all its rows in time order.
QList<Evening> MorningsAndEvenings(const Lunation &lunation);

// Which of a lunation's rows a table shows.
enum class DayParts { Evenings, Mornings, Both };
QList<Evening> RowsOf(const Lunation &lunation, DayParts parts);

// The lunation k (lunar/newmoon.h): its new moon and its evenings at the
// place, and the Moon against its skyline where it has one.
Lunation ComputeLunation(const Place &place, int k, const HorizonProfile &skyline = {});

// The lunation to show when none is asked for: the latest new moon whose
// evenings at the place have not all passed by `now`'s date in the zone.
int CurrentLunation(const Place &place, const QDateTime &now, const QTimeZone &zone);

// `count` lunations, from the first new moon at or after the instant.
QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count,
                                 const HorizonProfile &skyline = {});

// The instant rounded to the nearest minute, as every time of the evenings is shown.
QDateTime RoundedToMinute(const QDateTime &instant);
// The same for a Julian Day of UT.
QDateTime MinuteOf(double jd);

// The date an evening (a morning) has on a zone's clock: that of the place's
// mean noon that day. On the place's own clock it is the place's calendar
// date, and a lunation's rows stay on consecutive days, whatever hour sunset
// or sunrise strikes there; a time shown on another clock carries its own
// day's difference (texts/eveningtexts.h).
QDate CivilDateOf(const Evening &evening, const Place &place, const QTimeZone &zone);

} // namespace lunex
