// lunex-age: the crescent's age for scripts and terminals, with the same
// computation and the same texts as the window, one result text per line.

#include "evaluation/evaluation.h"
#include "lunar/civiltime.h"
#include "lunar/datetext.h"
#include "lunar/lunarage.h"
#include "messages/messages.h"
#include "store/fileio.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

using namespace lunex;

namespace {

int fail(const QString &message) {
    QTextStream(stderr) << message << '\n';
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    IgnoreFileSizeSignal();
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() > 2 || args.first() == QLatin1String("--help")) {
        QTextStream(args.size() == 1 ? stdout : stderr)
            << "Használat: lunex-age ÚJHOLD [MEGFIGYELÉS]\n"
               "Kiírja a holdsarló korát az újholdtól a megfigyelésig (ennek híján a mostani\n"
               "pillanatig), a felhasználó területi beállításai szerint.\n";
        return args.size() == 1 ? 0 : 2;
    }
    const QLocale locale;
    const QTimeZone zone = SystemZone();
    const bool present = args.size() == 1;
    const auto newMoon = ParseDateTimeText(args.at(0), locale, zone);
    const auto observation = present ? std::optional(SystemClock().now().toTimeZone(zone))
                                     : ParseDateTimeText(args.at(1), locale, zone);
    if (!newMoon || !observation) {
        return fail(present ? NewMoonMissingMessage : InvalidDatesMessage);
    }
    const auto age = CalculateLunarAge(*newMoon, *observation);
    if (!age) {
        return fail(TooFarApartMessage);
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
