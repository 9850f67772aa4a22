#include "artwork/labels.h"

#include "lunar/fundamentals.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace lunex::artwork {

namespace {

// Free space kept around every label so that neighbours do not read as one.
constexpr double Gap = 1.5;
// A label closer than this to its feature needs no leader line.
constexpr double NoLeaderDistance = 7.0;
// A leader passing closer than this to another feature's dot would seem to point at it.
constexpr double LeaderClearance = 2.0;

const double Distances[] = {3,  10, 14,  18,  22,  26,  30,  35,  40,  46,  52,  58,  65,  72,
                            80, 90, 100, 112, 125, 140, 160, 184, 210, 238, 268, 300, 335, 375};
constexpr double AngleStep = 10;
// Beyond this, a place more or less makes little difference: fewer are tried.
constexpr double FarDistance = 100;
// Where along a box's side the feature may face it, besides the middle.
const double Slides[] = {0.5, 0.25, 0.75, 0.08, 0.92};

constexpr double Cell = 24;

// What a place costs, in the units of the arranging: a leader of n pixels costs
// (n / 10) squared; a name slid from its area's middle a quarter of that; a name of an
// area beside it rather than across it a little more.
constexpr double PixelsPerUnit = 10;
constexpr double SlideFactor = 0.25;
constexpr double AreaBesideCost = 4;
constexpr double DirectionCost = 0.5; // for the whole way round from the preferred side
// How far a label may lie from a dot off its area's middle.
constexpr double OffMiddleReach = 40;
// How much of an area's reach a name across it may use: farther off, a dot and a leader
// tell better whose name it is.
constexpr double AcrossShare = 0.375;

// The arranging: the options each name may take, and the search.
constexpr size_t MaxOptions = 3000;

// How deep names push each other aside, and how many places a name tries at each depth
// (index: steps still allowed below it).
constexpr int PushDepth = 3;
constexpr int TriesAtDepth[PushDepth + 1] = {300, 20, 40, 60};
constexpr int Passes = 2;
// Only names worth at least this push others aside.
constexpr double PushImportance = 1000;
// A place costing more than this (a leader of about 40 pixels) is worth another try.
constexpr double SettledCost = 16;
constexpr double Epsilon = 1e-6;
constexpr int Starts = 3;
constexpr unsigned Seed = 20240607;

// How far a direction lies from the preferred one, in degrees 0..180.
double Deviation(double degrees, double preferred) {
    const double d = std::fmod(std::abs(degrees - preferred), 360.0);
    return d > 180 ? 360 - d : d;
}

// A length in pixels in the units of the arranging.
double Units(double pixels) {
    const double u = pixels / PixelsPerUnit;
    return u * u;
}

QLineF LeaderOf(const Placement &p) {
    return QLineF(p.anchor, p.leaderEnd);
}

// Everything of a placement another one must keep clear of.
QRectF Extent(const Placement &p) {
    QRectF extent = p.rect.adjusted(-Gap, -Gap, Gap, Gap);
    if (!p.across) {
        extent = extent.united(QRectF(p.anchor - QPointF(LeaderClearance, LeaderClearance),
                                      QSizeF(2 * LeaderClearance, 2 * LeaderClearance)));
    }
    if (p.leader) {
        extent = extent.united(
            QRectF(p.anchor, p.leaderEnd)
                .normalized()
                .adjusted(-LeaderClearance, -LeaderClearance, LeaderClearance, LeaderClearance));
    }
    return extent;
}

// Whether two leaders cross; most pairs are far apart, which their boxes tell cheaply.
bool LeadersCross(const QLineF &a, const QLineF &b) {
    if (std::max(a.x1(), a.x2()) < std::min(b.x1(), b.x2()) ||
        std::max(b.x1(), b.x2()) < std::min(a.x1(), a.x2()) ||
        std::max(a.y1(), a.y2()) < std::min(b.y1(), b.y2()) ||
        std::max(b.y1(), b.y2()) < std::min(a.y1(), a.y2())) {
        return false;
    }
    return a.intersects(b, nullptr) == QLineF::BoundedIntersection;
}

// a's box and leader against all of b.
bool OneWayClash(const Placement &a, const Placement &b) {
    const QRectF padded = a.rect.adjusted(-Gap, -Gap, Gap, Gap);
    if (padded.intersects(b.rect) || (!b.across && padded.contains(b.anchor)) ||
        (b.leader && SegmentHitsRect(LeaderOf(b), padded))) {
        return true;
    }
    if (a.leader) {
        const QLineF line = LeaderOf(a);
        if (SegmentHitsRect(line, b.rect.adjusted(-1, -1, 1, 1)) ||
            (b.leader && LeadersCross(line, LeaderOf(b))) ||
            (!b.across && DistanceToSegment(b.anchor, line) < LeaderClearance)) {
            return true;
        }
    }
    return false;
}

} // namespace

double DistanceToSegment(const QPointF &p, const QLineF &line) {
    const QPointF d = line.p2() - line.p1();
    const double length2 = QPointF::dotProduct(d, d);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - line.p1(), d) / length2, 0.0, 1.0) : 0.0;
    return QLineF(p, line.p1() + d * t).length();
}

QPointF NearestPoint(const QRectF &rect, const QPointF &point) {
    return {std::clamp(point.x(), rect.left(), rect.right()),
            std::clamp(point.y(), rect.top(), rect.bottom())};
}

bool SegmentHitsRect(const QLineF &line, const QRectF &rect) {
    if (std::max(line.x1(), line.x2()) < rect.left() ||
        std::min(line.x1(), line.x2()) > rect.right() ||
        std::max(line.y1(), line.y2()) < rect.top() ||
        std::min(line.y1(), line.y2()) > rect.bottom()) {
        return false;
    }
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

bool Clash(const Placement &a, const Placement &b) {
    return OneWayClash(a, b) || OneWayClash(b, a);
}

LabelPlacer::LabelPlacer(const QRectF &bounds) : bounds_(bounds) {
    columns_ = std::max(1, int(std::ceil(std::max(bounds.right(), 1.0) / Cell)) + 1);
    rows_ = std::max(1, int(std::ceil(std::max(bounds.bottom(), 1.0) / Cell)) + 1);
    placedCells_.resize(size_t(columns_) * size_t(rows_));
    markCells_.resize(placedCells_.size());
    softMarks_.resize(placedCells_.size());
}

void LabelPlacer::setDirection(double degrees, double spread) {
    direction_ = degrees;
    spread_ = std::clamp(spread, 0.0, 180.0);
}

template <typename F> bool LabelPlacer::forEachCell(const QRectF &rect, F &&visit) const {
    const int x0 = std::clamp(int(std::floor(rect.left() / Cell)), 0, columns_ - 1);
    const int y0 = std::clamp(int(std::floor(rect.top() / Cell)), 0, rows_ - 1);
    const int x1 = std::clamp(int(std::floor(rect.right() / Cell)), 0, columns_ - 1);
    const int y1 = std::clamp(int(std::floor(rect.bottom() / Cell)), 0, rows_ - 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (!visit(size_t(y) * size_t(columns_) + size_t(x))) {
                return false;
            }
        }
    }
    return true;
}

void LabelPlacer::reserveMark(const QPointF &point) {
    forEachCell(QRectF(point, QSizeF(0, 0)), [&](size_t cell) {
        markCells_[cell].push_back(point);
        return true;
    });
}

void LabelPlacer::avoidMark(const QPointF &point, double cost) {
    forEachCell(QRectF(point, QSizeF(0, 0)), [&](size_t cell) {
        softMarks_[cell].push_back({point, cost});
        return true;
    });
}

void LabelPlacer::indexPlacement(qsizetype index) {
    placedExtents_.resize(size_t(placed_.size()));
    placedExtents_[size_t(index)] = Extent(placed_[index]);
    forEachCell(placedExtents_[size_t(index)], [&](size_t cell) {
        placedCells_[cell].push_back(int(index));
        return true;
    });
}

template <typename F> void LabelPlacer::forEachPlacedNear(const QRectF &rect, F &&visit) const {
    if (seen_.size() < size_t(placed_.size())) {
        seen_.resize(size_t(placed_.size()), 0);
    }
    if (++stamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        stamp_ = 1;
    }
    forEachCell(rect, [&](size_t cell) {
        for (int i : placedCells_[cell]) {
            if (seen_[size_t(i)] != stamp_) {
                seen_[size_t(i)] = stamp_;
                if (!visit(qsizetype(i))) {
                    return false;
                }
            }
        }
        return true;
    });
}

bool LabelPlacer::fits(const QRectF &rect, const QPointF &anchor, bool leader, bool across,
                       const QLineF &line) const {
    if (!bounds_.contains(rect)) {
        return false;
    }
    const QRectF padded = rect.adjusted(-Gap, -Gap, Gap, Gap);
    for (const QRectF &r : reserved_) {
        if (r.intersects(padded)) {
            return false;
        }
    }
    const Placement self{rect, anchor, leader, across, line.p2()};
    const QRectF extent = Extent(self);
    const bool marksClear = forEachCell(extent, [&](size_t cell) {
        for (const QPointF &mark : markCells_[cell]) {
            if (mark != anchor && (padded.contains(mark) ||
                                   (leader && DistanceToSegment(mark, line) < LeaderClearance))) {
                return false;
            }
        }
        return true;
    });
    if (!marksClear) {
        return false;
    }
    bool clear = true;
    forEachPlacedNear(extent, [&](qsizetype i) {
        clear = !placedExtents_[size_t(i)].intersects(extent) || !Clash(self, placed_[i]);
        return clear;
    });
    if (!clear || (leader && leaderBlocked_ && leaderBlocked_(line))) {
        return false;
    }
    return !blocked_ || !blocked_(rect);
}

std::vector<LabelPlacer::Option> LabelPlacer::optionsFor(const LabelRequest &request,
                                                         size_t limit) const {
    const QPointF a = request.anchor;
    std::vector<Option> options;
    if (request.onAnchor) {
        addAcrossOptions(request, options);
    }
    const double maxDistance = request.maxDistance > 0 ? request.maxDistance : maxDistance_;
    const double besideCost = request.onAnchor ? AreaBesideCost : 0;
    addBesideOptions(request.size, a, besideCost, maxDistance, options);
    // An area's dot may lie anywhere on it: where its middle is hidden or hemmed in, a dot
    // off the middle still shows whose name it is.
    if (request.onAnchor && request.spanPixels > 0) {
        for (double part : {0.5, 1.0}) {
            for (int k = 0; k < 8; ++k) {
                const double rad = k * std::numbers::pi / 4;
                const double shift = part * request.spanPixels;
                addBesideOptions(request.size, a + QPointF(std::cos(rad), std::sin(rad)) * shift,
                                 besideCost + SlideFactor * Units(shift),
                                 std::min(maxDistance, OffMiddleReach), options);
            }
        }
    }
    addMarkCosts(a, options);
    std::stable_sort(options.begin(), options.end(),
                     [](const Option &x, const Option &y) { return x.cost < y.cost; });
    return fittingFirst(options, limit);
}

// Across the middle, else slid along the area as far as it reaches.
void LabelPlacer::addAcrossOptions(const LabelRequest &request,
                                   std::vector<Option> &options) const {
    const double w = request.size.width();
    const double h = request.size.height();
    const QPointF a = request.anchor;
    const double span = std::max(0.0, request.spanPixels) * AcrossShare;
    const double stepX = std::clamp(w / 8, 3.0, 8.0);
    const double stepY = std::max(h / 2, 3.0);
    for (double dy = -std::floor(span / stepY) * stepY; dy <= span + 1e-9; dy += stepY) {
        for (double dx = -std::floor(span / stepX) * stepX; dx <= span + 1e-9; dx += stepX) {
            const double shift = std::hypot(dx, dy);
            if (shift > span + 1e-9) {
                continue;
            }
            const QRectF rect(a.x() + dx - w / 2, a.y() + dy - h / 2, w, h);
            options.push_back({{rect, a, false, true, a}, SlideFactor * Units(shift), {}});
        }
    }
}

void LabelPlacer::addBesideOptions(const QSizeF &size, const QPointF &from, double extraCost,
                                   double reach, std::vector<Option> &options) const {
    const double w = size.width();
    const double h = size.height();
    for (double d : Distances) {
        if (d > reach) {
            break;
        }
        // Rays fanning out from the feature, the box's near side facing it.
        const double step = d > FarDistance ? 2 * AngleStep : AngleStep;
        for (double deg = 0; deg < 360 - 1e-9; deg += step) {
            const double rad = deg * Degree;
            const QPointF centre(from.x() + std::cos(rad) * (d + w / 2),
                                 from.y() + std::sin(rad) * (d + h / 2));
            addBesideOption(QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h), deg, from,
                            extraCost, reach, options);
        }
        // Boxes straight beside, above or below, slid along their side: as short a
        // leader, many more places.
        for (double f : Slides) {
            addBesideOption(QRectF(from.x() + d, from.y() - h * f, w, h), 0, from, extraCost, reach,
                            options);
            addBesideOption(QRectF(from.x() - d - w, from.y() - h * f, w, h), 180, from, extraCost,
                            reach, options);
            addBesideOption(QRectF(from.x() - w * f, from.y() + d, w, h), 90, from, extraCost,
                            reach, options);
            addBesideOption(QRectF(from.x() - w * f, from.y() - d - h, w, h), 270, from, extraCost,
                            reach, options);
        }
    }
}

void LabelPlacer::addBesideOption(const QRectF &rect, double degrees, const QPointF &from,
                                  double extraCost, double reach,
                                  std::vector<Option> &options) const {
    const double deviation = Deviation(degrees, direction_);
    if (deviation > spread_ + 1e-9) {
        return;
    }
    const QPointF end = NearestPoint(rect, from);
    const double length = QLineF(from, end).length();
    // A box over its own dot would hide what it names.
    if (length < std::max(minDistance_ - 0.01, 2.0) || length > reach + 1e-9) {
        return;
    }
    const bool leader = length > NoLeaderDistance;
    options.push_back({{rect, from, leader, false, end},
                       extraCost + Units(leader ? length : 0) + DirectionCost * deviation / 180,
                       {}});
}

// Over the dot of a feature still to be named, it costs what was asked.
void LabelPlacer::addMarkCosts(const QPointF &anchor, std::vector<Option> &options) const {
    for (Option &o : options) {
        o.extent = Extent(o.place);
        const QRectF padded = o.place.rect.adjusted(-Gap, -Gap, Gap, Gap);
        const QLineF line = LeaderOf(o.place);
        forEachCell(o.extent, [&](size_t cell) {
            for (const SoftMark &m : softMarks_[cell]) {
                if (m.point != anchor && m.point != o.place.anchor &&
                    (padded.contains(m.point) ||
                     (o.place.leader && DistanceToSegment(m.point, line) < LeaderClearance))) {
                    o.cost += m.cost;
                }
            }
            return true;
        });
    }
}

// Only now, best first, what is in the way: the edge, reserved areas, labels already
// placed, and what the caller rules out. That is the slow part, and one place is often all
// that is asked for.
std::vector<LabelPlacer::Option> LabelPlacer::fittingFirst(const std::vector<Option> &options,
                                                           size_t limit) const {
    std::vector<Option> fitting;
    for (const Option &o : options) {
        const Placement &p = o.place;
        if (fits(p.rect, p.anchor, p.leader, p.across, QLineF(p.anchor, p.leaderEnd))) {
            fitting.push_back(o);
            if (fitting.size() >= limit) {
                break;
            }
        }
    }
    return fitting;
}

std::optional<Placement> LabelPlacer::place(const LabelRequest &request) {
    const std::vector<Option> options = optionsFor(request, 1);
    if (options.empty()) {
        return std::nullopt;
    }
    placed_.append(options.front().place);
    indexPlacement(placed_.size() - 1);
    return options.front().place;
}

// What each name has now (-1: left out), and in which cells it lies, so that a name's
// clashes are found among its neighbours only; and the search that improves the whole.
class LabelPlacer::Arrangement {
public:
    Arrangement(const LabelPlacer &placer, const QList<ArrangeRequest> &requests);

    // The option each name takes in the best arrangement found (-1: left out).
    std::vector<int> best();
    const Placement &placeOf(qsizetype i, int option) const {
        return options_[size_t(i)][size_t(option)].place;
    }

private:
    struct Change {
        qsizetype name;
        int option;
    };

    int optionCount(qsizetype i) const { return int(options_[size_t(i)].size()); }
    double cost(qsizetype i, int option) const {
        return option < 0 ? requests_[i].importance : options_[size_t(i)][size_t(option)].cost;
    }
    template <typename F> void forCells(qsizetype i, int option, F &&visit);
    void take(qsizetype i, int option);
    // The names that an option of name i would clash with.
    template <typename F> void clashes(qsizetype i, int option, F &&visit);
    int clashCount(qsizetype i, int option);

    // One greedy filling from an order of the names and its improvement; the total cost.
    double tryOrder(int start);
    std::vector<qsizetype> startingOrder(int start);
    void fillFree(const std::vector<qsizetype> &order);
    bool improvePass();
    bool resettle(qsizetype i);
    double settle(qsizetype i, int depth);
    double pushAside(qsizetype i, int option, int depth, std::vector<int> &inTheWay, double gain);
    void change(qsizetype i, int option);
    void undo(size_t mark);
    void forgetChanges();
    void takeBestFree();

    const LabelPlacer &placer_;
    const QList<ArrangeRequest> &requests_;
    const qsizetype n_;
    std::vector<std::vector<Option>> options_;
    std::vector<int> chosen_;
    std::vector<std::vector<int>> cells_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
    // The most important first; equals in the order given.
    std::vector<qsizetype> byImportance_;
    std::mt19937 random_{Seed};
    // The moves of the chain being tried, to be undone if it does not pay, and the names it
    // has placed, which the rest of the chain leaves alone.
    std::vector<Change> changes_;
    std::vector<char> locked_;
};

LabelPlacer::Arrangement::Arrangement(const LabelPlacer &placer,
                                      const QList<ArrangeRequest> &requests)
    : placer_(placer), requests_(requests), n_(requests.size()), options_(size_t(n_)),
      chosen_(size_t(n_), -1), cells_(size_t(placer.columns_) * size_t(placer.rows_)),
      seen_(size_t(n_), 0), byImportance_(size_t(n_)), locked_(size_t(n_), 0) {
    for (qsizetype i = 0; i < n_; ++i) {
        options_[size_t(i)] = placer.optionsFor(requests[i].request, MaxOptions);
        byImportance_[size_t(i)] = i;
    }
    std::stable_sort(byImportance_.begin(), byImportance_.end(), [&](qsizetype x, qsizetype y) {
        return requests_[x].importance > requests_[y].importance;
    });
}

template <typename F> void LabelPlacer::Arrangement::forCells(qsizetype i, int option, F &&visit) {
    placer_.forEachCell(options_[size_t(i)][size_t(option)].extent, [&](size_t cell) {
        visit(cells_[cell]);
        return true;
    });
}

void LabelPlacer::Arrangement::take(qsizetype i, int option) {
    if (chosen_[size_t(i)] >= 0) {
        forCells(i, chosen_[size_t(i)], [&](std::vector<int> &cell) {
            cell.erase(std::find(cell.begin(), cell.end(), int(i)));
        });
    }
    chosen_[size_t(i)] = option;
    if (option >= 0) {
        forCells(i, option, [&](std::vector<int> &cell) { cell.push_back(int(i)); });
    }
}

template <typename F> void LabelPlacer::Arrangement::clashes(qsizetype i, int option, F &&visit) {
    if (option < 0) {
        return;
    }
    const Placement &p = placeOf(i, option);
    const QRectF &extent = options_[size_t(i)][size_t(option)].extent;
    ++stamp_;
    forCells(i, option, [&](std::vector<int> &cell) {
        for (int j : cell) {
            if (j != i && seen_[size_t(j)] != stamp_) {
                seen_[size_t(j)] = stamp_;
                const Option &q = options_[size_t(j)][size_t(chosen_[size_t(j)])];
                if (q.extent.intersects(extent) && Clash(p, q.place)) {
                    visit(j);
                }
            }
        }
    });
}

int LabelPlacer::Arrangement::clashCount(qsizetype i, int option) {
    int count = 0;
    clashes(i, option, [&](int) { ++count; });
    return count;
}

// Greedy filling depends on the order; a few orders are tried, the given one first, and
// the best outcome kept.
std::vector<int> LabelPlacer::Arrangement::best() {
    std::vector<int> best;
    double bestTotal = 0;
    for (int start = 0; start < Starts; ++start) {
        const double total = tryOrder(start);
        if (start == 0 || total < bestTotal) {
            best = chosen_;
            bestTotal = total;
        }
    }
    return best;
}

double LabelPlacer::Arrangement::tryOrder(int start) {
    for (qsizetype i = 0; i < n_; ++i) {
        take(i, -1);
    }
    const std::vector<qsizetype> order = startingOrder(start);
    fillFree(order);
    // A name left out takes a place anyway if the names in its way can move elsewhere,
    // pushing others in turn, a few steps deep; kept only where the whole gets better.
    // This is how a crowd sorts itself out where placing one name after another gets stuck.
    forgetChanges();
    for (int pass = 0; pass < Passes; ++pass) {
        if (!improvePass()) {
            break;
        }
    }
    // Room that came free goes to whoever can use it, and every name takes the best
    // place left to it.
    fillFree(order);
    takeBestFree();
    double total = 0;
    for (qsizetype i = 0; i < n_; ++i) {
        total += cost(i, chosen_[size_t(i)]);
    }
    return total;
}

std::vector<qsizetype> LabelPlacer::Arrangement::startingOrder(int start) {
    std::vector<qsizetype> order;
    for (qsizetype i = 0; i < n_; ++i) {
        order.push_back(i);
    }
    if (start > 0) {
        // Neighbours in the given order swap places now and then: the order of importance
        // stays roughly as it was.
        for (qsizetype k = 0; k + 1 < n_; ++k) {
            if (random_() % 3 == 0) {
                std::swap(order[size_t(k)], order[size_t(k + 1)]);
            }
        }
    }
    return order;
}

// Each name in turn takes its best place that is still free.
void LabelPlacer::Arrangement::fillFree(const std::vector<qsizetype> &order) {
    for (qsizetype i : order) {
        if (chosen_[size_t(i)] >= 0) {
            continue;
        }
        for (int o = 0; o < optionCount(i); ++o) {
            if (cost(i, o) < requests_[i].importance && clashCount(i, o) == 0) {
                take(i, o);
                break;
            }
        }
    }
}

// Settles the names worth pushing others aside, the most important first: those left out,
// and those with a long leader. Tells whether anything got better.
bool LabelPlacer::Arrangement::improvePass() {
    bool better = false;
    for (qsizetype i : byImportance_) {
        if (requests_[i].importance < PushImportance) {
            break; // the rest only take what is free
        }
        const int current = chosen_[size_t(i)];
        if (current < 0) {
            better |= settle(i, PushDepth) > 0;
            forgetChanges();
        } else if (cost(i, current) > SettledCost) {
            better |= resettle(i);
            forgetChanges();
        }
    }
    return better;
}

// A long leader: takes the name out and settles it again, nearer if it can be.
bool LabelPlacer::Arrangement::resettle(qsizetype i) {
    const size_t mark = changes_.size();
    const double before = requests_[i].importance - cost(i, chosen_[size_t(i)]);
    change(i, -1);
    if (settle(i, PushDepth - 1) - before > Epsilon) {
        return true;
    }
    undo(mark);
    return false;
}

// Places the left-out name i; returns what that gains, or 0 with nothing changed.
double LabelPlacer::Arrangement::settle(qsizetype i, int depth) {
    const double out = requests_[i].importance;
    const int budget = TriesAtDepth[std::clamp(depth, 0, PushDepth)];
    int tried = 0;
    std::vector<int> inTheWay;
    for (int o = 0; o < optionCount(i); ++o) {
        if (cost(i, o) >= out) {
            break; // sorted: nothing further on is worth it
        }
        inTheWay.clear();
        double rest = 0;   // what the names in the way have now
        bool held = false; // by a name this chain of moves has just placed
        clashes(i, o, [&](int j) {
            inTheWay.push_back(j);
            rest += requests_[j].importance - cost(j, chosen_[size_t(j)]);
            held = held || locked_[size_t(j)];
        });
        if (depth == 0 && ++tried > budget) {
            break;
        }
        if (held || (depth == 0 && !inTheWay.empty())) {
            continue;
        }
        // At best the names in the way find places as good as they have.
        if (out - cost(i, o) <= 0) {
            continue;
        }
        if (depth > 0 && ++tried > budget) {
            break;
        }
        const double gain = pushAside(i, o, depth, inTheWay, out - cost(i, o) - rest);
        if (gain > Epsilon) {
            return gain;
        }
    }
    return 0;
}

// Name i takes the option, the names in its way settle again one level deeper, the most
// important first; all of it is undone unless the whole gains. Returns the gain.
double LabelPlacer::Arrangement::pushAside(qsizetype i, int option, int depth,
                                           std::vector<int> &inTheWay, double gain) {
    const size_t mark = changes_.size();
    for (int j : inTheWay) {
        change(j, -1);
    }
    change(i, option);
    locked_[size_t(i)] = 1;
    std::sort(inTheWay.begin(), inTheWay.end(),
              [&](int x, int y) { return requests_[x].importance > requests_[y].importance; });
    for (int j : inTheWay) {
        gain += settle(j, depth - 1);
    }
    if (gain > Epsilon) {
        return gain;
    }
    undo(mark);
    locked_[size_t(i)] = 0;
    return 0;
}

void LabelPlacer::Arrangement::change(qsizetype i, int option) {
    changes_.push_back({i, chosen_[size_t(i)]});
    take(i, option);
}

void LabelPlacer::Arrangement::undo(size_t mark) {
    while (changes_.size() > mark) {
        const Change c = changes_.back();
        changes_.pop_back();
        take(c.name, c.option);
    }
}

void LabelPlacer::Arrangement::forgetChanges() {
    changes_.clear();
    std::fill(locked_.begin(), locked_.end(), 0);
}

// Every name moves to the best place left to it, if better than the one it has.
void LabelPlacer::Arrangement::takeBestFree() {
    for (qsizetype i = 0; i < n_; ++i) {
        for (int o = 0; o < optionCount(i); ++o) {
            if (cost(i, o) >= cost(i, chosen_[size_t(i)])) {
                break;
            }
            if (clashCount(i, o) == 0) {
                take(i, o);
                break;
            }
        }
    }
}

QList<std::optional<Placement>> LabelPlacer::arrange(const QList<ArrangeRequest> &requests) {
    Arrangement arrangement(*this, requests);
    const std::vector<int> chosen = arrangement.best();
    QList<std::optional<Placement>> result;
    for (qsizetype i = 0; i < requests.size(); ++i) {
        if (chosen[size_t(i)] >= 0) {
            placed_.append(arrangement.placeOf(i, chosen[size_t(i)]));
            indexPlacement(placed_.size() - 1);
            result.append(placed_.back());
        } else {
            result.append(std::nullopt);
        }
    }
    return result;
}

} // namespace lunex::artwork
