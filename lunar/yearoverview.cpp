#include "lunar/yearoverview.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QtConcurrent/QtConcurrentMap>

#include <cmath>
#include <numeric>

namespace lunex {
namespace {

const Evening *Marked(const QList<Evening> &rows, bool Evening::*mark) {
    for (const Evening &e : rows) {
        if (e.*mark) {
            return &e;
        }
    }
    return nullptr;
}

// The time between the new moon and the best time, in days: exact, where the
// shown ages are rounded to the minute and two days may show the same.
double DistanceFromNewMoon(const YearLunation &y, Sight sight) {
    return std::abs(*y.of(sight)->sighting.bestTime - JulianDay(y.lunation.newMoon));
}

int Nearest(const QList<YearLunation> &lunations, Sight sight) {
    int nearest = -1;
    for (int i = 0; i < lunations.size(); ++i) {
        if (lunations[i].of(sight) != nullptr &&
            (nearest < 0 || DistanceFromNewMoon(lunations[i], sight) <
                                DistanceFromNewMoon(lunations[nearest], sight))) {
            nearest = i;
        }
    }
    return nearest;
}

} // namespace

const Evening *YearLunation::of(Sight sight) const {
    switch (sight) {
    case Sight::LastMorningOpticalAid:
        return Marked(lunation.mornings, &Evening::lastOpticalAid);
    case Sight::LastMorningNakedEye:
        return Marked(lunation.mornings, &Evening::lastNakedEye);
    case Sight::FirstEveningOpticalAid:
        return Marked(lunation.evenings, &Evening::firstOpticalAid);
    case Sight::FirstEveningNakedEye:
        return Marked(lunation.evenings, &Evening::firstNakedEye);
    }
    return nullptr;
}

YearOverview ComputeYearOverview(const Place &place, int year, const QTimeZone &zone) {
    YearOverview overview;
    overview.year = year;
    // The year's first instant, even where its midnight is skipped.
    const int first = LunationAtOrAfter(QDate(year, 1, 1).startOfDay(zone));
    const int end = LunationAtOrAfter(QDate(year + 1, 1, 1).startOfDay(zone));
    QList<int> numbers(end - first);
    std::iota(numbers.begin(), numbers.end(), first);
    // A dozen lunations, each as long as the others: one a core.
    overview.lunations = QtConcurrent::blockingMapped(numbers, [&place](int k) {
        return YearLunation{k, ComputeLunation(place, k)};
    });
    for (const Sight sight : Sights) {
        overview.record[int(sight)] = Nearest(overview.lunations, sight);
    }
    return overview;
}

QList<Lunation> LunationsOf(const YearOverview &year) {
    QList<Lunation> lunations;
    for (const YearLunation &y : year.lunations) {
        lunations.append(y.lunation);
    }
    return lunations;
}

} // namespace lunex
