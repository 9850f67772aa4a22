#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace lunex {

// The text forms of dates, in the user's locale.

// The locale's short date format, always with a four-digit year.
QString ShortDateFormat(const QLocale &locale);
// The locale's long time format without its time-zone part.
QString LongTimeFormat(const QLocale &locale);

QString ShortDateText(const QDate &date, const QLocale &locale);
QString LongTimeText(const QTime &time, const QLocale &locale);
// Short date, a blank and long time; the time is left out at exactly midnight.
QString GeneralDateText(const QDateTime &dateTime, const QLocale &locale);
// The locale's short time to the minute. Some locales' short forms (C among
// them) carry seconds, which a time rounded to the minute does not need.
QString ShortTimeText(const QTime &time, const QLocale &locale);
// Short date, a blank and the short time: an instant to the minute.
QString MinuteText(const QDateTime &dateTime, const QLocale &locale);

// The one conversion of a date-time text, used by every evaluation. White space
// around the text is ignored and runs of blanks inside count as one. The text
// is a reading of the zone's clock; the result is its instant in that zone.
// Empty when the text is not a date (optionally followed by a time) of years
// 100 to 9999, or names a time the zone's clock skips.
std::optional<QDateTime> ParseDateTimeText(QStringView text, const QLocale &locale,
                                           const QTimeZone &zone);

// The clock readings of many date-time texts (a list of new moons), read
// once, to find the latest that is not after a moment.
class ReadingIndex {
public:
    ReadingIndex(const QStringList &texts, const QLocale &locale);
    // The index of the text naming the latest moment not after `now` on the
    // zone's clock, or -1 when none does.
    int latestNotAfter(const QDateTime &now, const QTimeZone &zone) const;

private:
    std::vector<qint64> readings_; // seconds of the reading as if UTC; Unreadable when none
};

} // namespace lunex
