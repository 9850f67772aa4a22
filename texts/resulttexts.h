#pragma once

#include "lunar/lunarage.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

namespace lunex {

// How the first result line shows the observation: "Most!" prints the present
// date and, separately, the time; the stored observation prints one
// general-date text.
enum class HeaderForm { PresentMoment, StoredObservation };

// One text drawn on the result surface, its top-left corner at (x, y) twips.
struct ResultText {
    int x;
    int y;
    QString text;
    friend bool operator==(const ResultText &, const ResultText &) = default;
};

// The result texts 1 (and 1a for the present moment), 2, 3, 4 and 5.
QList<ResultText> BuildResultTexts(HeaderForm form, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale);

} // namespace lunex
