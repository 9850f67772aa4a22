#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"
#include "lunar/newmoon.h"

#include <QList>
#include <QTimeZone>

// The year at a glance at one place: for each new moon of the year, the first
// evening its crescent can be seen with optical aid and with the eye, and
// the year's youngest crescents, the record chances worth the trip.
namespace lunex {

struct YearLunation {
    int number = 0; // the lunation k (lunar/newmoon.h)
    Lunation lunation;
    // The first evening optical aid (Yallop A–D) and the eye (A–B) show the
    // crescent, by their place in lunation.evenings; -1 when none does.
    int firstOpticalAid = -1;
    int firstNakedEye = -1;
};

struct YearOverview {
    int year = 0;
    QList<YearLunation> lunations; // those whose new moon falls in the year
    // The lunation, by its place in `lunations`, whose first evening shows the
    // youngest crescent of the year with optical aid, and with the eye; -1
    // when no evening of the year shows one.
    int youngestOpticalAid = -1;
    int youngestNakedEye = -1;
};

// The years it serves: FirstServedYear to LastServedYear (lunar/newmoon.h).

// The lunations whose new moon falls in the year by the zone's clock.
YearOverview ComputeYearOverview(const Place &place, int year, const QTimeZone &zone);

// The year's lunations alone, in their order.
QList<Lunation> LunationsOf(const YearOverview &year);

} // namespace lunex
