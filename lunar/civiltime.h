#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <optional>

namespace lunex {

// Every time Lunex reads, prints or stores is the civil time of a zone: what
// the observer's clock showed. These turn such a reading into an instant.

// The system's zone; UTC when the system names none that Qt knows.
QTimeZone SystemZone();

// The instant at which the zone's clock shows `date` and `time`, carrying the
// offset the clock had then. Empty when the clock skips that reading (the hour
// lost when summer time begins); a reading it shows twice (the hour repeated
// in autumn) is its first occurrence, the summer-time one.
std::optional<QDateTime> LocalDateTime(const QDate &date, const QTime &time, const QTimeZone &zone);

// Seconds since the epoch of the start of the minute that the instant's own
// clock (its zone's, or UTC) shows: seconds dropped on the local clock, which
// is not the UTC minute where the offset is not whole minutes.
qint64 LocalMinuteStart(const QDateTime &instant);

} // namespace lunex
