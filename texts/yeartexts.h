#pragma once

#include "lunar/yearoverview.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The cells the year at a glance shows, in the window and on the terminal alike.
namespace lunex {

// The headings of a first evening's cells, in their order.
QStringList YearEveningHeadings();

// A first evening's cells: its date, best time, the age then, q with
// Yallop's class and V with Odeh's zone; "–" in each where there is none
// (evening < 0).
QStringList YearEveningCells(const YearLunation &lunation, int evening, const Place &place,
                             const QTimeZone &zone, const QLocale &locale);

// The new moon on the zone's clock, to the minute.
QString YearNewMoonText(const YearLunation &lunation, const QTimeZone &zone, const QLocale &locale);

// What the record chances' mark means.
inline constexpr QStringView RecordMark = u"★";

} // namespace lunex
