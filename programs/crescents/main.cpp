// lunex-crescents: on which evenings after the new moon the young crescent can
// be seen from a place, when and how hard; or a world map of one evening.

#include "lunations.h"
#include "places.h"
#include "visibilitymap.h"

#include "programs/common/cli.h"
#include "store/fileio.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <memory>
#include <optional>

using namespace lunex;
using namespace lunex::crescents;
using namespace lunex::cli;

namespace {

// The years the new moons and ΔT serve.
constexpr int FirstYear = 1000;
constexpr int LastYear = 3000;
constexpr int MaxLunations = 1200;

const char HelpText[] =
    "Használat:\n"
    "  lunex-crescents [--place NÉV | --lat FOK --lon FOK [--elev MÉTER]]\n"
    "                  [--from DÁTUM] [--months N] [--zone AZONOSÍTÓ | --utc] [--csv]\n"
    "  lunex-crescents --map DÁTUM --out FÁJL.png [--criterion yallop|odeh] [--step FOK]\n"
    "                  [--width KÉPPONT] [--texture FÁJL | --no-texture]\n"
    "  lunex-crescents --places | --help | --version\n"
    "\n"
    "Megmutatja, melyik estén látható először a fiatal holdsarló az újhold után: minden\n"
    "újholdhoz az újhold napjának és a következő három napnak az estéjét, a napnyugtával,\n"
    "a holdnyugtával, a legjobb időponttal, a sarló korával, Yallop és Odeh feltételével.\n"
    "\n"
    "Kapcsolók:\n"
    "  --place NÉV        beépített hely (alapértelmezés: Budapest; lista: --places)\n"
    "  --lat FOK          földrajzi szélesség, északon pozitív (-90 … 90)\n"
    "  --lon FOK          földrajzi hosszúság, keleten pozitív (-180 … 180)\n"
    "  --elev MÉTER       tengerszint feletti magasság (alapértelmezés: 0)\n"
    "  --from DÁTUM       ÉÉÉÉ-HH vagy ÉÉÉÉ-HH-NN: az első újhold ettől a naptól\n"
    "                     (alapértelmezés: a legutóbbi újhold, ha estéi még nem múltak el)\n"
    "  --months N         ennyi újhold (alapértelmezés: 12)\n"
    "  --zone AZONOSÍTÓ   IANA időzóna, például Europe/Budapest (alapértelmezés: a rendszeré)\n"
    "  --utc              világidő (UTC)\n"
    "  --csv              CSV táblázatkezelőknek: pont a tizedesjel, ISO 8601 időpontok\n"
    "  --map DÁTUM        világtérkép ÉÉÉÉ-HH-NN estéjéről, helyenként a helyi este szerint\n"
    "  --out FÁJL.png     ide kerül a térkép\n"
    "  --criterion NÉV    yallop (alapértelmezés) vagy odeh\n"
    "  --step FOK         a térkép rácsköze (alapértelmezés: 1; a 180 osztója, 0,1 … 10)\n"
    "  --width KÉPPONT    a kép szélessége (alapértelmezés: 1440; 720 … 7200)\n"
    "  --texture FÁJL     a Föld ekvirektanguláris képe (alapértelmezés: az openuniverse-é)\n"
    "  --no-texture       a Föld képe helyett sima háttér\n"
    "  --places           a beépített helyek listája\n"
    "  -h, --help         ez a súgó\n"
    "  --version          a program változata\n";

// Degrees and metres as the user's locale writes them, or with a '.'.
std::optional<double> ParseNumber(const QString &text) {
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) {
        value = QLocale().toDouble(text.trimmed(), &ok);
    }
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<QDate> ParseDate(const QString &text, bool monthAllowed) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})(?:-(\\d{2}))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch() || (!monthAllowed && m.captured(3).isEmpty())) {
        return std::nullopt;
    }
    const int year = m.captured(1).toInt();
    const QDate date(year, m.captured(2).toInt(),
                     m.captured(3).isEmpty() ? 1 : m.captured(3).toInt());
    if (!date.isValid() || year < FirstYear || year > LastYear) {
        return std::nullopt;
    }
    return date;
}

QString ParserError(const QCommandLineParser &parser) {
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        return QStringLiteral("Ismeretlen kapcsoló: '%1%2'.")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    // Qt says which option lacks its value only in English; the name is all we take.
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    const QRegularExpressionMatch m = quoted.match(parser.errorText());
    return m.hasMatch() ? QStringLiteral("Hiányzik a(z) '%1' kapcsoló értéke.").arg(m.captured(1))
                        : QStringLiteral("Hibás parancssor.");
}

} // namespace

int main(int argc, char *argv[]) {
    lunex::IgnoreFileSizeSignal();
    // Only the map draws text into a picture: it alone needs the platform's
    // fonts, and it runs without a display.
    bool drawing = false;
    for (int i = 1; i < argc; ++i) {
        drawing = drawing || QByteArray(argv[i]).startsWith("--map");
    }
    std::unique_ptr<QCoreApplication> app;
    if (drawing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("lunex-crescents"));
    InstallQtTranslations();

    QCommandLineParser parser;
    AddStandardOptions(parser);
    const QCommandLineOption places(QStringLiteral("places"), QString());
    const QCommandLineOption place(QStringLiteral("place"), QString(), QStringLiteral("név"));
    const QCommandLineOption lat(QStringLiteral("lat"), QString(), QStringLiteral("fok"));
    const QCommandLineOption lon(QStringLiteral("lon"), QString(), QStringLiteral("fok"));
    const QCommandLineOption elev(QStringLiteral("elev"), QString(), QStringLiteral("méter"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("dátum"));
    const QCommandLineOption months(QStringLiteral("months"), QString(), QStringLiteral("n"));
    const QCommandLineOption zoneOption(QStringLiteral("zone"), QString(), QStringLiteral("id"));
    const QCommandLineOption utc(QStringLiteral("utc"), QString());
    const QCommandLineOption csv(QStringLiteral("csv"), QString());
    const QCommandLineOption map(QStringLiteral("map"), QString(), QStringLiteral("dátum"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("fájl"));
    const QCommandLineOption criterion(QStringLiteral("criterion"), QString(),
                                       QStringLiteral("név"));
    const QCommandLineOption step(QStringLiteral("step"), QString(), QStringLiteral("fok"));
    const QCommandLineOption width(QStringLiteral("width"), QString(), QStringLiteral("képpont"));
    const QCommandLineOption texture(QStringLiteral("texture"), QString(), QStringLiteral("fájl"));
    const QCommandLineOption noTexture(QStringLiteral("no-texture"), QString());
    parser.addOptions({places, place, lat, lon, elev, from, months, zoneOption, utc, csv, map, out,
                       criterion, step, width, texture, noTexture});

    if (!parser.parse(QCoreApplication::arguments())) {
        return UsageError(ParserError(parser));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError(QStringLiteral("Fölösleges argumentum: '%1'.")
                              .arg(parser.positionalArguments().first()));
    }
    if (const std::optional<int> status =
            AnswerStandardOptions(parser, QString::fromUtf8(HelpText))) {
        return *status;
    }
    const QLocale locale;
    if (parser.isSet(places)) {
        for (const NamedPlace &p : BuiltInPlaces()) {
            Out() << p.name << QStringLiteral(": ") << PlaceText(p.place, locale);
            if (!p.aliases.isEmpty()) {
                Out() << QStringLiteral(" (%1)").arg(p.aliases.join(QStringLiteral(", ")));
            }
            Out() << '\n';
        }
        Out() << Qt::flush;
        return 0;
    }

    // --- The world map.
    if (parser.isSet(map)) {
        for (const QCommandLineOption *o :
             {&place, &lat, &lon, &elev, &from, &months, &zoneOption, &utc, &csv}) {
            if (parser.isSet(*o)) {
                return UsageError(QStringLiteral("A --map mellé nem adható meg a --%1 kapcsoló.")
                                      .arg(o->names().constFirst()));
            }
        }
        const std::optional<QDate> date = ParseDate(parser.value(map), false);
        if (!date) {
            return UsageError(QStringLiteral("Hibás dátum: '%1' (ÉÉÉÉ-HH-NN, %2 és %3 között).")
                                  .arg(parser.value(map))
                                  .arg(FirstYear)
                                  .arg(LastYear));
        }
        if (!parser.isSet(out) || parser.value(out).isEmpty()) {
            return UsageError(QStringLiteral("A térkép fájljának nevét a --out adja meg."));
        }
        Criterion chosen = Criterion::Yallop;
        if (parser.isSet(criterion)) {
            const QString name = parser.value(criterion).trimmed().toLower();
            if (name == u"odeh") {
                chosen = Criterion::Odeh;
            } else if (name != u"yallop") {
                return UsageError(QStringLiteral("Ismeretlen feltétel: '%1' (yallop vagy odeh).")
                                      .arg(parser.value(criterion)));
            }
        }
        double gridStep = 1;
        if (parser.isSet(step)) {
            const std::optional<double> value = ParseNumber(parser.value(step));
            const double cells = value ? 180.0 / *value : 0;
            if (!value || *value < 0.1 || *value > 10 ||
                std::abs(cells - std::round(cells)) > 1e-6) {
                return UsageError(
                    QStringLiteral("Hibás rácsköz: '%1' (0,1 és 10 fok között, a 180 osztója).")
                        .arg(parser.value(step)));
            }
            gridStep = *value;
        }
        int pictureWidth = DefaultMapWidth;
        if (parser.isSet(width)) {
            bool ok = false;
            pictureWidth = parser.value(width).trimmed().toInt(&ok);
            if (!ok || pictureWidth < 720 || pictureWidth > 7200) {
                return UsageError(QStringLiteral("Hibás képszélesség: '%1' (720 és 7200 között).")
                                      .arg(parser.value(width)));
            }
        }
        if (parser.isSet(texture) && parser.isSet(noTexture)) {
            return UsageError(
                QStringLiteral("A --texture és a --no-texture közül csak az egyik adható meg."));
        }
        QImage earth;
        if (!parser.isSet(noTexture)) {
            const QString path =
                parser.isSet(texture) ? parser.value(texture) : QStringLiteral(LUNEX_EARTH_TEXTURE);
            QImageReader reader(path);
            earth = reader.read();
            if (earth.isNull()) {
                Err() << QStringLiteral("A Föld képe nem olvasható (%1); sima háttérrel rajzolom.")
                             .arg(path)
                      << Qt::endl;
            }
        }

        const VisibilityMap visibility = ComputeVisibilityMap(*date, gridStep);
        const QImage picture = RenderVisibilityMap(visibility, chosen, earth, pictureWidth);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        const QString path = parser.value(out);
        const FileProblem problem = WriteFileAtomically(path, bytes);
        if (problem != FileProblem::None) {
            // The store's own wording names the Pic folder; this path may lie anywhere.
            const QString reason =
                problem == FileProblem::NoDirectory
                    ? QStringLiteral("a(z) '%1' mappa nem létezik.").arg(QFileInfo(path).path())
                    : ProblemText(problem);
            Err() << QStringLiteral("A(z) '%1' fájl nem menthető: %2").arg(path, reason)
                  << Qt::endl;
            return ExitFailure;
        }
        Out() << QStringLiteral("Elkészült: '%1' (%2 × %3 képpont, %4 hely).")
                     .arg(path)
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(locale.toString(qlonglong(visibility.cells.size())))
              << Qt::endl;
        return 0;
    }

    // --- The table.
    for (const QCommandLineOption *o : {&out, &criterion, &step, &width, &texture, &noTexture}) {
        if (parser.isSet(*o)) {
            return UsageError(QStringLiteral("A --%1 kapcsoló csak a --map mellé adható meg.")
                                  .arg(o->names().constFirst()));
        }
    }
    if (parser.isSet(utc) && parser.isSet(zoneOption)) {
        return UsageError(QStringLiteral("A --zone és a --utc közül csak az egyik adható meg."));
    }
    QTimeZone zone = QTimeZone::systemTimeZone();
    if (parser.isSet(utc)) {
        zone = QTimeZone::utc();
    } else if (parser.isSet(zoneOption)) {
        const QByteArray id = parser.value(zoneOption).trimmed().toUtf8();
        if (id == "UTC") {
            zone = QTimeZone::utc();
        } else if (QTimeZone::availableTimeZoneIds().contains(id)) {
            zone = QTimeZone(id);
        } else {
            return UsageError(
                QStringLiteral("Ismeretlen időzóna: '%1'.").arg(parser.value(zoneOption)));
        }
    } else if (!zone.isValid()) {
        Err() << QStringLiteral("A rendszer időzónája ismeretlen; a táblázat világidőt (UTC) "
                                "mutat.")
              << Qt::endl;
        zone = QTimeZone::utc();
    }

    TableSetting setting{QStringLiteral("Budapest"), {}, zone, locale};
    const bool coordinates = parser.isSet(lat) || parser.isSet(lon) || parser.isSet(elev);
    if (parser.isSet(place) && coordinates) {
        return UsageError(
            QStringLiteral("A --place és a --lat/--lon/--elev közül csak az egyik adható meg."));
    }
    if (coordinates) {
        if (!parser.isSet(lat) || !parser.isSet(lon)) {
            return UsageError(QStringLiteral("A --lat és a --lon csak együtt adható meg."));
        }
        const std::optional<double> latitude = ParseNumber(parser.value(lat));
        const std::optional<double> longitude = ParseNumber(parser.value(lon));
        const std::optional<double> elevation =
            parser.isSet(elev) ? ParseNumber(parser.value(elev)) : std::optional(0.0);
        if (!latitude || std::abs(*latitude) > 90) {
            return UsageError(QStringLiteral("Hibás szélesség: '%1' (-90 és 90 fok között).")
                                  .arg(parser.value(lat)));
        }
        if (!longitude || std::abs(*longitude) > 180) {
            return UsageError(QStringLiteral("Hibás hosszúság: '%1' (-180 és 180 fok között).")
                                  .arg(parser.value(lon)));
        }
        if (!elevation || *elevation < -500 || *elevation > 9000) {
            return UsageError(QStringLiteral("Hibás magasság: '%1' (-500 és 9000 méter között).")
                                  .arg(parser.value(elev)));
        }
        setting.place = {*latitude, *longitude, *elevation};
        setting.placeName = QStringLiteral("megadott hely");
    } else {
        const QString name = parser.isSet(place) ? parser.value(place) : setting.placeName;
        const std::optional<NamedPlace> found = FindPlace(name);
        if (!found) {
            return UsageError(
                QStringLiteral("Ismeretlen hely: '%1'. A beépített helyek: lunex-crescents "
                               "--places")
                    .arg(name));
        }
        setting.placeName = found->name;
        setting.place = found->place;
    }

    int count = 12;
    if (parser.isSet(months)) {
        bool ok = false;
        count = parser.value(months).trimmed().toInt(&ok);
        if (!ok || count < 1 || count > MaxLunations) {
            return UsageError(QStringLiteral("Hibás szám: '%1' (1 és %2 között).")
                                  .arg(parser.value(months))
                                  .arg(MaxLunations));
        }
    }
    QDateTime start;
    if (parser.isSet(from)) {
        const std::optional<QDate> date = ParseDate(parser.value(from), true);
        if (!date) {
            return UsageError(
                QStringLiteral("Hibás dátum: '%1' (ÉÉÉÉ-HH vagy ÉÉÉÉ-HH-NN, %2 és %3 között).")
                    .arg(parser.value(from))
                    .arg(FirstYear)
                    .arg(LastYear));
        }
        start = QDateTime(*date, QTime(0, 0), zone);
    } else {
        // The lunation whose evenings are still to come, even if its new moon has passed.
        const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(zone).date();
        start = QDateTime(today.addDays(1 - EveningsPerLunation), QTime(0, 0), zone);
    }

    const QList<Lunation> lunations = ComputeLunations(setting.place, start.toUTC(), count);
    Out() << (parser.isSet(csv) ? FormatCsv(lunations, setting) : FormatTable(lunations, setting))
          << Qt::flush;
    return 0;
}
