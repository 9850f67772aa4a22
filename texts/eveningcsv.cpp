#include "texts/eveningcsv.h"

#include "clock/civiltime.h"
#include "lunar/apparentsky.h"
#include "texts/csvcell.h"

#include <QStringList>

namespace lunex {
namespace {

// Each twilight's code, by Twilight.
constexpr const char16_t *TwilightCodes[] = {u"polgari", u"nautikai", u"csillagaszati", u"ejszaka"};

// Each status's code, by CrescentStatus.
constexpr const char16_t *StatusCodes[] = {
    u"szamolt",           u"nap_nem_nyugszik", u"nap_nem_kel",  u"hold_elobb_nyugszik",
    u"hold_nem_nyugszik", u"ujhold_elott",     u"hold_nem_kel",
};
// A morning's: where its day is an evening's, its code is too.
constexpr const char16_t *MorningStatusCodes[] = {
    u"szamolt",           u"nap_nem_nyugszik", u"nap_nem_kel",  u"hold_kesobb_kel",
    u"hold_nem_nyugszik", u"ujhold_utan",      u"hold_nem_kel",
};

// The columns of mornings and evenings together; a table of evenings leaves
// out napszak and the mornings' own columns, one of mornings the evenings' own,
// and one without a skyline the two of the Moon against it.
const char Header[] =
    "hely,szelesseg,hosszusag,magassag_m,ujhold,datum,napszak,allapot,napkelte,holdkelte,"
    "napnyugta,holdnyugta,keses_perc,legjobb_idopont,kor_ora,kor_perc,arcl,arcv,daz,w,q,yallop,"
    "odeh_v,odeh,utolso_szabad_szemmel,utolso_optikai_eszkozzel,elso_szabad_szemmel,"
    "elso_optikai_eszkozzel,hold_magassag,hold_azimut,megvilagitas,nap_magassag,szurkulet,"
    "hold_horizont_felett,hold_horizont_mogott,idozona";

bool Shown(QStringView column, DayParts parts, bool skyline) {
    if (!skyline && column.startsWith(u"hold_horizont_")) {
        return false;
    }
    static const QStringList morningsOwn{"napkelte", "holdkelte", "utolso_szabad_szemmel",
                                         "utolso_optikai_eszkozzel"};
    static const QStringList eveningsOwn{"napnyugta", "holdnyugta", "elso_szabad_szemmel",
                                         "elso_optikai_eszkozzel"};
    if (parts == DayParts::Both) {
        return true;
    }
    return column != u"napszak" &&
           !(parts == DayParts::Mornings ? eveningsOwn : morningsOwn).contains(column);
}

// The indexes of Header's columns that a table of the parts shows.
QList<qsizetype> ShownColumns(DayParts parts, bool skyline) {
    const QStringList all = QString::fromLatin1(Header).split(u',');
    QList<qsizetype> shown;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (Shown(all[i], parts, skyline)) {
            shown.append(i);
        }
    }
    return shown;
}

QStringList Picked(const QStringList &cells, const QList<qsizetype> &shown) {
    QStringList out;
    for (const qsizetype i : shown) {
        out.append(cells[i]);
    }
    return out;
}

// The cells of one form: its separator, its decimals and its quoting.
class Cells {
public:
    explicit Cells(CsvForm form) : hungarian_(form == CsvForm::Hungarian) {}

    QChar separator() const { return hungarian_ ? u';' : u','; }

    QString text(const QString &cell) const { return CsvTextCell(cell, separator()); }

    QString number(double value, int decimals) const {
        QString cell = QString::number(value, 'f', decimals);
        return hungarian_ ? cell.replace(u'.', u',') : cell;
    }

    QString number(const std::optional<double> &value, int decimals) const {
        return value ? number(*value, decimals) : QString();
    }

    QString row(const QStringList &cells) const { return cells.join(separator()) + u'\n'; }

private:
    bool hungarian_;
};

QString IsoTime(const std::optional<double> &jd, const QTimeZone &zone) {
    return jd ? MinuteOf(*jd).toTimeZone(zone).toString(Qt::ISODate) : QString();
}

// From the age to Odeh's zone: numbers only where there is a crescent.
QStringList CrescentCells(const Evening &e, const Cells &c) {
    const CrescentSighting &s = e.sighting;
    if (s.status != CrescentStatus::Computed) {
        return QStringList(10, QString());
    }
    // Before the new moon both parts are negative, as the age is.
    const int sign = e.age && e.age->elapsedDays < 0 ? -1 : 1;
    return {QString::number(sign * (e.age ? e.age->totalHours : 0)),
            QString::number(sign * (e.age ? e.age->minutePart : 0)),
            c.number(s.arcl, 2),
            c.number(s.arcv, 2),
            c.number(s.daz, 2),
            c.number(s.widthYallop, 3),
            c.number(s.q, 3),
            QString(ClassLetter(s.yallop)),
            c.number(s.v, 2),
            QString(ClassLetter(s.odeh))};
}

QStringList EveningCells(const Evening &e, const Place &place, const QTimeZone &zone,
                         const QTimeZone &placeZone, const Cells &c) {
    const CrescentSighting &s = e.sighting;
    const bool morning = e.isMorning();
    const auto mark = [](bool marked) {
        return marked ? QStringLiteral("1") : QStringLiteral("0");
    };
    const QString sun = IsoTime(s.sunEvent, zone);
    const QString moonEvent = IsoTime(s.moonEvent, zone);
    QStringList cells{
        CivilDateOf(e, place, placeZone).toString(Qt::ISODate),
        morning ? QStringLiteral("reggel") : QStringLiteral("este"),
        QString::fromUtf16((morning ? MorningStatusCodes : StatusCodes)[int(s.status)]),
        morning ? sun : QString(),
        morning ? moonEvent : QString(),
        morning ? QString() : sun,
        morning ? QString() : moonEvent,
        c.number(s.lagMinutes, 1),
        IsoTime(s.bestTime, zone)};
    cells << CrescentCells(e, c);
    cells << (morning ? mark(e.lastNakedEye) : QString())
          << (morning ? mark(e.lastOpticalAid) : QString())
          << (morning ? QString() : mark(e.firstNakedEye))
          << (morning ? QString() : mark(e.firstOpticalAid));
    const std::optional<Horizontal> &moon = e.moonAtBestTime;
    cells << c.number(moon ? std::optional(moon->altitude) : std::nullopt, 2)
          << c.number(moon ? std::optional(moon->azimuth) : std::nullopt, 2)
          << c.number(e.illuminatedPercent, 2) << c.number(e.sunAltitudeAtBestTime, 2)
          << (e.sunAltitudeAtBestTime
                  ? QString::fromUtf16(TwilightCodes[int(TwilightAt(*e.sunAltitudeAtBestTime))])
                  : QString())
          << (e.skyline ? mark(e.skyline->aboveAtBestTime) : QString())
          << IsoTime(e.skyline ? e.skyline->crossingJd : std::nullopt, zone)
          << c.text(ZoneName(zone));
    return cells;
}

// A sight's cells, under headings with the sight's prefix.
const char YearHeadings[] = "datum,legjobb_idopont,kor_ora,kor_perc,q,yallop,odeh_v,odeh,rekord";
// By Sight.
constexpr const char *SightPrefixes[] = {"reggel_optikai_", "reggel_szabad_szem_", "este_optikai_",
                                         "este_szabad_szem_"};
static_assert(std::size(SightPrefixes) == SightCount);

QStringList SightCells(const Evening *day, bool record, const Place &place, const QTimeZone &zone,
                       const Cells &c) {
    if (day == nullptr) {
        return QStringList(9, QString());
    }
    const QStringList crescent = CrescentCells(*day, c);
    return {CivilDateOf(*day, place, zone).toString(Qt::ISODate),
            IsoTime(day->sighting.bestTime, zone),
            crescent[0],
            crescent[1],
            crescent[6],
            crescent[7],
            crescent[8],
            crescent[9],
            record ? QStringLiteral("1") : QStringLiteral("0")};
}

QStringList PlaceCells(const QString &placeName, const Place &place, const Cells &c) {
    return {c.text(placeName), c.number(place.latitude, 4), c.number(place.longitude, 4),
            c.number(place.elevation, 0)};
}

QString NewMoonCell(const Lunation &lunation, const QTimeZone &zone) {
    return RoundedToMinute(lunation.newMoon).toTimeZone(zone).toString(Qt::ISODate);
}

} // namespace

QString CsvStart(CsvForm form) {
    return form == CsvForm::Hungarian ? QStringLiteral("\uFEFF") : QString();
}

QString CsvRow(const QStringList &cells, CsvForm form) {
    const Cells c(form);
    QStringList quoted;
    for (const QString &cell : cells) {
        quoted << CsvQuoted(cell, c.separator());
    }
    return c.row(quoted);
}

QString CsvNumber(double value, int decimals, CsvForm form) {
    return Cells(form).number(value, decimals);
}

QString FormatEveningsCsv(const QList<Lunation> &lunations, const QString &placeName,
                          const Place &place, const QTimeZone &zone, const QTimeZone &placeZone,
                          CsvForm form, DayParts parts, const HorizonProfile &skyline) {
    const Cells c(form);
    QString out = form == CsvForm::Hungarian ? QStringLiteral("\uFEFF") : QString();
    const QList<qsizetype> shown = ShownColumns(parts, !skyline.isFlat());
    out += c.row(Picked(QString::fromLatin1(Header).split(u','), shown));
    const QStringList placeCells = PlaceCells(placeName, place, c);
    for (const Lunation &lunation : lunations) {
        const QString newMoon = NewMoonCell(lunation, zone);
        for (const Evening &e : RowsOf(lunation, parts)) {
            out += c.row(Picked(placeCells + QStringList{newMoon} +
                                    EveningCells(e, place, zone, placeZone, c),
                                shown));
        }
    }
    return out;
}

QString FormatYearCsv(const YearOverview &year, const QString &placeName, const Place &place,
                      const QTimeZone &zone, CsvForm form) {
    const Cells c(form);
    QString out = form == CsvForm::Hungarian ? QStringLiteral("\uFEFF") : QString();
    QStringList headings = QString::fromLatin1(Header).split(u',').mid(0, 5);
    for (const char *prefix : SightPrefixes) {
        for (const QString &heading : QString::fromLatin1(YearHeadings).split(u',')) {
            headings << QLatin1String(prefix) + heading;
        }
    }
    out += c.row(headings);
    const QStringList placeCells = PlaceCells(placeName, place, c);
    for (int i = 0; i < year.lunations.size(); ++i) {
        const YearLunation &y = year.lunations[i];
        QStringList cells = placeCells + QStringList{NewMoonCell(y.lunation, zone)};
        for (const Sight sight : Sights) {
            cells += SightCells(y.of(sight), year.isRecord(i, sight), place, zone, c);
        }
        out += c.row(cells);
    }
    return out;
}

} // namespace lunex
