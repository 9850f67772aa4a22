// The reader of date-time texts as observers type them.

#include "texts/localeforms.h"

#include <QVarLengthArray>

namespace lunex::detail {
namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The word in lower case, as QString::toLower gives it. A list of new moons
// may hold millions of words that are no month's: a word of single letters
// is lowered into a buffer of its own, which the key only points to.
class LowerCase {
public:
    explicit LowerCase(QStringView word) {
        for (const QChar c : word) {
            // Letters whose lower case is two characters, or a pair.
            if (c.isSurrogate() || c == QChar(0x130)) {
                text_ = word.toString().toLower();
                return;
            }
            buffer_.append(c.unicode() < 0x80 && c.isUpper() ? QChar(c.unicode() + 0x20)
                                                             : c.toLower());
        }
        text_ = QString::fromRawData(buffer_.constData(), buffer_.size());
    }
    operator const QString &() const { return text_; }

private:
    QVarLengthArray<QChar, 32> buffer_;
    QString text_;
};

// A hand-written reader: Qt's QDateTime::fromString and QLocale::toDateTime
// take exactly one format each, while an observer types a date in any of the
// everyday forms of the locale, with or without a time.
class Reader {
public:
    Reader(QStringView text, const LocaleForms &words) : s_(text), w_(words) {}

    std::optional<QDateTime> read() {
        std::optional<QDate> date = readDate();
        if (!date) {
            return std::nullopt;
        }
        QTime time(0, 0, 0);
        if (!atEnd()) {
            if (peek() != u' ' && peek() != u'T') {
                return std::nullopt;
            }
            ++pos_;
            const auto t = readTime();
            if (!t) {
                return std::nullopt;
            }
            time = *t;
        }
        if (!atEnd()) {
            return std::nullopt;
        }
        return Reading(*date, time);
    }

private:
    QStringView s_;
    const LocaleForms &w_;
    qsizetype pos_ = 0;

    bool atEnd() const { return pos_ >= s_.size(); }
    QChar peek() const { return atEnd() ? QChar() : s_.at(pos_); }
    bool accept(QChar c) {
        if (peek() == c && !atEnd()) {
            ++pos_;
            return true;
        }
        return false;
    }
    void skipBlank() { accept(u' '); }

    // A run of 1..maxDigits ASCII digits; its length in `length`.
    std::optional<int> number(int maxDigits, int *length = nullptr) {
        int value = 0;
        int n = 0;
        while (!atEnd() && IsAsciiDigit(peek()) && n < maxDigits + 1) {
            value = value * 10 + (peek().unicode() - u'0');
            ++pos_;
            ++n;
        }
        if (n == 0 || n > maxDigits) {
            return std::nullopt;
        }
        if (length) {
            *length = n;
        }
        return value;
    }

    std::optional<int> exactly(int count) {
        int length = 0;
        const auto value = number(count, &length);
        if (!value || length != count) {
            return std::nullopt;
        }
        return value;
    }

    std::optional<int> monthName() {
        const qsizetype start = pos_;
        while (!atEnd() && peek().isLetter()) {
            ++pos_;
        }
        if (pos_ == start) {
            return std::nullopt;
        }
        // Lower case is never shorter: a longer word is no month's.
        if (pos_ - start > w_.longestMonth) {
            return std::nullopt;
        }
        const LowerCase lower(s_.mid(start, pos_ - start));
        const QString &word = lower;
        for (const auto &[name, month] : w_.months) {
            if (name == word) {
                accept(u'.');
                return month;
            }
        }
        return std::nullopt;
    }

    static std::optional<QDate> makeDate(int y, int m, int d) {
        if (y < MinYear || y > MaxYear || !QDate::isValid(y, m, d)) {
            return std::nullopt;
        }
        return QDate(y, m, d);
    }

    static int widenYear(int year, int digits) {
        // Two-digit years mean 1930-2029.
        if (digits == 2) {
            return year < 30 ? 2000 + year : 1900 + year;
        }
        return year;
    }

    std::optional<QDate> readDate() {
        const qsizetype start = pos_;
        if (IsAsciiDigit(peek())) {
            if (auto d = yearFirst()) {
                return d;
            }
            pos_ = start;
            if (auto d = numericLocaleOrder()) {
                return d;
            }
            pos_ = start;
            return dayThenMonthName();
        }
        return monthNameFirst();
    }

    // 2026-11-20, 2026.11.20, 2026/11/20, 2026. 11. 20., 2026. november 20.
    std::optional<QDate> yearFirst() {
        const auto y = exactly(4);
        if (!y) {
            return std::nullopt;
        }
        const QChar sep = peek();
        if (sep == u'-' || sep == u'.' || sep == u'/') {
            ++pos_;
            skipBlank();
            if (IsAsciiDigit(peek())) {
                const auto m = number(2);
                if (!m || !accept(sep)) {
                    return std::nullopt;
                }
                skipBlank();
                const auto d = number(2);
                if (!d) {
                    return std::nullopt;
                }
                if (sep == u'.') {
                    accept(u'.');
                }
                return makeDate(*y, *m, *d);
            }
        } else {
            skipBlank();
        }
        const auto m = monthName();
        if (!m) {
            return std::nullopt;
        }
        skipBlank();
        const auto d = number(2);
        if (!d) {
            return std::nullopt;
        }
        accept(u'.');
        return makeDate(*y, *m, *d);
    }

    // 20.11.2026 (de), 11/20/2026 (en_US), 20/11/26 (en_GB): the locale's order.
    std::optional<QDate> numericLocaleOrder() {
        if (w_.order == DateOrder::YearFirst) {
            return std::nullopt;
        }
        const auto a = number(2);
        const QChar sep = peek();
        if (!a || (sep != u'-' && sep != u'.' && sep != u'/')) {
            return std::nullopt;
        }
        ++pos_;
        skipBlank();
        const auto b = number(2);
        if (!b || !accept(sep)) {
            return std::nullopt;
        }
        skipBlank();
        int digits = 0;
        const auto y = number(4, &digits);
        if (!y || (digits != 2 && digits != 4)) {
            return std::nullopt;
        }
        if (sep == u'.') {
            accept(u'.');
        }
        const int year = widenYear(*y, digits);
        return w_.order == DateOrder::MonthFirst ? makeDate(year, *a, *b) : makeDate(year, *b, *a);
    }

    // 20 Nov 2026, 20. November 2026
    std::optional<QDate> dayThenMonthName() {
        const auto d = number(2);
        if (!d) {
            return std::nullopt;
        }
        accept(u'.');
        skipBlank();
        const auto m = monthName();
        if (!m) {
            return std::nullopt;
        }
        skipBlank();
        const auto y = exactly(4);
        return y ? makeDate(*y, *m, *d) : std::nullopt;
    }

    // Nov 20, 2026
    std::optional<QDate> monthNameFirst() {
        const auto m = monthName();
        if (!m) {
            return std::nullopt;
        }
        skipBlank();
        const auto d = number(2);
        if (!d) {
            return std::nullopt;
        }
        accept(u',');
        skipBlank();
        const auto y = exactly(4);
        return y ? makeDate(*y, *m, *d) : std::nullopt;
    }

    // H:MM or H:MM:SS, 24-hour, or 12-hour with an AM/PM marker.
    std::optional<QTime> readTime() {
        const auto h = number(2);
        if (!h || !accept(u':')) {
            return std::nullopt;
        }
        const auto m = exactly(2);
        if (!m) {
            return std::nullopt;
        }
        int sec = 0;
        if (accept(u':')) {
            const auto s = exactly(2);
            if (!s) {
                return std::nullopt;
            }
            sec = *s;
        }
        int hour = *h;
        skipBlank();
        if (!atEnd()) {
            const auto pm = marker();
            if (!pm || hour < 1 || hour > 12) {
                return std::nullopt;
            }
            hour = (hour % 12) + (*pm ? 12 : 0);
        }
        if (hour > 23 || *m > 59 || sec > 59) {
            return std::nullopt;
        }
        return QTime(hour, *m, sec);
    }

    // True for PM, false for AM.
    std::optional<bool> marker() {
        const QStringView rest = s_.mid(pos_);
        const auto matches = [&](QStringView word) {
            return !word.isEmpty() && rest.compare(word, Qt::CaseInsensitive) == 0;
        };
        std::optional<bool> pm;
        if (matches(w_.am) || matches(u"am")) {
            pm = false;
        } else if (matches(w_.pm) || matches(u"pm")) {
            pm = true;
        }
        if (pm) {
            pos_ = s_.size();
        }
        return pm;
    }
};

} // namespace

std::optional<QDateTime> ReadClockReading(QStringView text, const LocaleForms &forms) {
    return Reader(text, forms).read();
}

} // namespace lunex::detail
