#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

namespace lunex {

// The text forms of dates and numbers, in the user's locale.

// The locale's short date format, always with a four-digit year.
QString ShortDateFormat(const QLocale &locale);
// The locale's long time format without its time-zone part.
QString LongTimeFormat(const QLocale &locale);

QString ShortDateText(const QDate &date, const QLocale &locale);
QString LongTimeText(const QTime &time, const QLocale &locale);
// Short date, a blank and long time; the time is left out at exactly midnight.
QString GeneralDateText(const QDateTime &dateTime, const QLocale &locale);

// The number patterns "0.0" and "0.00": at least one integer digit, exactly
// `decimals` decimals, the locale's decimal separator, no grouping, a leading
// minus. Rounded half away from zero from the exact binary value.
QString FormatPattern(double value, int decimals, const QLocale &locale);

// The one conversion of a date-time text, used by every evaluation. White space
// around the text is ignored and runs of blanks inside count as one. Empty when
// the text is not a date (optionally followed by a time) of years 100 to 9999.
std::optional<QDateTime> ParseDateTimeText(QStringView text, const QLocale &locale);

} // namespace lunex
