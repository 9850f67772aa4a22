#pragma once

// The Moon's albedo, from a texture or made from the features' catalogue.

#include "artwork/features.h"

#include <QString>

#include <optional>
#include <vector>

namespace lunex::artwork {

// An equirectangular albedo map: longitude -180..180 left to right, latitude 90..-90
// top to bottom, values 0..1.
class AlbedoMap {
public:
    // Scales the texture's grey levels so that the bright highlands come out near white;
    // a dim scan would otherwise give a dim Moon.
    static std::optional<AlbedoMap> load(const QString &path, QString *error);
    // A plain highland grey with the plains darkened at their catalogue positions and sizes,
    // for a machine without a texture.
    static AlbedoMap synthetic(const QList<Feature> &features);
    // Every texel the same: lets the shading be checked apart from the surface.
    static AlbedoMap uniform(float albedo);

    // Bilinear, wrapping in longitude.
    float sample(double latRad, double lonRad) const;

    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> texels_;
};

} // namespace lunex::artwork
