#include "texts/yeartexts.h"

#include "texts/datetext.h"
#include "texts/eveningtexts.h"

namespace lunex {

QStringList YearEveningHeadings() {
    return {QStringLiteral("Dátum"), QStringLiteral("Legjobb"), QStringLiteral("Kor"),
            QStringLiteral("q"),     QStringLiteral("Y"),       QStringLiteral("V"),
            QStringLiteral("O")};
}

QStringList YearEveningCells(const YearLunation &lunation, int evening, const Place &place,
                             const QTimeZone &zone, const QLocale &locale) {
    if (evening < 0) {
        return QStringList(YearEveningHeadings().size(), QStringLiteral("–"));
    }
    const Evening &e = lunation.lunation.evenings[evening];
    const CrescentSighting &s = e.sighting;
    const QDate shown = CivilDateOf(e, place, zone);
    return {locale.toString(shown, QLocale::ShortFormat),
            EveningClockText(s.bestTime, shown, zone, locale),
            CrescentAgeText(e.age, locale),
            locale.toString(s.q, 'f', 3),
            QString(ClassLetter(s.yallop)),
            locale.toString(s.v, 'f', 2),
            QString(ClassLetter(s.odeh))};
}

QString YearNewMoonText(const YearLunation &lunation, const QTimeZone &zone,
                        const QLocale &locale) {
    return MinuteText(RoundedToMinute(lunation.lunation.newMoon).toTimeZone(zone), locale);
}

} // namespace lunex
