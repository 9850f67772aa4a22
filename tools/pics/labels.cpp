#include "labels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lunex::pics {

namespace {

// Free space kept around every label so that neighbours do not read as one.
constexpr double kGap = 2.0;
// A label closer than this to its feature needs no leader line.
constexpr double kNoLeaderDistance = 7.0;

const double kDistances[] = {3,   10,  16,  22,  30,  38,  48,  58,  70,  84, 100,
                             118, 138, 160, 184, 210, 238, 268, 300, 335, 375};
constexpr double kAngleStep = 10;

} // namespace

QPointF NearestPoint(const QRectF &rect, const QPointF &point) {
    return {std::clamp(point.x(), rect.left(), rect.right()),
            std::clamp(point.y(), rect.top(), rect.bottom())};
}

bool SegmentHitsRect(const QLineF &line, const QRectF &rect) {
    if (rect.contains(line.p1()) || rect.contains(line.p2())) {
        return true;
    }
    const QPointF corners[4] = {rect.topLeft(), rect.topRight(), rect.bottomRight(),
                                rect.bottomLeft()};
    for (int i = 0; i < 4; ++i) {
        if (line.intersects(QLineF(corners[i], corners[(i + 1) % 4]), nullptr) ==
            QLineF::BoundedIntersection) {
            return true;
        }
    }
    return false;
}

LabelPlacer::LabelPlacer(const QRectF &bounds) : bounds_(bounds) {}

void LabelPlacer::SetDirection(double degrees, double spread) {
    direction_ = degrees;
    spread_ = std::clamp(spread, 0.0, 180.0);
}

bool LabelPlacer::Fits(const QRectF &rect, const QPointF &anchor, bool leader,
                       const QLineF &line) const {
    if (!bounds_.contains(rect)) {
        return false;
    }
    const QRectF padded = rect.adjusted(-kGap, -kGap, kGap, kGap);
    for (const QRectF &r : reserved_) {
        if (r.intersects(padded)) {
            return false;
        }
    }
    for (const QPointF &mark : marks_) {
        if (mark != anchor && padded.contains(mark)) {
            return false;
        }
    }
    for (const Placement &p : placed_) {
        if (p.rect.intersects(padded) || padded.contains(p.anchor)) {
            return false;
        }
        if (p.leader && SegmentHitsRect(QLineF(p.anchor, p.leaderEnd), padded)) {
            return false;
        }
        if (leader) {
            if (SegmentHitsRect(line, p.rect.adjusted(-1, -1, 1, 1))) {
                return false;
            }
            if (p.leader && line.intersects(QLineF(p.anchor, p.leaderEnd), nullptr) ==
                                QLineF::BoundedIntersection) {
                return false;
            }
        }
    }
    if (leader && leaderBlocked_ && leaderBlocked_(line)) {
        return false;
    }
    return !blocked_ || !blocked_(rect);
}

std::optional<Placement> LabelPlacer::Place(const LabelRequest &request) {
    const double w = request.size.width();
    const double h = request.size.height();
    const QPointF a = request.anchor;

    auto accept = [&](const QRectF &rect, bool leader,
                      bool across = false) -> std::optional<Placement> {
        const QPointF end = NearestPoint(rect, a);
        if (!Fits(rect, a, leader, QLineF(a, end))) {
            return std::nullopt;
        }
        Placement p{rect, a, leader, across, end};
        placed_.append(p);
        return p;
    };

    if (request.onAnchor) {
        // Across the middle, else slid along the area as far as it reaches.
        const double span = std::max(0.0, request.spanPixels);
        for (double dy = 0; dy <= span + 1e-9; dy += h) {
            for (double dx = 0; dx <= span + 1e-9; dx += w / 4) {
                for (const QPointF &shift :
                     {QPointF(dx, dy), QPointF(-dx, dy), QPointF(dx, -dy), QPointF(-dx, -dy)}) {
                    const QPointF c = a + shift;
                    if (auto p = accept(QRectF(c.x() - w / 2, c.y() - h / 2, w, h), false, true)) {
                        return p;
                    }
                }
            }
        }
    }

    // Angles fan out from the preferred direction.
    QList<double> angles{direction_};
    for (double step = kAngleStep; step <= spread_ + 1e-9; step += kAngleStep) {
        angles.append(direction_ + step);
        if (step < 180) {
            angles.append(direction_ - step);
        }
    }
    for (double d : kDistances) {
        if (d < minDistance_) {
            continue;
        }
        if (d > maxDistance_) {
            break;
        }
        const bool leader = d > kNoLeaderDistance;
        for (double deg : angles) {
            const double rad = deg * std::numbers::pi / 180.0;
            const double cx = std::cos(rad);
            const double sy = std::sin(rad);
            // The box's near side faces the anchor at distance d.
            const QPointF centre(a.x() + cx * (d + w / 2), a.y() + sy * (d + h / 2));
            if (auto p = accept(QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h), leader)) {
                return p;
            }
        }
    }
    return std::nullopt;
}

} // namespace lunex::pics
