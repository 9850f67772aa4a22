#pragma once

#include "lunar/apparentsky.h"
#include "lunar/evenings.h"
#include "lunar/horizon.h"

#include <QImage>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTimeZone>

#include <optional>

class QPainter;

// "Where to look": the western sky of one evening as an observer facing it
// sees it, with the Moon at its apparent place, its path until it sets and
// the Sun below the horizon; or the eastern sky of a morning, the Moon's path
// from its rising until sunrise. The window and its picture draw the same.
namespace lunex {

// A whole clock time on the Moon's path.
struct SkyClockMark {
    Horizontal moon;
    QString clock;
};

// What the drawing of one evening shows: its frame and path stay put while
// the moment moves between sunset and moonset.
struct SkyView {
    Place place;
    QString placeName;
    Direction direction = Direction::Evening;
    QList<Horizontal> path;    // the Moon from sunset until it sets, every few minutes
    QList<SkyClockMark> marks; // the whole clock times along it
    // The frame: altitudes from the lowest to the highest the evening needs,
    // the azimuth straight ahead.
    double lowestAltitude = -10;
    double highestAltitude = 20;
    double centreAzimuth = 270;
    double fromJd = 0; // the span the moment moves over, Julian Days (UT)
    double toJd = 0;
    SkyMoment moment;      // the sky at the chosen instant
    QString caption;       // the place, the moment's date and clock time, and whose clock
    QString sunLabel;      // the Sun's name and altitude
    QString twilightLabel; // the Sun's altitude at the moment and how dark the sky is
    QString fieldLabel;    // what the circle around the Moon is
    QString pathLabel;     // what the Moon's path is
    // The place's own skyline, drawn instead of the flat horizon; flat
    // when it has none. With it, what the caption says of the Moon against it.
    HorizonProfile skyline;
    QString skylineLabel;
};

// The evening from sunset until moonset (both Julian Days, UT) at a place,
// the moment at sunset; times in the zone's civil time, in the locale's forms.
// Where the Moon sets first, the path is empty and the frame is that of sunset.
SkyView EveningSkyView(const QString &placeName, const Place &place, double sunsetJd,
                       double moonsetJd, const QTimeZone &zone, const QLocale &locale);
// The morning from moonrise until sunrise, facing east (north on the left),
// the moment at sunrise. Where the Moon rises after the Sun, the path is
// empty and the frame is that of sunrise.
SkyView MorningSkyView(const QString &placeName, const Place &place, double sunriseJd,
                       double moonriseJd, const QTimeZone &zone, const QLocale &locale);
// One day of the forecast as the window draws it, the moment at its best
// time. Where the Moon does not set (rise) that day, the Moon from its place
// at sunset over the hours after it (before sunrise, up to its place then),
// the moment at sunset (sunrise). None without a sunset (sunrise).
std::optional<SkyView> DaySkyView(const QString &placeName, const Place &place, const Evening &day,
                                  const QTimeZone &zone, const QLocale &locale);
// Gives the view the place's skyline and the Moon's evening (morning)
// against it (lunar/horizon.h), in the zone's clock; a flat skyline takes
// them away again. The frame stays the Moon's: the picture reaches as far up
// and down as the skyline needs when it is drawn.
void SetSkyline(SkyView &view, const HorizonProfile &skyline,
                const std::optional<SkylineMoon> &moon, const QTimeZone &zone,
                const QLocale &locale);
// Moves the moment, within the same frame.
void SetSkyMoment(SkyView &view, double jdUt, const QTimeZone &zone, const QLocale &locale);

// How the sky maps onto the picture: azimuth to the right, altitude upwards,
// the same number of pixels to a degree both ways.
class SkyProjection {
public:
    // The view's frame fitted into the area, its whole horizon from south to north.
    SkyProjection(const QRectF &area, const SkyView &view);
    // A closer look: the azimuth at the area's middle, the altitude at its
    // bottom, and the scale.
    SkyProjection(const QRectF &area, double centreAzimuth, double lowestAltitude,
                  double pixelsPerDegree);
    QPointF pointOf(const Horizontal &place) const;
    double azimuthAt(double x) const;
    double pixelsPerDegree() const { return pixelsPerDegree_; }
    double horizonY() const { return horizonY_; }
    const QRectF &area() const { return area_; }

private:
    QRectF area_;
    double centreAzimuth_;
    double pixelsPerDegree_;
    double horizonY_;
};

// The projection of a picture of `size` showing the view.
SkyProjection SkyProjectionFor(const SkyView &view, const QSize &size);

// The Moon is drawn enlarged, at this radius in pixels.
inline constexpr double DrawnMoonRadius = 6;
// The field of view of ordinary 10×50 binoculars, in degrees.
inline constexpr double BinocularField = 6.5;

// What a piece of text on the drawing is.
enum class SkyLabelKind {
    Caption,    // the caption's lines and the legend, in the band above the sky
    Scale,      // the degrees along the sky's edges, and along the closer look's
    Sun,        // the Sun's name and altitude, beside its disc or the arrow to it
    Clock,      // a clock time on the Moon's path
    CloserLook, // the closer look's title
};

struct SkyLabel {
    SkyLabelKind kind;
    QString text;
    QRectF rect; // in the picture's pixels, as drawn
};

// Where everything written on a picture of `size` goes. The painting draws
// from it, so what it says is what is drawn: no two labels overlap, only the
// caption's stand in the caption band, and none leaves the picture. A clock
// time that finds no room is left out (its dot stays).
struct SkyChartLayout {
    QRectF captionBand;
    QRectF sky;                       // the whole horizon's picture
    std::optional<QRectF> closerLook; // the closer look, its title included
    QList<SkyLabel> labels;
};
SkyChartLayout LayOutSkyChart(const SkyView &view, const QSize &size);

void PaintSkyChart(QPainter &painter, const QSize &size, const SkyView &view);
QImage RenderSkyChart(const SkyView &view, const QSize &size);

} // namespace lunex
