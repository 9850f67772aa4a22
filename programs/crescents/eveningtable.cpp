#include "eveningtable.h"

#include "clock/civiltime.h"
#include "lunar/fundamentals.h"
#include "messages/crescenttexts.h"
#include "texts/datetext.h"
#include "texts/eveningtexts.h"
#include "texts/placetext.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lunex::crescents {
namespace {

// The columns, in their order; the narrow table, which fits in 100 columns,
// shows the essential ones. The Sun's and the Moon's columns are headed by
// the parts of the day shown; "Napszak" shows only with both.
struct Column {
    QStringView header;
    bool rightAligned;
    bool narrow;
};
constexpr Column Columns[] = {
    {u"Dátum", false, true}, {u"Napszak", false, true},  {u"Nap", false, true},
    {u"Hold", false, true},  {u"Késés", true, true},     {u"Legjobb", false, true},
    {u"Kor", true, true},    {u"Mag.°", true, true},     {u"Az.°", true, true},
    {u"Megv.%", true, true}, {u"Horizont", false, true}, {u"ARCL°", true, false},
    {u"ARCV°", true, false}, {u"DAZ°", true, false},     {u"W′ (′)", true, false},
    {u"q", true, false},     {u"Y", false, true},        {u"V", true, false},
    {u"O", false, true},     {u"Jel", false, true},      {u"Yallop szerint", false, false},
};
constexpr qsizetype AllColumns = std::size(Columns);

constexpr qsizetype PartOfDayColumn = 1;
constexpr qsizetype SunColumn = 2;
constexpr qsizetype MoonColumn = 3;
// Left out of the narrow table of both, to make room for the part of the day.
// A narrow table with a skyline leaves out the lit part and the azimuth, and
// with both the altitude too, to make room for the skyline's column: --wide
// has them all.
constexpr qsizetype AltitudeColumn = 7;
constexpr qsizetype AzimuthColumn = 8;
constexpr qsizetype LitColumn = 9;
constexpr qsizetype SkylineColumn = 10;
// The width the narrow table keeps within.
constexpr qsizetype NarrowTableWidth = 100;

// Columns from "Kor" on hold the numbers, or one status text.
constexpr int NumbersFrom = 6;

QString Header(qsizetype column, DayParts parts) {
    if (column == SunColumn && parts != DayParts::Both) {
        return parts == DayParts::Mornings ? QStringLiteral("Napkelte")
                                           : QStringLiteral("Napnyugta");
    }
    if (column == MoonColumn && parts != DayParts::Both) {
        return parts == DayParts::Mornings ? QStringLiteral("Holdkelte")
                                           : QStringLiteral("Holdnyugta");
    }
    return Columns[column].header.toString();
}

QString Decimal(const std::optional<double> &value, int decimals, const QLocale &locale) {
    return value ? locale.toString(*value, 'f', decimals) : QStringLiteral("–");
}

// Where the Moon stands against the skyline at the best time, and when it
// sinks behind it (in the morning, rises above it): "fölött 16:48";
// "mögött" alone when the skyline hides it all the while. Short, since the
// narrow table has no room for the window's sentences; the crossing lies
// between the Sun's and the Moon's times of the row, whose marks say the day.
QString SkylineCell(const Evening &e, const TableSetting &setting) {
    if (!e.skyline) {
        return QStringLiteral("–");
    }
    if (!e.skyline->crossingJd) {
        return SkylineCellText(*e.skyline, {});
    }
    const QDateTime crossing = RoundedToMinute(FromJulianDay(*e.skyline->crossingJd));
    return SkylineCellText(*e.skyline,
                           ShortTimeText(crossing.toTimeZone(setting.zone).time(), setting.locale));
}

// An evening's cells in every column where there is a crescent, else the
// times and the status text.
QStringList TableRow(const Evening &e, const TableSetting &setting) {
    const QLocale &loc = setting.locale;
    const CrescentSighting &s = e.sighting;
    const QDate shown = CivilDateOf(e, setting.place, setting.placeZone);
    QStringList cells{loc.toString(shown, QLocale::ShortFormat),
                      e.isMorning() ? QStringLiteral("reggel") : QStringLiteral("este"),
                      EveningClockText(s.sunEvent, shown, setting.zone, loc),
                      EveningClockText(s.moonEvent, shown, setting.zone, loc),
                      s.lagMinutes ? loc.toString(std::lround(*s.lagMinutes)) : QStringLiteral("–"),
                      EveningClockText(s.bestTime, shown, setting.zone, loc)};
    if (s.status != CrescentStatus::Computed) {
        return cells << CrescentStatusText(s.status, e.direction);
    }
    const std::optional<Horizontal> &moon = e.moonAtBestTime;
    return cells << CrescentAgeText(e.age, loc)
                 << Decimal(moon ? std::optional(moon->altitude) : std::nullopt, 1, loc)
                 << Decimal(moon ? std::optional(moon->azimuth) : std::nullopt, 1, loc)
                 << Decimal(e.illuminatedPercent, 1, loc) << SkylineCell(e, setting)
                 << loc.toString(s.arcl, 'f', 1) << loc.toString(s.arcv, 'f', 1)
                 << loc.toString(s.daz, 'f', 1) << loc.toString(s.widthYallop, 'f', 2)
                 << loc.toString(s.q, 'f', 3) << QString(ClassLetter(s.yallop))
                 << loc.toString(s.v, 'f', 2) << QString(ClassLetter(s.odeh)) << SightingMarks(e)
                 << YallopMeaning(s.yallop);
}

// The columns a table shows, by their place in Columns.
QList<qsizetype> ShownColumns(TableWidth width, DayParts parts, bool skyline) {
    const bool narrow = width == TableWidth::Narrow;
    const bool both = parts == DayParts::Both;
    QList<qsizetype> shown;
    for (qsizetype i = 0; i < AllColumns; ++i) {
        if ((i == PartOfDayColumn && !both) || (i == SkylineColumn && !skyline) ||
            (narrow && i == LitColumn && (both || skyline)) ||
            (narrow && skyline && i == AzimuthColumn) ||
            (narrow && skyline && both && i == AltitudeColumn)) {
            continue;
        }
        if (!narrow || Columns[i].narrow) {
            shown.append(i);
        }
    }
    return shown;
}

// The shown ones of a row's cells; a status row keeps its times and its text.
QStringList ShownCells(const QStringList &cells, const QList<qsizetype> &shown) {
    const bool status = cells.size() < AllColumns;
    QStringList out;
    for (const qsizetype i : shown) {
        if (!status || i < NumbersFrom) {
            out.append(cells[i]);
        }
    }
    if (status) {
        out.append(cells.constLast());
    }
    return out;
}

// The widths of the shown columns: a status row's best time and text, which
// run on over the number columns, widen none of them.
QList<int> ColumnWidths(const QList<QStringList> &rows, const QStringList &headers) {
    const qsizetype shown = headers.size();
    QList<int> widths;
    for (const QString &header : headers) {
        widths.append(int(header.size()));
    }
    for (const QStringList &cells : rows) {
        const qsizetype measured = cells.size() == shown ? cells.size() : cells.size() - 2;
        for (qsizetype i = 0; i < measured; ++i) {
            widths[i] = std::max(widths[i], int(cells[i].size()));
        }
    }
    return widths;
}

QString TableLine(const QStringList &cells, const QList<int> &widths,
                  const QList<qsizetype> &shown) {
    // A status row's text follows its best time directly, so that it fits
    // beside the times however wide the other rows' best times are.
    const bool status = cells.size() < shown.size();
    QString text;
    for (int i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            text += QStringLiteral("  ");
        }
        if (i + 1 == cells.size() || (status && i + 2 == cells.size())) {
            text += cells[i];
        } else if (Columns[shown[i]].rightAligned) {
            text += cells[i].rightJustified(widths[i]);
        } else {
            text += cells[i].leftJustified(widths[i]);
        }
    }
    // An empty last cell (no mark) leaves no blanks at the line's end.
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    // Times marked with their day ("0:01 (+1)", sunset past midnight in a
    // northern summer) widen the columns; a status row's long sentence then
    // gives up their alignment rather than run past a terminal's width.
    if (status && text.size() > NarrowTableWidth) {
        text = cells.join(QStringLiteral("  "));
    }
    return text + u'\n';
}

QString TableTitle(const TableSetting &setting) {
    return QStringLiteral("Holdsarlók: %1 (%2); idő: %3\n")
        .arg(setting.placeName, PlaceText(setting.place, setting.locale),
             setting.zone == QTimeZone::utc() ? QStringLiteral("világidő (UTC)")
                                              : ZoneName(setting.zone));
}

// Each class or zone on a line of its own, with its meaning.
template <typename Class>
QString ClassLines(std::initializer_list<Class> classes, QString (*meaning)(Class)) {
    QStringList lines;
    for (const Class c : classes) {
        lines << QStringLiteral("  %1 %2").arg(ClassLetter(c)).arg(meaning(c));
    }
    return lines.join(u'\n') + u'\n';
}

// What the times of the parts of the day shown mean.
QString TimeNotes(DayParts parts) {
    switch (parts) {
    case DayParts::Evenings:
        return QStringLiteral(
            "\nKésés: a holdnyugta és a napnyugta különbsége percben. Legjobb: a legjobb\n"
            "megfigyelési időpont (napnyugta + 4/9 késés). Kor: a holdsarló kora a legjobb\n"
            "időpontban. (+1): a következő napon.\n");
    case DayParts::Mornings:
        return QStringLiteral(
            "\nKésés: a napkelte és a holdkelte különbsége percben. Legjobb: a legjobb\n"
            "megfigyelési időpont (napkelte − 4/9 késés). Kor: a holdsarló kora a legjobb\n"
            "időpontban, az újhold előtt negatív. (−1): az előző napon.\n");
    case DayParts::Both:
        break;
    }
    return QStringLiteral(
        "\nNap és Hold: reggel a napkelte és a holdkelte, este a napnyugta és a holdnyugta.\n"
        "Késés: a kettő különbsége percben. Legjobb: a legjobb megfigyelési időpont (reggel\n"
        "napkelte − 4/9 késés, este napnyugta + 4/9 késés). Kor: a holdsarló kora a legjobb\n"
        "időpontban, az újhold előtt negatív. (+1), (−1): a következő, az előző napon.\n");
}

QString MarkNotes(DayParts parts) {
    const QString when = parts == DayParts::Evenings   ? QStringLiteral("az első este")
                         : parts == DayParts::Mornings ? QStringLiteral("az utolsó reggel")
                                                       : QStringLiteral("az utolsó reggel és az "
                                                                        "első este");
    return QStringLiteral("● %1, amikor szabad szemmel is látható (Yallop A–B);\n"
                          "○ %1, amikor optikai eszközzel látható (Yallop A–D).\n")
        .arg(when);
}

// The narrow table's columns that only --wide shows, before the criteria's.
QString LeftOut(DayParts parts, bool skyline) {
    const QList<qsizetype> narrow = ShownColumns(TableWidth::Narrow, parts, skyline);
    QString names;
    for (const qsizetype i : {AltitudeColumn, AzimuthColumn, LitColumn}) {
        if (!narrow.contains(i)) {
            names += Columns[i].header.left(Columns[i].header.indexOf(u'.') + 1).toString() +
                     QStringLiteral(", ");
        }
    }
    return names;
}

QString SkylineNotes(DayParts parts) {
    const QString when = parts == DayParts::Evenings   ? QStringLiteral("mikor bukik mögé")
                         : parts == DayParts::Mornings ? QStringLiteral("mikor emelkedik fölé")
                                                       : QStringLiteral("este mikor bukik mögé, "
                                                                        "reggel mikor emelkedik "
                                                                        "fölé");
    return QStringLiteral("Horizont: a Hold a legjobb időpontban a helyi horizont fölött vagy "
                          "mögött áll,\nés %1; a „mögött” idő nélkül: végig takarja.\n")
        .arg(when);
}

QString TableNotes(TableWidth width, DayParts parts, bool skyline) {
    QString notes =
        TimeNotes(parts) +
        QStringLiteral(
            "Mag. és Az.: a Hold látszó magassága (légköri fénytöréssel) és azimutja (északtól\n"
            "kelet felé) a legjobb időpontban, a megfigyelő helyéről; Megv.: a Hold korongjának\n"
            "megvilágított része, százalékban.\n");
    if (skyline) {
        notes += SkylineNotes(parts);
    }
    const QString odeh =
        ClassLines({OdehZone::A, OdehZone::B, OdehZone::C, OdehZone::D}, &OdehMeaning);
    if (width == TableWidth::Wide) {
        notes += QStringLiteral(
                     "ARCL: a Nap és a Hold szögtávolsága, ARCV: magasságkülönbségük, DAZ:\n"
                     "azimutkülönbségük (a Föld középpontjából, légkör nélkül); W′: a sarló "
                     "szélessége.\n"
                     "q és Y: Yallop feltétele és osztálya (NAO Technical Note 69, 1998).\n"
                     "V és O: Odeh feltétele és zónája (Experimental Astronomy 18, 2004):\n") +
                 odeh;
    } else {
        notes += QStringLiteral("Y: Yallop osztálya (NAO Technical Note 69, 1998):\n") +
                 ClassLines({YallopClass::A, YallopClass::B, YallopClass::C, YallopClass::D,
                             YallopClass::E, YallopClass::F},
                            &YallopMeaning) +
                 QStringLiteral("O: Odeh zónája (Experimental Astronomy 18, 2004):\n") + odeh +
                 LeftOut(parts, skyline) +
                 QStringLiteral("ARCL, ARCV, DAZ, W′, q és V a --wide kapcsolóval.\n");
    }
    return notes + MarkNotes(parts);
}

} // namespace

QString FormatTable(const QList<Lunation> &lunations, const TableSetting &setting, TableWidth width,
                    DayParts parts) {
    const bool skyline = !setting.skyline.isFlat();
    const QList<qsizetype> shown = ShownColumns(width, parts, skyline);
    QStringList headers;
    for (const qsizetype i : shown) {
        headers.append(Header(i, parts));
    }
    QList<QStringList> rows;
    for (const Lunation &lunation : lunations) {
        for (const Evening &e : RowsOf(lunation, parts)) {
            rows.append(ShownCells(TableRow(e, setting), shown));
        }
    }
    const QList<int> widths = ColumnWidths(rows, headers);
    const QLocale &loc = setting.locale;
    QString out = TableTitle(setting);
    qsizetype row = 0;
    for (qsizetype i = 0; i < lunations.size(); ++i) {
        const QDateTime newMoon = RoundedToMinute(lunations[i].newMoon).toTimeZone(setting.zone);
        out += QStringLiteral("\nÚjhold: %1 %2\n")
                   .arg(loc.toString(newMoon.date(), QLocale::ShortFormat),
                        ShortTimeText(newMoon.time(), loc));
        out += TableLine(headers, widths, shown);
        for (qsizetype j = 0; j < RowsOf(lunations[i], parts).size(); ++j) {
            out += TableLine(rows[row++], widths, shown);
        }
    }
    return out + TableNotes(width, parts, skyline);
}

} // namespace lunex::crescents
