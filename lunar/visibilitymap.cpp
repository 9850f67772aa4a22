#include "lunar/visibilitymap.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QTimeZone>
#include <QtConcurrent/QtConcurrentMap>

#include <cmath>
#include <numeric>

namespace lunex {

QDateTime NewMoonBeforeEvening(const QDate &date) {
    const QDateTime latest = QDateTime(date.addDays(2), QTime(0, 0), QTimeZone::utc());
    return NewMoonUtc(LunationAtOrAfter(latest) - 1);
}

VisibilityMap ComputeVisibilityMap(const QDate &date, double step, QThreadPool *pool) {
    VisibilityMap map;
    map.date = date;
    map.step = step;
    map.columns = int(std::lround(360.0 / step));
    map.rows = int(std::lround(180.0 / step));
    map.newMoon = NewMoonBeforeEvening(date);
    map.cells.resize(std::size_t(map.columns) * std::size_t(map.rows));
    const double newMoon = JulianDay(map.newMoon);
    const double dateJd = JulianDayOfDate(date);
    // Evenings of one date run from 18h UT of the day before (at 180° E) to
    // about 12h UT of the day after (180° W); moonsets up to a day later.
    const SkyTrack track(dateJd - 1.0, dateJd + 3.0);

    std::vector<int> rows(std::size_t(map.rows));
    std::iota(rows.begin(), rows.end(), 0);
    QtConcurrent::blockingMap(pool ? pool : QThreadPool::globalInstance(), rows, [&](int row) {
        for (int column = 0; column < map.columns; ++column) {
            // Sea level everywhere: the grid has no heights.
            const LocalSky sky(track, {map.latitudeOf(row), map.longitudeOf(column), 0});
            const CrescentSighting s = ObserveCrescent(sky, dateJd, newMoon);
            map.cells[std::size_t(row) * std::size_t(map.columns) + std::size_t(column)] = {
                s.status, float(s.q), float(s.v)};
        }
    });
    return map;
}

int ClassCount(Criterion criterion) {
    return criterion == Criterion::Yallop ? int(YallopClass::F) + 1 : int(OdehZone::D) + 1;
}

int ShadeOf(const MapCell &cell, Criterion criterion) {
    switch (cell.status) {
    case CrescentStatus::Computed:
        return criterion == Criterion::Yallop ? int(ClassifyYallop(cell.q))
                                              : int(ClassifyOdeh(cell.v));
    case CrescentStatus::MoonSetsFirst:
    case CrescentStatus::MoonStaysDown:
    case CrescentStatus::BeforeNewMoon:
        return NoCrescentShade(criterion);
    case CrescentStatus::SunStaysUp:
    case CrescentStatus::SunStaysDown:
    case CrescentStatus::MoonStaysUp:
        break;
    }
    return NoEveningShade(criterion);
}

} // namespace lunex
