#include "lunar/yearoverview.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

namespace lunex {
namespace {

int FirstEvening(const Lunation &lunation, bool Evening::*mark) {
    for (int i = 0; i < lunation.evenings.size(); ++i) {
        if (lunation.evenings[i].*mark) {
            return i;
        }
    }
    return -1;
}

// The crescent's age at the best time, in days: exact, where the shown ages
// are rounded to the minute and two evenings may show the same.
double AgeOf(const YearLunation &y, int evening) {
    return *y.lunation.evenings[evening].sighting.bestTime - JulianDay(y.lunation.newMoon);
}

int Youngest(const QList<YearLunation> &lunations, int YearLunation::*first) {
    int youngest = -1;
    for (int i = 0; i < lunations.size(); ++i) {
        const int evening = lunations[i].*first;
        if (evening >= 0 &&
            (youngest < 0 || AgeOf(lunations[i], evening) <
                                 AgeOf(lunations[youngest], lunations[youngest].*first))) {
            youngest = i;
        }
    }
    return youngest;
}

} // namespace

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
        YearLunation y;
        y.number = k;
        y.lunation = ComputeLunation(place, k);
        y.firstOpticalAid = FirstEvening(y.lunation, &Evening::firstOpticalAid);
        y.firstNakedEye = FirstEvening(y.lunation, &Evening::firstNakedEye);
        return y;
    });
    overview.youngestOpticalAid = Youngest(overview.lunations, &YearLunation::firstOpticalAid);
    overview.youngestNakedEye = Youngest(overview.lunations, &YearLunation::firstNakedEye);
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
