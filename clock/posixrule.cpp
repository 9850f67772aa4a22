#include "clock/posixrule.h"

#include <algorithm>
#include <cctype>

namespace lunex {
namespace {

// Reads the rule from left to right; every reader leaves `at` after what it
// took, and nothing is taken unless it is within its range.
class RuleReader {
public:
    explicit RuleReader(QByteArrayView text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    bool take(char c) {
        if (!atEnd() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool at(char c) const { return !atEnd() && text_[at_] == c; }

    // Three or more letters, or three or more letters, digits, '+' and '-'
    // between '<' and '>'.
    std::optional<QByteArray> name() {
        const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
        const auto quoted = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-';
        };
        const qsizetype from = at_;
        if (take('<')) {
            while (!atEnd() && quoted(text_[at_])) {
                ++at_;
            }
            if (at_ - from - 1 < 3 || !take('>')) {
                return std::nullopt;
            }
            return text_.sliced(from + 1, at_ - from - 2).toByteArray();
        }
        while (!atEnd() && letter(text_[at_])) {
            ++at_;
        }
        if (at_ - from < 3) {
            return std::nullopt;
        }
        return text_.sliced(from, at_ - from).toByteArray();
    }

    // A number of at most `digits` digits, not above `most`.
    std::optional<int> number(int digits, int most) {
        const qsizetype from = at_;
        int value = 0;
        while (!atEnd() && at_ - from < digits &&
               std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            value = value * 10 + (text_[at_++] - '0');
        }
        if (at_ == from || value > most) {
            return std::nullopt;
        }
        return value;
    }

    // [+|-]hh[:mm[:ss]] in seconds, hours up to `mostHours`.
    std::optional<int> duration(int hourDigits, int mostHours) {
        int sign = 1;
        if (take('-')) {
            sign = -1;
        } else {
            take('+');
        }
        const std::optional<int> hours = number(hourDigits, mostHours);
        if (!hours) {
            return std::nullopt;
        }
        int seconds = *hours * 3600;
        for (const int unit : {60, 1}) {
            if (!take(':')) {
                break;
            }
            const std::optional<int> part = number(2, 59);
            if (!part) {
                return std::nullopt;
            }
            seconds += *part * unit;
        }
        return sign * seconds;
    }

    std::optional<PosixRule::Change> change() {
        using Kind = PosixRule::Change::Kind;
        PosixRule::Change c;
        if (take('J')) {
            const std::optional<int> day = number(3, 365);
            if (!day || *day < 1) {
                return std::nullopt;
            }
            c.kind = Kind::JulianNoLeap;
            c.day = *day;
        } else if (take('M')) {
            const std::optional<int> month = number(2, 12);
            const std::optional<int> week = month && take('.') ? number(1, 5) : std::nullopt;
            const std::optional<int> weekday = week && take('.') ? number(1, 6) : std::nullopt;
            if (!weekday || *month < 1 || *week < 1) {
                return std::nullopt;
            }
            c.kind = Kind::MonthWeekDay;
            c.month = *month;
            c.week = *week;
            c.weekday = *weekday;
        } else {
            const std::optional<int> day = number(3, 365);
            if (!day) {
                return std::nullopt;
            }
            c.kind = Kind::DayOfYear;
            c.day = *day;
        }
        if (take('/')) {
            const std::optional<int> seconds = duration(3, 167);
            if (!seconds) {
                return std::nullopt;
            }
            c.seconds = *seconds;
        }
        return c;
    }

private:
    QByteArrayView text_;
    qsizetype at_ = 0;
};

} // namespace

std::optional<PosixRule> ReadPosixRule(QByteArrayView text) {
    RuleReader reader(text);
    PosixRule rule;
    const std::optional<QByteArray> standardName = reader.name();
    const std::optional<int> standardWest = standardName ? reader.duration(2, 24) : std::nullopt;
    if (!standardWest) {
        return std::nullopt;
    }
    rule.standardName = *standardName;
    rule.standardWest = *standardWest;
    if (reader.atEnd()) {
        return rule;
    }
    const std::optional<QByteArray> summerName = reader.name();
    if (!summerName) {
        return std::nullopt;
    }
    rule.summerName = *summerName;
    // Without its own offset summer time is an hour ahead.
    rule.summerWest = rule.standardWest - 3600;
    if (!reader.atEnd() && !reader.at(',')) {
        const std::optional<int> summerWest = reader.duration(2, 24);
        if (!summerWest) {
            return std::nullopt;
        }
        rule.summerWest = *summerWest;
    }
    if (reader.atEnd()) {
        return rule;
    }
    if (!reader.take(',')) {
        return std::nullopt;
    }
    const std::optional<PosixRule::Change> start = reader.change();
    const std::optional<PosixRule::Change> end =
        start && reader.take(',') ? reader.change() : std::nullopt;
    if (!end || !reader.atEnd()) {
        return std::nullopt;
    }
    rule.hasChanges = true;
    rule.start = *start;
    rule.end = *end;
    return rule;
}

namespace {

constexpr qint64 Day = 86400;

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days from 1970-01-01 to 1 January of the year.
qint64 DaysToYear(int year) {
    const qint64 y = year - 1;
    return 365 * qint64(year - 1970) + (y / 4 - 1969 / 4) - (y / 100 - 1969 / 100) +
           (y / 400 - 1969 / 400);
}

// The day of the year (0 for 1 January) of a day of change.
int DayOfYear(const PosixRule::Change &c, int year) {
    using Kind = PosixRule::Change::Kind;
    switch (c.kind) {
    case Kind::JulianNoLeap:
        return c.day - 1 + (c.day >= 60 && IsLeap(year) ? 1 : 0);
    case Kind::DayOfYear:
        return c.day;
    case Kind::MonthWeekDay:
        break;
    }
    static constexpr int monthStart[2][13] = {
        {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
        {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
    const int *starts = monthStart[IsLeap(year) ? 1 : 0];
    const int first = starts[c.month - 1];
    const int length = starts[c.month] - first;
    // 1970-01-01 was a Thursday (4).
    const int firstWeekday = int((DaysToYear(year) + first + 4) % 7);
    int day = (c.weekday - firstWeekday + 7) % 7;
    for (int week = 1; week < c.week && day + 7 < length; ++week) {
        day += 7;
    }
    return first + day;
}

// The instant of a change in the year, on a clock `east` seconds ahead of UTC.
qint64 ChangeAt(const PosixRule::Change &c, int year, int east) {
    return (DaysToYear(year) + DayOfYear(c, year)) * Day + c.seconds - east;
}

} // namespace

RuleChanges ChangesOfRule(const PosixRule &rule, int fromYear, int toYear) {
    const int standardEast = -rule.standardWest;
    const int summerEast = -rule.summerWest;
    RuleChanges out;
    bool summer = false;
    for (int year = fromYear; year <= toYear; ++year) {
        const qint64 from = DaysToYear(year) * Day;
        const qint64 to = DaysToYear(year + 1) * Day;
        const qint64 start = ChangeAt(rule.start, year, standardEast);
        const qint64 end = ChangeAt(rule.end, year, summerEast);
        const auto summerAt = [&](qint64 t) {
            return start > end ? (t < end || t >= start) : (t >= start && t < end);
        };
        if (year == fromYear) {
            out.summerBefore = summer = summerAt(from);
        }
        qint64 points[] = {from, start, end};
        std::sort(std::begin(points), std::end(points));
        for (const qint64 t : points) {
            if (t >= from && t < to && summerAt(t) != summer) {
                summer = !summer;
                out.changes.append({t, summer});
            }
        }
    }
    return out;
}

} // namespace lunex
