#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace lunex {

// A zone rule of the POSIX form that TZ may hold: "std offset [dst [offset]
// [,start[/time],end[/time]]]", e.g. "CET-1CEST,M3.5.0,M10.5.0/3". Read in
// full before any library sees it: a library that meets a rule outside the
// ranges may loop for ever or quietly read another rule.
struct PosixRule {
    // A day of change: "Jn" (1-365, 29 February never counted), "n" (0-365,
    // counted) or "Mm.w.d" (weekday d of week w of month m, week 5 the last),
    // and the time of day of the change, on the clock in force before it.
    struct Change {
        enum class Kind { JulianNoLeap, DayOfYear, MonthWeekDay };
        Kind kind = Kind::MonthWeekDay;
        int day = 0; // Jn and n
        int month = 0;
        int week = 0;
        int weekday = 0; // 0 Sunday
        int seconds = 2 * 3600;
    };

    QByteArray standardName;
    int standardWest = 0;  // seconds west of Greenwich, as POSIX counts them
    QByteArray summerName; // empty: no summer time
    int summerWest = 0;
    bool hasChanges = false; // both days of change given
    Change start;            // summer time begins
    Change end;              // summer time ends
};

// The rule in `text`, or nothing when any part of it is out of POSIX's ranges
// (names of three or more characters; offsets up to 24 hours; month 1-12,
// week 1-5, weekday 0-6; Jn 1-365, n 0-365; minutes and seconds up to 59) or
// anything follows it. The time of a change may run from -167 to 167 hours,
// as the C library reads it.
std::optional<PosixRule> ReadPosixRule(QByteArrayView text);

// A change of the rule's clock: from `at` (seconds since the epoch) on,
// summer time or standard time.
struct RuleChange {
    qint64 at;
    bool summer;
};

// The changes of a rule with both days of change, in the years `fromYear`
// (1970 or later) to `toYear`, as the C library reckons them: in each year
// (of UTC) summer time begins and ends on the days the rule gives, at the
// rule's times on the clock in force before each change; where it ends
// before it begins in that year, it runs from the year's start to its end
// and from its beginning to the year's end. `summerBefore` tells what holds
// before the first change.
struct RuleChanges {
    bool summerBefore = false;
    QList<RuleChange> changes;
};
RuleChanges ChangesOfRule(const PosixRule &rule, int fromYear, int toYear);

} // namespace lunex
