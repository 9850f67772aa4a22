#pragma once

#include "lunar/lunarage.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

namespace lunex {

// The result lines of an evaluation: 1 the observation, 1a (for the present
// moment only) its time beside it, 2 the age in hours and minutes, 3 in days,
// hours and minutes, 4 in fractional days, 5 the phase and the lit part.
enum class ResultLine { Observation, ObservationTime, AgeHours, AgeDays, FractionalDays, Phase };

// One result text and the line it belongs on; where a line is drawn is the
// window's business.
struct ResultText {
    ResultLine line;
    QString text;
    friend bool operator==(const ResultText &, const ResultText &) = default;
};

// The result texts of an age in the kind of evaluation that worked it out:
// "Most!" prints the present date and, on line 1a, the time; the stored
// observation prints one general-date text on line 1.
QList<ResultText> BuildResultTexts(ObservationKind kind, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale);

} // namespace lunex
