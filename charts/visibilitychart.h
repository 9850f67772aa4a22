#pragma once

#include "lunar/visibilitymap.h"
#include "store/shorelines.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <optional>

// The crescent's map drawn, of the world or of a region: the Earth, the cells'
// shades, the coastlines and borders, the graticule, a title and a legend.
namespace lunex {

// How a shade of the map (an index of ShadeOf) is drawn.
struct Shade {
    QColor colour;        // drawn over the Earth; transparent where nothing is drawn
    QString label;        // for the legend
    bool hatched = false; // stripes over the colour: no evening to judge there
};
// By the index ShadeOf gives; the cells without a crescent told as the
// evening's (the morning's).
QList<Shade> Legend(Criterion criterion, Direction direction = Direction::Evening);
// The colour of a class's cell in a table: its shade of the map as it looks
// over white, so that a table shows the map's colours.
QColor ClassCellColour(YallopClass yallop);
QColor ClassCellColour(OdehZone odeh);

inline constexpr int DefaultMapWidth = 1440;

// Where the map of a region lies in a picture of the given width, and where a
// place falls on it. The world is equirectangular; a region keeps its shapes
// true at its middle latitude (its degrees of longitude shortened there).
class MapFrame {
public:
    MapFrame(const MapRegion &region, int width);
    const QRect &area() const { return area_; }
    const MapRegion &region() const { return region_; }
    // Longitudes outside the region's span are taken a whole turn over where
    // that brings them nearer to it.
    QPointF pointOf(double latitude, double longitude) const;
    QPoint pixelOf(double latitude, double longitude) const;
    bool shows(double latitude, double longitude) const;

private:
    QPointF withinArea(double latitude, double longitude) const;

    MapRegion region_;
    QRect area_;
};

// The world map's frame.
QRect MapArea(int width);
QPoint PixelOf(double latitude, double longitude, int width);
// How tall the picture of a map of the given width is.
int MapPictureHeight(int width, Criterion criterion, const MapRegion &region = {});

// A place to find on the map: the observer's own.
struct MapMark {
    QString name;
    double latitude = 0;
    double longitude = 0;
};

// Where the name of a marked place is written: beside its ring, on the side
// that keeps it within the map; empty when the place is not on the map.
QRectF MarkLabelRect(const MapRegion &region, int width, const MapMark &mark);

// The picture: the Earth (a plain background when the texture is null), the
// shades, the coastlines and borders given, a graticule, a title with the new
// moon and the criterion, a legend, and the place marked when one is given.
// The title names the map's own date unless another is given: that of the
// marked place's clock, when it runs a day ahead of the place's Sun.
QImage RenderVisibilityMap(const VisibilityMap &map, Criterion criterion, const QImage &earth,
                           int width = DefaultMapWidth, const std::optional<MapMark> &mark = {},
                           const std::vector<ShoreLine> &shores = {}, const QDate &titleDate = {});

} // namespace lunex
