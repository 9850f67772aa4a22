#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"
#include "lunar/newmoon.h"

#include <QList>
#include <QTimeZone>

#include <array>

// The year at a glance at one place: for each new moon of the year, the last
// morning its old crescent and the first evening its young one can be seen,
// with optical aid and with the eye, and the year's crescents nearest the new
// moon, the record chances worth the trip.
namespace lunex {

// What the year shows of each new moon, in time order.
enum class Sight {
    LastMorningOpticalAid, // the last morning of Yallop A–D before the new moon
    LastMorningNakedEye,   // its last of A–B
    FirstEveningOpticalAid,
    FirstEveningNakedEye,
};
inline constexpr int SightCount = 4;
inline constexpr std::array<Sight, SightCount> Sights{
    Sight::LastMorningOpticalAid, Sight::LastMorningNakedEye, Sight::FirstEveningOpticalAid,
    Sight::FirstEveningNakedEye};

struct YearLunation {
    int number = 0; // the lunation k (lunar/newmoon.h)
    Lunation lunation;
    // The morning or evening of each sight; none when none of the lunation's
    // mornings (evenings) shows the crescent so.
    const Evening *of(Sight sight) const;
};

struct YearOverview {
    int year = 0;
    QList<YearLunation> lunations; // those whose new moon falls in the year
    // For each sight, the lunation (by its place in `lunations`) whose crescent
    // is the year's nearest to its new moon: the youngest evening's, the
    // morning's with the least time left; -1 when no day of the year shows one.
    std::array<int, SightCount> record{-1, -1, -1, -1};
    bool isRecord(int lunation, Sight sight) const { return record[int(sight)] == lunation; }
};

// The years it serves: FirstServedYear to LastServedYear (lunar/newmoon.h).

// The lunations whose new moon falls in the year by the zone's clock.
YearOverview ComputeYearOverview(const Place &place, int year, const QTimeZone &zone);

// The year's lunations alone, in their order.
QList<Lunation> LunationsOf(const YearOverview &year);

} // namespace lunex
