#include "lunar/visibilitymap.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QTimeZone>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lunex {

QDateTime NewMoonBeforeEvening(const QDate &date) {
    const QDateTime latest = QDateTime(date.addDays(2), QTime(0, 0), QTimeZone::utc());
    return NewMoonUtc(LunationAtOrAfter(latest) - 1);
}

QDateTime NewMoonAfterMorning(const QDate &date) {
    const QDateTime earliest = QDateTime(date.addDays(-1), QTime(0, 0), QTimeZone::utc());
    return NewMoonUtc(LunationAtOrAfter(earliest));
}

MapRegion RegionAround(double latitude, double longitude, double width, double height) {
    height = std::min(height, 180.0);
    width = std::min(width, 360.0);
    const double south = std::clamp(latitude - height / 2, -90.0, 90.0 - height);
    const double west = longitude - width / 2;
    return {south, west, south + height, west + width};
}

MapRegion EuropeRegion() {
    return {34, -25, 72, 45};
}

VisibilityMap ComputeVisibilityMap(const QDate &date, double step, QThreadPool *pool,
                                   Direction direction) {
    return ComputeVisibilityMap(date, MapRegion{}, step, pool, direction);
}

VisibilityMap ComputeVisibilityMap(const QDate &date, const MapRegion &region, double step,
                                   QThreadPool *pool, Direction direction) {
    const bool morning = direction == Direction::Morning;
    VisibilityMap map;
    map.date = date;
    map.direction = direction;
    map.step = step;
    map.north = std::min(region.north, 90.0);
    // Whole cells, one more where the region ends within one; a hair's
    // breadth of rounding does not make a new column.
    const auto cellsOver = [step](double span) {
        return std::max(1, int(std::ceil(span / step - 1e-6)));
    };
    const double south = std::max(region.south, -90.0);
    map.rows = std::min(cellsOver(map.north - south), int(std::lround(180.0 / step)));
    map.west = std::remainder(region.west, 360.0);
    if (region.isWorld()) {
        map.west = -180;
    }
    map.columns = std::min(cellsOver(region.east - region.west), int(std::lround(360.0 / step)));
    map.newMoon = morning ? NewMoonAfterMorning(date) : NewMoonBeforeEvening(date);
    map.cells.resize(std::size_t(map.columns) * std::size_t(map.rows));
    const double newMoon = JulianDay(map.newMoon);
    const double dateJd = JulianDayOfDate(date);
    // Evenings of one date run from 18h UT of the day before (at 180° E) to
    // about 12h UT of the day after (180° W); moonsets up to a day later.
    // Mornings mirror them about noon UT of the date.
    const SkyTrack track =
        morning ? SkyTrack(dateJd - 2.0, dateJd + 2.0) : SkyTrack(dateJd - 1.0, dateJd + 3.0);

    std::vector<int> rows(std::size_t(map.rows));
    std::iota(rows.begin(), rows.end(), 0);
    QtConcurrent::blockingMap(pool ? pool : QThreadPool::globalInstance(), rows, [&](int row) {
        for (int column = 0; column < map.columns; ++column) {
            // Sea level everywhere: the grid has no heights.
            const LocalSky sky(
                track, {map.latitudeOf(row), std::remainder(map.longitudeOf(column), 360.0), 0});
            const CrescentSighting s = ObserveCrescent(sky, dateJd, newMoon, direction);
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
