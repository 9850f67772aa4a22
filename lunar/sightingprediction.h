#pragma once

#include "lunar/crescent.h"
#include "lunar/ephemeris.h"
#include "lunar/riseset.h"

#include <QDateTime>

#include <cstdint>
#include <optional>

// What the criteria expected at the moment of a sighting (or of an attempt):
// the crescent of that evening (or morning) measured at the moment itself
// rather than at the best time, so that an observer's log can set each result
// against the prediction.
namespace lunex {

struct SightingPrediction {
    // An evening's sighting follows the new moon before it, a morning's
    // precedes the one after it: the moment's side of local mean noon decides.
    Direction direction = Direction::Evening;
    QDateTime newMoon; // UTC
    // The moment minus the new moon, on the minute (negative in the morning),
    // as Lunex reckons the age of a time typed to the minute.
    std::int32_t ageMinutes = 0;
    // Moonset − sunset (sunrise − moonrise) of that evening (morning), when both exist.
    std::optional<double> lagMinutes;
    Horizontal moon; // as the eye sees it: from the place, with refraction
    double arcl = 0;
    double widthYallop = 0; // W′, arc minutes
    double q = 0;
    YallopClass yallop = YallopClass::F;
    double v = 0;
    OdehZone odeh = OdehZone::D;
};

SightingPrediction PredictSighting(const Place &place, const QDateTime &moment);

// Whether the criteria speak of the moment at all: on an evening (a morning)
// the forecast shows after (before) the new moon, the new moon's day and the
// three after (before) it by the place's mean solar time, with the Moon's
// upper limb above the horizon (its centre higher than minus its mean
// semi-diameter, refraction included). Else the class computed is no
// prediction of a crescent: the Moon is down, or the day is no crescent's.
enum class SightingMoment { Crescent, MoonBelowHorizon, NoCrescentDay };
SightingMoment ClassifySightingMoment(const SightingPrediction &prediction, const Place &place,
                                      const QDateTime &moment);

} // namespace lunex
