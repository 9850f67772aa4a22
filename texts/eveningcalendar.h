#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// The mornings and evenings the crescent can be seen on as an iCalendar file
// (RFC 5545) that calendar programs import: one event a day of Yallop's
// classes A to D, from sunset to moonset (from moonrise to sunrise in the
// morning), with a reminder before it.
namespace lunex {

struct CalendarRequest {
    QString placeName;
    Place place;
    QTimeZone zone;  // the clock of the times in the descriptions
    QLocale locale;  // their numbers and dates
    QDateTime stamp; // when the file is made (its events' DTSTAMP)
};

struct CalendarFile {
    QByteArray bytes;
    int events = 0;
    bool libraryLoaded = true; // false: libical could not be loaded, and there is no file
};

// The same morning or evening at the same place has the same UID in every file, so that
// importing it again updates the event instead of doubling it.
CalendarFile FormatCrescentCalendar(const QList<Lunation> &lunations,
                                    const CalendarRequest &request);

// How long before the event the reminder comes.
inline constexpr int ReminderMinutes = 60;

} // namespace lunex
