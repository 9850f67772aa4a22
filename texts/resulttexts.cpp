#include "texts/resulttexts.h"

#include "texts/datetext.h"
#include "texts/numbertext.h"

#include <QStringBuilder>

namespace lunex {
namespace {

const QString Label = QStringLiteral("Megfigyelés ideje:    ");
const QString Indent = QString(36, u' ');

} // namespace

QList<ResultText> BuildResultTexts(HeaderForm form, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale) {
    // Built with QStringBuilder (%): one allocation a text, since an evaluation
    // runs on every press and the benchmarks run it a million times.
    const auto n = [](std::int32_t v) { return QString::number(v); };
    QList<ResultText> texts;
    texts.reserve(6);
    if (form == HeaderForm::PresentMoment) {
        texts.append({700, 1265, Label % ShortDateText(observation.date(), locale)});
        texts.append({5020, 1265, LongTimeText(observation.time(), locale)});
    } else {
        texts.append({700, 1265, Label % GeneralDateText(observation, locale)});
    }
    texts.append({700, 2100,
                  QStringView(u"Holdsarló kora:         ") % n(age.totalHours) %
                      QStringView(u" óra ") % n(age.minutePart) % QStringView(u" perc")});
    texts.append({700, 2800,
                  Indent % n(age.wholeDays) % QStringView(u" nap  ") % n(age.hourPart) %
                      QStringView(u" óra ") % n(age.minutePart) % QStringView(u" perc")});
    texts.append(
        {700, 3300, Indent % FormatPattern(age.fractionalDays, 2, locale) % QStringView(u" nap")});
    texts.append({700, 5050,
                  Indent % band.phaseName % QStringView(u"  --  ") %
                      FormatPattern(percent, 1, locale) % QStringView(u" %")});
    return texts;
}

} // namespace lunex
