#pragma once

#include "lunar/visibilitymap.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

// The crescent's world map drawn: the Earth, the cells' shades, the graticule,
// a title and a legend.
namespace lunex {

// How a shade of the map (an index of ShadeOf) is drawn.
struct Shade {
    QColor colour;        // drawn over the Earth; transparent where nothing is drawn
    QString label;        // for the legend
    bool hatched = false; // stripes over the colour: no evening to judge there
};
// By the index ShadeOf gives.
QList<Shade> Legend(Criterion criterion);

inline constexpr int DefaultMapWidth = 1440;

// Where the equirectangular map lies in a picture of the given width.
QRect MapArea(int width);
QPoint PixelOf(double latitude, double longitude, int width);
// How tall the picture of a map of the given width is.
int MapPictureHeight(int width, Criterion criterion);

// A place to find on the map: the observer's own.
struct MapMark {
    QString name;
    double latitude = 0;
    double longitude = 0;
};

// The picture: the Earth (a plain background when the texture is null), the
// shades, a graticule, a title with the new moon and the criterion, a legend,
// and the place marked when one is given.
QImage RenderVisibilityMap(const VisibilityMap &map, Criterion criterion, const QImage &earth,
                           int width = DefaultMapWidth, const std::optional<MapMark> &mark = {});

} // namespace lunex
