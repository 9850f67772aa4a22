#include "artwork/render.h"

#include "lunar/fundamentals.h"
#include "lunar/lunarage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lunex::artwork {

namespace {

// The terminator fades over one degree, half a degree on either side.
const double TerminatorHalfWidth = std::sin(0.5 * Degree);

// The darkest a lit point gets just inside the terminator, as a share of its albedo;
// keeps the low-Sun areas readable as the eye sees them rather than as a photometer does.
constexpr double LowSunFloor = 0.35;

constexpr double EarthshineAtNewMoon = 0.075;

} // namespace

double SubSolarLongitude(double ageDays) {
    return 180.0 - 360.0 * ageDays / SynodicMonthDays;
}

double EarthshineFactor(double ageDays) {
    return EarthshineAtNewMoon *
           (1.0 + std::cos(2 * std::numbers::pi * ageDays / SynodicMonthDays)) / 2.0;
}

float Shade(float albedo, double mu0, double mu, double earthshine) {
    double t = std::clamp((mu0 + TerminatorHalfWidth) / (2 * TerminatorHalfWidth), 0.0, 1.0);
    t = t * t * (3 - 2 * t);
    const double m0 = std::max(mu0, 0.0);
    // Lommel-Seeliger's 2*mu0/(mu0+mu) is exactly 1 wherever the Sun stands behind the
    // observer, which is what keeps the full Moon evenly bright to its limb.
    const double reflect = m0 + mu > 0 ? std::min(1.0, 2 * m0 / (m0 + mu)) : 0.0;
    const double lit = LowSunFloor + (1 - LowSunFloor) * reflect;
    return float(albedo * (t * lit + (1 - t) * earthshine));
}

DiscRenderer::DiscRenderer(const AlbedoMap &albedo, const DiscView &view) : view_(view) {
    const int s = std::max(1, view.supersample);
    const double r = view.radius;
    const int x0 = std::max(0, int(std::floor(view.centre.x() - r)));
    const int x1 = std::min(view.size.width() - 1, int(std::ceil(view.centre.x() + r)));
    const int y0 = std::max(0, int(std::floor(view.centre.y() - r)));
    const int y1 = std::min(view.size.height() - 1, int(std::ceil(view.centre.y() + r)));
    samples_.reserve(size_t(std::numbers::pi * r * r * s * s * 1.05) + 16);
    for (int y = y0; y <= y1; ++y) {
        for (int sy = 0; sy < s; ++sy) {
            const double v = (view.centre.y() - (y + (sy + 0.5) / s)) / r;
            for (int x = x0; x <= x1; ++x) {
                for (int sx = 0; sx < s; ++sx) {
                    const double u = ((x + (sx + 0.5) / s) - view.centre.x()) / r;
                    const double w2 = 1.0 - u * u - v * v;
                    if (w2 <= 0) {
                        continue;
                    }
                    const double w = std::sqrt(w2);
                    const double lat = std::asin(std::clamp(v, -1.0, 1.0));
                    const double lon = std::atan2(u, w);
                    samples_.push_back(
                        {y * view.size.width() + x, float(u), float(w), albedo.sample(lat, lon)});
                }
            }
        }
    }
}

QImage DiscRenderer::render(double ageDays) const {
    const double ls = SubSolarLongitude(ageDays) * Degree;
    const double sunU = std::sin(ls);
    const double sunW = std::cos(ls);
    const double earth = EarthshineFactor(ageDays);
    const int s = std::max(1, view_.supersample);

    std::vector<float> sum(size_t(view_.size.width()) * size_t(view_.size.height()), 0.0f);
    for (const Sample &p : samples_) {
        sum[size_t(p.pixel)] += Shade(p.albedo, p.u * sunU + p.w * sunW, p.w, earth);
    }
    QImage image(view_.size, QImage::Format_Grayscale8);
    const float scale = 255.0f / float(s * s);
    for (int y = 0; y < view_.size.height(); ++y) {
        uchar *row = image.scanLine(y);
        const float *in = sum.data() + size_t(y) * size_t(view_.size.width());
        for (int x = 0; x < view_.size.width(); ++x) {
            row[x] = uchar(std::clamp(int(std::lround(in[x] * scale)), 0, 255));
        }
    }
    return image;
}

std::optional<QPointF> DiscRenderer::project(double latDeg, double lonDeg) const {
    const double lat = latDeg * Degree;
    const double lon = lonDeg * Degree;
    if (std::cos(lat) * std::cos(lon) <= 0) {
        return std::nullopt;
    }
    const double u = std::cos(lat) * std::sin(lon);
    const double v = std::sin(lat);
    return QPointF(view_.centre.x() + u * view_.radius, view_.centre.y() - v * view_.radius);
}

} // namespace lunex::artwork
