// The date-text conversion of the evaluations. Input: one selector byte
// (locale, and whether the rest is UTF-8 as typed or Windows-1250 as stored),
// then the text.

#include "evaluation/evaluation.h"
#include "fuzzsupport.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "texts/datetext.h"

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto input = SplitSelector(data, size);
    if (!input) {
        return 0;
    }
    const QLocale &locale = input->locale;
    const QString text = input->stored ? DecodeAnsi(input->text) : QString::fromUtf8(input->text);

    // A zone with summer time, so that skipped and repeated hours are met.
    static const QTimeZone zone("Europe/Budapest");
    const std::optional<QDateTime> parsed = ParseDateTimeText(text, locale, zone);
    if (!parsed) {
        return 0;
    }
    Check(parsed->isValid(), "valid date-time", text);
    const int year = parsed->date().year();
    Check(year >= 100 && year <= 9999, "year 100 to 9999", text);
    // What Lunex prints of a date it read must read back as the same moment.
    const QString printed = GeneralDateText(*parsed, locale);
    Check(ParseDateTimeText(printed, locale, zone) == parsed, "printed date reads back",
          text + QStringLiteral(" -> ") + printed);
    // What "Most!" leaves for "Mentés" reads back from the file as the same moment.
    const QString stored = DecodeAnsi(SingleValueBytes(ObservationText(*parsed, locale, zone)));
    Check(ParseDateTimeText(stored, locale, zone) == parsed, "stored observation reads back",
          text + QStringLiteral(" -> ") + stored);

    // The evaluation's arithmetic and texts at both ends of the calendar.
    for (const QDateTime &other : {QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC),
                                   QDateTime(QDate(2026, 11, 20), QTime(6, 47), Qt::UTC),
                                   QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC)}) {
        const std::optional<LunarAge> age = CalculateLunarAge(other, *parsed);
        if (!age) {
            continue;
        }
        Check(age->cycleAge >= 0 && age->cycleAge < SynodicMonthDays, "cycle age in range", text);
        const double percent =
            CalculateIllumination(age->elapsedDays, ObservationKind::PresentMoment);
        Check(percent == 0 || (percent >= 0.2 && percent <= 100), "illumination in range", text);
        BuildResultTexts(ObservationKind::StoredObservation, *parsed, *age,
                         SelectPhaseBand(age->cycleAge), percent, locale);
    }
    return 0;
}
