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
// Where the Moon does not set (rise), the hours after sunset (before sunrise)
// the drawing follows it.
constexpr int UnsetMoonHours = 3;
// West (east in the morning) straight ahead, unless the Moon strays further
// than this from it.
constexpr double West = 270;
constexpr double East = 90;
constexpr double WestReach = 75;
// Altitude kept above the Moon and below the Sun; the Sun further down than
// the floor is pointed to from the picture's lower edge.
constexpr double SkyMargin = 5;
constexpr double LowestFloor = -25;
// The twilight's blue fades into the night's towards this altitude.
constexpr double GradientTop = 50;

// Margins around the sky for the scales, in pixels; the caption's band above
// it is as tall as its lines.
constexpr double LeftScale = 40, BottomScale = 36, RightMargin = 20;
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
    view.fromJd = to > from ? from : at;
    view.toJd = to > from ? to : at;
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

std::optional<SkyView> DaySkyView(const QString &placeName, const Place &place, const Evening &day,
                                  const QTimeZone &zone, const QLocale &locale) {
    const CrescentSighting &s = day.sighting;
    if (!s.sunEvent) {
        return std::nullopt;
    }
    const bool staysUp = s.status == CrescentStatus::MoonStaysUp;
    // A Moon that does not set is followed this long; one that sets first
    // leaves the frame of the Sun's event alone.
    const double unset = UnsetMoonHours / 24.0;
    std::optional<SkyView> view;
    if (day.isMorning()) {
        const double moonrise = staysUp ? *s.sunEvent - unset : s.moonEvent.value_or(*s.sunEvent);
        view = MorningSkyView(placeName, place, *s.sunEvent, moonrise, zone, locale);
    } else {
        const double moonset = staysUp ? *s.sunEvent + unset : s.moonEvent.value_or(*s.sunEvent);
        view = EveningSkyView(placeName, place, *s.sunEvent, moonset, zone, locale);
    }
    if (staysUp) {
        view->pathLabel = MoonPathHoursLabel(locale.toString(UnsetMoonHours), day.direction);
    }
    if (s.bestTime) {
        SetSkyMoment(*view, *s.bestTime, zone, locale);
    }
    return view;
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
    view.twilightLabel = SkyTwilightText(locale.toString(view.moment.sun.altitude, 'f', 1),
                                         TwilightAt(view.moment.sun.altitude));
}

void SetSkyline(SkyView &view, const HorizonProfile &skyline,
                const std::optional<SkylineMoon> &moon, const QTimeZone &zone,
                const QLocale &locale) {
    view.skyline = skyline;
    view.skylineLabel.clear();
    if (skyline.isFlat() || !moon) {
        return;
    }
    view.skylineLabel = SkylineSummary(
        moon->aboveAtBestTime,
        moon->crossingJd
            ? SkylineCrossingText(ClockText(*moon->crossingJd, zone, locale), view.direction)
            : SkylineHidesMoonText());
}

namespace {

// A skyline is kept in the frame with this much sky above its highest point.
constexpr double SkylineHeadroom = 3;

struct Frame {
    double lowest;
    double highest;
};

// The frame of the Moon's evening, stretched to the skyline's highest and
// lowest within the half circle either side of straight ahead, which is as
// much of the horizon as the picture ever shows.
Frame FrameOf(const SkyView &view) {
    Frame frame{view.lowestAltitude, view.highestAltitude};
    if (view.skyline.isFlat()) {
        return frame;
    }
    double low = 0, high = 0;
    const auto take = [&](double altitude) {
        low = std::min(low, altitude);
        high = std::max(high, altitude);
    };
    for (int along = -90; along <= 90; ++along) {
        take(view.skyline.altitudeAt(view.centreAzimuth + along));
    }
    for (const SkylinePoint &p : view.skyline.points()) {
        if (std::abs(SignedDegrees(p.azimuth - view.centreAzimuth)) <= 90) {
            take(p.altitude);
        }
    }
    frame.highest = std::max(frame.highest, high + SkylineHeadroom);
    frame.lowest = std::min(frame.lowest, low - SkylineHeadroom);
    return frame;
}

double ScaleOf(const QRectF &area, const Frame &frame) {
    return std::min(area.width() / 180.0,
                    area.height() / std::max(1.0, frame.highest - frame.lowest));
}

} // namespace

SkyProjection::SkyProjection(const QRectF &area, const SkyView &view)
    : SkyProjection(area, view.centreAzimuth, FrameOf(view).lowest, ScaleOf(area, FrameOf(view))) {}

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

namespace {

// A piece of text as it is drawn, and the sign the legend puts before it.
enum class LegendSign { None, Moon, Field, Path, Sun };
struct Written {
    SkyLabel label;
    QFont font;
    QColor colour;
    LegendSign sign = LegendSign::None;
    bool wrapped = false; // a caption's line, wrapped to the picture's width
};

const QColor ConditionsText(225, 230, 240);
constexpr double CaptionLeft = 8, LegendSignRoom = 16, LegendGap = 20;

QRectF TextBox(const QFontMetricsF &metrics, const QString &text, QPointF topLeft) {
    return {topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())};
}

// The caption, the Sun and the sky's conditions, and the legend, each wrapped
// to the width; returns where the band ends.
double LayOutCaption(const SkyView &view, double width, QList<Written> &written) {
    const double right = std::max(CaptionLeft + 40, width - CaptionLeft);
    double y = 4;
    const auto block = [&](const QString &text, const QFont &font, const QColor &colour) {
        if (text.isEmpty()) {
            return;
        }
        const QRectF box =
            QFontMetricsF(font).boundingRect(QRectF(CaptionLeft, y, right - CaptionLeft, 1e6),
                                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        written.append({{SkyLabelKind::Caption, text, box}, font, colour, LegendSign::None, true});
        y = box.bottom() + 3;
    };
    block(view.caption, ChartFont(13, true), Qt::white);
    QStringList conditions{view.twilightLabel, view.skylineLabel};
    conditions.removeAll(QString());
    block(conditions.join(QStringLiteral(" · ")), ChartFont(11), ConditionsText);

    const QFont font = ChartFont(11);
    const QFontMetricsF metrics(font);
    double x = CaptionLeft;
    const std::pair<QString, LegendSign> legend[] = {{MoonLabel(), LegendSign::Moon},
                                                     {view.fieldLabel, LegendSign::Field},
                                                     {view.pathLabel, LegendSign::Path},
                                                     {view.sunLabel, LegendSign::Sun}};
    for (const auto &[text, sign] : legend) {
        if (text.isEmpty()) {
            continue;
        }
        const double needed = LegendSignRoom + metrics.horizontalAdvance(text);
        if (x > CaptionLeft && x + needed > right) {
            x = CaptionLeft;
            y += metrics.height() + 2;
        }
        const QString shown = metrics.elidedText(text, Qt::ElideRight, right - x - LegendSignRoom);
        const QColor colour = sign == LegendSign::Moon    ? LitMoon
                              : sign == LegendSign::Field ? FieldColour
                              : sign == LegendSign::Path  ? PathColour
                                                          : SunColour;
        written.append(
            {{SkyLabelKind::Caption, shown, TextBox(metrics, shown, {x + LegendSignRoom, y})},
             font,
             colour,
             sign});
        x += needed + LegendGap;
    }
    return y + metrics.height() + 5;
}

QRectF SkyAreaBelow(double captionBottom, const QSize &size) {
    return {LeftScale, captionBottom, std::max(1.0, size.width() - LeftScale - RightMargin),
            std::max(1.0, size.height() - captionBottom - BottomScale)};
}

// Labels set down one by one, each at the first of its places that lies
// within its bounds and clear of everything set down before.
class LabelRoom {
public:
    void block(const QRectF &area) { taken_.append(area); }
    std::optional<QRectF> place(const QList<QRectF> &candidates, const QRectF &bounds) {
        for (const QRectF &box : candidates) {
            if (bounds.contains(box) &&
                std::none_of(taken_.begin(), taken_.end(),
                             [&](const QRectF &other) { return other.intersects(box); })) {
                taken_.append(box);
                return box;
            }
        }
        return std::nullopt;
    }

private:
    QList<QRectF> taken_;
};

// The Sun as a disc where it is, or, where it is outside the picture, an
// arrow from the edge towards it.
struct SunMark {
    QPointF at;                     // the disc's centre, or the arrow's tip
    std::optional<QPointF> towards; // the arrow's direction, a unit vector
    QRectF extent() const {
        if (!towards) {
            return {at - QPointF(8, 8), QSizeF(16, 16)};
        }
        const QPointF tail = at - *towards * ArrowLength;
        return QRectF(at, tail).normalized().adjusted(-5, -5, 5, 5);
    }
    static constexpr double ArrowLength = 18;
};

SunMark MarkSun(const SkyProjection &projection, const QRectF &bounds, const Horizontal &sun) {
    const QPointF at = projection.pointOf(sun);
    if (bounds.adjusted(9, 9, -9, -9).contains(at)) {
        return {at, std::nullopt};
    }
    const QRectF edge = bounds.adjusted(6, 6, -6, -6);
    const QPointF from = edge.center();
    QPointF towards = at - from;
    towards /= std::max(1e-9, std::hypot(towards.x(), towards.y()));
    // Where the line from the middle towards the Sun leaves the picture.
    double reach = 1e9;
    if (towards.x() > 1e-9) {
        reach = std::min(reach, (edge.right() - from.x()) / towards.x());
    } else if (towards.x() < -1e-9) {
        reach = std::min(reach, (edge.left() - from.x()) / towards.x());
    }
    if (towards.y() > 1e-9) {
        reach = std::min(reach, (edge.bottom() - from.y()) / towards.y());
    } else if (towards.y() < -1e-9) {
        reach = std::min(reach, (edge.top() - from.y()) / towards.y());
    }
    return {from + towards * reach, towards};
}

// Around a mark of radius `r`: to the right, to the left, above, below,
// then at the corners.
QList<QRectF> AroundPoint(QPointF at, double r, QSizeF size) {
    const double w = size.width(), h = size.height();
    return {QRectF(QPointF(at.x() + r + 4, at.y() - h / 2), size),
            QRectF(QPointF(at.x() - r - 4 - w, at.y() - h / 2), size),
            QRectF(QPointF(at.x() - w / 2, at.y() - r - 3 - h), size),
            QRectF(QPointF(at.x() - w / 2, at.y() + r + 3), size),
            QRectF(QPointF(at.x() + r + 2, at.y() - r - 2 - h), size),
            QRectF(QPointF(at.x() - r - 2 - w, at.y() - r - 2 - h), size),
            QRectF(QPointF(at.x() + r + 2, at.y() + r + 2), size),
            QRectF(QPointF(at.x() - r - 2 - w, at.y() + r + 2), size)};
}

void PlaceSunLabel(const SkyView &view, const SunMark &sun, const QRectF &bounds, LabelRoom &room,
                   QList<Written> &written) {
    const QFont font = ChartFont(11, true);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(view.sunLabel), metrics.height());
    const QPointF anchor = sun.towards ? sun.at - *sun.towards * SunMark::ArrowLength : sun.at;
    QList<QRectF> candidates = AroundPoint(anchor, sun.towards ? 5 : 8, size);
    candidates += AroundPoint(anchor, sun.towards ? 14 : 16, size);
    if (const auto box = room.place(candidates, bounds)) {
        written.append({{SkyLabelKind::Sun, view.sunLabel, *box}, font, SunColour});
    }
}

// The clock times beside their marks, on the upper side of the path, or
// below it where the upper side has no room.
void PlaceClockLabels(const SkyView &view, const SkyProjection &projection, const QRectF &bounds,
                      LabelRoom &room, QList<Written> &written) {
    if (view.path.size() < 2) {
        return;
    }
    const QFont font = ChartFont(11);
    const QFontMetricsF metrics(font);
    const QPointF along =
        projection.pointOf(view.path.last()) - projection.pointOf(view.path.first());
    QPointF normal(along.y(), -along.x());
    normal /= std::max(1e-9, std::hypot(normal.x(), normal.y()));
    if (normal.y() > 0) {
        normal = -normal;
    }
    for (const SkyClockMark &mark : view.marks) {
        const QPointF at = projection.pointOf(mark.moon);
        if (!bounds.adjusted(2, 2, -2, -2).contains(at)) {
            continue;
        }
        const QSizeF size(metrics.horizontalAdvance(mark.clock), metrics.height());
        QList<QRectF> candidates;
        for (const QPointF side : {normal, -normal}) {
            const QPointF anchor = at + side * 9;
            candidates.append(QRectF(QPointF(side.x() < 0 ? anchor.x() - size.width() : anchor.x(),
                                             anchor.y() + 4 - metrics.ascent()),
                                     size));
        }
        if (const auto box = room.place(candidates, bounds)) {
            written.append({{SkyLabelKind::Clock, mark.clock, *box}, font, PathColour});
        }
    }
}

// Keeps what labels must not cover: the Moon and the Sun's mark.
void BlockMarks(const SkyView &view, const SkyProjection &projection, const SunMark &sun,
                LabelRoom &room) {
    const QPointF moon = projection.pointOf(view.moment.moon);
    const double r = DrawnMoonRadius + 2;
    room.block(QRectF(moon - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    room.block(sun.extent());
}

// The closer look's frame: where the sky above the Moon's path and the
// skyline leaves room, on the side away from the Moon; its title on a strip
// of its own at the top, the sky below.
struct CloserLook {
    QRectF box;
    QRectF sky;
    double lowestAltitude = 0;
};

std::optional<QRectF> CloserLookBox(const SkyProjection &sky, const SkyView &view) {
    double highest = view.moment.moon.altitude;
    for (const Horizontal &moon : view.path) {
        highest = std::max(highest, moon.altitude);
    }
    const QRectF area = sky.area();
    const double top = area.top() + 10;
    const bool right = sky.pointOf(view.moment.moon).x() < area.center().x();
    double height =
        std::min(CloserLookHeight, sky.pointOf({highest, 0}).y() - CloserLookClearance - top);
    // The skyline below the box may stand higher than the Moon's path.
    for (int pass = 0; pass < 2 && !view.skyline.isFlat(); ++pass) {
        const double width = height * 1.7;
        const double left = right ? area.right() - 10 - width : area.left() + 10;
        double skyline = -90;
        for (double x = left; x <= left + width; x += 2) {
            skyline = std::max(skyline, view.skyline.altitudeAt(sky.azimuthAt(x)));
        }
        height = std::min(height, sky.pointOf({skyline, 0}).y() - CloserLookClearance - top);
    }
    if (height < CloserLookHeight / 2) {
        return std::nullopt;
    }
    const double width = height * 1.7;
    return QRectF(right ? area.right() - 10 - width : area.left() + 10, top, width, height);
}

std::optional<CloserLook> CloserLookOf(const SkyProjection &sky, const SkyView &view) {
    const std::optional<QRectF> box = CloserLookBox(sky, view);
    if (!box) {
        return std::nullopt;
    }
    const double strip = QFontMetricsF(ChartFont(11)).height() + 6;
    CloserLook look{*box, box->adjusted(0, strip, 0, 0), 0};
    // The flat horizon in view while the Moon is low enough, else the Moon
    // in the middle: a closer look always shows the Moon.
    const double moon = view.moment.moon.altitude;
    look.lowestAltitude = std::min(moon - CloserLookSpan / 2, -1.0);
    if (moon > look.lowestAltitude + CloserLookSpan - 1.5) {
        look.lowestAltitude = moon - CloserLookSpan / 2;
    }
    return look;
}

SkyProjection CloserProjection(const CloserLook &look, const SkyView &view) {
    return SkyProjection(look.sky, view.moment.moon.azimuth, look.lowestAltitude,
                         look.sky.height() / CloserLookSpan);
}

// The closer look's scale: whole degrees of altitude along its left edge and
// of azimuth along its lower edge, numbered where the numbers have room.
struct CloserScale {
    QList<double> altitudes; // ticked, numbered when even
    QList<double> azimuths;
    int azimuthStep = 1; // numbered every so many degrees
};

CloserScale CloserScaleOf(const CloserLook &look, const SkyProjection &closer) {
    CloserScale scale;
    const double ppd = closer.pixelsPerDegree();
    for (int alt = int(std::ceil(look.lowestAltitude)); alt <= look.lowestAltitude + CloserLookSpan;
         ++alt) {
        scale.altitudes.append(alt);
    }
    const double leftmost = closer.azimuthAt(look.sky.left());
    const double rightmost = closer.azimuthAt(look.sky.right());
    for (int az = int(std::ceil(leftmost)); az <= rightmost; ++az) {
        scale.azimuths.append(az);
    }
    scale.azimuthStep = ppd * 2 >= 40 ? 2 : ppd * 5 >= 40 ? 5 : 10;
    return scale;
}

void PlaceCloserScale(const CloserLook &look, const SkyProjection &closer, LabelRoom &room,
                      QList<Written> &written) {
    const QFont font = ChartFont(10);
    const QFontMetricsF metrics(font);
    const CloserScale scale = CloserScaleOf(look, closer);
    const QRectF inside = look.sky.adjusted(1, 1, -1, -1);
    for (const double alt : scale.altitudes) {
        if (int(alt) % 2 != 0) {
            continue;
        }
        const QString text = QStringLiteral("%1°").arg(int(alt));
        const double y = closer.horizonY() - alt * closer.pixelsPerDegree();
        const QRectF box = TextBox(metrics, text, {look.sky.left() + 8, y - metrics.height() / 2});
        if (room.place({box}, inside)) {
            written.append({{SkyLabelKind::Scale, text, box}, font, ScaleText});
        }
    }
    for (const double az : scale.azimuths) {
        const int shown = int(NormalizeDegrees(az));
        if (shown % scale.azimuthStep != 0) {
            continue;
        }
        const QString text = QStringLiteral("%1°").arg(shown);
        const double x = closer.pointOf({0, az}).x();
        const double width = metrics.horizontalAdvance(text);
        const QRectF box =
            TextBox(metrics, text, {x - width / 2, look.sky.bottom() - 7 - metrics.height()});
        if (room.place({box}, inside)) {
            written.append({{SkyLabelKind::Scale, text, box}, font, ScaleText});
        }
    }
}

// The main picture's scale: altitudes on the left, azimuths and the points of
// the compass below, each where it stays within the picture.
int AltitudeStep(const SkyProjection &projection) {
    int step = projection.area().height() / projection.pixelsPerDegree() > 40 ? 10 : 5;
    // A small picture would crowd the numbers: a line of them at least.
    while (step * projection.pixelsPerDegree() < QFontMetricsF(ChartFont(11)).height() + 4 &&
           step < 90) {
        step *= 2;
    }
    return step;
}

void PlaceMainScale(const SkyProjection &projection, const QSize &size, QList<Written> &written) {
    const QRectF area = projection.area();
    const QRectF picture(QPointF(0, 0), QSizeF(size));
    const double ppd = projection.pixelsPerDegree();
    const int step = AltitudeStep(projection);
    const QFont font = ChartFont(11);
    const QFontMetricsF metrics(font);
    const double lowest = (projection.horizonY() - area.bottom()) / ppd;
    for (int alt = int(std::ceil(lowest / step)) * step;
         projection.horizonY() - alt * ppd >= area.top(); alt += step) {
        const double y = projection.horizonY() - alt * ppd;
        const QString text = QStringLiteral("%1°").arg(alt);
        const double width = metrics.horizontalAdvance(text);
        const QRectF box =
            TextBox(metrics, text, {area.left() - width - 5, y - metrics.height() / 2});
        if (box.top() >= area.top() && picture.contains(box)) {
            written.append({{SkyLabelKind::Scale, text, box}, font, ScaleText});
        }
    }
    const double leftmost = projection.azimuthAt(area.left());
    const QFont compassFont = ChartFont(13, true);
    const QFontMetricsF compassMetrics(compassFont);
    for (int az = int(std::ceil(leftmost / 10.0)) * 10;; az += 10) {
        const double x = area.left() + (az - leftmost) * ppd;
        if (x > area.right()) {
            break;
        }
        const int shown = int(NormalizeDegrees(az));
        const auto centred = [&](const QString &text, const QFont &f, const QFontMetricsF &m,
                                 double baseline) {
            const double width = m.horizontalAdvance(text);
            const QRectF box = TextBox(m, text, {x - width / 2, baseline - m.ascent()});
            if (picture.contains(box)) {
                written.append({{SkyLabelKind::Scale, text, box}, f, ScaleText});
            }
        };
        if (shown % 30 == 0) {
            centred(QStringLiteral("%1°").arg(shown), font, metrics, area.bottom() + 17);
        }
        if (shown % 45 == 0) {
            centred(CompassPoint(shown), compassFont, compassMetrics, area.bottom() + 32);
        }
    }
}

// Everything the painting needs to know of where things go.
struct SkyPlan {
    SkyPlan(const SkyView &view, const QSize &size)
        : captionBottom(LayOutCaption(view, size.width(), written)),
          projection(SkyAreaBelow(captionBottom, size), view),
          sun(MarkSun(projection, projection.area(), view.moment.sun)),
          look(CloserLookOf(projection, view)) {
        PlaceMainScale(projection, size, written);
        LabelRoom room;
        if (look) {
            room.block(look->box.adjusted(-2, -2, 2, 2));
        }
        BlockMarks(view, projection, sun, room);
        PlaceSunLabel(view, sun, projection.area(), room, written);
        PlaceClockLabels(view, projection, projection.area(), room, written);
        if (look) {
            const QFont font = ChartFont(11);
            const QString title = QFontMetricsF(font).elidedText(
                CloserLookLabel(QString::number(int(CloserLookSpan))), Qt::ElideRight,
                look->box.width() - 12);
            written.append(
                {{SkyLabelKind::CloserLook, title,
                  TextBox(QFontMetricsF(font), title, look->box.topLeft() + QPointF(6, 3))},
                 font,
                 ScaleText});
            const SkyProjection closer = CloserProjection(*look, view);
            insetSun = MarkSun(closer, look->sky, view.moment.sun);
            LabelRoom inset;
            BlockMarks(view, closer, *insetSun, inset);
            PlaceCloserScale(*look, closer, inset, written);
            PlaceSunLabel(view, *insetSun, look->sky.adjusted(1, 1, -1, -1), inset, written);
            PlaceClockLabels(view, closer, look->sky.adjusted(1, 1, -1, -1), inset, written);
        }
    }

    QList<Written> written;
    double captionBottom;
    SkyProjection projection;
    SunMark sun;
    std::optional<CloserLook> look;
    std::optional<SunMark> insetSun;
};

} // namespace

SkyProjection SkyProjectionFor(const SkyView &view, const QSize &size) {
    QList<Written> caption;
    return SkyProjection(SkyAreaBelow(LayOutCaption(view, size.width(), caption), size), view);
}

SkyChartLayout LayOutSkyChart(const SkyView &view, const QSize &size) {
    const SkyPlan plan(view, size);
    SkyChartLayout layout;
    layout.captionBand = QRectF(0, 0, size.width(), plan.captionBottom);
    layout.sky = plan.projection.area();
    if (plan.look) {
        layout.closerLook = plan.look->box;
    }
    for (const Written &w : plan.written) {
        layout.labels.append(w.label);
    }
    return layout;
}

namespace {

// One drawing of the sky, step by step, from the back to the front.
class SkyPainter {
public:
    SkyPainter(QPainter &painter, const SkyProjection &projection, const SkyView &view)
        : p_(painter), view_(view), projection_(projection) {}

    void drawBackground();
    void drawMainGrid();
    void drawCloserScale(const CloserLook &look);
    void drawSun(const SunMark &sun);
    void drawPath();
    void drawBinocularField();
    void drawMoon();

private:
    QPainter &p_;
    const SkyView &view_;
    SkyProjection projection_;
};

// The sky, and the ground below the horizon: the flat one, or the place's
// skyline with the flat horizon faintly across it.
void SkyPainter::drawBackground() {
    const QRectF area = projection_.area();
    const double horizon = projection_.horizonY();
    // By altitude, so that a closer look shows the sky's colours of the whole.
    QLinearGradient sky(0, projection_.pointOf({GradientTop, 0}).y(), 0, horizon);
    sky.setColorAt(0, SkyTop);
    sky.setColorAt(1, SkyHorizon);
    p_.fillRect(area, sky);
    // The twilight glows above the Sun.
    const QPointF sun = projection_.pointOf(view_.moment.sun);
    QRadialGradient glow(QPointF(sun.x(), horizon), 40 * projection_.pixelsPerDegree());
    glow.setColorAt(0, Glow);
    glow.setColorAt(1, Qt::transparent);
    p_.fillRect(area, glow);
    if (view_.skyline.isFlat()) {
        p_.fillRect(QRectF(area.left(), horizon, area.width(), area.bottom() - horizon), Ground);
        p_.setPen(QPen(GroundLine, 1.5));
        p_.drawLine(QPointF(area.left(), horizon), QPointF(area.right(), horizon));
        return;
    }
    // Every few pixels, and at each measured point, where the skyline bends.
    const double ppd = projection_.pixelsPerDegree();
    QList<double> xs;
    for (double x = area.left(); x < area.right(); x += 3) {
        xs.append(x);
    }
    xs.append(area.right());
    const double centre = projection_.azimuthAt(area.center().x());
    for (const SkylinePoint &p : view_.skyline.points()) {
        for (const double turn : {-360.0, 0.0, 360.0}) {
            const double x = area.center().x() + (SignedDegrees(p.azimuth - centre) + turn) * ppd;
            if (x > area.left() && x < area.right()) {
                xs.append(x);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    QPolygonF skyline;
    for (const double x : xs) {
        skyline << QPointF(x, horizon - view_.skyline.altitudeAt(projection_.azimuthAt(x)) * ppd);
    }
    QPolygonF ground = skyline;
    ground << area.bottomRight() << area.bottomLeft();
    p_.setPen(Qt::NoPen);
    p_.setBrush(Ground);
    p_.drawPolygon(ground);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(GroundLine, 1.5));
    p_.drawPolyline(skyline);
    p_.setPen(
        QPen(QColor(GroundLine.red(), GroundLine.green(), GroundLine.blue(), 90), 1, Qt::DashLine));
    p_.drawLine(QPointF(area.left(), horizon), QPointF(area.right(), horizon));
}

// The lines of every step of altitude and every 10° of azimuth, and the
// ticks below the sky.
void SkyPainter::drawMainGrid() {
    const QRectF area = projection_.area();
    const double ppd = projection_.pixelsPerDegree();
    const int step = AltitudeStep(projection_);
    p_.setPen(QPen(GridLine, 1));
    const double lowest = (projection_.horizonY() - area.bottom()) / ppd;
    for (int alt = int(std::ceil(lowest / step)) * step;
         projection_.horizonY() - alt * ppd >= area.top(); alt += step) {
        const double y = projection_.horizonY() - alt * ppd;
        if (alt != 0 || !view_.skyline.isFlat()) {
            p_.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
    }
    const double leftmost = projection_.azimuthAt(area.left());
    for (int az = int(std::ceil(leftmost / 10.0)) * 10;; az += 10) {
        const double x = area.left() + (az - leftmost) * ppd;
        if (x > area.right()) {
            break;
        }
        // Down to the ground: the flat horizon, or a hill standing above it.
        const double ground =
            projection_.horizonY() -
            std::max(0.0, view_.skyline.altitudeAt(projection_.azimuthAt(x))) * ppd;
        p_.drawLine(QPointF(x, area.top()), QPointF(x, ground));
        p_.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
    }
}

void SkyPainter::drawCloserScale(const CloserLook &look) {
    const CloserScale scale = CloserScaleOf(look, projection_);
    p_.setPen(QPen(ScaleText, 1));
    for (const double alt : scale.altitudes) {
        const double y = projection_.horizonY() - alt * projection_.pixelsPerDegree();
        const double length = int(alt) % 2 == 0 ? 6 : 3;
        p_.drawLine(QPointF(look.sky.left(), y), QPointF(look.sky.left() + length, y));
    }
    for (const double az : scale.azimuths) {
        const double x = projection_.pointOf({0, az}).x();
        const double length = int(NormalizeDegrees(az)) % scale.azimuthStep == 0 ? 6 : 3;
        p_.drawLine(QPointF(x, look.sky.bottom()), QPointF(x, look.sky.bottom() - length));
    }
}

void SkyPainter::drawSun(const SunMark &sun) {
    if (!sun.towards) {
        p_.setPen(Qt::NoPen);
        p_.setBrush(SunColour);
        p_.drawEllipse(sun.at, 7, 7);
        return;
    }
    const QPointF d = *sun.towards;
    const QPointF across(-d.y(), d.x());
    p_.setPen(QPen(SunColour, 2));
    p_.drawLine(sun.at - d * SunMark::ArrowLength, sun.at - d * 4);
    p_.setPen(Qt::NoPen);
    p_.setBrush(SunColour);
    p_.drawPolygon(QPolygonF{sun.at, sun.at - d * 8 + across * 4.5, sun.at - d * 8 - across * 4.5});
}

// The path and the dots of its whole clock times; where the place's skyline
// hides the Moon, faintly.
void SkyPainter::drawPath() {
    if (view_.path.isEmpty()) {
        return;
    }
    const auto hidden = [&](const Horizontal &moon) {
        return !view_.skyline.isFlat() && moon.altitude < view_.skyline.altitudeAt(moon.azimuth);
    };
    p_.setBrush(Qt::NoBrush);
    QPolygonF run;
    bool runHidden = hidden(view_.path.first());
    const auto drawRun = [&] {
        QColor colour = PathColour;
        if (runHidden) {
            colour.setAlpha(PathColour.alpha() / 3);
        }
        p_.setPen(QPen(colour, 1.5, Qt::DashLine));
        p_.drawPolyline(run);
    };
    for (const Horizontal &moon : view_.path) {
        const QPointF at = projection_.pointOf(moon);
        if (hidden(moon) != runHidden) {
            run << at;
            drawRun();
            run = QPolygonF{at};
            runHidden = !runHidden;
            continue;
        }
        run << at;
    }
    drawRun();
    p_.setPen(Qt::NoPen);
    for (const SkyClockMark &mark : view_.marks) {
        QColor colour = PathColour;
        if (hidden(mark.moon)) {
            colour.setAlpha(PathColour.alpha() / 3);
        }
        p_.setBrush(colour);
        p_.drawEllipse(projection_.pointOf(mark.moon), 2.5, 2.5);
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

// The legend's sign before its text.
void DrawLegendSign(QPainter &p, const Written &w) {
    const QPointF at(w.label.rect.left() - LegendSignRoom / 2 - 1, w.label.rect.center().y());
    switch (w.sign) {
    case LegendSign::None:
        return;
    case LegendSign::Moon:
        p.setPen(Qt::NoPen);
        p.setBrush(Earthshine);
        p.drawEllipse(at, 5, 5);
        p.setBrush(LitMoon);
        p.drawPie(QRectF(at.x() - 5, at.y() - 5, 10, 10), -90 * 16, 180 * 16);
        return;
    case LegendSign::Field:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(FieldColour, 1.2, Qt::DashLine));
        p.drawEllipse(at, 5, 5);
        return;
    case LegendSign::Path:
        p.setPen(QPen(PathColour, 1.5, Qt::DashLine));
        p.drawLine(at - QPointF(6, 0), at + QPointF(6, 0));
        return;
    case LegendSign::Sun:
        p.setPen(Qt::NoPen);
        p.setBrush(SunColour);
        p.drawEllipse(at, 5, 5);
        return;
    }
}

void DrawWritten(QPainter &p, const Written &w) {
    p.setFont(w.font);
    p.setPen(w.colour);
    if (w.wrapped) {
        p.drawText(w.label.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, w.label.text);
        return;
    }
    p.drawText(QPointF(w.label.rect.left(), w.label.rect.top() + QFontMetricsF(w.font).ascent()),
               w.label.text);
}

} // namespace

void PaintSkyChart(QPainter &painter, const QSize &size, const SkyView &view) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    const SkyPlan plan(view, size);
    const SkyProjection &projection = plan.projection;
    SkyPainter sky(painter, projection, view);
    sky.drawBackground();
    painter.setClipRect(projection.area().adjusted(0, 0, 0, BottomScale));
    sky.drawMainGrid();
    painter.setClipRect(projection.area());
    sky.drawSun(plan.sun);
    sky.drawPath();
    sky.drawBinocularField();
    sky.drawMoon();
    painter.setClipping(false);
    if (plan.look) {
        const SkyProjection closer = CloserProjection(*plan.look, view);
        SkyPainter look(painter, closer, view);
        painter.setClipRect(plan.look->sky);
        look.drawBackground();
        look.drawPath();
        look.drawBinocularField();
        look.drawMoon();
        look.drawSun(*plan.insetSun);
        look.drawCloserScale(*plan.look);
        painter.setClipping(false);
        painter.fillRect(QRectF(plan.look->box.topLeft(), plan.look->sky.topRight()), Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ScaleText, 1));
        painter.drawRect(plan.look->box);
        painter.drawLine(plan.look->sky.topLeft(), plan.look->sky.topRight());
    }
    for (const Written &w : plan.written) {
        DrawLegendSign(painter, w);
        DrawWritten(painter, w);
    }
    painter.restore();
}

QImage RenderSkyChart(const SkyView &view, const QSize &size) {
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    PaintSkyChart(painter, size, view);
    return picture;
}

} // namespace lunex
