#include "texts/eveningtexts.h"

#include "texts/datetext.h"

#include <cmath>

namespace lunex {

QString EveningClockText(const std::optional<double> &jd, const QDate &shownDate,
                         const QTimeZone &zone, const QLocale &locale) {
    if (!jd) {
        return QStringLiteral("–");
    }
    const QDateTime local = MinuteOf(*jd).toTimeZone(zone);
    QString text = ShortTimeText(local.time(), locale);
    const qint64 days = shownDate.daysTo(local.date());
    if (days != 0) {
        text += QStringLiteral(" (%1%2)")
                    .arg(days > 0 ? QStringLiteral("+") : QStringLiteral("−"))
                    .arg(std::abs(days));
    }
    return text;
}

QString CrescentAgeText(const std::optional<LunarAge> &age, const QLocale &locale) {
    const bool before = age && age->elapsedDays < 0;
    return (before ? locale.negativeSign() : QString()) +
           QStringLiteral("%1 ó %2 p")
               .arg(locale.toString(age ? age->totalHours : 0))
               .arg(age ? age->minutePart : 0, 2, 10, QChar(u'0'));
}

QString SightingMarks(const Evening &evening) {
    QString marks;
    if (evening.firstNakedEye || evening.lastNakedEye) {
        marks += u'●';
    }
    if (evening.firstOpticalAid || evening.lastOpticalAid) {
        marks += u'○';
    }
    return marks;
}

} // namespace lunex
