#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace lunex {

// Days in one lunation: the only constant of the phase cycle. It serves both
// for the age within the lunation and for the illumination.
inline constexpr double SynodicMonthDays = 29.53058868;

// The elapsed time from a new moon to an observation.
struct LunarAge {
    double elapsedDays = 0;        // observation minus new moon; negative when before it
    std::int32_t totalMinutes = 0; // minute boundaries crossed, made non-negative
    std::int32_t totalHours = 0;
    std::int32_t minutePart = 0;
    double fractionalDays = 0; // whole hours only, over 24
    std::int32_t wholeDays = 0;
    std::int32_t hourPart = 0;
    double cycleAge = 0; // 0 <= cycleAge < SynodicMonthDays
};

struct PhaseBand {
    double upperBound; // exclusive upper limit of cycleAge; unused on the last row
    QStringView phaseName;
    int picture; // which of the twelve phase pictures shows it (store/paths.h names them)
};

// The last row shows the new moon's picture again: the phase is a new moon's.
inline constexpr std::array<PhaseBand, 13> PhaseBands{{
    {1.84, u"Újhold", 0},
    {2.1, u"Növekvő sarló", 1},
    {5.53, u"Növekvő sarló", 2},
    {6.95, u"Növekvő sarló", 3},
    {9.21, u"Első negyed", 4},
    {12.9, u"Növekvő hold", 5},
    {16.61, u"Telihold", 6},
    {21.05, u"Fogyó hold", 7},
    {23.15, u"Utolsó negyed", 8},
    {26.63, u"Fogyó sarló", 9},
    {27.6, u"Fogyó sarló", 10},
    {28.2, u"Fogyó sarló", 11},
    {SynodicMonthDays, u"Újhold", 0},
}};

// The two times are instants that carry their zone (see lunar/civiltime.h):
// the elapsed time is the real time between them, across any change of the
// clocks. Minutes count the minute boundaries crossed on the local clock.
// Empty when the minute count does not fit a 32-bit signed integer (the two
// times are more than about 4083 years apart).
std::optional<LunarAge> CalculateLunarAge(const QDateTime &newMoon, const QDateTime &observation);

const PhaseBand &SelectPhaseBand(double cycleAge);

// The two kinds of evaluation: "Most!" evaluates the present moment, and
// "Utolsó megfigyelés" the stored observation.
enum class ObservationKind { PresentMoment, StoredObservation };

// The lit part of the disc in percent, as each kind of evaluation has always
// printed it: 0, or from 0.2 to 100.
double CalculateIllumination(double elapsedDays, ObservationKind kind);

} // namespace lunex
