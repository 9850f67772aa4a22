#pragma once

// Places name labels so that no label covers another, a leader line or a feature's mark:
// one at a time, each as close to its feature as the labels already placed allow, or
// many at once, moving them about until the whole reads best.

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>
#include <vector>

namespace lunex::artwork {

struct LabelRequest {
    QPointF anchor;        // the feature
    QSizeF size;           // the label's box
    bool onAnchor = false; // an area (a mare) is best named across its middle
    // How far the area reaches from its middle: a name across it may slide part of the
    // way, a dot for a leader may lie anywhere within it.
    double spanPixels = 0;
    double maxDistance = 0; // the longest leader this name may have; 0: the placer's limit
};

struct Placement {
    QRectF rect;
    QPointF anchor;
    bool leader = false; // a line from the anchor to the box is needed to tell whose it is
    bool across = false; // lies over its area (a mare's middle): needs no mark
    QPointF leaderEnd;   // the point of the box nearest the anchor
};

// A name to be placed together with others, and what leaving it out would cost, in the
// units of a leader's length: a leader of n pixels costs (n / 10) squared.
struct ArrangeRequest {
    LabelRequest request;
    double importance = 1;
};

class LabelPlacer {
public:
    explicit LabelPlacer(const QRectF &bounds);

    // Areas no label may touch (a title, the lit part of the Moon).
    void reserve(const QRectF &rect) { reserved_.append(rect); }
    // A feature still to be named: no other label may cover its mark.
    void reserveMark(const QPointF &point);
    // A feature that may still be named: a label over its mark costs this much more, in
    // the units of ArrangeRequest::importance.
    void avoidMark(const QPointF &point, double cost);
    void setBlocked(std::function<bool(const QRectF &)> blocked) { blocked_ = std::move(blocked); }
    // The direction to try first (degrees, screen coordinates: 0 right, 90 down, 180 left)
    // and how far to either side of it a label may go; 180 allows every direction.
    void setDirection(double degrees, double spread);
    void setMaxDistance(double pixels) { maxDistance_ = pixels; }
    // Labels start this far from their feature; far enough gives every label a leader.
    void setMinDistance(double pixels) { minDistance_ = pixels; }
    // Leader lines that would cross what must stay visible (the sunlit Moon).
    void setLeaderBlocked(std::function<bool(const QLineF &)> blocked) {
        leaderBlocked_ = std::move(blocked);
    }

    // The nearest free place, or none if there is no room.
    std::optional<Placement> place(const LabelRequest &request);

    // Places many names at once: where one name's best place would crowd out several
    // others, they share the room. Names are left out only where the room is not there,
    // the least important first. The same requests always give the same places.
    QList<std::optional<Placement>> arrange(const QList<ArrangeRequest> &requests);

    const QList<Placement> &placed() const { return placed_; }

private:
    struct Option {
        Placement place;
        double cost;   // how much worse than right beside or across the middle
        QRectF extent; // all of it another label must keep clear of
    };
    // Many names placed together, and the search for the best whole (labels.cpp).
    class Arrangement;

    // The places a name may take, best first, up to limit, leaving out those that already
    // fail on what stays where it is (the picture's edge, reserved areas, labels placed).
    std::vector<Option> optionsFor(const LabelRequest &request, size_t limit) const;
    void addAcrossOptions(const LabelRequest &request, std::vector<Option> &options) const;
    // Boxes beside a dot at from, at most reach away, each costing extraCost more.
    void addBesideOptions(const QSizeF &size, const QPointF &from, double extraCost, double reach,
                          std::vector<Option> &options) const;
    // One such box, in the direction of degrees, if the direction and its distance allow it.
    void addBesideOption(const QRectF &rect, double degrees, const QPointF &from, double extraCost,
                         double reach, std::vector<Option> &options) const;
    // What each option costs for covering the marks of features still to be named.
    void addMarkCosts(const QPointF &anchor, std::vector<Option> &options) const;
    // Those options that fit, in order, up to limit.
    std::vector<Option> fittingFirst(const std::vector<Option> &options, size_t limit) const;
    bool fits(const QRectF &rect, const QPointF &anchor, bool leader, bool across,
              const QLineF &line) const;
    // Calls visit with the index of each grid cell a box touches, clamped to the picture,
    // as long as it returns true; tells whether it went through them all.
    template <typename F> bool forEachCell(const QRectF &rect, F &&visit) const;
    void indexPlacement(qsizetype index);
    template <typename F> void forEachPlacedNear(const QRectF &rect, F &&visit) const;

    QRectF bounds_;
    QList<QRectF> reserved_;
    std::function<bool(const QRectF &)> blocked_;
    double direction_ = 0;
    double spread_ = 180;
    double maxDistance_ = 300;
    double minDistance_ = 0;
    std::function<bool(const QLineF &)> leaderBlocked_;
    QList<Placement> placed_;
    std::vector<QRectF> placedExtents_;
    // Which placements and marks lie in which cell: a crowded map tries thousands of
    // boxes, and each need only be checked against its neighbours.
    int columns_ = 1;
    int rows_ = 1;
    std::vector<std::vector<int>> placedCells_;
    std::vector<std::vector<QPointF>> markCells_;
    struct SoftMark {
        QPointF point;
        double cost;
    };
    std::vector<std::vector<SoftMark>> softMarks_;
    mutable std::vector<unsigned> seen_;
    mutable unsigned stamp_ = 0;
};

// The point of a box nearest to a point outside it.
QPointF NearestPoint(const QRectF &rect, const QPointF &point);
// How far a point lies from a segment.
double DistanceToSegment(const QPointF &p, const QLineF &line);
// Whether a segment touches a box.
bool SegmentHitsRect(const QLineF &line, const QRectF &rect);
// Whether two placed labels get in each other's way: a box over the other box, over the
// other's leader or over the other's dot, or the leaders crossing or passing too close to
// the other's dot.
bool Clash(const Placement &a, const Placement &b);

} // namespace lunex::artwork
