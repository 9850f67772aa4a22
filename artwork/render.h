#pragma once

// The Moon's near side in orthographic projection: north up, east (Mare Crisium) to the
// right, no libration, lit by a Sun on the equator.

#include "artwork/albedo.h"

#include <QImage>
#include <QPointF>
#include <QSize>

#include <optional>
#include <vector>

namespace lunex::artwork {

struct DiscView {
    QSize size;          // the picture
    QPointF centre;      // the disc's centre in pixel coordinates (pixel centres at +0.5)
    double radius = 0;   // in pixels
    int supersample = 1; // samples per pixel along each axis, for a smooth limb and terminator
};

// Selenographic longitude (degrees) under the Sun at an age within the lunation:
// new moon on the far side, first quarter over +90, full over 0.
double SubSolarLongitude(double ageDays);

// How bright the earthlit night side is, as a fraction of the albedo: strongest for the
// thinnest crescents, when the Earth seen from the Moon is nearly full.
double EarthshineFactor(double ageDays);

// Brightness (0..1) of a point: albedo times a Lommel-Seeliger-like reflectance that keeps
// the full Moon's limb as bright as its centre, the terminator softened over about a
// degree, and earthshine on the night side. mu0 is the cosine of the Sun's zenith angle,
// mu that of the observer's.
float Shade(float albedo, double mu0, double mu, double earthshine);

// Everything about a view that does not depend on the Sun, worked out once: the samples
// inside the disc with their position on the sphere and their albedo.
class DiscRenderer {
public:
    DiscRenderer(const AlbedoMap &albedo, const DiscView &view);

    // The Moon at an age within the lunation, grey on a black sky.
    QImage render(double ageDays) const;

    // Where a surface point appears, if it is on the visible hemisphere.
    std::optional<QPointF> project(double latDeg, double lonDeg) const;

    const DiscView &view() const { return view_; }

private:
    struct Sample {
        int pixel; // index into the picture
        float u;   // east, in disc radii
        float w;   // towards the observer: the cosine of the viewing angle
        float albedo;
    };
    DiscView view_;
    std::vector<Sample> samples_;
};

} // namespace lunex::artwork
