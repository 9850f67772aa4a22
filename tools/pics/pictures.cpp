#include "pictures.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <QBuffer>
#include <QImageWriter>

#include "gifwriter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lunex::pics {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

constexpr QSize kPhaseSize(137, 137);
constexpr QSize kChartSize(1150, 710);

// Grey levels of the lettering: white on black as the windows have it.
constexpr QRgb kTextWhite = qRgb(255, 255, 255);
constexpr QRgb kTextPlain = qRgb(225, 225, 225);
constexpr QRgb kLeaderGrey = qRgb(185, 185, 185);

// A picture pixel this bright is sunlit: earthshine stays well below it.
constexpr int kLitLevel = 32;

constexpr int kJpegQuality = 92;

// Craters that every lunar map names though they are smaller than the size limit.
const char *const kFamousCraters[] = {
    "Tycho",        "Copernicus", "Kepler",        "Aristarchus", "Plato",        "Archimedes",
    "Eratosthenes", "Ptolemaeus", "Alphonsus",     "Arzachel",    "Clavius",      "Grimaldi",
    "Langrenus",    "Petavius",   "Theophilus",    "Cyrillus",    "Catharina",    "Posidonius",
    "Gassendi",     "Schickard",  "Endymion",      "Atlas",       "Hercules",     "Aristoteles",
    "Eudoxus",      "Maginus",    "Proclus",       "Cleomedes",   "Hipparchus",   "Albategnius",
    "Manilius",     "Menelaus",   "Pitatus",       "Bullialdus",  "Fracastorius", "Vendelinus",
    "Furnerius",    "Riccioli",   "Hevelius",      "Pythagoras",  "Bailly",       "Maurolycus",
    "Stöfler",      "Walter",     "Longomontanus", "Janssen",     "Piccolomini",  "Macrobius",
    "Geminus",      "Messala",    "Cassini",       "Autolycus",   "Aristillus",   "Timocharis",
    "Reinhold",     "Lansberg",   "Gauss",         "Humboldt",    "Schiller",     "Wargentin"};
constexpr double kMapCraterKm = 110;
constexpr double kMapRangeKm = 140;
constexpr double kWidePlainKm = 300;
// Plains closer than this on the map compete for the same room.
constexpr double kCrowdPixels = 80;
constexpr int kPlacingAttempts = 10;
constexpr double kDayCraterKm = 50;
// The Sun's height (its sine) up to which shadows make a feature stand out: about 8 degrees.
constexpr double kDayHighSun = 0.14;
// How much of a leader line, from its feature on, may run over the sunlit surface.
constexpr double kLeaderLitAllowance = 40;
constexpr double kDayRangeKm = 100;

bool IsFamous(const QString &name) {
    return std::any_of(std::begin(kFamousCraters), std::end(kFamousCraters),
                       [&](const char *n) { return name == QString::fromUtf8(n); });
}

bool IsRange(const QString &type) {
    return type == QLatin1String("montes") || type == QLatin1String("rupes") ||
           type == QLatin1String("vallis");
}

QFont Font(const char *family, int pixels, bool bold = false, bool italic = false) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QSizeF LabelSize(const QFont &font, const QString &text) {
    const QFontMetricsF fm(font);
    return {std::ceil(fm.horizontalAdvance(text)) + 4, std::ceil(fm.ascent() + fm.descent()) + 2};
}

// Light letters with a black rim, readable on the sky and on the sunlit surface alike.
void DrawText(QPainter &p, const QRectF &rect, const QFont &font, const QString &text,
              QRgb colour) {
    const QFontMetricsF fm(font);
    QPainterPath path;
    path.addText(rect.left() + 2, rect.top() + 1 + fm.ascent(), font, text);
    p.strokePath(path, QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, QColor(colour));
}

void DrawLeader(QPainter &p, const Placement &place) {
    // A label across its feature needs no mark; any other points at a dot on the feature.
    if (place.across) {
        return;
    }
    if (place.leader) {
        const QLineF line(place.anchor, place.leaderEnd);
        p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(line);
        p.setPen(QPen(QColor(kLeaderGrey), 1));
        p.drawLine(line);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(kLeaderGrey));
    p.drawEllipse(place.anchor, 2, 2);
}

// Counts lit pixels in any box at once, so that the placer can keep labels off the
// sunlit Moon without walking every pixel of every candidate box.
class LitMask {
public:
    explicit LitMask(const QImage &grey)
        : w_(grey.width() + 1), sums_(size_t(w_) * (grey.height() + 1), 0) {
        for (int y = 0; y < grey.height(); ++y) {
            const uchar *row = grey.constScanLine(y);
            int run = 0;
            for (int x = 0; x < grey.width(); ++x) {
                run += row[x] >= kLitLevel ? 1 : 0;
                sums_[size_t(y + 1) * w_ + size_t(x + 1)] =
                    sums_[size_t(y) * w_ + size_t(x + 1)] + run;
            }
        }
        h_ = grey.height() + 1;
    }
    bool AnyLit(const QRectF &r) const {
        const int x0 = std::clamp(int(std::floor(r.left())), 0, w_ - 1);
        const int y0 = std::clamp(int(std::floor(r.top())), 0, h_ - 1);
        const int x1 = std::clamp(int(std::ceil(r.right())), 0, w_ - 1);
        const int y1 = std::clamp(int(std::ceil(r.bottom())), 0, h_ - 1);
        const auto at = [&](int x, int y) { return sums_[size_t(y) * size_t(w_) + size_t(x)]; };
        return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0;
    }
    bool IsLit(const QPointF &p) const {
        const int x = int(std::floor(p.x()));
        const int y = int(std::floor(p.y()));
        if (x < 0 || y < 0 || x + 1 >= w_ || y + 1 >= h_) {
            return false;
        }
        const auto at = [&](int cx, int cy) { return sums_[size_t(cy) * size_t(w_) + size_t(cx)]; };
        return at(x + 1, y + 1) - at(x, y + 1) - at(x + 1, y) + at(x, y) > 0;
    }

private:
    int w_;
    int h_ = 0;
    std::vector<int> sums_;
};

struct Candidate {
    const Feature *feature;
    QPointF anchor;
    QFont font;
    QRgb colour;
    bool onAnchor;
    double span = 0; // pixels the name may slide over its area
};

struct Placed {
    Candidate candidate;
    Placement place;
};

// Places the candidates in order; those that find no room are named in unplaced.
QList<Placed> PlaceLabels(LabelPlacer &placer, const QList<Candidate> &candidates,
                          QStringList *unplaced) {
    QList<Placed> placed;
    for (const Candidate &c : candidates) {
        const LabelRequest request{c.anchor, LabelSize(c.font, c.feature->name), c.onAnchor,
                                   c.span};
        if (auto place = placer.Place(request)) {
            placed.append({c, *place});
        } else if (unplaced) {
            unplaced->append(c.feature->name);
        }
    }
    return placed;
}

void DrawLabels(QImage &rgb, const QList<Placed> &placed, Chart &chart) {
    QPainter p(&rgb);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Placed &l : placed) {
        DrawLeader(p, l.place);
    }
    for (const Placed &l : placed) {
        DrawText(p, l.place.rect, l.candidate.font, l.candidate.feature->name, l.candidate.colour);
        chart.labels.append({l.candidate.feature->name, l.place});
    }
}

bool Save(const QString &path, const QByteArray &bytes, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) {
            *error = QStringLiteral("%1 nem írható: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        }
        return false;
    }
    return true;
}

bool SaveGif(const QString &path, const QImage &image, QString *error) {
    QString why;
    const auto bytes = EncodeGreyGif(image, &why);
    if (!bytes) {
        if (error) {
            *error = QStringLiteral("%1 nem írható: %2").arg(QDir::toNativeSeparators(path), why);
        }
        return false;
    }
    return Save(path, *bytes, error);
}

} // namespace

QList<PhasePicture> PhasePictures() {
    struct Band {
        double lower, upper;
        const char *file;
    };
    static const Band kBands[] = {
        {0, 1.84, "000-ujhold.gif"},       {1.84, 2.1, "004-novekvo.gif"},
        {2.1, 5.53, "010-novekvo.gif"},    {5.53, 6.95, "014-novekvo.gif"},
        {6.95, 9.21, "020-negyed.gif"},    {9.21, 12.9, "030-novekvo.gif"},
        {12.9, 16.61, "040-telihold.gif"}, {16.61, 21.05, "050-fogyo.gif"},
        {21.05, 23.15, "060-utolso.gif"},  {23.15, 26.63, "070-fogyo.gif"},
        {26.63, 27.6, "072-fogyo.gif"},    {27.6, 28.2, "073-fogyo.gif"},
    };
    // The band's middle, except the new moon: its picture also stands for the days just
    // before it, so it shows the dark disc itself.
    QList<PhasePicture> pictures;
    for (const Band &b : kBands) {
        pictures.append(
            {QString::fromLatin1(b.file), pictures.isEmpty() ? 0.0 : (b.lower + b.upper) / 2});
    }
    return pictures;
}

QString DayPictureFile(int day) {
    return QStringLiteral("Lunar-day%1s.gif").arg(day, 2, 10, QLatin1Char('0'));
}

QString MapFile() {
    return QStringLiteral("Lunar-map.jpg");
}

QStringList AllPictureFiles() {
    QStringList files;
    for (const PhasePicture &p : PhasePictures()) {
        files.append(p.file);
    }
    for (int day = kFirstDay; day <= kLastDay; ++day) {
        files.append(DayPictureFile(day));
    }
    files.append(MapFile());
    return files;
}

DiscView PhaseView() {
    return {kPhaseSize, QPointF(kPhaseSize.width() / 2.0, kPhaseSize.height() / 2.0), 66.0, 4};
}

DiscView ChartView() {
    return {kChartSize, QPointF(kChartSize.width() / 2.0, kChartSize.height() / 2.0), 344.0, 2};
}

PictureMaker::PictureMaker(const AlbedoMap &albedo, QList<Feature> features)
    : features_(std::move(features)), phase_(std::make_unique<DiscRenderer>(albedo, PhaseView())),
      chart_(std::make_unique<DiscRenderer>(albedo, ChartView())) {}

PictureMaker::~PictureMaker() = default;

QImage PictureMaker::Phase(double ageDays) const {
    return phase_->Render(ageDays);
}

Chart PictureMaker::Day(int day) const {
    Chart chart;
    const QImage moon = chart_->Render(day);
    QImage rgb = moon.convertToFormat(QImage::Format_RGB32);

    const QFont titleFont = Font(kSerifFamily, 34, true);
    const QString title = QStringLiteral("%1. nap").arg(day);
    const QRectF titleRect(QPointF(14, 8), LabelSize(titleFont, title));

    LabelPlacer placer(QRectF(QPointF(0, 0), QSizeF(kChartSize)).adjusted(4, 4, -4, -4));
    placer.Reserve(titleRect);
    const LitMask lit(moon);
    placer.SetBlocked([&lit](const QRectF &r) { return lit.AnyLit(r); });
    // The night side lies west of the morning terminator, to the left.
    placer.SetDirection(180, 80);
    placer.SetMaxDistance(300);
    placer.SetMinDistance(10);
    // A leader may cross the sunlit rim it starts from, not the Moon beyond it.
    placer.SetLeaderBlocked([&lit](const QLineF &line) {
        const double length = line.length();
        for (double along = kLeaderLitAllowance; along < length; along += 2) {
            if (lit.IsLit(line.pointAt(along / length))) {
                return true;
            }
        }
        return false;
    });

    // Features where the Sun stands low in the morning: from just below the horizon (high
    // peaks and rims catch the first light) to about eight degrees up.
    const double ls = SubSolarLongitude(day) * kDeg;
    QList<const Feature *> near;
    for (const Feature &f : features_) {
        const double lat = f.latDeg * kDeg;
        const double lon = f.lonDeg * kDeg;
        const double mu = std::cos(lat) * std::cos(lon);
        const double mu0 = std::cos(lat) * std::cos(lon - ls);
        const bool large = IsPlain(f.type) || (IsRange(f.type) && f.diameterKm >= kDayRangeKm) ||
                           (f.type == QLatin1String("crater") && f.diameterKm >= kDayCraterKm);
        if (large && mu > 0.12 && mu0 > -0.012 && mu0 < kDayHighSun) {
            near.append(&f);
        }
    }
    // Plains and the famous first, then the rest by size, while room lasts.
    std::stable_sort(near.begin(), near.end(), [](const Feature *a, const Feature *b) {
        const int ra = IsPlain(a->type) ? 0 : IsFamous(a->name) ? 1 : 2;
        const int rb = IsPlain(b->type) ? 0 : IsFamous(b->name) ? 1 : 2;
        return ra != rb ? ra < rb : a->diameterKm > b->diameterKm;
    });
    const QFont font = Font(kSansFamily, 14);
    QList<Candidate> candidates;
    for (const Feature *f : near) {
        candidates.append({f, *chart_->Project(f->latDeg, f->lonDeg), font,
                           IsPlain(f->type) ? kTextPlain : kTextWhite, false});
    }
    DrawLabels(rgb, PlaceLabels(placer, candidates, &chart.unplaced), chart);

    QPainter p(&rgb);
    p.setRenderHint(QPainter::Antialiasing);
    DrawText(p, titleRect, titleFont, title, kTextWhite);
    p.end();
    chart.image = rgb.convertToFormat(QImage::Format_Grayscale8);
    return chart;
}

Chart PictureMaker::Map() const {
    Chart chart;
    QImage rgb = chart_->Render(kSynodicMonthDays / 2).convertToFormat(QImage::Format_RGB32);
    const DiscView view = chart_->View();

    const QFont plainFont = Font(kSansFamily, 13, false, true);
    const QFont rangeFont = Font(kSansFamily, 12, false, true);
    const QFont craterFont = Font(kSansFamily, 12);

    // Every plain is named, even one whose middle lies just beyond the limb: it is pinned
    // to the limb where it shows.
    auto anchorOf = [&](const Feature &f) {
        if (auto point = chart_->Project(f.latDeg, f.lonDeg)) {
            return *point;
        }
        const double lat = f.latDeg * kDeg;
        const double lon = f.lonDeg * kDeg;
        const double u = std::cos(lat) * std::sin(lon);
        const double v = std::sin(lat);
        const double n = std::hypot(u, v);
        return QPointF(view.centre.x() + u / n * view.radius * 0.995,
                       view.centre.y() - v / n * view.radius * 0.995);
    };

    // Half the area's radius as seen, foreshortening towards the limb included.
    auto spanOf = [&](const Feature &f) {
        const double mu = std::cos(f.latDeg * kDeg) * std::cos(f.lonDeg * kDeg);
        return 0.5 * f.diameterKm / 2 / kMoonRadiusKm * view.radius * std::sqrt(std::max(mu, 0.1));
    };

    QList<const Feature *> plains;
    QList<const Feature *> ranges;
    QList<const Feature *> craters;
    for (const Feature &f : features_) {
        const double mu = std::cos(f.latDeg * kDeg) * std::cos(f.lonDeg * kDeg);
        if (IsPlain(f.type)) {
            plains.append(&f);
        } else if (IsRange(f.type) && f.type != QLatin1String("vallis") &&
                   f.diameterKm >= kMapRangeKm && mu > 0.15) {
            ranges.append(&f);
        } else if (f.type == QLatin1String("crater") && mu > 0.15 &&
                   (f.diameterKm >= kMapCraterKm || IsFamous(f.name))) {
            craters.append(&f);
        }
    }
    auto bySize = [](const Feature *a, const Feature *b) { return a->diameterKm > b->diameterKm; };
    std::stable_sort(plains.begin(), plains.end(), bySize);
    std::stable_sort(ranges.begin(), ranges.end(), bySize);
    // The famous first, then the rest by size.
    std::stable_sort(craters.begin(), craters.end(), [&](const Feature *a, const Feature *b) {
        const bool fa = IsFamous(a->name);
        const bool fb = IsFamous(b->name);
        return fa != fb ? fa : a->diameterKm > b->diameterKm;
    });

    // Only a plain wide enough to hold its name carries it across its middle; the small
    // ones follow, the most crowded of them first.
    const auto wide = [](const Feature *f) { return f->diameterKm >= kWidePlainKm; };
    QList<std::pair<int, const Feature *>> small;
    for (const Feature *f : plains) {
        if (wide(f)) {
            continue;
        }
        int neighbours = 0;
        for (const Feature *g : plains) {
            neighbours += QLineF(anchorOf(*f), anchorOf(*g)).length() < kCrowdPixels ? 1 : 0;
        }
        small.append({neighbours, f});
    }
    std::stable_sort(small.begin(), small.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<Candidate> plainCandidates;
    for (const Feature *f : plains) {
        if (wide(f)) {
            plainCandidates.append({f, anchorOf(*f), plainFont, kTextPlain, true, spanOf(*f)});
        }
    }
    for (const auto &[neighbours, f] : small) {
        plainCandidates.append({f, anchorOf(*f), plainFont, kTextPlain, false});
    }

    const auto newPlacer = [&] {
        LabelPlacer placer(QRectF(QPointF(0, 0), QSizeF(kChartSize)).adjusted(3, 3, -3, -3));
        placer.SetDirection(0, 180);
        placer.SetMaxDistance(300);
        // No label may hide the mark of a plain, a mountain range or a famous crater.
        for (const Candidate &c : plainCandidates) {
            placer.ReserveMark(c.anchor);
        }
        for (const Feature *f : ranges) {
            placer.ReserveMark(anchorOf(*f));
        }
        for (const Feature *f : craters) {
            if (IsFamous(f->name)) {
                placer.ReserveMark(anchorOf(*f));
            }
        }
        return placer;
    };
    // A greedy placer can paint itself into a corner: the names left out go to the front
    // and the placing starts over. First until every plain has its name, then, with the
    // plains' order kept, for the ranges and the famous craters; the other large craters
    // fill the room that is left.
    QList<Candidate> extra;
    for (const Feature *f : ranges) {
        extra.append({f, anchorOf(*f), rangeFont, kTextPlain, true, spanOf(*f)});
    }
    QList<Candidate> rest;
    for (const Feature *f : craters) {
        (IsFamous(f->name) ? extra : rest).append({f, anchorOf(*f), craterFont, kTextWhite, false});
    }
    const auto settle = [&](const QList<Candidate> &fixed, QList<Candidate> order,
                            LabelPlacer &placer, QList<Placed> &placed, QStringList &left) {
        // A plain left out weighs more than everything else together.
        const auto cost = [&](const QStringList &names) {
            int total = 0;
            for (const Candidate &c : order) {
                total +=
                    names.contains(c.feature->name) ? (IsPlain(c.feature->type) ? 1000 : 1) : 0;
            }
            return total;
        };
        for (int attempt = 0;; ++attempt) {
            LabelPlacer round = newPlacer();
            QStringList roundLeft;
            QList<Placed> roundPlaced = PlaceLabels(round, fixed + order, &roundLeft);
            if (attempt == 0 || cost(roundLeft) < cost(left)) {
                placer = std::move(round);
                placed = std::move(roundPlaced);
                left = roundLeft;
            }
            if (left.isEmpty() || attempt == kPlacingAttempts) {
                return;
            }
            std::stable_partition(order.begin(), order.end(), [&](const Candidate &c) {
                return roundLeft.contains(c.feature->name);
            });
        }
    };
    LabelPlacer placer = newPlacer();
    QList<Placed> placed;
    QStringList left;
    settle({}, plainCandidates, placer, placed, left);
    QList<Candidate> plainOrder;
    for (const Placed &p : placed) {
        plainOrder.append(p.candidate);
    }
    for (const Candidate &c : plainCandidates) {
        if (left.contains(c.feature->name)) {
            plainOrder.append(c);
        }
    }
    QStringList plainsLeft = left;
    LabelPlacer withExtra = newPlacer();
    QList<Placed> extraPlaced;
    QStringList extraLeft;
    settle(plainOrder, extra, withExtra, extraPlaced, extraLeft);
    // Only a round that still names as many plains counts.
    const bool keepsPlains =
        std::none_of(plainOrder.begin(), plainOrder.end(), [&](const Candidate &c) {
            return extraLeft.contains(c.feature->name) && !plainsLeft.contains(c.feature->name);
        });
    if (keepsPlains) {
        placer = std::move(withExtra);
        placed = std::move(extraPlaced);
        left = extraLeft;
    } else {
        placed += PlaceLabels(placer, extra, &left);
    }
    chart.unplaced = left;
    placed += PlaceLabels(placer, rest, &chart.unplaced);
    DrawLabels(rgb, placed, chart);
    chart.image = rgb.convertToFormat(QImage::Format_Grayscale8);
    return chart;
}

bool PictureMaker::WriteAll(const QString &dir, QString *error) const {
    if (!QDir().mkpath(dir)) {
        if (error) {
            *error = QStringLiteral("a %1 könyvtár nem hozható létre")
                         .arg(QDir::toNativeSeparators(dir));
        }
        return false;
    }
    const QDir out(dir);
    for (const PhasePicture &p : PhasePictures()) {
        if (!SaveGif(out.filePath(p.file), Phase(p.ageDays), error)) {
            return false;
        }
    }
    for (int day = kFirstDay; day <= kLastDay; ++day) {
        if (!SaveGif(out.filePath(DayPictureFile(day)), Day(day).image, error)) {
            return false;
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(Map().image)) {
        if (error) {
            *error = QStringLiteral("%1 nem írható: %2").arg(MapFile(), writer.errorString());
        }
        return false;
    }
    return Save(out.filePath(MapFile()), jpeg, error);
}

} // namespace lunex::pics
