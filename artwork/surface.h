#pragma once

// What the pictures are drawn from: the named features and the Moon's albedo.

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace lunex::artwork {

inline constexpr double kSynodicMonthDays = 29.53058868;
inline constexpr double kMoonRadiusKm = 1737.4;

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

// An equirectangular albedo map: longitude -180..180 left to right, latitude 90..-90
// top to bottom, values 0..1.
class AlbedoMap {
public:
    // Scales the texture's grey levels so that the bright highlands come out near white;
    // a dim scan would otherwise give a dim Moon.
    static std::optional<AlbedoMap> Load(const QString &path, QString *error);
    // A plain highland grey with the plains darkened at their catalogue positions and sizes,
    // for a machine without a texture.
    static AlbedoMap Synthetic(const QList<Feature> &features);
    // Every texel the same: lets the shading be checked apart from the surface.
    static AlbedoMap Uniform(float albedo);

    // Bilinear, wrapping in longitude.
    float Sample(double latRad, double lonRad) const;

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> texels_;
};

} // namespace lunex::artwork
