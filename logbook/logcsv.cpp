#include "logbook/logcsv.h"

#include "texts/csvcell.h"

#include <QStringList>

#include <cstdlib>

namespace lunex {
namespace {

const char Header[] =
    "idopont,hely,szelesseg,hosszusag,magassag_m,eredmeny,eszkoz,eszkoz_leiras,egbolt,"
    "atlatszosag,megfigyelo,megjegyzes,irany,ujhold,kor_ora,kor_perc,keses_perc,hold_magassag,"
    "hold_azimut,arcl,w,q,yallop,odeh_v,odeh";

QStringList EntryCells(const LogEntry &e, CsvForm form) {
    const SightingPrediction &p = e.prediction;
    const auto number = [form](double value, int decimals) {
        return CsvNumber(value, decimals, form);
    };
    const int age = std::abs(p.ageMinutes);
    const QString sign = p.ageMinutes < 0 ? QStringLiteral("-") : QString();
    return {e.moment.toString(Qt::ISODate),
            FormulaGuarded(e.placeName),
            number(e.place.latitude, 4),
            number(e.place.longitude, 4),
            number(e.place.elevation, 0),
            ResultCodes[int(e.result)].toString(),
            AidCodes[int(e.aid)].toString(),
            FormulaGuarded(e.aidText),
            SkyCodes[int(e.sky)].toString(),
            e.transparency ? QString::number(*e.transparency) : QString(),
            FormulaGuarded(e.observer),
            FormulaGuarded(e.notes),
            DirectionCodes[p.direction == Direction::Evening ? 0 : 1].toString(),
            p.newMoon.toString(Qt::ISODate),
            sign + QString::number(age / 60),
            sign + QString::number(age % 60),
            p.lagMinutes ? number(*p.lagMinutes, 1) : QString(),
            number(p.moon.altitude, 2),
            number(p.moon.azimuth, 2),
            number(p.arcl, 2),
            number(p.widthYallop, 3),
            number(p.q, 3),
            QString(ClassLetter(p.yallop)),
            number(p.v, 2),
            QString(ClassLetter(p.odeh))};
}

} // namespace

QString FormatLogCsv(const QList<LogEntry> &entries, CsvForm form) {
    QString out = CsvStart(form) + CsvRow(QString::fromLatin1(Header).split(u','), form);
    for (const LogEntry &e : entries) {
        out += CsvRow(EntryCells(e, form), form);
    }
    return out;
}

} // namespace lunex
