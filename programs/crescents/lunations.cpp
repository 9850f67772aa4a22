#include "lunations.h"

#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lunex::crescents {
namespace {

double DateJd(const QDate &date) {
    return double(date.toJulianDay()) - 0.5;
}

QDateTime Instant(double jd) {
    return RoundedToMinute(FromJulianDay(jd));
}

QString CsvTime(const std::optional<double> &jd, const QTimeZone &zone) {
    return jd ? Instant(*jd).toTimeZone(zone).toString(Qt::ISODate) : QString();
}

QString CsvNumber(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// Each status: its code in the CSV and its sentence in the table.
struct StatusWords {
    const char16_t *code;
    const char16_t *text;
};
constexpr StatusWords StatusTable[] = {
    {u"szamolt", u""},
    {u"nap_nem_nyugszik", u"A Nap nem nyugszik le (éjféli nap)."},
    {u"nap_nem_kel", u"A Nap nem kel fel (sarki éjszaka)."},
    {u"hold_elobb_nyugszik", u"A Hold a Nap előtt nyugszik le: nem látható."},
    {u"hold_nem_nyugszik", u"A Hold nem nyugszik le."},
    {u"ujhold_elott", u"A legjobb időpont az újhold előtt van."},
};

QString StatusCode(CrescentStatus status) {
    return QString::fromUtf16(StatusTable[int(status)].code);
}

constexpr const char16_t *YallopMeanings[] = {
    u"szabad szemmel könnyen látható",
    u"tökéletes égen szabad szemmel látható",
    u"optikai eszközzel kell megkeresni, utána szabad szemmel is",
    u"csak optikai eszközzel látható",
    u"távcsővel sem látható",
    u"nem látható (a Danjon-határ alatt)",
};

constexpr const char16_t *OdehMeanings[] = {
    u"szabad szemmel látható",
    u"optikai eszközzel látható, szabad szemmel is lehet",
    u"csak optikai eszközzel látható",
    u"optikai eszközzel sem látható",
};

// The civil date the evening has in the shown zone: that of its sunset, or,
// where the Sun does not set, that of the place's mean noon.
QDate ShownDate(const Evening &e, const TableSetting &setting) {
    const double jd =
        e.sighting.sunEvent.value_or(DateJd(e.date) + 0.5 - setting.place.longitude / 360.0);
    return Instant(jd).toTimeZone(setting.zone).date();
}

// A time of the evening on the shown clock; "(+1)" when it falls on the next day.
QString ClockText(const std::optional<double> &jd, const QDate &shownDate,
                  const TableSetting &setting) {
    if (!jd) {
        return QStringLiteral("–");
    }
    const QDateTime local = Instant(*jd).toTimeZone(setting.zone);
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

} // namespace

QDateTime RoundedToMinute(const QDateTime &instant) {
    constexpr qint64 minute = 60000;
    const qint64 shifted = instant.toMSecsSinceEpoch() + minute / 2;
    const qint64 rounded = shifted - (((shifted % minute) + minute) % minute);
    return QDateTime::fromMSecsSinceEpoch(rounded, QTimeZone::utc());
}

QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count) {
    QList<Lunation> lunations;
    const int first = LunationAtOrAfter(from);
    for (int k = first; k < first + count; ++k) {
        Lunation lunation{NewMoonUtc(k), {}};
        const double newMoon = JulianDay(lunation.newMoon);
        // The day of the new moon by the place's own mean solar time.
        const QDate firstDate = FromJulianDay(newMoon + place.longitude / 360.0).date();
        const double firstJd = DateJd(firstDate);
        // From the culmination before the first sunset to the moonset after the last.
        const SkyTrack track(firstJd - 1.0, firstJd + EveningsPerLunation + 2.0);
        const LocalSky sky(track, place);
        bool seenByEye = false, seenWithAid = false;
        for (int i = 0; i < EveningsPerLunation; ++i) {
            Evening e;
            e.date = firstDate.addDays(i);
            e.sighting = ObserveCrescent(sky, firstJd + i, newMoon);
            if (e.sighting.status == CrescentStatus::Computed) {
                // The age of the two times as the table shows them: what Lunex
                // itself says for a new moon and an observation typed to the minute.
                e.age = CalculateLunarAge(RoundedToMinute(lunation.newMoon),
                                          Instant(*e.sighting.bestTime));
                if (!seenByEye && e.sighting.yallop <= YallopClass::B) {
                    e.firstNakedEye = seenByEye = true;
                }
                if (!seenWithAid && e.sighting.yallop <= YallopClass::D) {
                    e.firstOpticalAid = seenWithAid = true;
                }
            }
            lunation.evenings.append(e);
        }
        lunations.append(lunation);
    }
    return lunations;
}

QChar Letter(YallopClass c) {
    return QChar(u'A' + int(c));
}
QChar Letter(OdehZone z) {
    return QChar(u'A' + int(z));
}

QString YallopMeaning(YallopClass c) {
    return QString::fromUtf16(YallopMeanings[int(c)]);
}

QString OdehMeaning(OdehZone z) {
    return QString::fromUtf16(OdehMeanings[int(z)]);
}

QString StatusText(CrescentStatus status) {
    return QString::fromUtf16(StatusTable[int(status)].text);
}

QString PlaceText(const Place &place, const QLocale &locale) {
    return QStringLiteral("%1° %2, %3° %4, %5 m")
        .arg(locale.toString(std::abs(place.latitude), 'f', 2),
             place.latitude < 0 ? QStringLiteral("D") : QStringLiteral("É"),
             locale.toString(std::abs(place.longitude), 'f', 2),
             place.longitude < 0 ? QStringLiteral("Ny") : QStringLiteral("K"),
             locale.toString(place.elevation, 'f', 0));
}

QString FormatTable(const QList<Lunation> &lunations, const TableSetting &setting) {
    const QLocale &loc = setting.locale;
    const QStringList headers{QStringLiteral("Dátum"),      QStringLiteral("Napnyugta"),
                              QStringLiteral("Holdnyugta"), QStringLiteral("Késés"),
                              QStringLiteral("Legjobb"),    QStringLiteral("Kor"),
                              QStringLiteral("ARCL°"),      QStringLiteral("ARCV°"),
                              QStringLiteral("DAZ°"),       QStringLiteral("W′ (′)"),
                              QStringLiteral("q"),          QStringLiteral("Y"),
                              QStringLiteral("V"),          QStringLiteral("O"),
                              QStringLiteral("Jel"),        QStringLiteral("Yallop szerint")};
    // Columns from "Kor" on hold the numbers, or one status text.
    constexpr int numbersFrom = 5;
    const QList<int> rightAligned{3, 5, 6, 7, 8, 9, 10, 12};

    QList<QList<QStringList>> blocks;
    QList<int> widths;
    for (const QString &h : headers) {
        widths.append(int(h.size()));
    }
    for (const Lunation &lunation : lunations) {
        QList<QStringList> rows;
        for (const Evening &e : lunation.evenings) {
            const CrescentSighting &s = e.sighting;
            const QDate shown = ShownDate(e, setting);
            QStringList cells{
                loc.toString(shown, QLocale::ShortFormat), ClockText(s.sunEvent, shown, setting),
                ClockText(s.moonEvent, shown, setting),
                s.lagMinutes ? loc.toString(std::lround(*s.lagMinutes)) : QStringLiteral("–"),
                ClockText(s.bestTime, shown, setting)};
            if (s.status == CrescentStatus::Computed) {
                cells << QStringLiteral("%1 ó %2 p")
                             .arg(loc.toString(e.age ? e.age->totalHours : 0))
                             .arg(e.age ? e.age->minutePart : 0, 2, 10, QChar(u'0'))
                      << loc.toString(s.arcl, 'f', 1) << loc.toString(s.arcv, 'f', 1)
                      << loc.toString(s.daz, 'f', 1) << loc.toString(s.widthYallop, 'f', 2)
                      << loc.toString(s.q, 'f', 3) << QString(Letter(s.yallop))
                      << loc.toString(s.v, 'f', 2) << QString(Letter(s.odeh)) << Marks(e)
                      << YallopMeaning(s.yallop);
                for (int i = 0; i < cells.size(); ++i) {
                    widths[i] = std::max(widths[i], int(cells[i].size()));
                }
            } else {
                for (int i = 0; i < numbersFrom; ++i) {
                    widths[i] = std::max(widths[i], int(cells[i].size()));
                }
                cells << StatusText(s.status);
            }
            rows.append(cells);
        }
        blocks.append(rows);
    }

    const auto line = [&](const QStringList &cells) {
        QString text;
        for (int i = 0; i < cells.size(); ++i) {
            const bool last = i + 1 == cells.size();
            if (i > 0) {
                text += QStringLiteral("  ");
            }
            if (last && (i + 1 == headers.size() || i == numbersFrom)) {
                text += cells[i]; // no padding after the last cell
            } else if (rightAligned.contains(i)) {
                text += cells[i].rightJustified(widths[i]);
            } else {
                text += cells[i].leftJustified(widths[i]);
            }
        }
        return text + u'\n';
    };

    QString out = QStringLiteral("Holdsarlók: %1 (%2); idő: %3\n")
                      .arg(setting.placeName, PlaceText(setting.place, loc),
                           setting.zone == QTimeZone::utc() ? QStringLiteral("világidő (UTC)")
                                                            : QString::fromUtf8(setting.zone.id()));
    for (qsizetype i = 0; i < lunations.size(); ++i) {
        const QDateTime newMoon = RoundedToMinute(lunations[i].newMoon).toTimeZone(setting.zone);
        out += QStringLiteral("\nÚjhold: %1 %2\n")
                   .arg(loc.toString(newMoon.date(), QLocale::ShortFormat),
                        loc.toString(newMoon.time(), QLocale::ShortFormat));
        out += line(headers);
        for (const QStringList &row : blocks[i]) {
            out += line(row);
        }
    }
    QStringList zones;
    for (OdehZone z : {OdehZone::A, OdehZone::B, OdehZone::C, OdehZone::D}) {
        zones << QStringLiteral("  %1 %2").arg(Letter(z)).arg(OdehMeaning(z));
    }
    out += QStringLiteral(
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
    return out;
}

QString FormatCsv(const QList<Lunation> &lunations, const TableSetting &setting) {
    QString out = QStringLiteral(
        "hely,szelesseg,hosszusag,magassag_m,ujhold,datum,allapot,napnyugta,holdnyugta,"
        "keses_perc,legjobb_idopont,kor_ora,kor_perc,arcl,arcv,daz,w,q,yallop,odeh_v,odeh,"
        "elso_szabad_szemmel,elso_optikai_eszkozzel\n");
    // A name with a comma or a quote is quoted, as RFC 4180 has it.
    QString name = setting.placeName;
    if (name.contains(u',') || name.contains(u'"')) {
        name = u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    const QString placeCells =
        QStringLiteral("%1,%2,%3,%4")
            .arg(name, CsvNumber(setting.place.latitude, 4), CsvNumber(setting.place.longitude, 4),
                 CsvNumber(setting.place.elevation, 0));
    for (const Lunation &lunation : lunations) {
        const QString newMoon =
            RoundedToMinute(lunation.newMoon).toTimeZone(setting.zone).toString(Qt::ISODate);
        for (const Evening &e : lunation.evenings) {
            const CrescentSighting &s = e.sighting;
            QStringList cells{placeCells,
                              newMoon,
                              ShownDate(e, setting).toString(Qt::ISODate),
                              StatusCode(s.status),
                              CsvTime(s.sunEvent, setting.zone),
                              CsvTime(s.moonEvent, setting.zone),
                              s.lagMinutes ? CsvNumber(*s.lagMinutes, 1) : QString(),
                              CsvTime(s.bestTime, setting.zone)};
            if (s.status == CrescentStatus::Computed) {
                cells << QString::number(e.age ? e.age->totalHours : 0)
                      << QString::number(e.age ? e.age->minutePart : 0) << CsvNumber(s.arcl, 2)
                      << CsvNumber(s.arcv, 2) << CsvNumber(s.daz, 2) << CsvNumber(s.widthYallop, 3)
                      << CsvNumber(s.q, 3) << QString(Letter(s.yallop)) << CsvNumber(s.v, 2)
                      << QString(Letter(s.odeh));
            } else {
                for (int i = 0; i < 10; ++i) {
                    cells << QString();
                }
            }
            cells << (e.firstNakedEye ? QStringLiteral("1") : QStringLiteral("0"))
                  << (e.firstOpticalAid ? QStringLiteral("1") : QStringLiteral("0"));
            out += cells.join(u',') + u'\n';
        }
    }
    return out;
}

} // namespace lunex::crescents
