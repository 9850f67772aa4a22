// lunex-age: the crescent's age for scripts and terminals, with the same
// computation and the same texts as the window, one result text per line.

#include "evaluation/evaluation.h"
#include "programs/common/cli.h"
#include "store/fileio.h"
#include "texts/datetext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

using namespace lunex;

namespace {

const char HelpText[] =
    "Használat: lunex-age ÚJHOLD [MEGFIGYELÉS]\n"
    "           lunex-age --help | --version\n"
    "Kiírja a holdsarló korát az újholdtól a megfigyelésig (ennek híján a mostani\n"
    "pillanatig), a felhasználó területi beállításai szerint.\n";

// A date of a year before the common era starts with '-', like the options:
// it and what follows are arguments ("-9999-01-01" would be the options 9,
// 9, 9, 9, -, 0, ...).
QStringList DatesAsArguments(QStringList arguments) {
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != u"--"; ++i) {
        if (arguments[i].size() > 1 && arguments[i][0] == u'-' && arguments[i][1].isDigit()) {
            arguments.insert(i, QStringLiteral("--"));
            break;
        }
    }
    return arguments;
}

} // namespace

int main(int argc, char *argv[]) {
    cli::QuietQtDiagnostics();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lunex-age"));
    IgnoreFileSizeSignal();
    QCommandLineParser parser;
    cli::AddStandardOptions(parser);
    if (const std::optional<int> refused =
            cli::ParseArguments(parser, DatesAsArguments(QCoreApplication::arguments()))) {
        return *refused;
    }
    if (const std::optional<int> status =
            cli::AnswerStandardOptions(parser, QString::fromUtf8(HelpText))) {
        return *status;
    }
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || args.size() > 2) {
        cli::Err() << QString::fromUtf8(HelpText) << Qt::flush;
        return cli::ExitUsage;
    }
    const QLocale locale;
    const QTimeZone zone = cli::ReportedSystemZone();
    const bool present = args.size() == 1;
    const auto newMoon = ParseDateTimeText(args.at(0), locale, zone);
    const auto observation = present ? std::optional(SystemClock().now().toTimeZone(zone))
                                     : ParseDateTimeText(args.at(1), locale, zone);
    const auto evaluated = EvaluateAge(
        newMoon, observation,
        present ? ObservationKind::PresentMoment : ObservationKind::StoredObservation, locale);
    if (const auto *failure = std::get_if<EvaluationFailure>(&evaluated)) {
        cli::Err() << failure->message << '\n' << Qt::flush;
        return cli::ExitUsage;
    }
    for (const ResultText &result : std::get<AgeResults>(evaluated).texts) {
        cli::Out() << result.text << '\n';
    }
    return cli::FinishOutput();
}
