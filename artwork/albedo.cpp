#include "artwork/albedo.h"

#include "artwork/inputfile.h"
#include "lunar/fundamentals.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lunex::artwork {

namespace {

// The grey of the highlands and of the plains on the texture-less surface, close to
// what the texture gives after scaling.
constexpr float HighlandAlbedo = 0.80f;
constexpr float PlainAlbedo = 0.42f;

constexpr double Contrast = 1.8;

} // namespace

std::optional<AlbedoMap> AlbedoMap::load(const QString &path, QString *error) {
    if (!IsReadableFile(path, error)) {
        return std::nullopt;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error) {
            *error = QStringLiteral("nem olvasható kép (%1)").arg(reader.errorString());
        }
        return std::nullopt;
    }
    if (image.width() < 4 || image.height() < 2) {
        if (error) {
            *error = QStringLiteral("túl kicsi kép");
        }
        return std::nullopt;
    }
    image = image.convertToFormat(QImage::Format_Grayscale8);

    AlbedoMap map;
    map.width_ = image.width();
    map.height_ = image.height();
    map.texels_.resize(size_t(map.width_) * size_t(map.height_));
    std::array<int, 256> histogram{};
    for (int y = 0; y < map.height_; ++y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < map.width_; ++x) {
            ++histogram[row[x]];
        }
    }
    // The brightest percent is rays and fresh crater walls; the highlands sit below it.
    const qint64 target = qint64(map.texels_.size()) * 99 / 100;
    qint64 seen = 0;
    int bright = 255;
    for (int level = 0; level < 256; ++level) {
        seen += histogram[size_t(level)];
        if (seen >= target) {
            bright = std::max(level, 1);
            break;
        }
    }
    // Scanned maps are flat: the plains come out barely darker than the highlands. A
    // power curve gives them back the contrast the eye sees on the full Moon.
    std::array<float, 256> curve{};
    for (int level = 0; level < 256; ++level) {
        const double n = std::min(1.0, double(level) / bright);
        curve[size_t(level)] = float(0.97 * std::pow(n, Contrast));
    }
    for (int y = 0; y < map.height_; ++y) {
        const uchar *row = image.constScanLine(y);
        float *out = map.texels_.data() + size_t(y) * size_t(map.width_);
        for (int x = 0; x < map.width_; ++x) {
            out[x] = curve[row[x]];
        }
    }
    return map;
}

AlbedoMap AlbedoMap::synthetic(const QList<Feature> &features) {
    struct Plain {
        double x, y, z;
        double cosInner; // fully dark inside
        double cosOuter; // untouched outside
    };
    std::vector<Plain> plains;
    for (const Feature &f : features) {
        if (!IsPlain(f.type)) {
            continue;
        }
        const double lat = f.latDeg * Degree;
        const double lon = f.lonDeg * Degree;
        const double radius = std::max(f.diameterKm, 20.0) / 2.0 / MoonRadiusKm;
        plains.push_back({std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                          std::sin(lat), std::cos(radius * 0.8), std::cos(radius * 1.1)});
    }

    AlbedoMap map;
    map.width_ = 720;
    map.height_ = 360;
    map.texels_.assign(size_t(map.width_) * size_t(map.height_), HighlandAlbedo);
    for (int row = 0; row < map.height_; ++row) {
        const double lat = (90.0 - (row + 0.5) * 180.0 / map.height_) * Degree;
        for (int col = 0; col < map.width_; ++col) {
            const double lon = (-180.0 + (col + 0.5) * 360.0 / map.width_) * Degree;
            const double x = std::cos(lat) * std::cos(lon);
            const double y = std::cos(lat) * std::sin(lon);
            const double z = std::sin(lat);
            double dark = 0;
            for (const Plain &p : plains) {
                const double c = x * p.x + y * p.y + z * p.z;
                if (c <= p.cosOuter) {
                    continue;
                }
                const double t =
                    c >= p.cosInner ? 1.0 : (c - p.cosOuter) / (p.cosInner - p.cosOuter);
                dark = std::max(dark, t);
            }
            map.texels_[size_t(row) * size_t(map.width_) + size_t(col)] =
                float(HighlandAlbedo - (HighlandAlbedo - PlainAlbedo) * dark);
        }
    }
    return map;
}

AlbedoMap AlbedoMap::uniform(float albedo) {
    AlbedoMap map;
    map.width_ = 4;
    map.height_ = 2;
    map.texels_.assign(8, albedo);
    return map;
}

float AlbedoMap::sample(double latRad, double lonRad) const {
    // Texel centres sit half a texel in from the edges.
    const double fx = (lonRad / (2 * std::numbers::pi) + 0.5) * width_ - 0.5;
    const double fy = (0.5 - latRad / std::numbers::pi) * height_ - 0.5;
    const double x0f = std::floor(fx);
    const double y0f = std::floor(fy);
    const float ax = float(fx - x0f);
    const float ay = float(fy - y0f);
    int x0 = int(x0f) % width_;
    if (x0 < 0) {
        x0 += width_;
    }
    const int x1 = (x0 + 1) % width_;
    const int y0 = std::clamp(int(y0f), 0, height_ - 1);
    const int y1 = std::clamp(int(y0f) + 1, 0, height_ - 1);
    const float *r0 = texels_.data() + size_t(y0) * size_t(width_);
    const float *r1 = texels_.data() + size_t(y1) * size_t(width_);
    const float top = r0[x0] + (r0[x1] - r0[x0]) * ax;
    const float bottom = r1[x0] + (r1[x1] - r1[x0]) * ax;
    return top + (bottom - top) * ay;
}

} // namespace lunex::artwork
