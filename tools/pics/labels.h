#pragma once

// Places name labels one at a time, each as close to its feature as the labels already
// placed allow, so that no label covers another, a leader line or a feature's mark.

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

namespace lunex::pics {

struct LabelRequest {
    QPointF anchor;        // the feature
    QSizeF size;           // the label's box
    bool onAnchor = false; // an area (a mare) is best named across its middle
    double spanPixels = 0; // how far from the middle the name may slide and still lie over it
};

struct Placement {
    QRectF rect;
    QPointF anchor;
    bool leader = false; // a line from the anchor to the box is needed to tell whose it is
    bool across = false; // lies over its area (a mare's middle): needs no mark
    QPointF leaderEnd;   // the point of the box nearest the anchor
};

class LabelPlacer {
public:
    explicit LabelPlacer(const QRectF &bounds);

    // Areas no label may touch (a title, the lit part of the Moon).
    void Reserve(const QRectF &rect) { reserved_.append(rect); }
    // A feature still to be named: no other label may cover its mark.
    void ReserveMark(const QPointF &point) { marks_.append(point); }
    void SetBlocked(std::function<bool(const QRectF &)> blocked) { blocked_ = std::move(blocked); }
    // The direction to try first (degrees, screen coordinates: 0 right, 90 down, 180 left)
    // and how far to either side of it a label may go; 180 allows every direction.
    void SetDirection(double degrees, double spread);
    void SetMaxDistance(double pixels) { maxDistance_ = pixels; }
    // Labels start this far from their feature; far enough gives every label a leader.
    void SetMinDistance(double pixels) { minDistance_ = pixels; }
    // Leader lines that would cross what must stay visible (the sunlit Moon).
    void SetLeaderBlocked(std::function<bool(const QLineF &)> blocked) {
        leaderBlocked_ = std::move(blocked);
    }

    // The nearest free place, or none if there is no room.
    std::optional<Placement> Place(const LabelRequest &request);

    const QList<Placement> &Placed() const { return placed_; }

private:
    bool Fits(const QRectF &rect, const QPointF &anchor, bool leader, const QLineF &line) const;

    QRectF bounds_;
    QList<QRectF> reserved_;
    QList<QPointF> marks_;
    std::function<bool(const QRectF &)> blocked_;
    double direction_ = 0;
    double spread_ = 180;
    double maxDistance_ = 300;
    double minDistance_ = 0;
    std::function<bool(const QLineF &)> leaderBlocked_;
    QList<Placement> placed_;
};

// The point of a box nearest to a point outside it.
QPointF NearestPoint(const QRectF &rect, const QPointF &point);
// Whether a segment touches a box.
bool SegmentHitsRect(const QLineF &line, const QRectF &rect);

} // namespace lunex::pics
