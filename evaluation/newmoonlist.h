#pragma once

#include "clock/civiltime.h"
#include "messages/messages.h"
#include "ports/windowports.h"

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
// and is never touched. A list that cannot be written is left out (the
// program starts with an empty list, as with an unreadable one), and the
// reason is returned; FileProblem::None otherwise.
FileProblem MakeNewMoonListIfAbsent(const QString &dataDir, const QTimeZone &zone,
                                    const QDate &today);

// What the window does with its data files at each start, before it shows
// itself: removes the stale copies of killed saves and makes the list when it
// is absent. It tells `messages`, once each, of a system zone it does not know
// (UTC stands in), of no folder for the data files (nothing is written) and
// of a first start's list that could not be written.
void PrepareDataFiles(const QString &dataDir, const SystemZoneSetting &zone, const QDate &today,
                      Messenger &messages);

} // namespace lunex
