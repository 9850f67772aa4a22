#include "lunar/fundamentals.h"

#include <QTimeZone>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace lunex {
namespace {

constexpr double UnixEpochJd = 2440587.5; // 1970-01-01 00:00 UT
constexpr double MsPerDay = 86400000.0;

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

} // namespace

void ClearVectorUpperHalves() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = (__builtin_cpu_init(), __builtin_cpu_supports("avx") != 0);
    if (hasAvx) {
        ZeroUpperHalves();
    }
#endif
}

double JulianDay(const QDateTime &instant) {
    return UnixEpochJd + static_cast<double>(instant.toMSecsSinceEpoch()) / MsPerDay;
}

QDateTime FromJulianDay(double jd) {
    const auto ms = static_cast<qint64>(std::llround((jd - UnixEpochJd) * MsPerDay));
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

} // namespace lunex
