// lunex-crescents: on which evenings after the new moon the young crescent can
// be seen from a place, and on which mornings before it the old one, when and
// how hard; or a world map of one evening or morning.

#include "eveningtable.h"
#include "options.h"
#include "yeartable.h"

#include "charts/earthtexture.h"
#include "charts/visibilitychart.h"
#include "lunar/evenings.h"
#include "lunar/newmoon.h"
#include "lunar/places.h"
#include "lunar/visibilitymap.h"
#include "lunar/yearoverview.h"
#include "messages/crescenttexts.h"
#include "messages/messages.h"
#include "programs/common/cli.h"
#include "store/codepage.h"
#include "store/fileio.h"
#include "store/shorelines.h"
#include "texts/eveningcalendar.h"
#include "texts/placetext.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <memory>
#include <optional>

using namespace lunex;
using namespace lunex::crescents;
using namespace lunex::cli;

namespace {

// Only the map draws text into a picture: it alone needs the platform's
// fonts, and it runs without a display.
std::unique_ptr<QCoreApplication> MakeApplication(int &argc, char **argv) {
    bool drawing = false;
    for (int i = 1; i < argc; ++i) {
        drawing = drawing || QByteArray(argv[i]).startsWith("--map");
    }
    if (!drawing) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

int ListPlaces() {
    const QLocale locale;
    for (const NamedPlace &p : SearchPlaces(u"")) {
        Out() << p.name << QStringLiteral(": ") << PlaceText(p.place, locale);
        QStringList aliases;
        for (const QStringView alias : p.aliases) {
            if (!alias.isEmpty()) {
                aliases << alias.toString();
            }
        }
        if (!aliases.isEmpty()) {
            Out() << QStringLiteral(" (%1)").arg(aliases.join(QStringLiteral(", ")));
        }
        Out() << '\n';
    }
    return FinishOutput();
}

// The Earth's picture, or a null one (a plain background) when there is none
// or it cannot be read, which is said; the map is drawn all the same.
QImage LoadEarth(const std::optional<QString> &path) {
    if (!path) {
        return {};
    }
    const EarthTexture earth = LoadEarthTexture(*path);
    if (!earth.problem.isEmpty()) {
        Err() << earth.problem << Qt::endl;
    }
    return earth.image;
}

// A region's coastlines and borders; none for the world map. When they
// cannot be read, that is said and the map is drawn without them.
std::vector<ShoreLine> LoadShores(const MapRegion &region) {
    if (region.isWorld()) {
        return {};
    }
    Shorelines shores = ReadShorelines(ShorelineFolder(), region);
    if (!shores.problem.isEmpty()) {
        Err() << shores.problem << Qt::endl;
    }
    return std::move(shores.lines);
}

int DrawMap(const MapRequest &request) {
    const QImage earth = LoadEarth(request.texture);
    const VisibilityMap visibility = ComputeVisibilityMap(request.date, request.region,
                                                          request.step, nullptr, request.direction);
    const QImage picture = RenderVisibilityMap(visibility, request.criterion, earth, request.width,
                                               std::nullopt, LoadShores(visibility.region()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    if (!SaveUserFile(request.out, bytes)) {
        return ExitFailure;
    }
    Out() << QStringLiteral("Elkészült: '%1' (%2 × %3 képpont, %4 hely).")
                 .arg(request.out)
                 .arg(picture.width())
                 .arg(picture.height())
                 .arg(QLocale().toString(qlonglong(visibility.cells.size())))
          << Qt::endl;
    return 0;
}

// The mornings and evenings the crescent can be seen on, as a calendar file.
int WriteCalendar(const TableRequest &request, const QList<Lunation> &lunations) {
    const TableSetting &s = request.setting;
    const CalendarFile file = FormatCrescentCalendar(
        lunations, {s.placeName, s.place, s.zone, s.locale, QDateTime::currentDateTimeUtc()});
    if (!file.libraryLoaded) {
        Err() << CalendarLibraryMissingText() << Qt::endl;
        return ExitFailure;
    }
    if (!SaveUserFile(*request.ics, file.bytes)) {
        return ExitFailure;
    }
    Out() << QStringLiteral("Elkészült: '%1' (%2 esemény: a reggelek és esték, amikor a "
                            "holdsarló látható).")
                 .arg(*request.ics)
                 .arg(file.events)
          << Qt::endl;
    return FinishOutput();
}

int PrintYear(const TableRequest &request) {
    const TableSetting &s = request.setting;
    const YearOverview year = ComputeYearOverview(s.place, *request.year, s.zone);
    if (request.ics) {
        return WriteCalendar(request, LunationsOf(year));
    }
    Out() << (request.csv ? FormatYearCsv(year, s.placeName, s.place, s.zone, *request.csv)
                          : FormatYearTable(year, s));
    return FinishOutput();
}

// The skyline of --horizon, read as leniently as the stored one: its bad
// lines are said and the others stand. A file that cannot be read at all
// ends the run, rather than a table against a flat horizon that looks like
// the one asked for.
std::optional<HorizonProfile> ReadHorizonFile(const QString &path) {
    const ReadResult read = ReadAllBytes(path);
    if (!read.bytes) {
        Err() << UserFileReadFailureMessage(path, read.problem) << Qt::endl;
        return std::nullopt;
    }
    const HorizonReading reading = ReadHorizonList(DecodeTextFile(*read.bytes));
    if (!reading.badLines.isEmpty()) {
        Err() << HorizonBadLinesMessage(path, reading.badLines) << Qt::endl;
    }
    return reading.profile;
}

int PrintTable(TableRequest request) {
    if (request.horizonFile) {
        const std::optional<HorizonProfile> skyline = ReadHorizonFile(*request.horizonFile);
        if (!skyline) {
            return ExitFailure;
        }
        request.setting.skyline = *skyline;
    }
    const TableSetting &s = request.setting;
    const QDateTime start =
        request.start.isValid()
            ? request.start.toUTC()
            : NewMoonUtc(CurrentLunation(s.place, QDateTime::currentDateTimeUtc(), s.placeZone));
    const QList<Lunation> lunations = ComputeLunations(s.place, start, request.count, s.skyline);
    if (request.ics) {
        return WriteCalendar(request, lunations);
    }
    Out() << (request.csv ? FormatEveningsCsv(lunations, s.placeName, s.place, s.zone, s.placeZone,
                                              *request.csv, request.parts, s.skyline)
                          : FormatTable(lunations, s, request.width, request.parts));
    return FinishOutput();
}

} // namespace

int main(int argc, char *argv[]) {
    QuietQtDiagnostics();
    IgnoreFileSizeSignal();
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lunex-crescents"));

    CommandLine commandLine;
    if (const std::optional<int> status = commandLine.parse(QCoreApplication::arguments())) {
        return *status;
    }
    if (commandLine.wantsPlaces()) {
        return ListPlaces();
    }
    if (commandLine.wantsMap()) {
        MapRequest request;
        if (const Refusal refusal = commandLine.readMap(request)) {
            return UsageError(*refusal);
        }
        return DrawMap(request);
    }
    TableRequest request;
    if (const Refusal refusal = commandLine.readTable(request)) {
        return UsageError(*refusal);
    }
    return request.year ? PrintYear(request) : PrintTable(request);
}
