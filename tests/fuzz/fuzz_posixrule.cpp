// The POSIX rules TZ may hold, read in full before any library sees them: a
// rule accepted is within POSIX's ranges, its changes run in time order,
// alternating, and Qt's own reading of it ends (a rule out of range once made
// Qt loop for ever).

#include "clock/posixrule.h"
#include "fuzzsupport.h"

#include <QTimeZone>

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView text = Bytes(data, size);
    const std::optional<PosixRule> rule = ReadPosixRule(text);
    if (!rule) {
        return 0;
    }
    constexpr int day = 24 * 3600;
    Check(std::abs(rule->standardWest) <= day && std::abs(rule->summerWest) <= day,
          "offsets within a day");
    if (rule->hasChanges) {
        const RuleChanges changes = ChangesOfRule(*rule, 1970, 2100);
        bool summer = changes.summerBefore;
        qint64 last = std::numeric_limits<qint64>::min();
        for (const RuleChange &change : changes.changes) {
            Check(change.at >= last, "changes in time order");
            Check(change.summer != summer, "changes alternate");
            last = change.at;
            summer = change.summer;
        }
    }
    // Qt's reading of what the reader accepts: it must end.
    const QTimeZone zone(text.toByteArray());
    if (zone.isValid()) {
        for (const int year : {1970, 2026, 2400}) {
            zone.offsetFromUtc(QDateTime(QDate(year, 7, 1), QTime(12, 0), Qt::UTC));
        }
    }
    return 0;
}
