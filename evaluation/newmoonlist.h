#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimeZone>

namespace lunex {

// The list of new moons (ujholdak.txt): its entries, its heading and the
// list made at the first start.

// The new moon as the civil clock of the zone shows it, daylight saving
// included, rounded to the nearest minute: "YYYY-MM-DD HH:MM".
QString NewMoonText(const QDateTime &utc, const QTimeZone &zone);

// Every new moon whose local text falls in the years fromYear..toYear of the
// zone, oldest first. Years 1 to 3000 (the form has four digits, ΔT ends);
// the date conversion reads back years from 100 on.
QStringList NewMoonTexts(int fromYear, int toYear, const QTimeZone &zone);

// The span of a list made without asking: last year to ten years ahead.
inline constexpr int ListYearsBack = 1;
inline constexpr int ListYearsAhead = 10;

// The heading line of a list in the zone's civil time, and of one in UTC.
QString NewMoonListHeading(const QTimeZone &zone);
inline constexpr QStringView UtcListHeading = u"Újholdak (UTC)";

// At the first start there is no list of new moons: one is made for the zone
// the program runs in, last year to ten years ahead of `today`, the same as
// lunex-newmoons writes. A list that exists, whatever it holds, is the user's
// and is never touched. A list that cannot be written is left out: the
// program starts with an empty list, as with an unreadable one.
void MakeNewMoonListIfAbsent(const QString &dataDir, const QTimeZone &zone, const QDate &today);

} // namespace lunex
