#pragma once

#include "lunar/crescent.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

// The world map of lunex-crescents: the crescent's visibility class on the
// evening of one date at every place of a latitude–longitude grid.
namespace lunex::crescents {

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
// only its own horizon. The rows are shared among all cores.
VisibilityMap ComputeVisibilityMap(const QDate &date, double step);

// What a cell shows: one of the criterion's classes, or why there is none.
struct Shade {
    QColor colour;        // drawn over the Earth; transparent where nothing is drawn
    QString label;        // for the legend
    bool hatched = false; // stripes over the colour: no evening to judge there
};
QList<Shade> Legend(Criterion criterion);
// The index into Legend() of a cell.
int ShadeOf(const MapCell &cell, Criterion criterion);

inline constexpr int DefaultMapWidth = 1440;

// Where the equirectangular map lies in a picture of the given width.
QRect MapArea(int width);
QPoint PixelOf(double latitude, double longitude, int width);

// The picture: the Earth (a plain background when the texture is null), the
// shades, a graticule, a title with the new moon and the criterion, a legend.
QImage RenderVisibilityMap(const VisibilityMap &map, Criterion criterion, const QImage &earth,
                           int width = DefaultMapWidth);

} // namespace lunex::crescents
