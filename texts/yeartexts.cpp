#include "texts/yeartexts.h"

#include "texts/datetext.h"
#include "texts/eveningtexts.h"

namespace lunex {

QStringList YearSightHeadings() {
    return {QStringLiteral("Dátum"), QStringLiteral("Legjobb"), QStringLiteral("Kor"),
            QStringLiteral("q"),     QStringLiteral("Y"),       QStringLiteral("V"),
            QStringLiteral("O")};
}

QStringList YearSightCells(const Evening *day, const Place &place, const QTimeZone &zone,
                           const QLocale &locale) {
    if (day == nullptr) {
        return QStringList(YearSightHeadings().size(), QStringLiteral("–"));
    }
    const CrescentSighting &s = day->sighting;
    const QDate shown = CivilDateOf(*day, place, zone);
    return {locale.toString(shown, QLocale::ShortFormat),
            EveningClockText(s.bestTime, shown, zone, locale),
            CrescentAgeText(day->age, locale),
            locale.toString(s.q, 'f', 3),
            QString(ClassLetter(s.yallop)),
            locale.toString(s.v, 'f', 2),
            QString(ClassLetter(s.odeh))};
}

QString SightText(Sight sight) {
    switch (sight) {
    case Sight::LastMorningOpticalAid:
        return QStringLiteral("utolsó reggel, optikai eszközzel");
    case Sight::LastMorningNakedEye:
        return QStringLiteral("utolsó reggel, szabad szemmel");
    case Sight::FirstEveningOpticalAid:
        return QStringLiteral("első este, optikai eszközzel");
    case Sight::FirstEveningNakedEye:
        return QStringLiteral("első este, szabad szemmel");
    }
    return {};
}

QString YearNewMoonText(const YearLunation &lunation, const QTimeZone &zone,
                        const QLocale &locale) {
    return MinuteText(RoundedToMinute(lunation.lunation.newMoon).toTimeZone(zone), locale);
}

QString YearNotes() {
    return QStringLiteral(
               "Az újhold előtti utolsó reggel és utáni első este, amikor a holdsarló optikai\n"
               "eszközzel (Yallop A–D), illetve szabad szemmel (Yallop A–B) látható; –: az\n"
               "újhold napján és az előtte, illetve utána következő három napon nem.\n"
               "Legjobb: a legjobb megfigyelési időpont. Kor: a holdsarló kora akkor (reggel\n"
               "negatív: az újholdig hátralévő idő). q és Y: Yallop feltétele és osztálya, V és\n"
               "O: Odeh feltétele és zónája. %1 rekordesély: az év újholdhoz legközelebbi ilyen\n"
               "sarlója.\n")
        .arg(RecordMark);
}

} // namespace lunex
