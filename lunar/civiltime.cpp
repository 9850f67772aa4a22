#include "lunar/civiltime.h"

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

namespace lunex {
namespace {

QDateTime UtcAt(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

// A zone's recorded changes of offset, looked up by binary search. Qt answers
// each offset from the zone rules anew, at some microseconds a question, and
// a list of new moons asks thousands of them. Qt lists the changes up to
// 2037 only; later ones follow the zone's rule, and are Qt's to answer.
class ZoneOffsets {
public:
    explicit ZoneOffsets(const QTimeZone &zone)
        : zone_(zone), id_(zone.id()),
          from_(QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch()),
          initial_(zone.offsetFromUtc(UtcAt(from_))) {
        const QDateTime end(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
        for (const QTimeZone::OffsetData &t : zone.transitions(UtcAt(from_), end)) {
            changes_.emplace_back(t.atUtc.toSecsSinceEpoch(), t.offsetFromUtc);
        }
        // The offset after the last listed change holds only until the rule's
        // next one, which Qt does not list.
        to_ = changes_.empty() ? from_ : changes_.back().first;
    }
    const QByteArray &id() const { return id_; }

    int at(qint64 secs) const {
        if (secs < from_ || secs >= to_) {
            return zone_.offsetFromUtc(UtcAt(secs));
        }
        const auto next =
            std::upper_bound(changes_.begin(), changes_.end(), secs,
                             [](qint64 s, const std::pair<qint64, int> &c) { return s < c.first; });
        return next == changes_.begin() ? initial_ : std::prev(next)->second;
    }

private:
    QTimeZone zone_;
    QByteArray id_;
    qint64 from_;
    int initial_;
    qint64 to_;
    std::vector<std::pair<qint64, int>> changes_; // from this instant on, this offset
};

const ZoneOffsets &OffsetsOf(const QTimeZone &zone) {
    // A few zones at once: tests and tools switch between them.
    thread_local std::deque<ZoneOffsets> cache;
    const QByteArray id = zone.id();
    for (const ZoneOffsets &offsets : cache) {
        if (offsets.id() == id) {
            return offsets;
        }
    }
    if (cache.size() == 8) {
        cache.pop_back();
    }
    return cache.emplace_front(zone);
}

} // namespace

QTimeZone SystemZone() {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? zone : QTimeZone::utc();
}

std::optional<QDateTime> LocalDateTime(const QDate &date, const QTime &time,
                                       const QTimeZone &zone) {
    if (!date.isValid() || !time.isValid() || !zone.isValid()) {
        return std::nullopt;
    }
    const qint64 wall = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    if (!zone.hasTransitions()) {
        const int offset = zone.offsetFromUtc(UtcAt(wall));
        return QDateTime::fromSecsSinceEpoch(wall - offset, Qt::OffsetFromUTC, offset);
    }
    // Qt 6.4 resolves a repeated reading to its second occurrence and gives no
    // way to ask for the first, so the candidates are worked out here: the
    // offsets in force a day before the reading, at it and a day after it each
    // name one instant, and those instants at which the zone really has that
    // offset are the reading's occurrences.
    const ZoneOffsets &offsets = OffsetsOf(zone);
    std::optional<std::pair<qint64, int>> first;
    for (const int offset :
         {offsets.at(wall - 86400), offsets.at(wall), offsets.at(wall + 86400)}) {
        const qint64 candidate = wall - offset;
        if (offsets.at(candidate) == offset && (!first || candidate < first->first)) {
            first = {candidate, offset};
        }
    }
    if (!first) {
        return std::nullopt;
    }
    // The instant with the offset the clock had: its date and time are the
    // reading, without asking the zone again.
    return QDateTime::fromSecsSinceEpoch(first->first, Qt::OffsetFromUTC, first->second);
}

qint64 LocalMinuteStart(const QDateTime &instant) {
    const qint64 secs = instant.toSecsSinceEpoch();
    const qint64 local = secs + instant.offsetFromUtc();
    const qint64 second = ((local % 60) + 60) % 60;
    return secs - second;
}

} // namespace lunex
