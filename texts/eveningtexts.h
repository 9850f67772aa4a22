#pragma once

#include "lunar/evenings.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>

// The cells that the evenings' tables share, in the window and on the terminal.
namespace lunex {

// A time of the evening (Julian Day, UT) on the zone's clock, to the minute;
// " (+1)" when it falls on the day after the evening's date, "–" for none.
QString EveningClockText(const std::optional<double> &jd, const QDate &shownDate,
                         const QTimeZone &zone, const QLocale &locale);

// The crescent's age at the best time in hours and minutes: "38 ó 21 p";
// before the new moon, in the morning, with the locale's minus sign.
QString CrescentAgeText(const std::optional<LunarAge> &age, const QLocale &locale);

// The first evening the eye (●) and optical aid (○) show the young crescent;
// the last morning they show the old one.
QString SightingMarks(const Evening &evening);

} // namespace lunex
