#include "lunar/lunarage.h"

#include "clock/civiltime.h"

#include <cmath>
#include <limits>

namespace lunex {

std::optional<LunarAge> CalculateLunarAge(const QDateTime &newMoon, const QDateTime &observation) {
    // Each time cut to its minute on its own clock, then the real difference.
    // Where the two clocks' offsets differ by a part of a minute (local mean
    // time before the 1890s) the difference counts to the nearest minute.
    const std::int64_t seconds = LocalMinuteStart(observation) - LocalMinuteStart(newMoon);
    const std::int64_t minutes = seconds >= 0 ? (seconds + 30) / 60 : -((-seconds + 30) / 60);
    // Negating the most negative 32-bit value overflows too, so the bound is
    // the largest positive one on both sides.
    if (minutes > std::numeric_limits<std::int32_t>::max() ||
        minutes < -std::int64_t(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    LunarAge age;
    age.elapsedDays = double(newMoon.secsTo(observation)) / 86400.0;
    age.totalMinutes = std::int32_t(minutes < 0 ? -minutes : minutes);
    age.totalHours = age.totalMinutes / 60;
    age.minutePart = age.totalMinutes % 60;
    age.fractionalDays = double(age.totalHours) / 24.0;
    age.wholeDays = age.totalHours / 24;
    age.hourPart = age.totalHours % 24;
    double cycle = std::fmod(age.elapsedDays, SynodicMonthDays);
    if (cycle < 0) {
        cycle += SynodicMonthDays;
        // A tiny negative remainder rounds up to a whole lunation: that is
        // the new moon itself.
        if (cycle >= SynodicMonthDays) {
            cycle = 0;
        }
    }
    age.cycleAge = cycle;
    return age;
}

const PhaseBand &SelectPhaseBand(double cycleAge) {
    for (std::size_t i = 0; i + 1 < PhaseBands.size(); ++i) {
        if (cycleAge < PhaseBands[i].upperBound) {
            return PhaseBands[i];
        }
    }
    return PhaseBands.back();
}

double CalculateIllumination(double elapsedDays, ObservationKind kind) {
    // The program's historic empirical formula, not the physical lit fraction
    // (1 - cos) / 2 x 100: the gains 54 for the present moment and 53 for the
    // stored observation, the +0.06 and this 15-digit pi are what observers'
    // earlier readings were made with; keep them.
    constexpr double HistoricPi = 3.14159265358979;
    const double gain = kind == ObservationKind::PresentMoment ? 54 : 53;
    const double raw =
        (1 - std::cos(2 * HistoricPi * elapsedDays / SynodicMonthDays)) * gain + 0.06;
    if (raw > 100) {
        return 100;
    }
    if (raw < 0.2) {
        return 0;
    }
    return raw;
}

} // namespace lunex
