#include "lunar/horizon.h"

#include "lunar/apparentsky.h"
#include "lunar/ephemeris.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace lunex {

HorizonProfile::HorizonProfile(QList<SkylinePoint> points) {
    for (SkylinePoint &p : points) {
        p.azimuth = NormalizeDegrees(p.azimuth);
    }
    std::stable_sort(
        points.begin(), points.end(),
        [](const SkylinePoint &a, const SkylinePoint &b) { return a.azimuth < b.azimuth; });
    for (const SkylinePoint &p : points) {
        if (!points_.isEmpty() && points_.last().azimuth == p.azimuth) {
            points_.last() = p;
        } else {
            points_.append(p);
        }
    }
}

double HorizonProfile::altitudeAt(double azimuth) const {
    if (points_.isEmpty()) {
        return 0;
    }
    if (points_.size() == 1) {
        return points_.first().altitude;
    }
    const double az = NormalizeDegrees(azimuth);
    // The first point past the azimuth, and the one before it round the circle.
    const auto after =
        std::upper_bound(points_.begin(), points_.end(), az,
                         [](double value, const SkylinePoint &p) { return value < p.azimuth; });
    const SkylinePoint &next = after == points_.end() ? points_.first() : *after;
    const SkylinePoint &previous = after == points_.begin() ? points_.last() : *(after - 1);
    const double span = NormalizeDegrees(next.azimuth - previous.azimuth);
    if (span == 0) {
        return previous.altitude;
    }
    const double along = NormalizeDegrees(az - previous.azimuth) / span;
    return previous.altitude + along * (next.altitude - previous.altitude);
}

namespace {

std::optional<double> Number(QStringView text) {
    bool ok = false;
    const double value = text.toString().replace(u',', u'.').toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// One pair: two numbers between blanks, or around a ';' (then a decimal comma
// is a comma), or around a single ',' with '.' decimals.
std::optional<SkylinePoint> ReadPair(QStringView line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList fields;
    const QString text = line.trimmed().toString();
    if (text.contains(u';')) {
        fields = text.split(u';');
    } else if (text.count(u',') == 1 && !text.contains(blanks)) {
        fields = text.split(u',');
    } else {
        fields = text.split(blanks);
    }
    if (fields.size() != 2) {
        return std::nullopt;
    }
    const auto azimuth = Number(fields[0].trimmed());
    const auto altitude = Number(fields[1].trimmed());
    if (!azimuth || !altitude || *altitude < LowestSkyline || *altitude > HighestSkyline) {
        return std::nullopt;
    }
    return SkylinePoint{NormalizeDegrees(*azimuth), *altitude};
}

} // namespace

HorizonReading ReadHorizonList(QStringView text) {
    static const QRegularExpression lineEnds(QStringLiteral("\r\n|\r|\n"));
    HorizonReading reading;
    QList<SkylinePoint> points;
    const QStringList lines = text.toString().split(lineEnds);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        // The comment goes first: a '|' in it separates no pairs, and a line
        // after it keeps its number.
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0) {
            line = line.left(hash);
        }
        bool bad = false;
        for (const QStringView pair : line.split(u'|')) {
            if (pair.trimmed().isEmpty()) {
                continue;
            }
            if (const std::optional<SkylinePoint> point = ReadPair(pair)) {
                points.append(*point);
            } else {
                bad = true;
            }
        }
        if (bad) {
            reading.badLines.append(int(i + 1));
        }
    }
    reading.profile = HorizonProfile(points);
    return reading;
}

QString HorizonListText(const HorizonProfile &profile) {
    QString text;
    for (const SkylinePoint &p : profile.points()) {
        text += QStringLiteral("%1 %2\n").arg(QString::number(p.azimuth, 'g', 10),
                                              QString::number(p.altitude, 'g', 10));
    }
    return text;
}

namespace {

double AboveSkyline(const Horizontal &moon, const HorizonProfile &skyline) {
    return moon.altitude - skyline.altitudeAt(moon.azimuth);
}

double MoonAboveSkyline(const LocalSky &sky, const HorizonProfile &skyline, double jdUt) {
    return AboveSkyline(ObserveSky(sky, jdUt).moon, skyline);
}

} // namespace

std::optional<SkylineMoon> MoonAgainstSkyline(const LocalSky &sky, const HorizonProfile &skyline,
                                              const CrescentSighting &sighting,
                                              Direction direction) {
    if (!sighting.bestTime || !sighting.sunEvent || !sighting.moonEvent) {
        return std::nullopt;
    }
    SkylineMoon result;
    result.aboveAtBestTime = MoonAboveSkyline(sky, skyline, *sighting.bestTime) > 0;
    // Walk from the Sun's event away from it, a minute a step, until the Moon
    // is lower than any skyline can be; the last step that finds it above the
    // skyline brackets the crossing. A minute is finer than a tree or a roof
    // on the skyline, so no gap between them is stepped over.
    const double step = static_cast<double>(direction) / 1440.0;
    const double limit = *sighting.moonEvent + static_cast<double>(direction) * 6.0 / 24.0;
    std::optional<double> lastAbove;
    bool aboveAtLastStep = false;
    for (double t = *sighting.sunEvent; (limit - t) * static_cast<double>(direction) > 0;
         t += step) {
        const Horizontal moon = ObserveSky(sky, t).moon;
        aboveAtLastStep = AboveSkyline(moon, skyline) > 0;
        if (aboveAtLastStep) {
            lastAbove = t;
        } else if (moon.altitude < LowestSkyline) {
            break;
        }
    }
    if (!lastAbove) {
        return result;
    }
    // Still above the skyline when the walk gives up (far north, over a
    // skyline below the flat horizon): there is no instant to tell, and the
    // walk's end is none.
    if (aboveAtLastStep) {
        return std::nullopt;
    }
    // Halve the minute down to a tenth of a second.
    double above = *lastAbove;
    double behind = above + step;
    while (std::abs(behind - above) > 0.1 / 86400.0) {
        const double middle = (above + behind) / 2;
        (MoonAboveSkyline(sky, skyline, middle) > 0 ? above : behind) = middle;
    }
    result.crossingJd = (above + behind) / 2;
    return result;
}

} // namespace lunex
