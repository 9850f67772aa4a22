// lunex-newmoons: writes the list of new moons (ujholdak.txt) that the main
// window offers to pick from, in the civil time of one zone.

#include "clock/civiltime.h"
#include "evaluation/newmoonlist.h"
#include "programs/common/cli.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QTextStream>
#include <QTimeZone>

#include <optional>

using lunex::cli::Err;
using lunex::cli::ExitFailure;
using lunex::cli::Out;
using lunex::cli::Refusal;
using lunex::cli::UsageError;

namespace {

// The years that the date conversion reads back, up to the end of ΔT.
constexpr int FirstYear = 100;
constexpr int LastYear = 3000;

std::optional<int> ParseYear(const QString &text) {
    bool ok = false;
    const int year = text.trimmed().toInt(&ok);
    if (!ok || year < FirstYear || year > LastYear) {
        return std::nullopt;
    }
    return year;
}

const char HelpText[] =
    "Használat: lunex-newmoons [--from ÉV] [--to ÉV] [--zone NÉV | --utc] [--force] FÁJL\n"
    "           lunex-newmoons --help | --version\n"
    "Megírja az újholdak listáját (ujholdak.txt) egy időzóna helyi idejében, percre\n"
    "kerekítve. A dátumok 1582. október 15. előtt is a Gergely-naptár szerintiek\n"
    "(proleptikus Gergely-naptár), nem a Julián-naptár szerintiek.\n"
    "\n"
    "Kapcsolók:\n"
    "  --from ÉV     az első év (alapértelmezés: a tavalyi év; 100 és 3000 között)\n"
    "  --to ÉV       az utolsó év (alapértelmezés: tíz év múlva)\n"
    "  --zone NÉV    az időzóna-adatbázis egy neve, például Europe/Budapest\n"
    "                (alapértelmezés: a rendszeré)\n"
    "  --utc         világidő (UTC) a helyi idő helyett\n"
    "  --force       a meglévő fájlt is felülírja\n"
    "  -h, --help    ez a súgó\n"
    "  --version     a program változata\n"
    "\n"
    "Argumentum:\n"
    "  FÁJL          a megírandó lista, például Pic/ujholdak.txt\n";

// The options, all known to the parser; their help is HelpText.
struct Options {
    const QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("év")};
    const QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("év")};
    const QCommandLineOption zone{QStringLiteral("zone"), QString(), QStringLiteral("név")};
    const QCommandLineOption utc{QStringLiteral("utc"), QString()};
    const QCommandLineOption force{QStringLiteral("force"), QString()};

    void addTo(QCommandLineParser &parser) const {
        lunex::cli::AddStandardOptions(parser);
        parser.addOptions({from, to, zone, utc, force});
    }
};

struct ListRequest {
    QString path;
    int fromYear = 0;
    int toYear = 0;
    QTimeZone zone = QTimeZone::utc();
    QString heading = lunex::UtcListHeading.toString();
};

Refusal ReadYears(const QCommandLineParser &parser, const Options &options, ListRequest &request) {
    const int thisYear = QDate::currentDate().year();
    request.fromYear = thisYear - lunex::ListYearsBack;
    request.toYear = thisYear + lunex::ListYearsAhead;
    for (const auto &[option, year] :
         {std::pair{&options.from, &request.fromYear}, std::pair{&options.to, &request.toYear}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const std::optional<int> parsed = ParseYear(parser.value(*option));
        if (!parsed) {
            return QStringLiteral("Hibás év: '%1' (%2 és %3 között lehet).")
                .arg(parser.value(*option))
                .arg(FirstYear)
                .arg(LastYear);
        }
        *year = *parsed;
    }
    if (request.fromYear > request.toYear) {
        return QStringLiteral("Az első év (%1) későbbi az utolsónál (%2).")
            .arg(request.fromYear)
            .arg(request.toYear);
    }
    return std::nullopt;
}

// Says on stderr when the system's zone is unknown and UTC stands in for it.
Refusal ReadZone(const QCommandLineParser &parser, const Options &options, ListRequest &request) {
    if (parser.isSet(options.utc) && parser.isSet(options.zone)) {
        return QStringLiteral("A --zone és a --utc közül csak az egyik adható meg.");
    }
    if (parser.isSet(options.utc)) {
        return std::nullopt;
    }
    if (parser.isSet(options.zone)) {
        const std::optional<QTimeZone> zone = lunex::NamedZone(parser.value(options.zone));
        if (!zone) {
            return QStringLiteral("Ismeretlen időzóna: '%1'.").arg(parser.value(options.zone));
        }
        request.zone = *zone;
    } else {
        request.zone = lunex::cli::ReportedSystemZone();
    }
    request.heading = lunex::NewMoonListHeading(request.zone);
    return std::nullopt;
}

int WriteList(const ListRequest &request, bool force) {
    // A list the user keeps (perhaps edited by hand) is worth more than a fresh one.
    if (QFileInfo::exists(request.path) && !force) {
        Err() << QStringLiteral("A(z) '%1' fájl már megvan, nem írom felül (--force felülírja).")
                     .arg(request.path)
              << Qt::endl;
        return ExitFailure;
    }
    const QStringList entries = lunex::NewMoonTexts(request.fromYear, request.toYear, request.zone);
    if (!lunex::cli::SaveUserFile(request.path,
                                  lunex::ListFileBytes(QStringList{request.heading} + entries))) {
        return ExitFailure;
    }
    Out() << QStringLiteral("Elkészült: '%1', %2 újhold (%3–%4).")
                 .arg(request.path)
                 .arg(entries.size())
                 .arg(request.fromYear)
                 .arg(request.toYear)
          << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    lunex::cli::QuietQtDiagnostics();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lunex-newmoons"));
    lunex::IgnoreFileSizeSignal();

    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    if (const std::optional<int> refused =
            lunex::cli::ParseArguments(parser, QCoreApplication::arguments())) {
        return *refused;
    }
    if (const std::optional<int> status =
            lunex::cli::AnswerStandardOptions(parser, QString::fromUtf8(HelpText))) {
        return *status;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        return UsageError(QStringLiteral("Egyetlen fájl nevét adja meg."));
    }
    if (positional.first().isEmpty()) {
        return UsageError(QStringLiteral("A fájl neve üres."));
    }
    ListRequest request;
    request.path = positional.first();
    if (const Refusal refusal = ReadYears(parser, options, request)) {
        return UsageError(*refusal);
    }
    if (const Refusal refusal = ReadZone(parser, options, request)) {
        return UsageError(*refusal);
    }
    return WriteList(request, parser.isSet(options.force));
}
