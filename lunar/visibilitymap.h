#pragma once

#include "lunar/crescent.h"

#include <QDate>
#include <QDateTime>
#include <QThreadPool>

#include <vector>

// The world map of the crescent: its visibility on the evening of one date at
// every place of a latitude–longitude grid.
namespace lunex {

enum class Criterion { Yallop, Odeh };

struct MapCell {
    CrescentStatus status = CrescentStatus::Computed;
    float q = 0;
    float v = 0;
};

struct VisibilityMap {
    QDate date;        // the evening, by each place's own mean solar time
    QDateTime newMoon; // UTC, the conjunction the crescent follows
    double step = 1;   // degrees between cell centres
    int columns = 0;
    int rows = 0;
    std::vector<MapCell> cells; // row by row from the north, each from 180° W

    double latitudeOf(int row) const { return 90.0 - step * (row + 0.5); }
    double longitudeOf(int column) const { return -180.0 + step * (column + 0.5); }
    const MapCell &cell(int row, int column) const {
        return cells[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
    }
};

// The last new moon before the latest evening of the date anywhere (at the
// date line's western side, some 36 hours after 0h UT of the date).
QDateTime NewMoonBeforeEvening(const QDate &date);

// The geocentric places are computed once for the whole map; each place adds
// only its own horizon. The rows are shared among the threads of `pool`, Qt's
// global one when none is given.
VisibilityMap ComputeVisibilityMap(const QDate &date, double step, QThreadPool *pool = nullptr);

// What a cell shows, as an index: first the criterion's classes (Yallop's
// A–F, Odeh's A–D), then NoCrescentShade (the Moon sets first, or there is no
// new moon yet), then NoEveningShade (the Sun or the Moon does not set, or
// the Sun does not rise).
int ClassCount(Criterion criterion);
inline int NoCrescentShade(Criterion criterion) {
    return ClassCount(criterion);
}
inline int NoEveningShade(Criterion criterion) {
    return ClassCount(criterion) + 1;
}
int ShadeOf(const MapCell &cell, Criterion criterion);

} // namespace lunex
