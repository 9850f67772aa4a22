#pragma once

#include "eveningtable.h"

#include "charts/visibilitychart.h"
#include "lunar/visibilitymap.h"
#include "programs/common/cli.h"
#include "texts/eveningcsv.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of lunex-crescents: what it asks for, or why it is refused.
namespace lunex::crescents {

using cli::Refusal;

struct MapRequest {
    QDate date;
    QString out;
    Criterion criterion = Criterion::Yallop;
    MapRegion region; // the whole world unless --region
    double step = 1;  // finer for a region
    int width = DefaultMapWidth;
    std::optional<QString> texture; // the Earth's picture; none for a plain background
    Direction direction = Direction::Evening;
};

struct TableRequest {
    TableSetting setting;
    QDateTime start; // --from; invalid for the lunation whose evenings are still to come
    int count = 12;
    std::optional<CsvForm> csv; // the table when none
    TableWidth width = TableWidth::Narrow;
    DayParts parts = DayParts::Evenings;
    // --year: the year at a glance instead of the lunations from `start`.
    std::optional<int> year;
    // --ics: the visible evenings into this calendar file instead of a table.
    std::optional<QString> ics;
    // --horizon: the skyline from this file, read before the table is made;
    // without it the stored place's horizont.txt is in `setting.skyline`.
    std::optional<QString> horizonFile;
};

class CommandLine {
public:
    CommandLine();

    // Reads the arguments: an exit status when the program ends here (a
    // refused command line, --help, --version), having said why.
    std::optional<int> parse(const QStringList &arguments);

    bool wantsPlaces() const { return parser_.isSet(places_); }
    bool wantsMap() const { return parser_.isSet(map_); }

    Refusal readMap(MapRequest &request) const;
    // Says on stderr when the system's zone is unknown and UTC stands in for it.
    Refusal readTable(TableRequest &request) const;

private:
    Refusal readCriterion(MapRequest &request) const;
    Refusal readRegion(MapRequest &request) const;
    Refusal readStep(MapRequest &request) const;
    Refusal readWidth(MapRequest &request) const;
    Refusal readTexture(MapRequest &request) const;
    Refusal readZone(QTimeZone &zone) const;
    Refusal readPlace(TableRequest &request) const;
    Refusal readCoordinates(TableSetting &setting) const;
    Refusal readCount(int &count) const;
    Refusal readStart(const QTimeZone &zone, QDateTime &start) const;
    Refusal readForm(TableRequest &request) const;
    Refusal readParts(TableRequest &request) const;
    Refusal readYear(TableRequest &request) const;
    Refusal readCalendar(TableRequest &request) const;
    Refusal readHorizon(TableRequest &request) const;

    QCommandLineParser parser_;
    const QCommandLineOption places_{QStringLiteral("places"), QString()};
    const QCommandLineOption place_{QStringLiteral("place"), QString(), QStringLiteral("név")};
    const QCommandLineOption lat_{QStringLiteral("lat"), QString(), QStringLiteral("fok")};
    const QCommandLineOption lon_{QStringLiteral("lon"), QString(), QStringLiteral("fok")};
    const QCommandLineOption elev_{QStringLiteral("elev"), QString(), QStringLiteral("méter")};
    const QCommandLineOption from_{QStringLiteral("from"), QString(), QStringLiteral("dátum")};
    const QCommandLineOption months_{QStringLiteral("months"), QString(), QStringLiteral("n")};
    const QCommandLineOption zone_{QStringLiteral("zone"), QString(), QStringLiteral("id")};
    const QCommandLineOption utc_{QStringLiteral("utc"), QString()};
    const QCommandLineOption csv_{QStringLiteral("csv"), QString()};
    const QCommandLineOption csvHu_{QStringLiteral("csv-hu"), QString()};
    const QCommandLineOption wide_{QStringLiteral("wide"), QString()};
    const QCommandLineOption year_{QStringLiteral("year"), QString(), QStringLiteral("év")};
    const QCommandLineOption ics_{QStringLiteral("ics"), QString(), QStringLiteral("fájl")};
    const QCommandLineOption map_{QStringLiteral("map"), QString(), QStringLiteral("dátum")};
    const QCommandLineOption out_{QStringLiteral("out"), QString(), QStringLiteral("fájl")};
    const QCommandLineOption criterion_{QStringLiteral("criterion"), QString(),
                                        QStringLiteral("név")};
    const QCommandLineOption region_{QStringLiteral("region"), QString(),
                                     QStringLiteral("terület")};
    const QCommandLineOption step_{QStringLiteral("step"), QString(), QStringLiteral("fok")};
    const QCommandLineOption width_{QStringLiteral("width"), QString(), QStringLiteral("képpont")};
    const QCommandLineOption texture_{QStringLiteral("texture"), QString(), QStringLiteral("fájl")};
    const QCommandLineOption noTexture_{QStringLiteral("no-texture"), QString()};
    const QCommandLineOption mornings_{QStringLiteral("mornings"), QString()};
    const QCommandLineOption both_{QStringLiteral("both"), QString()};
    const QCommandLineOption morning_{QStringLiteral("morning"), QString()};
    const QCommandLineOption horizon_{QStringLiteral("horizon"), QString(), QStringLiteral("fájl")};
};

} // namespace lunex::crescents
