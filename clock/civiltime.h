#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <QTimeZone>

#include <optional>

namespace lunex {

// Every time Lunex reads, prints or stores is the civil time of a zone: what
// the observer's clock showed. These turn such a reading into an instant.

// The system's zone, by one rule for every program, from TZ as the C library
// reads it (a ':' before the value changes nothing):
// - unset, empty or ":": the system's setting (/etc/localtime; the C library
//   itself takes an empty TZ for UTC);
// - a name of the time-zone database ("Europe/Budapest", its aliases and
//   Etc/ names) or the path of its file ("/usr/share/zoneinfo/Europe/Budapest");
// - a POSIX rule: a fixed offset with POSIX's sign ("UTC+3" is three hours
//   west of Greenwich, "<+0330>-3:30"), or standard and summer time with both
//   dates of change ("EST5EDT,M3.2.0,M11.1.0").
// Anything else, a rule out of POSIX's ranges and one Lunex cannot honour
// exactly (summer time without its dates) is unknown: UTC stands in for it,
// and the setting is kept for the message that says so. A rule is followed
// as the C library follows it.
struct SystemZoneSetting {
    QTimeZone zone;
    QString unknown; // the setting that is not understood; empty when it is
};
SystemZoneSetting ReadSystemZone();
// Its zone alone.
QTimeZone SystemZone();

// A zone's name for the user: its name in the database, or the POSIX rule it
// was made from, for a zone of a rule that Lunex reckons itself.
QString ZoneName(const QTimeZone &zone);

// A zone by its name in the time-zone database (the names of its tzdata.zi:
// zones, their aliases, Etc/ names and "UTC"); nothing for any other text.
std::optional<QTimeZone> NamedZone(QStringView name);
// Whether a zone's id is such a name: NamedZone's test alone, without making
// the zone.
bool IsZoneName(const QByteArray &id);
// Those names, in alphabetical order, for a user to choose from.
QStringList ZoneNames();

// The instant at which the zone's clock shows `date` and `time`, carrying the
// offset the clock had then. Empty when the clock skips that reading (the hour
// lost when summer time begins); a reading it shows twice (the hour repeated
// in autumn) is its first occurrence, the summer-time one.
std::optional<QDateTime> LocalDateTime(const QDate &date, const QTime &time, const QTimeZone &zone);

// The first instant of `date` on the zone's clock: its midnight, or where the
// clock skipped that midnight (summer time beginning at 00:00), the instant
// it jumped past it; where it skipped the whole day (Apia, 30 December 2011),
// the start of the day after. Empty only for an invalid date or zone.
std::optional<QDateTime> DayStart(const QDate &date, const QTimeZone &zone);

// Seconds since the epoch of the start of the minute that the instant's own
// clock (its zone's, or UTC) shows: seconds dropped on the local clock, which
// is not the UTC minute where the offset is not whole minutes.
qint64 LocalMinuteStart(const QDateTime &instant);

} // namespace lunex
