// lunex-newmoons: writes the list of new moons (ujholdak.txt) that the main
// window offers to pick from, in the civil time of one zone.

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

// Qt reads any other name as a POSIX TZ rule, and "Budapest" or "CEST" would
// give a valid zone with UTC times under that name.
bool IsKnownZone(const QString &name) {
    const QByteArray id = name.toUtf8();
    return id == "UTC" || QTimeZone::availableTimeZoneIds().contains(id);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lunex-newmoons"));
    lunex::cli::InstallQtTranslations();
    lunex::IgnoreFileSizeSignal();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Megírja az újholdak listáját (ujholdak.txt) egy időzóna helyi idejében, "
                       "percre kerekítve."));
    lunex::cli::AddStandardOptions(parser);
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("Az első év (alapértelmezés: a tavalyi év)."),
                                  QStringLiteral("év"));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("Az utolsó év (alapértelmezés: tíz év múlva)."),
                                QStringLiteral("év"));
    const QCommandLineOption zoneOption(
        QStringLiteral("zone"),
        QStringLiteral("IANA időzóna, például Europe/Budapest (alapértelmezés: a rendszeré)."),
        QStringLiteral("név"));
    const QCommandLineOption utc(QStringLiteral("utc"),
                                 QStringLiteral("Világidő (UTC) a helyi idő helyett."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("A meglévő fájlt is felülírja."));
    parser.addOptions({from, to, zoneOption, utc, force});
    parser.addPositionalArgument(QStringLiteral("fájl"),
                                 QStringLiteral("A megírandó lista, például Pic/ujholdak.txt."));

    if (!parser.parse(QCoreApplication::arguments())) {
        return UsageError(QStringLiteral("Hibás parancssor: %1").arg(parser.errorText()));
    }
    if (const std::optional<int> status =
            lunex::cli::AnswerStandardOptions(parser, parser.helpText())) {
        return *status;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        return UsageError(QStringLiteral("Egyetlen fájl nevét adja meg."));
    }
    const QString path = positional.first();

    const int thisYear = QDate::currentDate().year();
    int fromYear = thisYear - lunex::ListYearsBack;
    int toYear = thisYear + lunex::ListYearsAhead;
    for (const auto &[option, year] : {std::pair{&from, &fromYear}, std::pair{&to, &toYear}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const std::optional<int> parsed = ParseYear(parser.value(*option));
        if (!parsed) {
            return UsageError(QStringLiteral("Hibás év: '%1' (%2 és %3 között lehet).")
                                  .arg(parser.value(*option))
                                  .arg(FirstYear)
                                  .arg(LastYear));
        }
        *year = *parsed;
    }
    if (fromYear > toYear) {
        return UsageError(
            QStringLiteral("Az első év (%1) későbbi az utolsónál (%2).").arg(fromYear).arg(toYear));
    }

    if (parser.isSet(utc) && parser.isSet(zoneOption)) {
        return UsageError(QStringLiteral("A --zone és a --utc közül csak az egyik adható meg."));
    }
    QTimeZone zone = QTimeZone::utc();
    QString heading = lunex::UtcListHeading.toString();
    if (!parser.isSet(utc)) {
        const QString name =
            parser.isSet(zoneOption) ? parser.value(zoneOption) : QTimeZone::systemTimeZoneId();
        zone = IsKnownZone(name) ? QTimeZone(name.toUtf8()) : QTimeZone();
        if (!zone.isValid()) {
            if (parser.isSet(zoneOption)) {
                return UsageError(QStringLiteral("Ismeretlen időzóna: '%1'.").arg(name));
            }
            Err() << QStringLiteral("A rendszer időzónája ismeretlen; a lista világidőt (UTC) "
                                    "mutat.")
                  << Qt::endl;
            zone = QTimeZone::utc();
        } else {
            heading = lunex::NewMoonListHeading(zone);
        }
    }

    // A list the user keeps (perhaps edited by hand) is worth more than a fresh one.
    if (QFileInfo::exists(path) && !parser.isSet(force)) {
        Out() << QStringLiteral("A(z) '%1' fájl már megvan, nem írom felül (--force felülírja).")
                     .arg(path)
              << Qt::endl;
        return 0;
    }

    const QStringList entries = lunex::NewMoonTexts(fromYear, toYear, zone);
    const lunex::FileProblem problem =
        lunex::WriteFileAtomically(path, lunex::ListFileBytes(QStringList{heading} + entries));
    if (problem != lunex::FileProblem::None) {
        // The store's own wording names the Pic folder; this path may lie anywhere.
        const QString reason =
            problem == lunex::FileProblem::NoDirectory
                ? QStringLiteral("a(z) '%1' mappa nem létezik.").arg(QFileInfo(path).path())
                : lunex::ProblemText(problem);
        Err() << QStringLiteral("A(z) '%1' fájl nem menthető: %2").arg(path, reason) << Qt::endl;
        return ExitFailure;
    }
    Out() << QStringLiteral("Elkészült: '%1', %2 újhold (%3–%4).")
                 .arg(path)
                 .arg(entries.size())
                 .arg(fromYear)
                 .arg(toYear)
          << Qt::endl;
    return 0;
}
