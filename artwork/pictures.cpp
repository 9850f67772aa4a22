#include "artwork/pictures.h"

#include "artwork/gifwriter.h"
#include "lunar/fundamentals.h"
#include "lunar/lunarage.h"
#include "messages/messages.h"
#include "store/fileio.h"
#include "store/paths.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace lunex::artwork {

namespace {

constexpr QSize PhaseSize(137, 137);
constexpr QSize ChartSize(1150, 710);

// Grey levels of the lettering: white on black as the windows have it.
constexpr QRgb TextWhite = qRgb(255, 255, 255);
constexpr QRgb TextPlain = qRgb(225, 225, 225);
constexpr QRgb LeaderGrey = qRgb(185, 185, 185);

// A picture pixel this bright is sunlit: earthshine stays well below it.
constexpr int LitLevel = 32;

constexpr int JpegQuality = 92;

// Craters that every lunar map names though they are smaller than the size limit.
const char *const FamousCraters[] = {
    "Tycho",        "Copernicus", "Kepler",        "Aristarchus", "Plato",        "Archimedes",
    "Eratosthenes", "Ptolemaeus", "Alphonsus",     "Arzachel",    "Clavius",      "Grimaldi",
    "Langrenus",    "Petavius",   "Theophilus",    "Cyrillus",    "Catharina",    "Posidonius",
    "Gassendi",     "Schickard",  "Endymion",      "Atlas",       "Hercules",     "Aristoteles",
    "Eudoxus",      "Maginus",    "Proclus",       "Cleomedes",   "Hipparchus",   "Albategnius",
    "Manilius",     "Menelaus",   "Pitatus",       "Bullialdus",  "Fracastorius", "Vendelinus",
    "Furnerius",    "Riccioli",   "Hevelius",      "Pythagoras",  "Bailly",       "Maurolycus",
    "Stöfler",      "Walter",     "Longomontanus", "Janssen",     "Piccolomini",  "Macrobius",
    "Geminus",      "Messala",    "Cassini",       "Autolycus",   "Aristillus",   "Timocharis",
    "Reinhold",     "Lansberg",   "Gauss",         "Humboldt",    "Schiller",     "Wargentin",
    "Plinius"};
// What the map names: every plain; the great mountain ranges and scarps; the famous
// craters, every large one, and the middle-sized ones of the central part of the disc,
// where the eye goes first. The smaller ranges and craters follow where room is left.
constexpr double MapMinMu = 0.15; // nearer the limb than this, features are mere slivers
constexpr double MapMountainsKm = 100;
constexpr double MapScarpKm = 100;
constexpr double GreatRangeKm = 150;
constexpr double MapCraterKm = 110;
constexpr double MapCentralCraterKm = 50;
constexpr double MapCentralMu = 0.866; // within 30 degrees of the disc's centre
constexpr double MapOtherCraterKm = 40;
// Leaders: the crowd of the centre is named nearby; only a plain that finds no room
// there may go farther, to the sky beyond the limb if need be.
constexpr double PlainLeaderPixels = 160;
constexpr double NearLeaderPixels = 70;
constexpr double OtherLeaderPixels = 30;
// What leaving a name out costs, against a leader of n pixels at (n / 10) squared.
constexpr double PlainImportance = 20000;
constexpr double FamousImportance = 10000; // the great ranges too
constexpr double CraterImportance = 1000;  // twice for the large, and their size on top
constexpr double SmallRangeImportance = 1500;
constexpr double OtherImportance = 12;
// These are placed first, among themselves; the rest fit around them.
constexpr double FirstImportance = 2000;
// What a name over the dot of another still to be named costs at most: as much as a
// leader of 70 pixels.
constexpr double AvoidCost = 49;
// How far from its middle a name may lie over its area, in the area's radii. A range's
// name may go most of its length along: the catalogue gives no direction, and a name
// beside a range still reads as its own.
constexpr double PlainSpan = 0.5;
constexpr double RangeSpan = 1.6;
constexpr double WidePlainKm = 300;
// Plains closer than this on the map compete for the same room.
constexpr double CrowdPixels = 80;
constexpr double DayCraterKm = 50;
// The Sun's height (its sine) up to which shadows make a feature stand out: about 8 degrees.
constexpr double DayHighSun = 0.14;
// How much of a leader line, from its feature on, may run over the sunlit surface.
constexpr double LeaderLitAllowance = 40;
constexpr double DayRangeKm = 100;

bool IsFamous(const QString &name) {
    return std::any_of(std::begin(FamousCraters), std::end(FamousCraters),
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
        p.setPen(QPen(QColor(LeaderGrey), 1));
        p.drawLine(line);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(LeaderGrey));
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
                run += row[x] >= LitLevel ? 1 : 0;
                sums_[size_t(y + 1) * w_ + size_t(x + 1)] =
                    sums_[size_t(y) * w_ + size_t(x + 1)] + run;
            }
        }
        h_ = grey.height() + 1;
    }
    bool anyLit(const QRectF &r) const {
        const int x0 = std::clamp(int(std::floor(r.left())), 0, w_ - 1);
        const int y0 = std::clamp(int(std::floor(r.top())), 0, h_ - 1);
        const int x1 = std::clamp(int(std::ceil(r.right())), 0, w_ - 1);
        const int y1 = std::clamp(int(std::ceil(r.bottom())), 0, h_ - 1);
        return anyLitIn(x0, y0, x1, y1);
    }
    bool isLit(const QPointF &p) const {
        const int x = int(std::floor(p.x()));
        const int y = int(std::floor(p.y()));
        if (x < 0 || y < 0 || x + 1 >= w_ || y + 1 >= h_) {
            return false;
        }
        return anyLitIn(x, y, x + 1, y + 1);
    }

private:
    // Pixels x0 <= x < x1, y0 <= y < y1.
    bool anyLitIn(int x0, int y0, int x1, int y1) const {
        const auto at = [&](int x, int y) { return sums_[size_t(y) * size_t(w_) + size_t(x)]; };
        return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0;
    }

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
    double span = 0;        // pixels the name may slide over its area
    double maxDistance = 0; // the longest leader it may have; 0: the placer's limit
};

LabelRequest RequestOf(const Candidate &c) {
    return {c.anchor, LabelSize(c.font, c.feature->name), c.onAnchor, c.span, c.maxDistance};
}

struct Placed {
    Candidate candidate;
    Placement place;
};

// Places the candidates in order; those that find no room are named in unplaced.
QList<Placed> PlaceLabels(LabelPlacer &placer, const QList<Candidate> &candidates,
                          QStringList *unplaced) {
    QList<Placed> placed;
    for (const Candidate &c : candidates) {
        if (auto place = placer.place(RequestOf(c))) {
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

// The cosine of a feature's angle from the middle of the disc as seen from the Earth.
double CentreCosine(const Feature &f) {
    return std::cos(f.latDeg * Degree) * std::cos(f.lonDeg * Degree);
}

// Features where the Sun stands low in the morning of a day: from just below the horizon
// (high peaks and rims catch the first light) to about eight degrees up. Plains and the
// famous first, then the rest by size, for they are named while room lasts.
QList<const Feature *> DayFeatures(const QList<Feature> &features, int day) {
    const double ls = SubSolarLongitude(day) * Degree;
    QList<const Feature *> near;
    for (const Feature &f : features) {
        const double lat = f.latDeg * Degree;
        const double lon = f.lonDeg * Degree;
        const double mu = CentreCosine(f);
        const double mu0 = std::cos(lat) * std::cos(lon - ls);
        const bool large = IsPlain(f.type) || (IsRange(f.type) && f.diameterKm >= DayRangeKm) ||
                           (f.type == QLatin1String("crater") && f.diameterKm >= DayCraterKm);
        if (large && mu > 0.12 && mu0 > -0.012 && mu0 < DayHighSun) {
            near.append(&f);
        }
    }
    std::stable_sort(near.begin(), near.end(), [](const Feature *a, const Feature *b) {
        const int ra = IsPlain(a->type) ? 0 : IsFamous(a->name) ? 1 : 2;
        const int rb = IsPlain(b->type) ? 0 : IsFamous(b->name) ? 1 : 2;
        return ra != rb ? ra < rb : a->diameterKm > b->diameterKm;
    });
    return near;
}

// The features the map names, by kind, each kind the largest first.
struct MapFeatures {
    QList<const Feature *> plains;
    QList<const Feature *> ranges;
    QList<const Feature *> craters; // named whatever it takes
    QList<const Feature *> others;  // named where room is left
};

MapFeatures MapFeaturesOf(const QList<Feature> &features) {
    MapFeatures kinds;
    for (const Feature &f : features) {
        const double mu = CentreCosine(f);
        if (IsPlain(f.type)) {
            kinds.plains.append(&f);
        } else if (mu <= MapMinMu) {
            continue;
        } else if ((f.type == QLatin1String("montes") && f.diameterKm >= MapMountainsKm) ||
                   (f.type == QLatin1String("rupes") && f.diameterKm >= MapScarpKm)) {
            kinds.ranges.append(&f);
        } else if (f.type != QLatin1String("crater")) {
            continue;
        } else if (IsFamous(f.name) || f.diameterKm >= MapCraterKm ||
                   (f.diameterKm >= MapCentralCraterKm && mu >= MapCentralMu)) {
            kinds.craters.append(&f);
        } else if (f.diameterKm >= MapOtherCraterKm) {
            kinds.others.append(&f);
        }
    }
    const auto bySize = [](const Feature *a, const Feature *b) {
        return a->diameterKm > b->diameterKm;
    };
    for (QList<const Feature *> *kind :
         {&kinds.plains, &kinds.ranges, &kinds.craters, &kinds.others}) {
        std::stable_sort(kind->begin(), kind->end(), bySize);
    }
    return kinds;
}

bool IsGreatRange(const Feature *f) {
    return f->diameterKm >= GreatRangeKm;
}

// Only a plain wide enough to hold its name carries it across its middle.
bool IsWidePlain(const Feature *f) {
    return f->diameterKm >= WidePlainKm;
}

// A name of the map, and what leaving it out costs.
struct MapName {
    Candidate candidate;
    double importance;
};

// The map's names, each with its place on the disc, its face and how far it may go.
class MapNames {
public:
    explicit MapNames(const DiscRenderer &renderer) : renderer_(renderer) {}

    // In the order they take their places: the great ranges and the famous craters, whose
    // names are short or can lie anywhere along them; the wide plains across their middle;
    // the small plains, the most crowded first, whose names can go farther; the smaller
    // ranges and the other craters by size.
    QList<MapName> inPlacingOrder(const MapFeatures &kinds) const;

private:
    QPointF anchorOf(const Feature &f) const;
    double spanOf(const Feature &f, double fraction) const;
    QList<const Feature *> smallPlainsByCrowd(const QList<const Feature *> &plains) const;
    MapName range(const Feature *f) const;
    MapName crater(const Feature *f) const;

    const DiscRenderer &renderer_;
    // The plains read first, the ranges next; the many craters in a slightly smaller face.
    const QFont plainFont_ = Font(SansFamily, 13, false, true);
    const QFont smallPlainFont_ = Font(SansFamily, 11, false, true);
    const QFont rangeFont_ = Font(SansFamily, 11, false, true);
    const QFont craterFont_ = Font(SansFamily, 11);
};

QList<MapName> MapNames::inPlacingOrder(const MapFeatures &kinds) const {
    QList<MapName> names;
    for (const Feature *f : kinds.ranges) {
        if (IsGreatRange(f)) {
            names.append(range(f));
        }
    }
    for (const Feature *f : kinds.craters) {
        if (IsFamous(f->name)) {
            names.append(crater(f));
        }
    }
    for (const Feature *f : kinds.plains) {
        if (IsWidePlain(f)) {
            names.append({{f, anchorOf(*f), plainFont_, TextPlain, true, spanOf(*f, PlainSpan),
                           PlainLeaderPixels},
                          PlainImportance});
        }
    }
    for (const Feature *f : smallPlainsByCrowd(kinds.plains)) {
        names.append({{f, anchorOf(*f), smallPlainFont_, TextPlain, false, 0, PlainLeaderPixels},
                      PlainImportance});
    }
    for (const Feature *f : kinds.ranges) {
        if (!IsGreatRange(f)) {
            names.append(range(f));
        }
    }
    for (const Feature *f : kinds.craters) {
        if (!IsFamous(f->name)) {
            names.append(crater(f));
        }
    }
    for (const Feature *f : kinds.others) {
        names.append({{f, anchorOf(*f), craterFont_, TextWhite, false, 0, OtherLeaderPixels},
                      OtherImportance});
    }
    return names;
}

// Every plain is named, even one whose middle lies just beyond the limb: it is pinned to
// the limb where it shows.
QPointF MapNames::anchorOf(const Feature &f) const {
    if (auto point = renderer_.project(f.latDeg, f.lonDeg)) {
        return *point;
    }
    const DiscView &view = renderer_.view();
    const double lat = f.latDeg * Degree;
    const double lon = f.lonDeg * Degree;
    const double u = std::cos(lat) * std::sin(lon);
    const double v = std::sin(lat);
    const double n = std::hypot(u, v);
    return QPointF(view.centre.x() + u / n * view.radius * 0.995,
                   view.centre.y() - v / n * view.radius * 0.995);
}

// A fraction of the area's radius as seen, foreshortening towards the limb included.
double MapNames::spanOf(const Feature &f, double fraction) const {
    return fraction * f.diameterKm / 2 / MoonRadiusKm * renderer_.view().radius *
           std::sqrt(std::max(CentreCosine(f), 0.1));
}

// The plains not wide enough to carry their name across, the most crowded first.
QList<const Feature *> MapNames::smallPlainsByCrowd(const QList<const Feature *> &plains) const {
    QList<std::pair<int, const Feature *>> small;
    for (const Feature *f : plains) {
        if (IsWidePlain(f)) {
            continue;
        }
        int neighbours = 0;
        for (const Feature *g : plains) {
            neighbours += QLineF(anchorOf(*f), anchorOf(*g)).length() < CrowdPixels ? 1 : 0;
        }
        small.append({neighbours, f});
    }
    std::stable_sort(small.begin(), small.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<const Feature *> crowdedFirst;
    for (const auto &[neighbours, f] : small) {
        crowdedFirst.append(f);
    }
    return crowdedFirst;
}

MapName MapNames::range(const Feature *f) const {
    return {{f, anchorOf(*f), rangeFont_, TextPlain, true, spanOf(*f, RangeSpan), NearLeaderPixels},
            IsGreatRange(f) ? FamousImportance : SmallRangeImportance};
}

MapName MapNames::crater(const Feature *f) const {
    const double importance =
        IsFamous(f->name)
            ? FamousImportance
            : CraterImportance * (f->diameterKm >= MapCraterKm ? 2 : 1) + f->diameterKm;
    return {{f, anchorOf(*f), craterFont_, TextWhite, false, 0, NearLeaderPixels}, importance};
}

// The plains, the great ranges, the famous and the large craters first, among themselves:
// they are to be named whatever it takes; the rest then fit around them. Those that find
// no room are named in unplaced.
QList<Placed> ArrangeMapNames(const QList<MapName> &names, QStringList *unplaced) {
    LabelPlacer placer(QRectF(QPointF(0, 0), QSizeF(ChartSize)).adjusted(3, 3, -3, -3));
    placer.setDirection(0, 180);
    for (const auto &[c, importance] : names) {
        if (IsPlain(c.feature->type)) {
            placer.reserveMark(c.anchor);
        } else {
            // The plains keep off the dots of the ranges and craters where they can.
            placer.avoidMark(c.anchor, std::min(importance, AvoidCost));
        }
    }
    QList<Placed> placed;
    for (bool first : {true, false}) {
        QList<const Candidate *> which;
        QList<ArrangeRequest> requests;
        for (const auto &[c, importance] : names) {
            if ((importance >= FirstImportance) == first) {
                which.append(&c);
                requests.append({RequestOf(c), importance});
            }
        }
        const QList<std::optional<Placement>> places = placer.arrange(requests);
        for (qsizetype k = 0; k < which.size(); ++k) {
            if (places[k]) {
                placed.append({*which[k], *places[k]});
            } else {
                unplaced->append(which[k]->feature->name);
            }
        }
    }
    return placed;
}

// Always false, for a picture that could not be made or written.
bool NotWritten(const QString &what, const QString &why, QString *error) {
    if (error) {
        *error = QStringLiteral("%1 nem írható: %2").arg(what, why);
    }
    return false;
}

bool Save(const QString &path, const QByteArray &bytes, QString *error) {
    const FileProblem problem = WriteFileAtomically(path, bytes);
    return problem == FileProblem::None ||
           NotWritten(QDir::toNativeSeparators(path), ProblemText(problem), error);
}

bool SaveGif(const QString &path, const QImage &image, QString *error) {
    QString why;
    const auto bytes = EncodeGreyGif(image, &why);
    if (!bytes) {
        return NotWritten(QDir::toNativeSeparators(path), why, error);
    }
    return Save(path, *bytes, error);
}

} // namespace

QList<PhasePicture> PhasePictures() {
    // One picture for each row of the phase table but the last, which shows the
    // new moon's picture again. Each is drawn at its band's middle, except the new
    // moon: its picture also stands for the days just before it, so it shows the
    // dark disc itself.
    QList<PhasePicture> pictures;
    double lower = 0;
    for (std::size_t row = 0; row + 1 < PhaseBands.size(); ++row) {
        const PhaseBand &band = PhaseBands[row];
        pictures.append({FileNameOf(PhasePictureFile(band)),
                         pictures.isEmpty() ? 0.0 : (lower + band.upperBound) / 2});
        lower = band.upperBound;
    }
    return pictures;
}

QStringList AllPictureFiles() {
    QStringList files;
    for (const PhasePicture &p : PhasePictures()) {
        files.append(p.file);
    }
    for (int day = FirstPictureDay; day <= LastPictureDay; ++day) {
        files.append(FileNameOf(DayPictureFile(day)));
    }
    files.append(FileNameOf(MapPictureFile));
    return files;
}

DiscView PhaseView() {
    return {PhaseSize, QPointF(PhaseSize.width() / 2.0, PhaseSize.height() / 2.0), 66.0, 4};
}

DiscView ChartView() {
    return {ChartSize, QPointF(ChartSize.width() / 2.0, ChartSize.height() / 2.0), 344.0, 2};
}

PictureMaker::PictureMaker(const AlbedoMap &albedo, QList<Feature> features)
    : features_(std::move(features)), phase_(std::make_unique<DiscRenderer>(albedo, PhaseView())),
      chart_(std::make_unique<DiscRenderer>(albedo, ChartView())) {}

PictureMaker::~PictureMaker() = default;

QImage PictureMaker::phaseImage(double ageDays) const {
    return phase_->render(ageDays);
}

Chart PictureMaker::dayChart(int day) const {
    Chart chart;
    const QImage moon = chart_->render(day);
    QImage rgb = moon.convertToFormat(QImage::Format_RGB32);

    const QFont titleFont = Font(SerifFamily, 34, true);
    const QString title = QStringLiteral("%1. nap").arg(day);
    const QRectF titleRect(QPointF(14, 8), LabelSize(titleFont, title));

    LabelPlacer placer(QRectF(QPointF(0, 0), QSizeF(ChartSize)).adjusted(4, 4, -4, -4));
    placer.reserve(titleRect);
    const LitMask lit(moon);
    placer.setBlocked([&lit](const QRectF &r) { return lit.anyLit(r); });
    // The night side lies west of the morning terminator, to the left.
    placer.setDirection(180, 80);
    placer.setMaxDistance(300);
    placer.setMinDistance(10);
    // A leader may cross the sunlit rim it starts from, not the Moon beyond it.
    placer.setLeaderBlocked([&lit](const QLineF &line) {
        const double length = line.length();
        for (double along = LeaderLitAllowance; along < length; along += 2) {
            if (lit.isLit(line.pointAt(along / length))) {
                return true;
            }
        }
        return false;
    });

    const QFont font = Font(SansFamily, 14);
    QList<Candidate> candidates;
    for (const Feature *f : DayFeatures(features_, day)) {
        candidates.append({f, *chart_->project(f->latDeg, f->lonDeg), font,
                           IsPlain(f->type) ? TextPlain : TextWhite, false});
    }
    DrawLabels(rgb, PlaceLabels(placer, candidates, &chart.unplaced), chart);

    QPainter p(&rgb);
    p.setRenderHint(QPainter::Antialiasing);
    DrawText(p, titleRect, titleFont, title, TextWhite);
    p.end();
    chart.image = rgb.convertToFormat(QImage::Format_Grayscale8);
    return chart;
}

Chart PictureMaker::mapChart() const {
    Chart chart;
    QImage rgb = chart_->render(SynodicMonthDays / 2).convertToFormat(QImage::Format_RGB32);
    const QList<MapName> names = MapNames(*chart_).inPlacingOrder(MapFeaturesOf(features_));
    DrawLabels(rgb, ArrangeMapNames(names, &chart.unplaced), chart);
    chart.image = rgb.convertToFormat(QImage::Format_Grayscale8);
    return chart;
}

bool PictureMaker::writeAll(const QString &dir, QString *error) const {
    if (!QDir().mkpath(dir)) {
        if (error) {
            *error = QStringLiteral("a %1 könyvtár nem hozható létre")
                         .arg(QDir::toNativeSeparators(dir));
        }
        return false;
    }
    const QDir out(dir);
    for (const PhasePicture &p : PhasePictures()) {
        if (!SaveGif(out.filePath(p.file), phaseImage(p.ageDays), error)) {
            return false;
        }
    }
    for (int day = FirstPictureDay; day <= LastPictureDay; ++day) {
        if (!SaveGif(out.filePath(FileNameOf(DayPictureFile(day))), dayChart(day).image, error)) {
            return false;
        }
    }
    const QString mapFile = FileNameOf(MapPictureFile);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(JpegQuality);
    if (!writer.write(mapChart().image)) {
        return NotWritten(mapFile, writer.errorString(), error);
    }
    return Save(out.filePath(mapFile), jpeg, error);
}

} // namespace lunex::artwork
