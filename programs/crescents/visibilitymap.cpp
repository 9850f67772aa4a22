#include "visibilitymap.h"

#include "lunations.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QRegion>
#include <QtConcurrent/QtConcurrentMap>

#include <cmath>
#include <numeric>

namespace lunex::crescents {
namespace {

// The Okabe–Ito palette (M. Okabe and K. Ito, "Color Universal Design", 2002):
// eight colours that readers with any common colour-vision deficiency tell apart.
// Green and blue where the eye sees the crescent, yellow and orange where optical
// aid is needed, vermilion where not even a telescope shows it.
constexpr QRgb BluishGreen = 0x009E73, SkyBlue = 0x56B4E9, Yellow = 0xF0E442, Orange = 0xE69F00,
               Vermilion = 0xD55E00;
constexpr int ClassAlpha = 200;

QColor Overlay(QRgb rgb, int alpha = ClassAlpha) {
    QColor c(rgb);
    c.setAlpha(alpha);
    return c;
}

const QColor NoCrescent(0, 0, 0, 120);
// Polar days and nights are striped: a white wash alone would read as ice.
const QColor NoHorizon(255, 255, 255, 110);
const QColor Stripes(40, 40, 40, 170);

QString NoCrescentLabel() {
    return QStringLiteral("nincs holdsarló: a Hold a Nap előtt nyugszik, vagy még nincs újhold");
}

QString NoHorizonLabel() {
    return QStringLiteral("a Nap vagy a Hold nem nyugszik le, vagy a Nap fel sem kel");
}

// Font sizes and margins grow with the picture.
struct Layout {
    double scale;
    QRect map;
    int titleTop, legendTop;
};

Layout LayoutFor(int width) {
    const double s = width / double(DefaultMapWidth);
    const int left = int(std::lround(70 * s)), right = int(std::lround(30 * s));
    const int top = int(std::lround(92 * s));
    const int mapWidth = width - left - right;
    const QRect map(left, top, mapWidth, mapWidth / 2);
    return {s, map, int(std::lround(14 * s)), map.bottom() + int(std::lround(44 * s))};
}

QFont SansFont(double pixels, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(8, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

// The Earth in grey, lightened, so that the shades keep their own hue.
QImage GreyEarth(const QImage &earth, const QSize &size) {
    QImage grey = earth.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        uchar *line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            line[x] = uchar(110 + line[x] * 120 / 255);
        }
    }
    return grey.convertToFormat(QImage::Format_RGB32);
}

QString LatitudeLabel(int degrees) {
    if (degrees == 0) {
        return QStringLiteral("0°");
    }
    return QStringLiteral("%1° %2").arg(std::abs(degrees)).arg(degrees > 0 ? u"É" : u"D");
}

QString LongitudeLabel(int degrees) {
    if (degrees == 0 || std::abs(degrees) == 180) {
        return QStringLiteral("%1°").arg(std::abs(degrees));
    }
    return QStringLiteral("%1° %2").arg(std::abs(degrees)).arg(degrees > 0 ? u"K" : u"Ny");
}

} // namespace

QDateTime NewMoonBeforeEvening(const QDate &date) {
    const QDateTime latest = QDateTime(date.addDays(2), QTime(0, 0), QTimeZone::utc());
    return NewMoonUtc(LunationAtOrAfter(latest) - 1);
}

VisibilityMap ComputeVisibilityMap(const QDate &date, double step) {
    VisibilityMap map;
    map.date = date;
    map.step = step;
    map.columns = int(std::lround(360.0 / step));
    map.rows = int(std::lround(180.0 / step));
    map.newMoon = NewMoonBeforeEvening(date);
    map.cells.resize(std::size_t(map.columns) * std::size_t(map.rows));
    const double newMoon = JulianDay(map.newMoon);
    const double dateJd = double(date.toJulianDay()) - 0.5;
    // Evenings of one date run from 18h UT of the day before (at 180° E) to
    // about 12h UT of the day after (180° W); moonsets up to a day later.
    const SkyTrack track(dateJd - 1.0, dateJd + 3.0);

    std::vector<int> rows(std::size_t(map.rows));
    std::iota(rows.begin(), rows.end(), 0);
    QtConcurrent::blockingMap(rows, [&](int row) {
        for (int column = 0; column < map.columns; ++column) {
            // Sea level everywhere: the grid has no heights.
            const LocalSky sky(track, {map.latitudeOf(row), map.longitudeOf(column), 0});
            const CrescentSighting s = ObserveCrescent(sky, dateJd, newMoon);
            map.cells[std::size_t(row) * std::size_t(map.columns) + std::size_t(column)] = {
                s.status, float(s.q), float(s.v)};
        }
    });
    return map;
}

QList<Shade> Legend(Criterion criterion) {
    QList<Shade> legend;
    if (criterion == Criterion::Yallop) {
        const QRgb colours[] = {BluishGreen, SkyBlue, Yellow, Orange, Vermilion};
        for (int i = 0; i < 6; ++i) {
            const auto c = YallopClass(i);
            legend.append({i < 5 ? Overlay(colours[i]) : QColor(Qt::transparent),
                           QStringLiteral("%1: %2").arg(Letter(c)).arg(YallopMeaning(c))});
        }
    } else {
        const QRgb colours[] = {BluishGreen, Yellow, Orange};
        for (int i = 0; i < 4; ++i) {
            const auto z = OdehZone(i);
            legend.append({i < 3 ? Overlay(colours[i]) : QColor(Qt::transparent),
                           QStringLiteral("%1: %2").arg(Letter(z)).arg(OdehMeaning(z))});
        }
    }
    legend.append({NoCrescent, NoCrescentLabel()});
    legend.append({NoHorizon, NoHorizonLabel(), true});
    return legend;
}

int ShadeOf(const MapCell &cell, Criterion criterion) {
    const int classes = criterion == Criterion::Yallop ? 6 : 4;
    switch (cell.status) {
    case CrescentStatus::Computed:
        return criterion == Criterion::Yallop ? int(ClassifyYallop(cell.q))
                                              : int(ClassifyOdeh(cell.v));
    case CrescentStatus::MoonSetsFirst:
    case CrescentStatus::BeforeNewMoon:
        return classes;
    case CrescentStatus::SunStaysUp:
    case CrescentStatus::SunStaysDown:
    case CrescentStatus::MoonStaysUp:
        break;
    }
    return classes + 1;
}

QRect MapArea(int width) {
    return LayoutFor(width).map;
}

QPoint PixelOf(double latitude, double longitude, int width) {
    const QRect map = MapArea(width);
    return {map.left() + int((longitude + 180.0) / 360.0 * map.width()),
            map.top() + int((90.0 - latitude) / 180.0 * map.height())};
}

QImage RenderVisibilityMap(const VisibilityMap &map, Criterion criterion, const QImage &earth,
                           int width) {
    const Layout layout = LayoutFor(width);
    const double s = layout.scale;
    const QList<Shade> legend = Legend(criterion);
    const int legendRows = int(legend.size() + 1) / 2;
    const int height = layout.legendTop + int(std::lround((legendRows * 26 + 16) * s));

    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    if (earth.isNull()) {
        p.fillRect(layout.map, QColor(0xC8, 0xCC, 0xD0));
    } else {
        p.drawImage(layout.map.topLeft(), GreyEarth(earth, layout.map.size()));
    }

    // One pixel a cell, stretched without smoothing: the class borders stay sharp.
    QImage shades(map.columns, map.rows, QImage::Format_ARGB32);
    for (int row = 0; row < map.rows; ++row) {
        auto *line = reinterpret_cast<QRgb *>(shades.scanLine(row));
        for (int column = 0; column < map.columns; ++column) {
            line[column] = legend[ShadeOf(map.cell(row, column), criterion)].colour.rgba();
        }
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(layout.map, shades);
    p.restore();
    // The stripes cover the runs of hatched cells, row by row.
    QRegion striped;
    const auto cellLeft = [&](int column) {
        return layout.map.left() + column * layout.map.width() / map.columns;
    };
    const auto cellTop = [&](int row) {
        return layout.map.top() + row * layout.map.height() / map.rows;
    };
    for (int row = 0; row < map.rows; ++row) {
        for (int column = 0; column < map.columns;) {
            if (!legend[ShadeOf(map.cell(row, column), criterion)].hatched) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < map.columns &&
                   legend[ShadeOf(map.cell(row, column), criterion)].hatched) {
                ++column;
            }
            striped += QRect(QPoint(cellLeft(first), cellTop(row)),
                             QPoint(cellLeft(column) - 1, cellTop(row + 1) - 1));
        }
    }
    p.save();
    p.setClipRegion(striped);
    p.fillRect(layout.map, QBrush(Stripes, Qt::BDiagPattern));
    p.restore();

    // The graticule, every 30°, with its labels outside the map.
    p.setFont(SansFont(13 * s));
    const QFontMetrics metrics(p.font());
    for (int lat = -60; lat <= 60; lat += 30) {
        const QPoint a = PixelOf(lat, -180, width), b = PixelOf(lat, 180, width);
        p.setPen(QPen(QColor(0, 0, 0, lat == 0 ? 150 : 90), lat == 0 ? 1.5 * s : s));
        p.drawLine(a.x(), a.y(), layout.map.right(), b.y());
        p.setPen(Qt::black);
        const QString text = LatitudeLabel(lat);
        p.drawText(a.x() - metrics.horizontalAdvance(text) - int(6 * s),
                   a.y() + metrics.ascent() / 2 - 1, text);
    }
    for (int lon = -180; lon <= 180; lon += 30) {
        const QPoint a = PixelOf(90, lon, width);
        const int x = std::min(a.x(), layout.map.right());
        if (lon > -180 && lon < 180) {
            p.setPen(QPen(QColor(0, 0, 0, lon == 0 ? 150 : 90), lon == 0 ? 1.5 * s : s));
            p.drawLine(x, layout.map.top(), x, layout.map.bottom());
        }
        p.setPen(Qt::black);
        const QString text = LongitudeLabel(lon);
        p.drawText(x - metrics.horizontalAdvance(text) / 2,
                   layout.map.bottom() + metrics.ascent() + int(6 * s), text);
    }
    p.setPen(QPen(QColor(60, 60, 60), s));
    p.setBrush(Qt::NoBrush);
    p.drawRect(layout.map);

    // Title: the evening, the criterion, the new moon in UT.
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    const QDateTime newMoon = RoundedToMinute(map.newMoon);
    const QString title = QStringLiteral("A holdsarló láthatósága %1 estéjén")
                              .arg(hungarian.toString(map.date, QStringLiteral("yyyy. MMMM d.")));
    const QString subtitle =
        QStringLiteral("%1 · újhold: %2 UT · a helyi este legjobb időpontjában (napnyugta + 4/9 "
                       "késés) · rácsköz: %3°")
            .arg(criterion == Criterion::Yallop
                     ? QStringLiteral("Yallop q-kritériuma (NAO TN 69, 1998)")
                     : QStringLiteral("Odeh kritériuma (Exp. Astron. 18, 2004)"),
                 hungarian.toString(newMoon, QStringLiteral("yyyy. MM. dd. HH:mm")),
                 hungarian.toString(map.step));
    p.setPen(Qt::black);
    p.setFont(SansFont(26 * s, true));
    p.drawText(QRect(0, layout.titleTop, width, int(34 * s)), Qt::AlignHCenter | Qt::AlignTop,
               title);
    p.setFont(SansFont(15 * s));
    p.drawText(QRect(0, layout.titleTop + int(38 * s), width, int(24 * s)),
               Qt::AlignHCenter | Qt::AlignTop, subtitle);

    // The legend in two columns; a swatch shows the shade over a mid grey, as on the map.
    p.setFont(SansFont(14 * s));
    const int columnWidth = layout.map.width() / 2;
    const int swatch = int(std::lround(18 * s));
    for (qsizetype i = 0; i < legend.size(); ++i) {
        const int x = layout.map.left() + int(i / legendRows) * columnWidth;
        const int y = layout.legendTop + int(i % legendRows) * int(std::lround(26 * s));
        const QRect box(x, y, swatch, swatch);
        p.fillRect(box, QColor(0xA0, 0xA0, 0xA0));
        p.fillRect(box, legend[i].colour);
        if (legend[i].hatched) {
            p.fillRect(box, QBrush(Stripes, Qt::BDiagPattern));
        }
        p.setPen(QPen(QColor(60, 60, 60), s));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(QRect(x + swatch + int(8 * s), y - int(3 * s), columnWidth - swatch,
                         swatch + int(6 * s)),
                   Qt::AlignLeft | Qt::AlignVCenter, legend[i].label);
    }
    return picture;
}

} // namespace lunex::crescents
