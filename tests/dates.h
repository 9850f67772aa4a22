#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

namespace lunex::test {

// A reading of a UTC clock: where a test needs no zone, its times are UTC,
// in which every result is the same as on a zone-less clock.
inline QDateTime Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

inline const QTimeZone UtcZone = QTimeZone::utc();

} // namespace lunex::test
