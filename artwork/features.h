#pragma once

// The named features of the near side that the pictures label, from the gazetteer.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace lunex::artwork {

// The Moon's mean radius: turns a feature's diameter into an angle on the sphere.
inline constexpr double MoonRadiusKm = 1737.4;

struct Feature {
    QString name;
    QString type; // crater, mare, oceanus, sinus, lacus, palus, montes, ...
    double latDeg = 0;
    double lonDeg = 0; // east positive
    double diameterKm = 0;
};

// The gazetteer's CSV (name,type,lat_deg,lon_deg_east,diameter_km with a header line).
// A malformed line is an error rather than a silently missing label.
std::optional<QList<Feature>> ParseFeatures(const QByteArray &csv, QString *error);
std::optional<QList<Feature>> ReadFeatures(const QString &path, QString *error);

// The dark plains that the texture-less surface darkens and that the map must name.
bool IsPlain(const QString &type);

} // namespace lunex::artwork
