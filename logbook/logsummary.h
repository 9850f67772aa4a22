#pragma once

#include "store/logfile.h"

#include <QList>

#include <array>
#include <optional>

// What an observer's log says of their eyes and sky: their records and how
// often each class of the criteria was in fact seen.
namespace lunex {

// The youngest and the oldest crescent (the age's size: before a new moon in
// the morning, after it in the evening) that the naked eye and optical aid
// showed. An entry found with optical aid and then seen by eye counts for both.
struct ObserverRecords {
    std::optional<LogEntry> youngestByEye, oldestByEye, youngestWithAid, oldestWithAid;
};
ObserverRecords FindRecords(const QList<LogRow> &rows);

struct SeenTally {
    int seen = 0;
    int notSeen = 0;
};
// Seen (in any way) and not seen, by the predicted class.
struct ClassSummary {
    std::array<SeenTally, 6> yallop{}; // by YallopClass
    std::array<SeenTally, 4> odeh{};   // by OdehZone
};
ClassSummary SummarizeByClass(const QList<LogRow> &rows);

} // namespace lunex
