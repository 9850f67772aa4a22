#include "lunar/fundamentals.h"

#include <QTimeZone>

namespace lunex {
namespace {

constexpr double UnixEpochJd = 2440587.5; // 1970-01-01 00:00 UT
constexpr double MsPerDay = 86400000.0;

} // namespace

double JulianDay(const QDateTime &instant) {
    return UnixEpochJd + static_cast<double>(instant.toMSecsSinceEpoch()) / MsPerDay;
}

QDateTime FromJulianDay(double jd) {
    const auto ms = static_cast<qint64>(std::llround((jd - UnixEpochJd) * MsPerDay));
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

} // namespace lunex
