#pragma once

#include "lunar/crescent.h"
#include "lunar/riseset.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The observer's own skyline: hills, trees and roofs that stand above the
// flat horizon, as the altitude of the skyline by azimuth.
namespace lunex {

struct SkylinePoint {
    double azimuth = 0;  // degrees from the north through the east, 0 ≤ azimuth < 360
    double altitude = 0; // degrees above the flat horizon; negative where the land falls away

    bool operator==(const SkylinePoint &) const = default;
};

// The skyline from a handful of measured points, straight between them and
// round the circle past north; no points is the flat horizon.
class HorizonProfile {
public:
    HorizonProfile() = default;
    // Sorted by azimuth; of two points at the same azimuth the later stands.
    explicit HorizonProfile(QList<SkylinePoint> points);

    bool isFlat() const { return points_.isEmpty(); }
    const QList<SkylinePoint> &points() const { return points_; }
    // The skyline's altitude at an azimuth in degrees (any value; 360 is 0).
    double altitudeAt(double azimuth) const;

    bool operator==(const HorizonProfile &) const = default;

private:
    QList<SkylinePoint> points_;
};

// The skyline's altitudes an observer can have measured, in degrees.
inline constexpr double LowestSkyline = -5;
inline constexpr double HighestSkyline = 60;

struct HorizonReading {
    HorizonProfile profile;
    QList<int> badLines; // 1-based numbers of the lines that hold no pair
};

// A horizon list read leniently: one azimuth and altitude a line, in degrees,
// between them blanks, a ';' or a ','; a '#' starts a comment; blank lines
// are skipped. This is also the plain horizon list of the planetarium
// programs' landscapes, so a horizon measured for one of them serves here.
// Azimuths are taken round the circle (360 is 0, −10 is 350); a line with
// anything else, or an altitude outside LowestSkyline..HighestSkyline, is
// a bad line, and the others stand. A short list typed on one line is read
// the same, its pairs separated by a '|' or a line break ("250;2 | 260;6").
HorizonReading ReadHorizonList(QStringView text);

// The profile as such a list, one pair a line, as the data file and the
// place dialog write it.
QString HorizonListText(const HorizonProfile &profile);

// The Moon against the skyline on one evening (morning): its centre as the
// eye sees it and the drawing shows it (lunar/apparentsky.h), against the
// skyline's altitude at the Moon's azimuth.
struct SkylineMoon {
    bool aboveAtBestTime = false;
    // The instant (Julian Day, UT) the Moon sinks behind the skyline for the
    // last time after sunset; in the morning, rises above it for the first
    // time before sunrise. It can lie past moonset (before moonrise) where the
    // skyline dips below the flat horizon. None when the Moon stays behind
    // the skyline all the while.
    std::optional<double> crossingJd;
};

// None when the evening (morning) has no best time to judge: no crescent;
// and when the Moon has not sunk behind the skyline six hours after it set
// (before it rose), far north over a skyline below the flat horizon.
std::optional<SkylineMoon> MoonAgainstSkyline(const LocalSky &sky, const HorizonProfile &skyline,
                                              const CrescentSighting &sighting,
                                              Direction direction);

} // namespace lunex
