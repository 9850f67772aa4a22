#include "artwork/albedo.h"
#include "artwork/features.h"
#include "artwork/gifwriter.h"
#include "artwork/labels.h"
#include "artwork/pictures.h"
#include "artwork/render.h"
#include "lunar/fundamentals.h"
#include "lunar/lunarage.h"
#include "processrun.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <sys/stat.h>

using namespace lunex::artwork;
using lunex::test::Run;
using lunex::test::RunProgram;

namespace {

// Brighter than any earthshine, darker than the sunlit surface next to the terminator.
constexpr int LitThreshold = 32;

Run RunTool(const QStringList &arguments, int timeoutMs = 120000) {
    return RunProgram(QStringLiteral(LUNEX_PICS_TOOL), arguments, {{}, 0, timeoutMs});
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage ReadGrey(const QString &path) {
    return QImage(path).convertToFormat(QImage::Format_Grayscale8);
}

int CountAtLeast(const QImage &grey, int level) {
    int count = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            count += row[x] >= level ? 1 : 0;
        }
    }
    return count;
}

double ExpectedLitFraction(double ageDays) {
    return (1 - std::cos(2 * std::numbers::pi * ageDays / lunex::SynodicMonthDays)) / 2;
}

// Whether a pixel carries lettering: a label, its leader line or its feature's dot.
bool UnderLabels(const QList<Label> &labels, const QPointF &p) {
    return std::any_of(labels.begin(), labels.end(), [&](const Label &l) {
        return l.place.rect.adjusted(-4, -4, 4, 4).contains(p) ||
               QLineF(p, l.place.anchor).length() <= 4 ||
               (l.place.leader &&
                DistanceToSegment(p, QLineF(l.place.anchor, l.place.leaderEnd)) <= 3);
    });
}

// Mean grey over the pixels of a ring that no lettering covers.
double MeanOutsideLabels(const QImage &grey, const QPointF &centre, double inner, double outer,
                         const QList<Label> &labels) {
    double sum = 0;
    int count = 0;
    for (int y = int(centre.y() - outer); y <= int(centre.y() + outer); ++y) {
        for (int x = int(centre.x() - outer); x <= int(centre.x() + outer); ++x) {
            const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            if (d < inner || d > outer || !grey.rect().contains(x, y)) {
                continue;
            }
            if (!UnderLabels(labels, QPointF(x + 0.5, y + 0.5))) {
                sum += qGray(grey.pixel(x, y));
                ++count;
            }
        }
    }
    return count ? sum / count : -1;
}

void VerifyNoOverlap(const QList<QRectF> &rects, const QList<Placement> &placed,
                     const QRectF &bounds) {
    for (qsizetype i = 0; i < rects.size(); ++i) {
        QVERIFY2(bounds.contains(rects[i]), "label outside the picture");
        for (qsizetype j = i + 1; j < rects.size(); ++j) {
            QVERIFY2(!rects[i].intersects(rects[j]),
                     qPrintable(QStringLiteral("labels %1 and %2 overlap").arg(i).arg(j)));
        }
    }
    for (const Placement &p : placed) {
        if (!p.leader) {
            continue;
        }
        for (const QRectF &r : rects) {
            if (r == p.rect) {
                continue;
            }
            QVERIFY2(!SegmentHitsRect(QLineF(p.anchor, p.leaderEnd), r),
                     "a leader line runs through another label");
        }
    }
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

    QTemporaryDir textured_;
    QTemporaryDir plain_;
    QString plainErrors_;

    std::optional<AlbedoMap> loadTexture() const {
        QString why;
        return AlbedoMap::load(QStringLiteral(LUNEX_TEST_TEXTURE), &why);
    }
    QList<Feature> loadFeatures() const {
        QString why;
        return ReadFeatures(QStringLiteral(LUNEX_TEST_FEATURES), &why).value_or(QList<Feature>{});
    }
    // The map from the plain surface, made once: its labels do not depend on the surface.
    std::optional<Chart> map_;
    const Chart &sharedMap() {
        if (!map_) {
            const QList<Feature> features = loadFeatures();
            map_ = PictureMaker(AlbedoMap::synthetic(features), features).mapChart();
        }
        return *map_;
    }
    bool isNamed(const QString &name) {
        return std::any_of(sharedMap().labels.begin(), sharedMap().labels.end(),
                           [&](const Label &l) { return l.text == name; });
    }

private slots:
    void initTestCase() {
        QVERIFY(textured_.isValid() && plain_.isValid());
        QVERIFY(!loadFeatures().isEmpty());
        const Run withTexture =
            RunTool({QStringLiteral("--texture"), QStringLiteral(LUNEX_TEST_TEXTURE),
                     textured_.filePath(QStringLiteral("Pic"))});
        QCOMPARE(withTexture.code, 0);
        const Run without =
            RunTool({QStringLiteral("--no-texture"), plain_.filePath(QStringLiteral("Pic"))});
        QCOMPARE(without.code, 0);
        plainErrors_ = without.err;
    }

    void everyFileWithItsNameFormatAndSize_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QSize>("size");
        for (const auto &[surface, dir] :
             {std::pair{"texture", &textured_}, std::pair{"no texture", &plain_}}) {
            const QString pic = dir->filePath(QStringLiteral("Pic"));
            for (const QString &file : AllPictureFiles()) {
                const bool phase = file.at(0).isDigit();
                const bool jpeg = file.endsWith(QLatin1String(".jpg"));
                QTest::addRow("%s %s", surface, qPrintable(file))
                    << pic << file << (jpeg ? QByteArray("\xFF\xD8\xFF") : QByteArray("GIF8"))
                    << (phase ? QSize(137, 137) : QSize(1150, 710));
            }
        }
    }
    void everyFileWithItsNameFormatAndSize() {
        QFETCH(QString, dir);
        QFETCH(QString, file);
        QFETCH(QByteArray, signature);
        QFETCH(QSize, size);
        const QByteArray bytes = ReadBytes(QDir(dir).filePath(file));
        QVERIFY2(bytes.startsWith(signature), qPrintable(file));
        QImageReader reader(QDir(dir).filePath(file));
        QCOMPARE(reader.size(), size);
        QVERIFY(!reader.read().isNull());
    }

    void exactlyTheNamedFiles() {
        QStringList expected = AllPictureFiles();
        QCOMPARE(expected.size(), 23);
        for (const char *name :
             {"000-ujhold.gif", "004-novekvo.gif", "010-novekvo.gif", "014-novekvo.gif",
              "020-negyed.gif", "030-novekvo.gif", "040-telihold.gif", "050-fogyo.gif",
              "060-utolso.gif", "070-fogyo.gif", "072-fogyo.gif", "073-fogyo.gif",
              "Lunar-day02s.gif", "Lunar-day11s.gif", "Lunar-map.jpg"}) {
            QVERIFY2(expected.contains(QString::fromLatin1(name)), name);
        }
        expected.sort();
        QStringList made = QDir(textured_.filePath(QStringLiteral("Pic"))).entryList(QDir::Files);
        made.sort();
        QCOMPARE(made, expected);
    }

    void saysWhenItHasNoTexture() {
        QVERIFY2(plainErrors_.contains(QStringLiteral("sima felszínből készülnek")),
                 qPrintable(plainErrors_));
    }

    // Plain pictures in place of a texture the user asked for would hide the
    // mistake; a FIFO would be waited on for ever.
    void namedTextureThatFailsIsAnError_data() {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"missing", "directory", "FIFO", "not an image", "absurd size"}) {
            QTest::newRow(kind) << QString::fromLatin1(kind);
        }
    }
    void namedTextureThatFailsIsAnError() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString texture = dir.filePath(QStringLiteral("moon.png"));
        if (kind == "directory") {
            QVERIFY(QDir().mkdir(texture));
        } else if (kind == "FIFO") {
            QCOMPARE(mkfifo(QFile::encodeName(texture).constData(), 0644), 0);
        } else if (kind != "missing") {
            QFile file(texture);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // A grey PNG that claims 100,000 × 100,000 pixels.
            const QByteArray bytes =
                kind == "not an image"
                    ? QByteArray(4096, 'Z')
                    : QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a008000000"
                                          "008d3954140000000b49444154789c63604005000010000139bd8f65"
                                          "0000000049454e44ae426082");
            QCOMPARE(file.write(bytes), bytes.size());
        }
        const QString pic = dir.filePath(QStringLiteral("Pic"));
        const Run run = RunTool({QStringLiteral("--texture"), texture, pic}, 20000);
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("a holdtextúra nem olvasható")),
                 qPrintable(run.err));
        QVERIFY(QDir(pic).isEmpty());
    }

    // Each phase picture against the band of the phase table that shows it: one picture
    // for each band but the last, in the table's order.
    void phasePictureLitFraction_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<int>("band");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        const auto pictures = PhasePictures();
        for (const auto &[surface, dir] :
             {std::pair{"texture", &textured_}, std::pair{"no texture", &plain_}}) {
            double lower = 0;
            for (std::size_t band = 0; band + 1 < lunex::PhaseBands.size(); ++band) {
                const double upper = lunex::PhaseBands[band].upperBound;
                const QString file = qsizetype(band) < pictures.size()
                                         ? pictures[qsizetype(band)].file
                                         : QStringLiteral("(none)");
                QTest::addRow("%s band %zu %s", surface, band, qPrintable(file))
                    << dir->filePath(QStringLiteral("Pic")) << int(band) << lower << upper;
                lower = upper;
            }
        }
    }
    void phasePictureLitFraction() {
        QFETCH(QString, dir);
        QFETCH(int, band);
        QFETCH(double, lower);
        QFETCH(double, upper);
        const auto pictures = PhasePictures();
        QCOMPARE(pictures.size(), qsizetype(lunex::PhaseBands.size() - 1));
        const auto &picture = pictures[band];
        QVERIFY(picture.ageDays >= lower && picture.ageDays < upper);

        const QImage grey = ReadGrey(QDir(dir).filePath(picture.file));
        QVERIFY2(!grey.isNull(), qPrintable(picture.file));
        const double radius = PhaseView().radius;
        const double lit = CountAtLeast(grey, LitThreshold) / (std::numbers::pi * radius * radius);
        const double expected = ExpectedLitFraction(picture.ageDays);
        QVERIFY2(std::abs(lit - expected) <= 0.02,
                 qPrintable(QStringLiteral("lit %1, expected %2").arg(lit).arg(expected)));
        // The dark part is not sky: the night side keeps a faint earthshine.
        if (expected < 0.5) {
            QVERIFY(CountAtLeast(grey, 3) > CountAtLeast(grey, LitThreshold) * 1.5);
        }
    }

    void litSide_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("litOnRight");
        QTest::newRow("2 days, phase picture") << QStringLiteral("004-novekvo.gif") << true;
        QTest::newRow("2 days, day picture") << QStringLiteral("Lunar-day02s.gif") << true;
        QTest::newRow("5 days") << QStringLiteral("Lunar-day05s.gif") << true;
        QTest::newRow("22 days, last quarter") << QStringLiteral("060-utolso.gif") << false;
        QTest::newRow("25 days") << QStringLiteral("070-fogyo.gif") << false;
    }
    void litSide() {
        QFETCH(QString, file);
        QFETCH(bool, litOnRight);
        const QImage grey = ReadGrey(textured_.filePath(QStringLiteral("Pic/") + file));
        const bool phase = grey.width() == 137;
        const DiscView view = phase ? PhaseView() : ChartView();
        // The lettering of a day picture stands on the night side: it is not sunlight.
        QList<Label> labels;
        if (!phase) {
            const auto texture = loadTexture();
            QVERIFY(texture);
            labels = PictureMaker(*texture, loadFeatures()).dayChart(file.mid(9, 2).toInt()).labels;
            QVERIFY(!labels.isEmpty());
        }
        const QImage &moon = grey;
        qint64 left = 0;
        qint64 right = 0;
        for (int y = 0; y < moon.height(); ++y) {
            for (int x = 0; x < moon.width(); ++x) {
                const double dx = x + 0.5 - view.centre.x();
                if (std::hypot(dx, y + 0.5 - view.centre.y()) > view.radius ||
                    UnderLabels(labels, QPointF(x + 0.5, y + 0.5))) {
                    continue;
                }
                const int level = qGray(moon.pixel(x, y));
                (dx < 0 ? left : right) += level >= LitThreshold ? 1 : 0;
            }
        }
        QVERIFY2(litOnRight ? right > 10 * (left + 1) : left > 10 * (right + 1),
                 qPrintable(QStringLiteral("left %1, right %2").arg(left).arg(right)));
    }

    void fullMoonLimbAsBrightAsCentre_data() {
        QTest::addColumn<bool>("chart");
        QTest::addColumn<double>("age");
        QTest::newRow("phase picture, exact full") << false << lunex::SynodicMonthDays / 2;
        QTest::newRow("phase picture, its band's age") << false << PhasePictures()[6].ageDays;
        QTest::newRow("map") << true << lunex::SynodicMonthDays / 2;
    }
    void fullMoonLimbAsBrightAsCentre() {
        QFETCH(bool, chart);
        QFETCH(double, age);
        const DiscView view = chart ? ChartView() : PhaseView();
        const DiscRenderer renderer(AlbedoMap::uniform(0.8f), view);
        const QImage moon = renderer.render(age);
        const int centre = qGray(moon.pixel(view.centre.toPoint()));
        QVERIFY(centre > 150);
        for (int k = 0; k < 16; ++k) {
            const double a = k * std::numbers::pi / 8;
            const QPoint limb(int(view.centre.x() + std::cos(a) * (view.radius - 3)),
                              int(view.centre.y() + std::sin(a) * (view.radius - 3)));
            QVERIFY2(
                std::abs(qGray(moon.pixel(limb)) - centre) <= 3,
                qPrintable(
                    QStringLiteral("limb %1, centre %2").arg(qGray(moon.pixel(limb))).arg(centre)));
        }
    }

    void shadingAtTheTerminator_data() {
        QTest::addColumn<double>("mu0");
        QTest::addColumn<double>("earthshine");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("deep night, no earthshine") << -0.5 << 0.0 << 0.0 << 0.0;
        QTest::newRow("deep night, earthshine") << -0.5 << 0.07 << 0.05 << 0.06;
        QTest::newRow("on the terminator: half way") << 0.0 << 0.0 << 0.1 << 0.25;
        QTest::newRow("a degree into the day: lit")
            << std::sin(lunex::Degree) << 0.0 << 0.25 << 0.5;
        QTest::newRow("Sun overhead") << 1.0 << 0.0 << 0.79 << 0.81;
    }
    void shadingAtTheTerminator() {
        QFETCH(double, mu0);
        QFETCH(double, earthshine);
        QFETCH(double, low);
        QFETCH(double, high);
        const float value = Shade(0.8f, mu0, 1.0, earthshine);
        QVERIFY2(value >= low && value <= high, qPrintable(QString::number(value)));
    }

    void mareCrisiumDarkAndLabelled_data() {
        QTest::addColumn<bool>("texture");
        QTest::newRow("texture") << true;
        QTest::newRow("no texture") << false;
    }
    void mareCrisiumDarkAndLabelled() {
        QFETCH(bool, texture);
        const QList<Feature> features = loadFeatures();
        const auto loaded = loadTexture();
        QVERIFY(!texture || loaded);
        const AlbedoMap albedo = texture ? *loaded : AlbedoMap::synthetic(features);
        const Chart map = PictureMaker(albedo, features).mapChart();

        const QString dir = (texture ? textured_ : plain_).filePath(QStringLiteral("Pic"));
        const QImage jpeg = ReadGrey(QDir(dir).filePath(lunex::FileNameOf(lunex::MapPictureFile)));
        QCOMPARE(jpeg.size(), map.image.size());

        const auto crisium = DiscRenderer(AlbedoMap::uniform(1), ChartView()).project(16.18, 59.10);
        QVERIFY(crisium);
        // Its right half, seen at the right of the disc; east is right.
        QVERIFY(crisium->x() > ChartView().centre.x() + ChartView().radius * 0.7);

        const auto label = std::find_if(map.labels.begin(), map.labels.end(), [](const Label &l) {
            return l.text == QLatin1String("Mare Crisium");
        });
        QVERIFY(label != map.labels.end());
        QVERIFY(QLineF(label->place.anchor, *crisium).length() < 1);
        // The label's letters are there, light on the picture.
        int bright = 0;
        const QRect box = label->place.rect.toAlignedRect();
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                bright += qGray(jpeg.pixel(x, y)) > 190 ? 1 : 0;
            }
        }
        QVERIFY2(bright > box.width() * box.height() / 25, qPrintable(QString::number(bright)));

        // The mare itself, around its label, is darker than the highlands around it.
        const double mare = MeanOutsideLabels(jpeg, *crisium, 0, 22, map.labels);
        const double highlands = MeanOutsideLabels(jpeg, *crisium, 40, 55, map.labels);
        QVERIFY(mare > 0 && highlands > 0);
        QVERIFY2(mare < highlands * 0.85,
                 qPrintable(QStringLiteral("mare %1, highlands %2").arg(mare).arg(highlands)));
    }

    void mapNamesEveryPlain() {
        int plains = 0;
        for (const Feature &f : loadFeatures()) {
            if (IsPlain(f.type)) {
                ++plains;
                QVERIFY2(isNamed(f.name), qPrintable(f.name));
            }
        }
        QCOMPARE(plains, 52);
    }

    // The ranges and craters every lunar map names, the small famous ones among them that
    // lie in the crowd between Mare Serenitatis and Mare Vaporum.
    void mapNamesTheProminent_data() {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"Montes Apenninus", "Montes Caucasus", "Montes Alpes",  "Montes Haemus",
              "Montes Carpatus",  "Montes Jura",     "Montes Taurus", "Montes Pyrenaeus",
              "Montes Riphaeus",  "Montes Agricola", "Rupes Altai",   "Rupes Cauchy",
              "Rupes Recta",      "Manilius",        "Menelaus",      "Proclus",
              "Plinius",          "Copernicus",      "Tycho",         "Plato",
              "Clavius",          "Eratosthenes",    "Archimedes",    "Aristillus",
              "Autolycus",        "Cassini",         "Posidonius",    "Kepler",
              "Aristarchus",      "Grimaldi",        "Langrenus",     "Theophilus"}) {
            QTest::newRow(name) << QString::fromUtf8(name);
        }
    }
    void mapNamesTheProminent() {
        QFETCH(QString, name);
        const QList<Feature> features = loadFeatures();
        QVERIFY(std::any_of(features.begin(), features.end(),
                            [&](const Feature &f) { return f.name == name; }));
        QVERIFY(isNamed(name));
    }

    // By size, from the catalogue: what is large for its kind, and the middle-sized
    // craters of the middle of the disc, where the eye goes first. Features within a few
    // degrees of the limb are slivers and left to the rest.
    void mapNamesTheLarge_data() {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<double>("minKm");
        QTest::addColumn<double>("maxDegreesFromCentre");
        const QStringList ranges{QStringLiteral("montes"), QStringLiteral("rupes")};
        QTest::newRow("ranges of 150 km") << ranges << 150.0 << 80.0;
        QTest::newRow("craters of 110 km")
            << QStringList{QStringLiteral("crater")} << 110.0 << 80.0;
        QTest::newRow("craters of 90 km, central")
            << QStringList{QStringLiteral("crater")} << 90.0 << 30.0;
    }
    void mapNamesTheLarge() {
        QFETCH(QStringList, types);
        QFETCH(double, minKm);
        QFETCH(double, maxDegreesFromCentre);
        int count = 0;
        for (const Feature &f : loadFeatures()) {
            const double mu =
                std::cos(f.latDeg * lunex::Degree) * std::cos(f.lonDeg * lunex::Degree);
            if (types.contains(f.type) && f.diameterKm >= minKm &&
                mu >= std::cos(maxDegreesFromCentre * lunex::Degree)) {
                ++count;
                QVERIFY2(isNamed(f.name), qPrintable(f.name));
            }
        }
        QVERIFY(count >= 10);
    }

    // Beyond the boxes apart: no name hides another's dot, no leader crosses another or
    // runs past another's dot, each ends on its own box, and none is long. The crowd of
    // the centre once sent names 270 pixels away.
    void mapLeadersAreShortAndClear() {
        const QList<Label> &labels = sharedMap().labels;
        QVERIFY(labels.size() >= 200);
        for (const Label &a : labels) {
            if (a.place.leader) {
                const QLineF line(a.place.anchor, a.place.leaderEnd);
                QVERIFY2(line.length() <= 100, qPrintable(a.text));
                QVERIFY(
                    a.place.rect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(a.place.leaderEnd));
            }
            for (const Label &b : labels) {
                if (&a == &b) {
                    continue;
                }
                const QString pair = a.text + QStringLiteral(" / ") + b.text;
                if (!b.place.across) {
                    QVERIFY2(!a.place.rect.contains(b.place.anchor), qPrintable(pair));
                    QVERIFY2(!a.place.leader ||
                                 DistanceToSegment(b.place.anchor,
                                                   QLineF(a.place.anchor, a.place.leaderEnd)) >= 1,
                             qPrintable(pair));
                }
                if (a.place.leader && b.place.leader) {
                    QVERIFY2(QLineF(a.place.anchor, a.place.leaderEnd)
                                     .intersects(QLineF(b.place.anchor, b.place.leaderEnd),
                                                 nullptr) != QLineF::BoundedIntersection,
                             qPrintable(pair));
                }
            }
        }
    }

    void chartLabelsDoNotOverlap_data() {
        QTest::addColumn<int>("day"); // 0: the map
        QTest::newRow("map") << 0;
        for (int day = lunex::FirstPictureDay; day <= lunex::LastPictureDay; ++day) {
            QTest::addRow("day %d", day) << day;
        }
    }
    void chartLabelsDoNotOverlap() {
        QFETCH(int, day);
        const QList<Feature> features = loadFeatures();
        const PictureMaker maker(AlbedoMap::synthetic(features), features);
        const Chart chart = day ? maker.dayChart(day) : maker.mapChart();
        QVERIFY(chart.labels.size() >= (day ? 5 : 60));
        QList<QRectF> rects;
        QList<Placement> placed;
        for (const Label &l : chart.labels) {
            rects.append(l.place.rect);
            placed.append(l.place);
        }
        VerifyNoOverlap(rects, placed, QRectF(QPointF(0, 0), QSizeF(chart.image.size())));
        if (day) {
            // Beside their feature on the night side, each tied to it by a leader.
            const DiscRenderer renderer(AlbedoMap::synthetic(features), ChartView());
            const QImage moon = renderer.render(day);
            for (const Label &l : chart.labels) {
                QVERIFY(l.place.leader);
                const QRect box = l.place.rect.toAlignedRect() & moon.rect();
                for (int y = box.top(); y <= box.bottom(); y += 2) {
                    for (int x = box.left(); x <= box.right(); x += 2) {
                        QVERIFY2(qGray(moon.pixel(x, y)) < LitThreshold,
                                 qPrintable(l.text + QStringLiteral(" over the sunlit Moon")));
                    }
                }
            }
        }
    }

    void dayPicturesHaveTheirTitle() {
        const QList<Feature> features = loadFeatures();
        const PictureMaker maker(AlbedoMap::synthetic(features), features);
        // The title's corner is sky: only the title lights it.
        for (int day : {lunex::FirstPictureDay, lunex::LastPictureDay}) {
            const QImage image = maker.dayChart(day).image;
            QVERIFY(CountAtLeast(image.copy(0, 0, 140, 60), 200) > 100);
        }
        const QImage noTitle = DiscRenderer(AlbedoMap::synthetic(features), ChartView()).render(2);
        QCOMPARE(CountAtLeast(noTitle.copy(0, 0, 140, 60), 1), 0);
    }

    void placerKeepsLabelsApart_data() {
        QTest::addColumn<double>("direction");
        QTest::addColumn<double>("spread");
        QTest::addColumn<bool>("onAnchor");
        QTest::addColumn<bool>("crowd");
        QTest::addColumn<int>("atLeast");
        // Features spread over the picture, as most are: most find room.
        QTest::newRow("spread, any direction") << 0.0 << 180.0 << false << false << 45;
        QTest::newRow("spread, to the left") << 180.0 << 60.0 << false << false << 40;
        QTest::newRow("spread, across the anchor") << 0.0 << 180.0 << true << false << 55;
        // A crowd around one spot, as the craters near a pole: few fit, none overlaps.
        QTest::newRow("crowd, any direction") << 0.0 << 180.0 << false << true << 5;
        QTest::newRow("crowd, to the left") << 180.0 << 60.0 << false << true << 3;
    }
    void placerKeepsLabelsApart() {
        QFETCH(double, direction);
        QFETCH(double, spread);
        QFETCH(bool, onAnchor);
        QFETCH(bool, crowd);
        QFETCH(int, atLeast);
        const QRectF bounds(0, 0, 600, 400);
        LabelPlacer placer(bounds);
        placer.setDirection(direction, spread);
        int placed = 0;
        for (int i = 0; i < 80; ++i) {
            const QPointF anchor = crowd ? QPointF(300 + (i % 9) * 3.0, 200 + (i % 7) * 2.5)
                                         : QPointF(30 + (i % 10) * 60.0, 25 + (i / 10) * 50.0);
            if (placer.place({anchor, QSizeF(40 + (i % 5) * 12, 15), onAnchor})) {
                ++placed;
            }
        }
        QVERIFY2(placed >= atLeast, qPrintable(QString::number(placed)));
        QList<QRectF> rects;
        for (const Placement &p : placer.placed()) {
            rects.append(p.rect);
            // A leader ends on its own label.
            if (p.leader) {
                QVERIFY(p.rect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(p.leaderEnd));
            }
        }
        VerifyNoOverlap(rects, placer.placed(), bounds);
    }

    void placerHonoursWhatIsOffLimits() {
        const QRectF bounds(0, 0, 400, 200);
        {
            LabelPlacer placer(bounds);
            const auto p = placer.place({QPointF(200, 100), QSizeF(60, 14), true});
            QVERIFY(p);
            QCOMPARE(p->rect.center(), QPointF(200, 100));
            QVERIFY(!p->leader);
        }
        {
            // The left half is sunlit: a label that would rather go left goes right.
            LabelPlacer placer(bounds);
            placer.setDirection(180, 180);
            placer.setBlocked([](const QRectF &r) { return r.left() < 200; });
            const auto p = placer.place({QPointF(200, 100), QSizeF(60, 14)});
            QVERIFY(p);
            QVERIFY(p->rect.left() >= 200);
        }
        {
            LabelPlacer placer(bounds);
            placer.reserve(QRectF(150, 50, 100, 100));
            const auto p = placer.place({QPointF(200, 100), QSizeF(60, 14), true});
            QVERIFY(p);
            QVERIFY(!p->rect.intersects(QRectF(150, 50, 100, 100)));
            QVERIFY(p->leader);
        }
        {
            LabelPlacer placer(bounds);
            QVERIFY(!placer.place({QPointF(200, 100), QSizeF(500, 14)}));
            QVERIFY(placer.placed().isEmpty());
        }
        {
            LabelPlacer placer(bounds);
            placer.setMinDistance(10);
            const auto p = placer.place({QPointF(200, 100), QSizeF(60, 14)});
            QVERIFY(p && p->leader);
            QVERIFY(QLineF(p->anchor, p->leaderEnd).length() >= 9.9);
        }
    }

    void arrangeKeepsLabelsApart_data() {
        QTest::addColumn<bool>("onAnchor");
        QTest::addColumn<bool>("crowd");
        QTest::addColumn<int>("atLeast");
        QTest::newRow("spread") << false << false << 60;
        QTest::newRow("spread, across the anchor") << true << false << 60;
        QTest::newRow("crowd") << false << true << 5;
    }
    void arrangeKeepsLabelsApart() {
        QFETCH(bool, onAnchor);
        QFETCH(bool, crowd);
        QFETCH(int, atLeast);
        const QRectF bounds(0, 0, 600, 400);
        QList<ArrangeRequest> requests;
        for (int i = 0; i < 80; ++i) {
            const QPointF anchor = crowd ? QPointF(300 + (i % 9) * 3.0, 200 + (i % 7) * 2.5)
                                         : QPointF(30 + (i % 10) * 60.0, 25 + (i / 10) * 50.0);
            requests.append({{anchor, QSizeF(40 + (i % 5) * 12, 15), onAnchor, 10}, 100});
        }
        LabelPlacer placer(bounds);
        const QList<std::optional<Placement>> places = placer.arrange(requests);
        QCOMPARE(places.size(), requests.size());
        const int placed = int(std::count_if(places.begin(), places.end(),
                                             [](const auto &p) { return p.has_value(); }));
        QVERIFY2(placed >= atLeast, qPrintable(QString::number(placed)));
        QCOMPARE(placer.placed().size(), placed);
        QList<QRectF> rects;
        for (const Placement &p : placer.placed()) {
            rects.append(p.rect);
            for (const Placement &q : placer.placed()) {
                QVERIFY(&p == &q || !Clash(p, q));
            }
        }
        VerifyNoOverlap(rects, placer.placed(), bounds);
        // The same requests, the same places.
        LabelPlacer again(bounds);
        const QList<std::optional<Placement>> second = again.arrange(requests);
        for (qsizetype i = 0; i < places.size(); ++i) {
            QCOMPARE(second[i].has_value(), places[i].has_value());
            if (places[i]) {
                QCOMPARE(second[i]->rect, places[i]->rect);
            }
        }
    }

    void arrangeNamesTheImportantFirst() {
        // Eight names around one spot and room for few: the one that matters most is named,
        // though it comes last.
        const QRectF bounds(0, 0, 200, 60);
        QList<ArrangeRequest> requests;
        for (int i = 0; i < 8; ++i) {
            requests.append({{QPointF(100, 30), QSizeF(90, 15)}, 10});
        }
        requests.append({{QPointF(100, 30), QSizeF(90, 15)}, 1000});
        LabelPlacer placer(bounds);
        const QList<std::optional<Placement>> places = placer.arrange(requests);
        QVERIFY(places.back());
        QVERIFY(std::count_if(places.begin(), places.end(),
                              [](const auto &p) { return p.has_value(); }) < 9);
    }

    void areaNamedFromOffItsMiddle() {
        // An area whose middle another name already covers: its dot goes elsewhere on it.
        const QRectF bounds(0, 0, 400, 200);
        LabelPlacer placer(bounds);
        QVERIFY(placer.place({QPointF(200, 100), QSizeF(120, 16)}));
        QVERIFY(placer.place({QPointF(200, 100) + QPointF(0, 0.5), QSizeF(60, 16), true, 30}));
        const Placement &area = placer.placed().back();
        QVERIFY(!area.rect.intersects(placer.placed().front().rect));
        QVERIFY(QLineF(area.anchor, QPointF(200, 100.5)).length() <= 30.01);
    }

    void gifKeepsEveryGreyLevel() {
        QImage image(256, 3, QImage::Format_Grayscale8);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 256; ++x) {
                image.scanLine(y)[x] = uchar(y == 1 ? 255 - x : x);
            }
        }
        QString why;
        const auto gif = EncodeGreyGif(image, &why);
        QVERIFY2(gif, qPrintable(why));
        QVERIFY(gif->startsWith("GIF8"));
        const QImage back =
            QImage::fromData(*gif, "GIF").convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(back.size(), image.size());
        for (int y = 0; y < 3; ++y) {
            QVERIFY(std::equal(image.constScanLine(y), image.constScanLine(y) + 256,
                               back.constScanLine(y)));
        }
    }

    void leavesTheDataFilesAlone() {
        QTemporaryDir dir;
        const QString pic = dir.filePath(QStringLiteral("Pic"));
        QVERIFY(QDir().mkpath(pic));
        const QList<std::pair<QString, QByteArray>> data = {
            {QStringLiteral("ujholdak.txt"), QByteArray("2026.11.20 6:47\r\n\xDAjhold\r\n")},
            {QStringLiteral("ujhold.txt"), QByteArray("2026.11.20 6:47")},
            {QStringLiteral("utolso.txt"), QByteArray("")},
            {QStringLiteral("jegyzet.txt"), QByteArray("a user's own file")}};
        for (const auto &[name, bytes] : data) {
            QFile file(QDir(pic).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(RunTool({QStringLiteral("--no-texture"), pic}).code, 0);
        }
        for (const auto &[name, bytes] : data) {
            QCOMPARE(ReadBytes(QDir(pic).filePath(name)), bytes);
        }
        QCOMPARE(QDir(pic).entryList(QDir::Files).size(), AllPictureFiles().size() + data.size());
    }

    void failsAloudWhenItCannotWrite() {
        QTemporaryDir dir;
        // A file stands where the directory should be.
        const QString blocker = dir.filePath(QStringLiteral("Pic"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const Run run = RunTool({QStringLiteral("--no-texture"), blocker});
        QVERIFY(run.code != 0);
        QVERIFY2(run.err.contains(QStringLiteral("nem hozható létre")), qPrintable(run.err));
    }

    void featureListIsCheckedLineByLine_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("count"); // -1: rejected
        QTest::newRow("header and CRLF")
            << QByteArray(
                   "name,type,lat_deg,lon_deg_east,diameter_km\r\n"
                   "Mare Crisium,mare,16.18,59.10,555.9\r\nAnděl,crater,-10.41,12.38,32.9\r\n")
            << 2;
        QTest::newRow("a field missing") << QByteArray("Tycho,crater,-43.3,-11.2\n") << -1;
        QTest::newRow("latitude beyond the pole") << QByteArray("X,crater,91,0,30\n") << -1;
        QTest::newRow("not a number") << QByteArray("X,crater,north,0,30\n") << -1;
        QTest::newRow("empty") << QByteArray("name,type,lat_deg,lon_deg_east,diameter_km\n") << -1;
    }
    void featureListIsCheckedLineByLine() {
        QFETCH(QByteArray, csv);
        QFETCH(int, count);
        QString why;
        const auto features = ParseFeatures(csv, &why);
        if (count < 0) {
            QVERIFY(!features);
            QVERIFY(!why.isEmpty());
        } else {
            QVERIFY2(features, qPrintable(why));
            QCOMPARE(features->size(), count);
            QCOMPARE(features->at(1).name, QStringLiteral("Anděl"));
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
