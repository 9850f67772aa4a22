#pragma once

#include "lunar/yearoverview.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The cells the year at a glance shows, in the window and on the terminal alike.
namespace lunex {

// The headings of a sight's cells, in their order.
QStringList YearSightHeadings();

// A morning's or an evening's cells: its date, best time, the crescent's age
// then (before the new moon, in the morning), q with Yallop's class and V
// with Odeh's zone; "–" in each where there is none.
QStringList YearSightCells(const Evening *day, const Place &place, const QTimeZone &zone,
                           const QLocale &locale);

// What a sight is, in words: "első este, optikai eszközzel".
QString SightText(Sight sight);

// The new moon on the zone's clock, to the minute.
QString YearNewMoonText(const YearLunation &lunation, const QTimeZone &zone, const QLocale &locale);

// What marks the record chances.
inline constexpr QStringView RecordMark = u"★";

// The notes under the year, in lines for a terminal: what the rows and the
// marks mean.
QString YearNotes();

} // namespace lunex
