#include "eveningtable.h"

#include "messages/crescenttexts.h"
#include "texts/placetext.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lunex::crescents {
namespace {

// --- The table

// Columns from "Kor" on hold the numbers, or one status text.
constexpr int NumbersFrom = 5;

const QStringList &Headers() {
    static const QStringList headers{
        QStringLiteral("Dátum"),      QStringLiteral("Napnyugta"),
        QStringLiteral("Holdnyugta"), QStringLiteral("Késés"),
        QStringLiteral("Legjobb"),    QStringLiteral("Kor"),
        QStringLiteral("ARCL°"),      QStringLiteral("ARCV°"),
        QStringLiteral("DAZ°"),       QStringLiteral("W′ (′)"),
        QStringLiteral("q"),          QStringLiteral("Y"),
        QStringLiteral("V"),          QStringLiteral("O"),
        QStringLiteral("Jel"),        QStringLiteral("Yallop szerint")};
    return headers;
}

// A time of the evening on the shown clock; "(+1)" when it falls on the next day.
QString ClockText(const std::optional<double> &jd, const QDate &shownDate,
                  const TableSetting &setting) {
    if (!jd) {
        return QStringLiteral("–");
    }
    const QDateTime local = MinuteOf(*jd).toTimeZone(setting.zone);
    QString text = setting.locale.toString(local.time(), QLocale::ShortFormat);
    const qint64 days = shownDate.daysTo(local.date());
    if (days != 0) {
        text += QStringLiteral(" (%1%2)")
                    .arg(days > 0 ? QStringLiteral("+") : QStringLiteral("−"))
                    .arg(std::abs(days));
    }
    return text;
}

QString Marks(const Evening &e) {
    QString marks;
    if (e.firstNakedEye) {
        marks += u'●';
    }
    if (e.firstOpticalAid) {
        marks += u'○';
    }
    return marks;
}

// An evening's cells: all of them where there is a crescent, else the times
// and the status text.
QStringList TableRow(const Evening &e, const TableSetting &setting) {
    const QLocale &loc = setting.locale;
    const CrescentSighting &s = e.sighting;
    const QDate shown = CivilDateOf(e, setting.place, setting.zone);
    QStringList cells{loc.toString(shown, QLocale::ShortFormat),
                      ClockText(s.sunEvent, shown, setting), ClockText(s.moonEvent, shown, setting),
                      s.lagMinutes ? loc.toString(std::lround(*s.lagMinutes)) : QStringLiteral("–"),
                      ClockText(s.bestTime, shown, setting)};
    if (s.status != CrescentStatus::Computed) {
        return cells << CrescentStatusText(s.status);
    }
    return cells << QStringLiteral("%1 ó %2 p")
                        .arg(loc.toString(e.age ? e.age->totalHours : 0))
                        .arg(e.age ? e.age->minutePart : 0, 2, 10, QChar(u'0'))
                 << loc.toString(s.arcl, 'f', 1) << loc.toString(s.arcv, 'f', 1)
                 << loc.toString(s.daz, 'f', 1) << loc.toString(s.widthYallop, 'f', 2)
                 << loc.toString(s.q, 'f', 3) << QString(ClassLetter(s.yallop))
                 << loc.toString(s.v, 'f', 2) << QString(ClassLetter(s.odeh)) << Marks(e)
                 << YallopMeaning(s.yallop);
}

// The widths of the columns: a status text, which runs on over the number
// columns, widens none of them.
QList<int> ColumnWidths(const QList<QList<QStringList>> &blocks) {
    QList<int> widths;
    for (const QString &h : Headers()) {
        widths.append(int(h.size()));
    }
    for (const QList<QStringList> &rows : blocks) {
        for (const QStringList &cells : rows) {
            const qsizetype measured =
                cells.size() == Headers().size() ? cells.size() : NumbersFrom;
            for (qsizetype i = 0; i < measured; ++i) {
                widths[i] = std::max(widths[i], int(cells[i].size()));
            }
        }
    }
    return widths;
}

QString TableLine(const QStringList &cells, const QList<int> &widths) {
    static const QList<int> rightAligned{3, 5, 6, 7, 8, 9, 10, 12};
    QString text;
    for (int i = 0; i < cells.size(); ++i) {
        const bool last = i + 1 == cells.size();
        if (i > 0) {
            text += QStringLiteral("  ");
        }
        if (last && (i + 1 == Headers().size() || i == NumbersFrom)) {
            text += cells[i]; // no padding after the last cell
        } else if (rightAligned.contains(i)) {
            text += cells[i].rightJustified(widths[i]);
        } else {
            text += cells[i].leftJustified(widths[i]);
        }
    }
    return text + u'\n';
}

QString TableTitle(const TableSetting &setting) {
    return QStringLiteral("Holdsarlók: %1 (%2); idő: %3\n")
        .arg(setting.placeName, PlaceText(setting.place, setting.locale),
             setting.zone == QTimeZone::utc() ? QStringLiteral("világidő (UTC)")
                                              : QString::fromUtf8(setting.zone.id()));
}

QString TableNotes() {
    QStringList zones;
    for (OdehZone z : {OdehZone::A, OdehZone::B, OdehZone::C, OdehZone::D}) {
        zones << QStringLiteral("  %1 %2").arg(ClassLetter(z)).arg(OdehMeaning(z));
    }
    return QStringLiteral(
               "\nKésés: a holdnyugta és a napnyugta különbsége percben. Legjobb: a legjobb\n"
               "megfigyelési időpont (napnyugta + 4/9 késés). Kor: a holdsarló kora a legjobb\n"
               "időpontban. (+1): a következő napon.\n"
               "ARCL: a Nap és a Hold szögtávolsága, ARCV: magasságkülönbségük, DAZ:\n"
               "azimutkülönbségük (a Föld középpontjából, légkör nélkül); W′: a sarló szélessége.\n"
               "q és Y: Yallop feltétele és osztálya (NAO Technical Note 69, 1998).\n"
               "V és O: Odeh feltétele és zónája (Experimental Astronomy 18, 2004):\n") +
           zones.join(u'\n') +
           QStringLiteral("\n● az első este, amikor szabad szemmel is látható (Yallop A–B);\n"
                          "○ az első este, amikor optikai eszközzel látható (Yallop A–D).\n");
}

} // namespace

QString FormatTable(const QList<Lunation> &lunations, const TableSetting &setting) {
    QList<QList<QStringList>> blocks;
    for (const Lunation &lunation : lunations) {
        QList<QStringList> rows;
        for (const Evening &e : lunation.evenings) {
            rows.append(TableRow(e, setting));
        }
        blocks.append(rows);
    }
    const QList<int> widths = ColumnWidths(blocks);
    const QLocale &loc = setting.locale;
    QString out = TableTitle(setting);
    for (qsizetype i = 0; i < lunations.size(); ++i) {
        const QDateTime newMoon = RoundedToMinute(lunations[i].newMoon).toTimeZone(setting.zone);
        out += QStringLiteral("\nÚjhold: %1 %2\n")
                   .arg(loc.toString(newMoon.date(), QLocale::ShortFormat),
                        loc.toString(newMoon.time(), QLocale::ShortFormat));
        out += TableLine(Headers(), widths);
        for (const QStringList &row : blocks[i]) {
            out += TableLine(row, widths);
        }
    }
    return out + TableNotes();
}

} // namespace lunex::crescents
