#pragma once

#include "lunar/crescent.h"
#include "lunar/lunarage.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>

// The table of lunex-crescents: the evenings after each new moon at one place.
namespace lunex::crescents {

// Evenings shown after each new moon: the day of the new moon and three more.
inline constexpr int EveningsPerLunation = 4;

struct Evening {
    QDate date; // the place's own date (by its mean solar time)
    CrescentSighting sighting;
    std::optional<LunarAge> age;  // at the best time, when there is a crescent
    bool firstNakedEye = false;   // the lunation's first evening of Yallop A or B
    bool firstOpticalAid = false; // its first of A to D: optical aid shows it from then on
};

struct Lunation {
    QDateTime newMoon; // UTC
    QList<Evening> evenings;
};

// `count` lunations, from the first new moon at or after the instant.
QList<Lunation> ComputeLunations(const Place &place, const QDateTime &from, int count);

// The instant rounded to the nearest minute, as every time of the table is shown.
QDateTime RoundedToMinute(const QDateTime &instant);

struct TableSetting {
    QString placeName;
    Place place;
    QTimeZone zone;
    QLocale locale;
};

// The table for a terminal: the user's locale for dates and numbers, the
// zone's civil time.
QString FormatTable(const QList<Lunation> &lunations, const TableSetting &setting);

// The same rows for spreadsheets and scripts: '.' decimals, ISO 8601 times
// with their offset, the place's coordinates on every row.
QString FormatCsv(const QList<Lunation> &lunations, const TableSetting &setting);

QString YallopMeaning(YallopClass c);
QString OdehMeaning(OdehZone z);
QString StatusText(CrescentStatus status);
QChar Letter(YallopClass c);
QChar Letter(OdehZone z);

// "47,50° É, 19,04° K, 105 m" in the locale's numbers.
QString PlaceText(const Place &place, const QLocale &locale);

} // namespace lunex::crescents
