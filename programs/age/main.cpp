// lunex-age: the crescent's age for scripts and terminals, with the same
// computation and the same texts as the window, one result text per line.

#include "evaluation/evaluation.h"
#include "lunar/civiltime.h"
#include "lunar/lunarage.h"
#include "messages/messages.h"
#include "programs/common/cli.h"
#include "store/fileio.h"
#include "texts/datetext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

using namespace lunex;

namespace {

const char HelpText[] =
    "Használat: lunex-age ÚJHOLD [MEGFIGYELÉS]\n"
    "           lunex-age --help | --version\n"
    "Kiírja a holdsarló korát az újholdtól a megfigyelésig (ennek híján a mostani\n"
    "pillanatig), a felhasználó területi beállításai szerint.\n";

int Fail(const QString &message) {
    QTextStream(stderr) << message << '\n';
    return cli::ExitUsage;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lunex-age"));
    cli::InstallQtTranslations();
    IgnoreFileSizeSignal();
    QCommandLineParser parser;
    cli::AddStandardOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        return cli::UsageError(QStringLiteral("Hibás parancssor: %1").arg(parser.errorText()));
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
    const QTimeZone zone = SystemZone();
    const bool present = args.size() == 1;
    const auto newMoon = ParseDateTimeText(args.at(0), locale, zone);
    const auto observation = present ? std::optional(SystemClock().now().toTimeZone(zone))
                                     : ParseDateTimeText(args.at(1), locale, zone);
    if (!newMoon || !observation) {
        return Fail(present ? NewMoonMissingMessage : InvalidDatesMessage);
    }
    const auto age = CalculateLunarAge(*newMoon, *observation);
    if (!age) {
        return Fail(TooFarApartMessage);
    }
    const double gain = present ? PresentMomentGain : StoredObservationGain;
    QTextStream out(stdout);
    for (const ResultText &t :
         BuildResultTexts(present ? HeaderForm::PresentMoment : HeaderForm::StoredObservation,
                          *observation, *age, SelectPhaseBand(age->cycleAge),
                          CalculateIllumination(age->elapsedDays, gain), locale)) {
        out << t.text << '\n';
    }
    return 0;
}
