#include "charts/visibilitychart.h"

#include "charts/chartfont.h"

#include "lunar/evenings.h"
#include "messages/crescenttexts.h"
#include "texts/placetext.h"

#include <QFont>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lunex {
namespace {

// The Okabe–Ito palette (M. Okabe and K. Ito, "Color Universal Design", 2002):
// eight colours that readers with any common colour-vision deficiency tell apart.
// Green and blue where the eye sees the crescent, yellow and orange where optical
// aid is needed, vermilion where not even a telescope shows it.
constexpr QRgb BluishGreen = 0x009E73, SkyBlue = 0x56B4E9, Yellow = 0xF0E442, Orange = 0xE69F00,
               Vermilion = 0xD55E00;
// Grey where the crescent is there but not to be seen (Yallop F, Odeh D): the
// table paints its cells in the same colours, so no class may be left blank.
constexpr QRgb Grey = 0xA0A0A0;
constexpr int ClassAlpha = 200;
// The observer's place: the palette's reddish purple, which no class takes.
constexpr QRgb MarkColour = 0xCC79A7;

QColor Overlay(QRgb rgb, int alpha = ClassAlpha) {
    QColor c(rgb);
    c.setAlpha(alpha);
    return c;
}

const QColor NoCrescent(0, 0, 0, 120);
// Polar days and nights are striped: a white wash alone would read as ice.
const QColor NoHorizon(255, 255, 255, 110);
const QColor Stripes(40, 40, 40, 170);

// A region's height to its width on the picture: its degrees of longitude
// as long as at its middle latitude, within bounds that keep the picture
// readable near the poles.
double AspectOf(const MapRegion &region) {
    const double middle = (region.north + region.south) / 2 * std::numbers::pi / 180;
    const double aspect = (region.north - region.south) /
                          ((region.east - region.west) * std::max(0.2, std::cos(middle)));
    return std::clamp(aspect, 0.25, 1.5);
}

// Font sizes and margins grow with the picture.
struct Layout {
    double scale;
    QRect map;
    int titleTop, legendTop;
};

Layout LayoutFor(int width, const MapRegion &region) {
    const double s = width / double(DefaultMapWidth);
    const int left = int(std::lround(70 * s)), right = int(std::lround(30 * s));
    const int top = int(std::lround(92 * s));
    const int mapWidth = width - left - right;
    const int mapHeight =
        region.isWorld() ? mapWidth / 2 : int(std::lround(mapWidth * AspectOf(region)));
    const QRect map(left, top, mapWidth, mapHeight);
    return {s, map, int(std::lround(14 * s)), map.bottom() + int(std::lround(44 * s))};
}

// The Earth in grey, lightened, so that the shades keep their own hue.
QImage Greyed(const QImage &picture) {
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        uchar *line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            line[x] = uchar(110 + line[x] * 120 / 255);
        }
    }
    return grey.convertToFormat(QImage::Format_RGB32);
}

QImage GreyEarth(const QImage &earth, const QSize &size) {
    return Greyed(earth.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The region's part of the equirectangular Earth, once more where the region
// passes 180°.
QImage RegionEarth(const QImage &earth, const MapRegion &region, const QSize &size) {
    QImage part(size, QImage::Format_RGB32);
    part.fill(Qt::white);
    QPainter p(&part);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double perDegreeX = size.width() / (region.east - region.west);
    const double perDegreeY = size.height() / (region.north - region.south);
    const QRectF whole(-(region.west + 180) * perDegreeX, -(90 - region.north) * perDegreeY,
                       360 * perDegreeX, 180 * perDegreeY);
    for (double shift : {-360.0, 0.0, 360.0}) {
        const QRectF target = whole.translated(shift * perDegreeX, 0);
        const QRectF seen = target.intersected(QRectF(QPointF(0, 0), QSizeF(size)));
        if (seen.isEmpty()) {
            continue;
        }
        // Only the part in view is scaled: the whole Earth at a region's
        // scale would take hundreds of megabytes.
        const double toSourceX = earth.width() / target.width();
        const double toSourceY = earth.height() / target.height();
        const QRectF source((seen.left() - target.left()) * toSourceX,
                            (seen.top() - target.top()) * toSourceY, seen.width() * toSourceX,
                            seen.height() * toSourceY);
        p.drawImage(seen, earth, source);
    }
    p.end();
    return Greyed(part);
}

// The graticule's spacing: the smallest of the usual ones that draws at most
// a dozen lines across the region.
int GraticuleStep(const MapRegion &region) {
    const double span = std::max(region.east - region.west, region.north - region.south);
    for (int step : {1, 2, 5, 10, 15}) {
        if (span / step <= 12) {
            return step;
        }
    }
    return 30;
}

QString LatitudeLabel(int degrees) {
    if (degrees == 0) {
        return QStringLiteral("0°");
    }
    return QStringLiteral("%1° %2").arg(std::abs(degrees)).arg(LatitudeLetter(degrees));
}

QString LongitudeLabel(int degrees) {
    if (degrees == 0 || std::abs(degrees) == 180) {
        return QStringLiteral("%1°").arg(std::abs(degrees));
    }
    return QStringLiteral("%1° %2").arg(std::abs(degrees)).arg(LongitudeLetter(degrees));
}

// The legend's two columns are as long as the first.
int LegendRows(const QList<Shade> &legend) {
    return int(legend.size() + 1) / 2;
}

double MarkRadius(double scale) {
    return std::max(6.0, 7 * scale);
}

QFont MarkFont(double scale) {
    return ChartFont(std::max(11.0, 15 * scale), true);
}

// One map drawn into one picture, step by step.
class MapPainter {
public:
    MapPainter(QImage &picture, const VisibilityMap &map, Criterion criterion)
        : painter_(&picture), layout_(LayoutFor(picture.width(), map.region())),
          frame_(map.region(), picture.width()), width_(picture.width()), map_(map),
          criterion_(criterion), legend_(Legend(criterion, map.direction)) {
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setRenderHint(QPainter::TextAntialiasing);
    }

    void drawEarth(const QImage &earth);
    void drawShades();
    void drawStripes();
    void drawShores(const std::vector<ShoreLine> &shores);
    void drawGraticule();
    void drawTitle(const QDate &date);
    void drawLegend();
    void drawMark(const MapMark &mark);

private:
    const Shade &shadeAt(int row, int column) const {
        return legend_[ShadeOf(map_.cell(row, column), criterion_)];
    }
    int cellLeft(int column) const {
        return layout_.map.left() + column * layout_.map.width() / map_.columns;
    }
    int cellTop(int row) const {
        return layout_.map.top() + row * layout_.map.height() / map_.rows;
    }

    QPainter painter_;
    const Layout layout_;
    const MapFrame frame_;
    const int width_;
    const VisibilityMap &map_;
    const Criterion criterion_;
    const QList<Shade> legend_;
};

void MapPainter::drawEarth(const QImage &earth) {
    if (earth.isNull()) {
        painter_.fillRect(layout_.map, QColor(0xC8, 0xCC, 0xD0));
    } else if (map_.region().isWorld()) {
        painter_.drawImage(layout_.map.topLeft(), GreyEarth(earth, layout_.map.size()));
    } else {
        painter_.drawImage(layout_.map.topLeft(),
                           RegionEarth(earth, map_.region(), layout_.map.size()));
    }
}

// One pixel a cell, stretched without smoothing: the class borders stay sharp.
void MapPainter::drawShades() {
    QImage shades(map_.columns, map_.rows, QImage::Format_ARGB32);
    for (int row = 0; row < map_.rows; ++row) {
        auto *line = reinterpret_cast<QRgb *>(shades.scanLine(row));
        for (int column = 0; column < map_.columns; ++column) {
            line[column] = shadeAt(row, column).colour.rgba();
        }
    }
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(layout_.map, shades);
    painter_.restore();
}

// The stripes cover the runs of hatched cells, row by row.
void MapPainter::drawStripes() {
    QRegion striped;
    for (int row = 0; row < map_.rows; ++row) {
        for (int column = 0; column < map_.columns;) {
            if (!shadeAt(row, column).hatched) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < map_.columns && shadeAt(row, column).hatched) {
                ++column;
            }
            striped += QRect(QPoint(cellLeft(first), cellTop(row)),
                             QPoint(cellLeft(column) - 1, cellTop(row + 1) - 1));
        }
    }
    painter_.save();
    painter_.setClipRegion(striped);
    painter_.fillRect(layout_.map, QBrush(Stripes, Qt::BDiagPattern));
    painter_.restore();
}

// The coastlines and lakes in dark blue, the borders between countries in
// black over a light seam, so that both show on every shade.
void MapPainter::drawShores(const std::vector<ShoreLine> &shores) {
    const double s = layout_.scale;
    const QColor water(20, 50, 110);
    painter_.save();
    painter_.setClipRect(layout_.map);
    painter_.setBrush(Qt::NoBrush);
    const auto draw = [&](ShoreKind kind, const QPen &pen) {
        painter_.setPen(pen);
        for (const ShoreLine &line : shores) {
            if (line.kind != kind) {
                continue;
            }
            QPolygonF polyline;
            polyline.reserve(line.points.size());
            for (const QPointF &point : line.points) {
                polyline.append(frame_.pointOf(point.y(), point.x()));
            }
            painter_.drawPolyline(polyline);
        }
    };
    draw(ShoreKind::Lake, QPen(water, std::max(0.8, 0.9 * s)));
    draw(ShoreKind::Coast, QPen(water, std::max(1.0, 1.3 * s)));
    draw(ShoreKind::Border, QPen(QColor(255, 255, 255, 160), std::max(2.5, 3.5 * s)));
    draw(ShoreKind::Border, QPen(QColor(20, 20, 20), std::max(1.2, 1.5 * s)));
    painter_.restore();
}

// Every 30° on the world map, closer on a region's; the labels outside the map.
void MapPainter::drawGraticule() {
    const double s = layout_.scale;
    QPainter &p = painter_;
    p.setFont(ChartFont(13 * s));
    const QFontMetrics metrics(p.font());
    const MapRegion region = frame_.region();
    const int step = GraticuleStep(region);
    for (int lat = int(std::floor(region.south / step)) * step + step; lat < region.north;
         lat += step) {
        const QPoint a = frame_.pixelOf(lat, region.west), b = frame_.pixelOf(lat, region.east);
        p.setPen(QPen(QColor(0, 0, 0, lat == 0 ? 150 : 90), lat == 0 ? 1.5 * s : s));
        p.drawLine(a.x(), a.y(), layout_.map.right(), b.y());
        p.setPen(Qt::black);
        const QString text = LatitudeLabel(lat);
        p.drawText(a.x() - metrics.horizontalAdvance(text) - int(6 * s),
                   a.y() + metrics.ascent() / 2 - 1, text);
    }
    for (int lon = int(std::ceil(region.west / step - 1e-9)) * step; lon <= region.east + 1e-9;
         lon += step) {
        const QPoint a = frame_.pixelOf(region.north, lon);
        const int x = std::min(a.x(), layout_.map.right());
        // Across the date line the labels go on from 180° westwards.
        const int named = int(std::remainder(lon, 360.0));
        if (lon > region.west && lon < region.east) {
            p.setPen(QPen(QColor(0, 0, 0, named == 0 ? 150 : 90), named == 0 ? 1.5 * s : s));
            p.drawLine(x, layout_.map.top(), x, layout_.map.bottom());
        }
        p.setPen(Qt::black);
        const QString text = LongitudeLabel(named);
        p.drawText(x - metrics.horizontalAdvance(text) / 2,
                   layout_.map.bottom() + metrics.ascent() + int(6 * s), text);
    }
    p.setPen(QPen(QColor(60, 60, 60), s));
    p.setBrush(Qt::NoBrush);
    p.drawRect(layout_.map);
}

// The evening, the criterion, the new moon in UT.
void MapPainter::drawTitle(const QDate &date) {
    const double s = layout_.scale;
    painter_.setPen(Qt::black);
    painter_.setFont(ChartFont(26 * s, true));
    painter_.drawText(QRect(0, layout_.titleTop, width_, int(34 * s)),
                      Qt::AlignHCenter | Qt::AlignTop, MapTitle(date, map_.direction));
    painter_.setFont(ChartFont(15 * s));
    painter_.drawText(
        QRect(0, layout_.titleTop + int(38 * s), width_, int(24 * s)),
        Qt::AlignHCenter | Qt::AlignTop,
        MapSubtitle(criterion_, RoundedToMinute(map_.newMoon), map_.step, map_.direction));
}

// In two columns; a swatch shows the shade over a mid grey, as on the map.
void MapPainter::drawLegend() {
    const double s = layout_.scale;
    QPainter &p = painter_;
    const int legendRows = LegendRows(legend_);
    p.setFont(ChartFont(14 * s));
    const int columnWidth = layout_.map.width() / 2;
    const int swatch = int(std::lround(18 * s));
    for (qsizetype i = 0; i < legend_.size(); ++i) {
        const int x = layout_.map.left() + int(i / legendRows) * columnWidth;
        const int y = layout_.legendTop + int(i % legendRows) * int(std::lround(26 * s));
        const QRect box(x, y, swatch, swatch);
        p.fillRect(box, QColor(0xA0, 0xA0, 0xA0));
        p.fillRect(box, legend_[i].colour);
        if (legend_[i].hatched) {
            p.fillRect(box, QBrush(Stripes, Qt::BDiagPattern));
        }
        p.setPen(QPen(QColor(60, 60, 60), s));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(QRect(x + swatch + int(8 * s), y - int(3 * s), columnWidth - swatch,
                         swatch + int(6 * s)),
                   Qt::AlignLeft | Qt::AlignVCenter, legend_[i].label);
    }
}

// A ring in a colour none of the shades has, its name beside it on a light
// ground, so that it shows on every class.
void MapPainter::drawMark(const MapMark &mark) {
    if (!frame_.shows(mark.latitude, mark.longitude)) {
        return;
    }
    const double s = layout_.scale;
    const QPointF at = frame_.pixelOf(mark.latitude, mark.longitude) + QPointF(0.5, 0.5);
    const double radius = MarkRadius(s);
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(QPen(Qt::white, std::max(2.0, 5 * s)));
    painter_.drawEllipse(at, radius, radius);
    painter_.setPen(QPen(QColor(MarkColour), std::max(1.5, 3 * s)));
    painter_.drawEllipse(at, radius, radius);
    painter_.setBrush(QColor(MarkColour));
    painter_.setPen(Qt::NoPen);
    painter_.drawEllipse(at, 1.5 * s + 0.5, 1.5 * s + 0.5);
    painter_.setFont(MarkFont(s));
    const QRectF label = MarkLabelRect(frame_.region(), width_, mark);
    painter_.fillRect(label, QColor(255, 255, 255, 200));
    painter_.setPen(Qt::black);
    painter_.drawText(label, Qt::AlignCenter, mark.name);
}

} // namespace

QList<Shade> Legend(Criterion criterion, Direction direction) {
    const QList<QRgb> colours =
        criterion == Criterion::Yallop
            ? QList<QRgb>{BluishGreen, SkyBlue, Yellow, Orange, Vermilion, Grey}
            : QList<QRgb>{BluishGreen, Yellow, Orange, Grey};
    QList<Shade> legend;
    for (int i = 0; i < ClassCount(criterion); ++i) {
        legend.append({Overlay(colours[i]), criterion == Criterion::Yallop
                                                ? LegendLabel(YallopClass(i))
                                                : LegendLabel(OdehZone(i))});
    }
    legend.append({NoCrescent, NoCrescentLegendLabel(direction)});
    legend.append({NoHorizon, NoEveningLegendLabel(direction), true});
    return legend;
}

namespace {

QColor OverWhite(const QColor &shade) {
    const double a = shade.alphaF();
    return QColor::fromRgbF(float(shade.redF() * a + 1 - a), float(shade.greenF() * a + 1 - a),
                            float(shade.blueF() * a + 1 - a));
}

} // namespace

QColor ClassCellColour(YallopClass yallop) {
    return OverWhite(Legend(Criterion::Yallop)[int(yallop)].colour);
}

QColor ClassCellColour(OdehZone odeh) {
    return OverWhite(Legend(Criterion::Odeh)[int(odeh)].colour);
}

MapFrame::MapFrame(const MapRegion &region, int width)
    : region_(region), area_(LayoutFor(width, region).map) {}

QPointF MapFrame::withinArea(double latitude, double longitude) const {
    if (longitude < region_.west || longitude > region_.east) {
        const double middle = (region_.west + region_.east) / 2;
        longitude += 360 * std::round((middle - longitude) / 360);
    }
    return {(longitude - region_.west) / (region_.east - region_.west) * area_.width(),
            (region_.north - latitude) / (region_.north - region_.south) * area_.height()};
}

QPointF MapFrame::pointOf(double latitude, double longitude) const {
    return withinArea(latitude, longitude) + QPointF(area_.topLeft());
}

QPoint MapFrame::pixelOf(double latitude, double longitude) const {
    const QPointF at = withinArea(latitude, longitude);
    return {area_.left() + int(at.x()), area_.top() + int(at.y())};
}

bool MapFrame::shows(double latitude, double longitude) const {
    const QPointF at = withinArea(latitude, longitude);
    return at.x() >= 0 && at.x() <= area_.width() && at.y() >= 0 && at.y() <= area_.height();
}

QRect MapArea(int width) {
    return MapFrame({}, width).area();
}

QPoint PixelOf(double latitude, double longitude, int width) {
    return MapFrame({}, width).pixelOf(latitude, longitude);
}

QRectF MarkLabelRect(const MapRegion &region, int width, const MapMark &mark) {
    const MapFrame frame(region, width);
    if (!frame.shows(mark.latitude, mark.longitude)) {
        return {};
    }
    const double s = width / double(DefaultMapWidth);
    const QPointF at = frame.pixelOf(mark.latitude, mark.longitude) + QPointF(0.5, 0.5);
    const double radius = MarkRadius(s);
    const QFontMetricsF metrics(MarkFont(s));
    const QSizeF size(metrics.horizontalAdvance(mark.name) + 8 * s, metrics.height());
    const QRectF area(frame.area());
    // Right of the ring, or left of it where the map ends first; never above
    // or below the map.
    double left = at.x() + radius + 4 * s;
    if (left + size.width() > area.right()) {
        left = at.x() - radius - 4 * s - size.width();
    }
    left = std::clamp(left, area.left(), std::max(area.left(), area.right() - size.width()));
    const double top = std::clamp(at.y() - size.height() / 2, area.top(),
                                  std::max(area.top(), area.bottom() - size.height()));
    return {QPointF(left, top), size};
}

int MapPictureHeight(int width, Criterion criterion, const MapRegion &region) {
    const Layout layout = LayoutFor(width, region);
    const int legendRows = LegendRows(Legend(criterion));
    return layout.legendTop + int(std::lround((legendRows * 26 + 16) * layout.scale));
}

QImage RenderVisibilityMap(const VisibilityMap &map, Criterion criterion, const QImage &earth,
                           int width, const std::optional<MapMark> &mark,
                           const std::vector<ShoreLine> &shores, const QDate &titleDate) {
    QImage picture(width, MapPictureHeight(width, criterion, map.region()), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        MapPainter painter(picture, map, criterion);
        painter.drawEarth(earth);
        painter.drawShades();
        painter.drawStripes();
        painter.drawShores(shores);
        painter.drawGraticule();
        painter.drawTitle(titleDate.isValid() ? titleDate : map.date);
        painter.drawLegend();
        if (mark) {
            painter.drawMark(*mark);
        }
    }
    return picture;
}

} // namespace lunex
