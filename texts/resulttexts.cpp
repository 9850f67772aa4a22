#include "texts/resulttexts.h"

#include "texts/datetext.h"
#include "texts/numbertext.h"

namespace lunex {
namespace {

const QString Label = QStringLiteral("Megfigyelés ideje:    ");
const QString Indent = QString(36, u' ');

} // namespace

QList<ResultText> BuildResultTexts(ObservationKind kind, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale) {
    const auto n = [](std::int32_t v) { return QString::number(v); };
    QList<ResultText> texts;
    if (kind == ObservationKind::PresentMoment) {
        texts.append({ResultLine::Observation, Label + ShortDateText(observation.date(), locale)});
        texts.append({ResultLine::ObservationTime, LongTimeText(observation.time(), locale)});
    } else {
        texts.append({ResultLine::Observation, Label + GeneralDateText(observation, locale)});
    }
    texts.append({ResultLine::AgeHours, QStringLiteral("Holdsarló kora:         ") +
                                            n(age.totalHours) + QStringLiteral(" óra ") +
                                            n(age.minutePart) + QStringLiteral(" perc")});
    texts.append({ResultLine::AgeDays, Indent + n(age.wholeDays) + QStringLiteral(" nap  ") +
                                           n(age.hourPart) + QStringLiteral(" óra ") +
                                           n(age.minutePart) + QStringLiteral(" perc")});
    texts.append({ResultLine::FractionalDays,
                  Indent + FormatPattern(age.fractionalDays, 2, locale) + QStringLiteral(" nap")});
    texts.append({ResultLine::Phase, Indent + band.phaseName.toString() + QStringLiteral("  --  ") +
                                         FormatPattern(percent, 1, locale) + QStringLiteral(" %")});
    return texts;
}

} // namespace lunex
