#include "logbook/logsummary.h"

#include <cstdlib>

namespace lunex {
namespace {

bool SeenWithAid(SightingResult result) {
    return result == SightingResult::AidThenNakedEye || result == SightingResult::OpticalAidOnly;
}

void Consider(std::optional<LogEntry> &youngest, std::optional<LogEntry> &oldest,
              const LogEntry &e) {
    const auto age = [](const LogEntry &entry) { return std::abs(entry.prediction.ageMinutes); };
    if (!youngest || age(e) < age(*youngest)) {
        youngest = e;
    }
    if (!oldest || age(e) > age(*oldest)) {
        oldest = e;
    }
}

} // namespace

ObserverRecords FindRecords(const QList<LogRow> &rows) {
    ObserverRecords records;
    for (const LogRow &row : rows) {
        if (!row.entry) {
            continue;
        }
        if (SeenByEye(row.entry->result)) {
            Consider(records.youngestByEye, records.oldestByEye, *row.entry);
        }
        if (SeenWithAid(row.entry->result)) {
            Consider(records.youngestWithAid, records.oldestWithAid, *row.entry);
        }
    }
    return records;
}

ClassSummary SummarizeByClass(const QList<LogRow> &rows) {
    ClassSummary summary;
    for (const LogRow &row : rows) {
        if (!row.entry) {
            continue;
        }
        const bool seen = SeenAtAll(row.entry->result);
        const auto count = [seen](SeenTally &tally) { ++(seen ? tally.seen : tally.notSeen); };
        count(summary.yallop[int(row.entry->prediction.yallop)]);
        count(summary.odeh[int(row.entry->prediction.odeh)]);
    }
    return summary;
}

} // namespace lunex
