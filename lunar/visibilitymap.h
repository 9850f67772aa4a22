#pragma once

#include "lunar/crescent.h"

#include <QDate>
#include <QDateTime>
#include <QThreadPool>

#include <vector>

// The map of the crescent: its visibility on the evening (the morning) of one
// date at every place of a latitude–longitude grid, of the whole world or of a
// region.
namespace lunex {

enum class Criterion { Yallop, Odeh };

// A part of the Earth in degrees, south < north and west < east; east may pass
// 180° for a region across the date line (170 … 200 is 170° E … 160° W).
struct MapRegion {
    double south = -90;
    double west = -180;
    double north = 90;
    double east = 180;

    bool isWorld() const { return south <= -90 && north >= 90 && east - west >= 360; }
    bool operator==(const MapRegion &) const = default;
};

// The region of the given size centred on a place, kept between the poles.
MapRegion RegionAround(double latitude, double longitude, double width = 30, double height = 20);
// Europe, from Iceland and the Canaries to the Urals' foot.
MapRegion EuropeRegion();

struct MapCell {
    CrescentStatus status = CrescentStatus::Computed;
    float q = 0;
    float v = 0;
};

struct VisibilityMap {
    QDate date; // the evening (morning), by each place's own mean solar time
    Direction direction = Direction::Evening;
    QDateTime newMoon;  // UTC, the conjunction the crescent follows (the morning's precedes)
    double step = 1;    // degrees between cell centres
    double north = 90;  // the northern edge of the first row
    double west = -180; // the western edge of the first column; may pass 180° eastwards
    int columns = 0;
    int rows = 0;
    std::vector<MapCell> cells; // row by row from the north, each from the west

    double latitudeOf(int row) const { return north - step * (row + 0.5); }
    double longitudeOf(int column) const { return west + step * (column + 0.5); }
    // What the cells cover: the region asked for, widened to whole cells.
    MapRegion region() const { return {north - step * rows, west, north, west + step * columns}; }
    const MapCell &cell(int row, int column) const {
        return cells[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
    }
};

// The last new moon before the latest evening of the date anywhere (at the
// date line's western side, some 36 hours after 0h UT of the date).
QDateTime NewMoonBeforeEvening(const QDate &date);
// The first new moon after the earliest morning of the date anywhere (at the
// date line's eastern side, some 12 hours before 0h UT of the date).
QDateTime NewMoonAfterMorning(const QDate &date);

// The geocentric places are computed once for the whole map; each place adds
// only its own horizon. The rows are shared among the threads of `pool`, Qt's
// global one when none is given.
VisibilityMap ComputeVisibilityMap(const QDate &date, double step, QThreadPool *pool = nullptr,
                                   Direction direction = Direction::Evening);
// The same for a region: its cells equal the world map's at the same places.
VisibilityMap ComputeVisibilityMap(const QDate &date, const MapRegion &region, double step,
                                   QThreadPool *pool = nullptr,
                                   Direction direction = Direction::Evening);

// What a cell shows, as an index: first the criterion's classes (Yallop's
// A–F, Odeh's A–D), then NoCrescentShade (the Moon sets first, or there is no
// new moon yet; in the morning: it rises after the Sun, or the new moon has
// passed), then NoEveningShade (the Sun or the Moon does not set, or the Sun
// does not rise; the same days in the morning).
int ClassCount(Criterion criterion);
inline int NoCrescentShade(Criterion criterion) {
    return ClassCount(criterion);
}
inline int NoEveningShade(Criterion criterion) {
    return ClassCount(criterion) + 1;
}
int ShadeOf(const MapCell &cell, Criterion criterion);

} // namespace lunex
