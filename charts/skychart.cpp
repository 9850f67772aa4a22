#include "charts/skychart.h"

#include "charts/chartfont.h"
#include "clock/civiltime.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "messages/crescenttexts.h"
#include "texts/datetext.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <optional>

namespace lunex {
namespace {

constexpr double PathStepDays = 2.0 / 1440.0;
// Whole clock times marked along the path: the finest of these steps (in
// minutes) that leaves no more than six marks.
constexpr int MarkSteps[] = {5, 10, 15, 20, 30, 60, 120, 240};
constexpr int MostMarks = 6;
// West (east in the morning) straight ahead, unless the Moon strays further
// than this from it.
constexpr double West = 270;
constexpr double East = 90;
constexpr double WestReach = 75;
// Altitude kept above the Moon and below the Sun; the Sun further down than
// the floor is drawn on the picture's lower edge.
constexpr double SkyMargin = 5;
constexpr double LowestFloor = -25;
// The twilight's blue fades into the night's towards this altitude.
constexpr double GradientTop = 50;

// Margins around the sky for the caption and the scales, in pixels.
constexpr double CaptionBand = 46, LeftScale = 40, BottomScale = 36, RightMargin = 20;
// The closer look at the Moon: as tall as this at most, this many degrees of
// altitude, clear of the path's labels by this much.
constexpr double CloserLookHeight = 260, CloserLookSpan = 12, CloserLookClearance = 30;

const QColor SkyTop(8, 18, 38), SkyHorizon(46, 70, 118), Ground(20, 32, 26);
const QColor GroundLine(150, 170, 150), GridLine(255, 255, 255, 38), ScaleText(200, 210, 230);
const QColor PathColour(255, 236, 170, 190), SunColour(255, 170, 40), Glow(255, 140, 60, 110);
const QColor Earthshine(74, 74, 90), LitMoon(255, 250, 228), FieldColour(120, 220, 255, 210);

QString ClockText(double jd, const QTimeZone &zone, const QLocale &locale) {
    return locale.toString(MinuteOf(jd).toTimeZone(zone).time(), QLocale::ShortFormat);
}

// The instants of whole clock times between two instants, `step` minutes apart.
QList<double> WholeClockTimes(double from, double to, const QTimeZone &zone) {
    const double minutes = (to - from) * 1440.0;
    const int *step = std::find_if(std::begin(MarkSteps), std::end(MarkSteps) - 1,
                                   [&](int s) { return minutes / s <= MostMarks; });
    const qint64 stepSecs = qint64(*step) * 60;
    const QDateTime start = MinuteOf(from).toTimeZone(zone);
    const qint64 offset = start.offsetFromUtc();
    const qint64 local = start.toSecsSinceEpoch() + offset;
    qint64 mark = (local / stepSecs + 1) * stepSecs - offset;
    QList<double> times;
    for (; times.size() <= MostMarks; mark += stepSecs) {
        const double jd = JulianDay(QDateTime::fromSecsSinceEpoch(mark, QTimeZone::utc()));
        if (jd >= to) {
            break;
        }
        times.append(jd);
    }
    return times;
}

void TracePath(SkyView &view, const LocalSky &sky, double sunsetJd, double moonsetJd,
               const QTimeZone &zone, const QLocale &locale) {
    for (double jd = sunsetJd; jd < moonsetJd; jd += PathStepDays) {
        view.path.append(ObserveSky(sky, jd).moon);
    }
    view.path.append(ObserveSky(sky, moonsetJd).moon);
    for (const double jd : WholeClockTimes(sunsetJd, moonsetJd, zone)) {
        view.marks.append({ObserveSky(sky, jd).moon, ClockText(jd, zone, locale)});
    }
}

// The frame holds the whole path, the moment's Moon and, down to the floor,
// the Sun at moonset (at moonrise, facing east).
void FitFrame(SkyView &view, const SkyMoment &atEnd, double ahead = West) {
    QList<Horizontal> moons = view.path;
    moons.append(view.moment.moon);
    double highest = 10, lowest = std::min(-6.0, atEnd.sun.altitude);
    double left = 0, right = 0;
    for (const Horizontal &moon : moons) {
        highest = std::max(highest, moon.altitude);
        lowest = std::min(lowest, moon.altitude);
        left = std::min(left, SignedDegrees(moon.azimuth - ahead));
        right = std::max(right, SignedDegrees(moon.azimuth - ahead));
    }
    view.highestAltitude = highest + SkyMargin;
    view.lowestAltitude = std::max(LowestFloor, lowest - SkyMargin / 2);
    view.centreAzimuth = left >= -WestReach && right <= WestReach
                             ? ahead
                             : NormalizeDegrees(ahead + (left + right) / 2);
}

// The Moon's path from `from` until `to` when it is up between them, the
// moment at `at`, the frame facing `ahead` and reaching down to the Sun at
// `sunLowest`.
SkyView TwilightView(const QString &placeName, const Place &place, double from, double to,
                     double at, double sunLowest, double ahead, Direction direction,
                     const QTimeZone &zone, const QLocale &locale) {
    SkyView view;
    view.place = place;
    view.placeName = placeName;
    view.direction = direction;
    const SkyTrack track(std::min(from, at) - 0.05, std::max(to, at) + 0.05);
    const LocalSky sky(track, place);
    if (to > from) {
        TracePath(view, sky, from, to, zone, locale);
    }
    view.fieldLabel = BinocularFieldLabel(locale.toString(BinocularField));
    view.pathLabel = MoonPathLabel(direction);
    SetSkyMoment(view, at, zone, locale);
    FitFrame(view, ObserveSky(sky, sunLowest), ahead);
    return view;
}

} // namespace

SkyView EveningSkyView(const QString &placeName, const Place &place, double sunsetJd,
                       double moonsetJd, const QTimeZone &zone, const QLocale &locale) {
    return TwilightView(placeName, place, sunsetJd, moonsetJd, sunsetJd,
                        std::max(sunsetJd, moonsetJd), West, Direction::Evening, zone, locale);
}

SkyView MorningSkyView(const QString &placeName, const Place &place, double sunriseJd,
                       double moonriseJd, const QTimeZone &zone, const QLocale &locale) {
    return TwilightView(placeName, place, moonriseJd, sunriseJd, sunriseJd,
                        std::min(sunriseJd, moonriseJd), East, Direction::Morning, zone, locale);
}

void SetSkyMoment(SkyView &view, double jdUt, const QTimeZone &zone, const QLocale &locale) {
    view.moment = ObserveSky(view.place, jdUt);
    // The clock named: the place's may not be the reader's.
    const QString when = QStringLiteral("%1 (%2)").arg(
        MinuteText(MinuteOf(jdUt).toTimeZone(zone), locale), ZoneName(zone));
    view.caption = SkyCaption(
        view.placeName, when, locale.toString(view.moment.moon.altitude, 'f', 1),
        locale.toString(view.moment.moon.azimuth, 'f', 1), CompassPoint(view.moment.moon.azimuth));
    view.sunLabel = SunLabel(locale.toString(view.moment.sun.altitude, 'f', 1));
}

void SetSkyline(SkyView &view, const HorizonProfile &skyline,
                const std::optional<SkylineMoon> &moon, const QTimeZone &zone,
                const QLocale &locale) {
    view.skyline = skyline;
    view.skylineLabel.clear();
    if (skyline.isFlat() || !moon) {
        return;
    }
    view.skylineLabel =
        moon->crossingJd
            ? SkylineCrossingText(ClockText(*moon->crossingJd, zone, locale), view.direction)
            : SkylineHidesMoonText();
}

SkyProjection::SkyProjection(const QRectF &area, const SkyView &view)
    : SkyProjection(
          area, view.centreAzimuth, view.lowestAltitude,
          std::min(area.width() / 180.0,
                   area.height() / std::max(1.0, view.highestAltitude - view.lowestAltitude))) {}

SkyProjection::SkyProjection(const QRectF &area, double centreAzimuth, double lowestAltitude,
                             double pixelsPerDegree)
    : area_(area), centreAzimuth_(centreAzimuth), pixelsPerDegree_(pixelsPerDegree),
      horizonY_(area.bottom() + lowestAltitude * pixelsPerDegree) {}

QPointF SkyProjection::pointOf(const Horizontal &place) const {
    return {area_.center().x() + SignedDegrees(place.azimuth - centreAzimuth_) * pixelsPerDegree_,
            horizonY_ - place.altitude * pixelsPerDegree_};
}

double SkyProjection::azimuthAt(double x) const {
    return centreAzimuth_ + (x - area_.center().x()) / pixelsPerDegree_;
}

SkyProjection SkyProjectionFor(const SkyView &view, const QSize &size) {
    return SkyProjection(QRectF(LeftScale, CaptionBand, size.width() - LeftScale - RightMargin,
                                size.height() - CaptionBand - BottomScale),
                         view);
}

namespace {

// One drawing of the sky, step by step, from the back to the front.
class SkyPainter {
public:
    SkyPainter(QPainter &painter, const SkyProjection &projection, const SkyView &view,
               const QSize &size)
        : p_(painter), size_(size), view_(view), projection_(projection) {}

    void drawBackground();
    void drawAltitudeScale();
    void drawAzimuthScale();
    void drawSun();
    void drawPath();
    void drawBinocularField();
    void drawMoon();
    void drawCaption();

private:
    void drawCentred(const QString &text, const QFont &font, double x, double baseline);

    QPainter &p_;
    QSize size_;
    const SkyView &view_;
    SkyProjection projection_;
};

void SkyPainter::drawBackground() {
    const QRectF area = projection_.area();
    const double horizon = projection_.horizonY();
    // By altitude, so that a closer look shows the sky's colours of the whole.
    QLinearGradient sky(0, projection_.pointOf({GradientTop, 0}).y(), 0, horizon);
    sky.setColorAt(0, SkyTop);
    sky.setColorAt(1, SkyHorizon);
    const QRectF skyArea(area.left(), area.top(), area.width(), horizon - area.top());
    p_.fillRect(skyArea, sky);
    // The twilight glows above the Sun.
    const QPointF sun = projection_.pointOf(view_.moment.sun);
    QRadialGradient glow(QPointF(sun.x(), horizon), 40 * projection_.pixelsPerDegree());
    glow.setColorAt(0, Glow);
    glow.setColorAt(1, Qt::transparent);
    p_.fillRect(skyArea, glow);
    p_.fillRect(QRectF(area.left(), horizon, area.width(), area.bottom() - horizon), Ground);
    p_.setPen(QPen(GroundLine, 1.5));
    p_.drawLine(QPointF(area.left(), horizon), QPointF(area.right(), horizon));
}

void SkyPainter::drawAltitudeScale() {
    const QRectF area = projection_.area();
    const double ppd = projection_.pixelsPerDegree();
    const int step = (view_.highestAltitude - view_.lowestAltitude) > 40 ? 10 : 5;
    p_.setFont(ChartFont(11));
    const QFontMetricsF metrics(p_.font());
    for (int alt = int(std::ceil(view_.lowestAltitude / step)) * step;
         projection_.horizonY() - alt * ppd >= area.top() + 6; alt += step) {
        const double y = projection_.horizonY() - alt * ppd;
        if (alt != 0) {
            p_.setPen(QPen(GridLine, 1));
            p_.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
        p_.setPen(ScaleText);
        const QString text = QStringLiteral("%1°").arg(alt);
        p_.drawText(QPointF(area.left() - metrics.horizontalAdvance(text) - 5,
                            y + metrics.ascent() / 2 - 1),
                    text);
    }
}

// Degrees every 10°, numbered every 30°, the points of the compass below.
void SkyPainter::drawAzimuthScale() {
    const QRectF area = projection_.area();
    const double ppd = projection_.pixelsPerDegree();
    const double leftmost = projection_.azimuthAt(area.left());
    for (int az = int(std::ceil(leftmost / 10.0)) * 10;; az += 10) {
        const double x = area.left() + (az - leftmost) * ppd;
        if (x > area.right()) {
            break;
        }
        p_.setPen(QPen(GridLine, 1));
        p_.drawLine(QPointF(x, area.top()), QPointF(x, projection_.horizonY()));
        p_.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        const int shown = int(NormalizeDegrees(az));
        p_.setPen(ScaleText);
        if (shown % 30 == 0) {
            drawCentred(QStringLiteral("%1°").arg(shown), ChartFont(11), x, area.bottom() + 17);
        }
        if (shown % 45 == 0) {
            drawCentred(CompassPoint(shown), ChartFont(13, true), x, area.bottom() + 32);
        }
    }
}

void SkyPainter::drawCentred(const QString &text, const QFont &font, double x, double baseline) {
    p_.setFont(font);
    p_.drawText(QPointF(x - QFontMetricsF(font).horizontalAdvance(text) / 2, baseline), text);
}

// The Sun where it is, or on the lower edge when it is further down.
void SkyPainter::drawSun() {
    const QRectF area = projection_.area();
    QPointF at = projection_.pointOf(view_.moment.sun);
    at.setY(std::min(at.y(), area.bottom() - 8));
    p_.setPen(Qt::NoPen);
    p_.setBrush(SunColour);
    p_.drawEllipse(at, 7, 7);
    p_.setPen(SunColour);
    p_.setFont(ChartFont(11, true));
    p_.drawText(at + QPointF(11, 4), view_.sunLabel);
}

// The clock times beside their marks, on the upper side of the path.
void SkyPainter::drawPath() {
    if (view_.path.isEmpty()) {
        return;
    }
    QPolygonF line;
    for (const Horizontal &moon : view_.path) {
        line << projection_.pointOf(moon);
    }
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(PathColour, 1.5, Qt::DashLine));
    p_.drawPolyline(line);
    p_.setFont(ChartFont(11));
    const QFontMetricsF metrics(p_.font());
    const QPointF along = line.size() > 1 ? line.last() - line.first() : QPointF(1, 1);
    QPointF normal(along.y(), -along.x());
    normal /= std::max(1e-9, std::hypot(normal.x(), normal.y()));
    if (normal.y() > 0) {
        normal = -normal;
    }
    // Where the marks crowd, every one keeps its dot but not every one its time.
    QList<QRectF> taken;
    for (const SkyClockMark &mark : view_.marks) {
        const QPointF at = projection_.pointOf(mark.moon);
        p_.setPen(Qt::NoPen);
        p_.setBrush(PathColour);
        p_.drawEllipse(at, 2.5, 2.5);
        const QPointF anchor = at + normal * 9;
        const double width = metrics.horizontalAdvance(mark.clock);
        const QRectF box(normal.x() < 0 ? anchor.x() - width : anchor.x(),
                         anchor.y() + 4 - metrics.ascent(), width, metrics.height());
        if (std::none_of(taken.begin(), taken.end(),
                         [&](const QRectF &other) { return other.intersects(box); })) {
            taken.append(box);
            p_.setPen(PathColour);
            p_.drawText(QPointF(box.left(), anchor.y() + 4), mark.clock);
        }
    }
}

// Centred on the Moon: what the binoculars show when pointed at it.
void SkyPainter::drawBinocularField() {
    const QPointF moon = projection_.pointOf(view_.moment.moon);
    const double radius = BinocularField / 2 * projection_.pixelsPerDegree();
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(FieldColour, 1.2, Qt::DashLine));
    p_.drawEllipse(moon, radius, radius);
}

// The lit part: the limb's half on the Sun's side closed by the terminator,
// an ellipse of half-width r |1 − 2k|, bulging towards the Sun while less
// than half is lit. A few per cent would be thinner than a pixel, so the lit
// part is never drawn thinner than 2.5 pixels.
QPainterPath LitPart(double r, double fraction) {
    const double k = std::max(fraction, 2.5 / (2 * r));
    const double a = r * std::abs(1 - 2 * k);
    QPainterPath lit;
    lit.moveTo(0, -r);
    lit.arcTo(QRectF(-r, -r, 2 * r, 2 * r), 90, -180);
    lit.arcTo(QRectF(-a, -r, 2 * a, 2 * r), 270, k < 0.5 ? 180 : -180);
    lit.closeSubpath();
    return lit;
}

void SkyPainter::drawMoon() {
    const double r = DrawnMoonRadius;
    const QPointF at = projection_.pointOf(view_.moment.moon);
    p_.save();
    p_.translate(at);
    p_.setPen(Qt::NoPen);
    p_.setBrush(Earthshine);
    p_.drawEllipse(QPointF(0, 0), r, r);
    // The lit side faces the way DirectionOnSky gives: from up towards
    // increasing azimuth, which is clockwise on the picture.
    p_.rotate(view_.moment.brightLimbDirection - 90);
    p_.setBrush(LitMoon);
    p_.drawPath(LitPart(r, view_.moment.illuminatedFraction));
    p_.restore();
}

// The moment on the first line; on the second, what the marks mean.
void SkyPainter::drawCaption() {
    p_.setPen(Qt::white);
    p_.setFont(ChartFont(13, true));
    p_.drawText(QRectF(8, 0, size_.width() - 16, 24), Qt::AlignLeft | Qt::AlignVCenter,
                view_.caption);
    p_.setFont(ChartFont(11));
    const QFontMetricsF metrics(p_.font());
    const double y = 34;
    double x = 14;
    p_.setPen(Qt::NoPen);
    p_.setBrush(Earthshine);
    p_.drawEllipse(QPointF(x, y), 5, 5);
    p_.setBrush(LitMoon);
    p_.drawPie(QRectF(x - 5, y - 5, 10, 10), -90 * 16, 180 * 16);
    const auto label = [&](const QString &text, const QColor &colour) {
        p_.setPen(colour);
        p_.drawText(QPointF(x + 10, y + 4), text);
        x += 10 + metrics.horizontalAdvance(text) + 24;
    };
    label(MoonLabel(), LitMoon);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(FieldColour, 1.2, Qt::DashLine));
    p_.drawEllipse(QPointF(x, y), 5, 5);
    label(view_.fieldLabel, FieldColour);
    p_.setPen(QPen(PathColour, 1.5, Qt::DashLine));
    p_.drawLine(QPointF(x - 8, y), QPointF(x + 5, y));
    label(view_.pathLabel, PathColour);
    p_.setPen(Qt::NoPen);
    p_.setBrush(SunColour);
    p_.drawEllipse(QPointF(x, y), 5, 5);
    label(view_.sunLabel, SunColour);
}

// Where the sky above the Moon's path leaves room for a closer look, on the
// side away from the Moon.
std::optional<QRectF> CloserLookBox(const SkyProjection &sky, const SkyView &view) {
    double highest = view.moment.moon.altitude;
    for (const Horizontal &moon : view.path) {
        highest = std::max(highest, moon.altitude);
    }
    const QRectF area = sky.area();
    const double top = area.top() + 10;
    const double height =
        std::min(CloserLookHeight, sky.pointOf({highest, 0}).y() - CloserLookClearance - top);
    if (height < CloserLookHeight / 2) {
        return std::nullopt;
    }
    const double width = height * 1.7;
    const bool right = sky.pointOf(view.moment.moon).x() < area.center().x();
    return QRectF(right ? area.right() - 10 - width : area.left() + 10, top, width, height);
}

void PaintCloserLook(QPainter &painter, const SkyProjection &sky, const SkyView &view,
                     const QSize &size) {
    const std::optional<QRectF> box = CloserLookBox(sky, view);
    if (!box) {
        return;
    }
    const double lowest = std::min(view.moment.moon.altitude - CloserLookSpan / 2, -1.0);
    const SkyProjection closer(*box, view.moment.moon.azimuth, lowest,
                               box->height() / CloserLookSpan);
    painter.save();
    painter.setClipRect(*box);
    SkyPainter look(painter, closer, view, size);
    look.drawBackground();
    look.drawSun();
    look.drawPath();
    look.drawBinocularField();
    look.drawMoon();
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ScaleText, 1));
    painter.drawRect(*box);
    painter.setFont(ChartFont(11));
    painter.drawText(box->topLeft() + QPointF(6, 15),
                     CloserLookLabel(QString::number(int(CloserLookSpan))));
    painter.restore();
}

} // namespace

void PaintSkyChart(QPainter &painter, const QSize &size, const SkyView &view) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    const SkyProjection projection = SkyProjectionFor(view, size);
    SkyPainter sky(painter, projection, view, size);
    sky.drawBackground();
    painter.setClipRect(projection.area().adjusted(-LeftScale, 0, RightMargin, BottomScale));
    sky.drawAltitudeScale();
    sky.drawAzimuthScale();
    painter.setClipRect(projection.area());
    sky.drawSun();
    sky.drawPath();
    sky.drawBinocularField();
    sky.drawMoon();
    painter.setClipping(false);
    PaintCloserLook(painter, projection, view, size);
    sky.drawCaption();
    painter.restore();
}

QImage RenderSkyChart(const SkyView &view, const QSize &size) {
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    PaintSkyChart(painter, size, view);
    return picture;
}

} // namespace lunex
