#include "lunar/textforms.h"

#include "lunar/lunarage.h"

#include <QHash>

#include <cmath>
#include <cstdint>
#include <deque>

namespace lunex {
namespace {

inline constexpr int MinYear = 100;
inline constexpr int MaxYear = 9999;

// Rewrites the format's unquoted runs of `letter`: Qt's formats quote literal
// text with apostrophes, and a literal must be left alone.
template <typename Fn> QString rewriteRuns(const QString &format, QChar letter, Fn replacement) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
        } else if (!quoted && c == letter) {
            qsizetype j = i;
            while (j < format.size() && format.at(j) == letter) {
                ++j;
            }
            out += replacement();
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Which of day, month and year comes first in the locale's short date.
enum class DateOrder { YearFirst, DayFirst, MonthFirst };

DateOrder shortDateOrder(const QLocale &locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u'y') {
            return DateOrder::YearFirst;
        } else if (!quoted && c == u'M') {
            return DateOrder::MonthFirst;
        } else if (!quoted && c == u'd') {
            return DateOrder::DayFirst;
        }
    }
    return DateOrder::DayFirst;
}

// What the texts need of a locale, looked up once per locale: its formats
// are rewritten and its month names gathered only when the locale changes.
struct LocaleForms {
    QLocale locale;
    DateOrder order = DateOrder::DayFirst;
    QHash<QString, int> months; // lower-case name or abbreviation, without a final '.'
    QString am, pm;             // the locale's markers, lower case
    QString dateFormat, timeFormat, dateTimeFormat;
    // The date printed last: one evaluation after another shows the same day.
    QDate lastDate;
    QString lastDateText;

    explicit LocaleForms(const QLocale &l) : locale(l), order(shortDateOrder(l)) {
        for (int m = 1; m <= 12; ++m) {
            for (const QString &name :
                 {l.monthName(m, QLocale::LongFormat), l.monthName(m, QLocale::ShortFormat),
                  l.standaloneMonthName(m, QLocale::LongFormat),
                  l.standaloneMonthName(m, QLocale::ShortFormat)}) {
                QString key = name.toLower();
                if (key.endsWith(u'.')) {
                    key.chop(1);
                }
                if (!key.isEmpty()) {
                    months.insert(key, m);
                }
            }
        }
        am = l.amText().toLower();
        pm = l.pmText().toLower();
        dateFormat = rewriteRuns(l.dateFormat(QLocale::ShortFormat), u'y',
                                 [] { return QStringLiteral("yyyy"); });
        // The zone is marked by a noncharacter, which no format holds, so that
        // brackets it stood in alone (Persian "H:mm:ss (t)") go with it.
        timeFormat = rewriteRuns(l.timeFormat(QLocale::LongFormat), u't',
                                 [] { return QString(QChar(0xFFFF)); })
                         .remove(QStringLiteral("(\uFFFF)"))
                         .remove(QChar(0xFFFF))
                         .simplified();
        dateTimeFormat = dateFormat + u' ' + timeFormat;
    }

    // Whether the reader below reads back what this locale prints; where it
    // does not (formats with literal words, native digits), the locale's own
    // formats are tried after it.
    bool needsFallback = true;
};

std::optional<QDateTime> readText(QStringView text, const LocaleForms &forms);

LocaleForms &formsFor(const QLocale &locale) {
    // A few locales at once: a program may format in one and test in another.
    thread_local std::deque<LocaleForms> cache;
    for (LocaleForms &forms : cache) {
        if (forms.locale == locale) {
            return forms;
        }
    }
    if (cache.size() == 4) {
        cache.pop_back();
    }
    LocaleForms &forms = cache.emplace_front(locale);
    {
        forms.needsFallback = false;
        for (const QDateTime &sample : {MakeDateTime(QDate(2026, 11, 23), QTime(17, 30, 5)),
                                        MakeDateTime(QDate(2009, 2, 1), QTime(0, 0, 1)),
                                        MakeDateTime(QDate(1999, 12, 31), QTime(12, 0, 0)),
                                        MakeDateTime(QDate(2024, 7, 4), QTime(0, 0, 0))}) {
            const QString date = locale.toString(sample.date(), forms.dateFormat);
            const QString text =
                sample.time() == QTime(0, 0)
                    ? date
                    : date + u' ' + locale.toString(sample.time(), forms.timeFormat);
            if (readText(text.simplified(), forms) != sample) {
                forms.needsFallback = true;
                break;
            }
        }
    }
    return forms;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

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
        return MakeDateTime(*date, time);
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
        while (!atEnd() && isAsciiDigit(peek()) && n < maxDigits + 1) {
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
        const auto it = w_.months.constFind(s_.mid(start, pos_ - start).toString().toLower());
        if (it == w_.months.constEnd()) {
            return std::nullopt;
        }
        accept(u'.');
        return *it;
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
        if (isAsciiDigit(peek())) {
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
            if (isAsciiDigit(peek())) {
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

QString ShortDateFormat(const QLocale &locale) {
    return formsFor(locale).dateFormat;
}

QString LongTimeFormat(const QLocale &locale) {
    return formsFor(locale).timeFormat;
}

QString ShortDateText(const QDate &date, const QLocale &locale) {
    LocaleForms &forms = formsFor(locale);
    if (date != forms.lastDate || forms.lastDateText.isNull()) {
        forms.lastDateText = locale.toString(date, forms.dateFormat);
        forms.lastDate = date;
    }
    return forms.lastDateText;
}

QString LongTimeText(const QTime &time, const QLocale &locale) {
    return locale.toString(time, formsFor(locale).timeFormat);
}

QString GeneralDateText(const QDateTime &dateTime, const QLocale &locale) {
    QString text = ShortDateText(dateTime.date(), locale);
    if (dateTime.time() != QTime(0, 0, 0)) {
        text += u' ' + LongTimeText(dateTime.time(), locale);
    }
    return text;
}

QString FormatPattern(double value, int decimals, const QLocale &locale) {
    // printf's "%.2f" rounds ties to even on the binary value and Qt follows
    // it, but 3.125 days must print as 3.13: so the rounding is done here, on
    // the exact binary value (mantissa times a power of two).
    Q_ASSERT(decimals >= 0 && decimals <= 3);
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    if (!std::isfinite(magnitude)) {
        return locale.toString(value);
    }
    const QString point = locale.decimalPoint();
    if (magnitude >= 9007199254740992.0) { // 2^53: already a whole number
        const QString whole = QString::number(magnitude, 'f', 0);
        return (negative ? QStringLiteral("-") : QString()) + whole +
               (decimals > 0 ? point + QString(decimals, u'0') : QString());
    }
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent); // in [0.5, 1)
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent; // magnitude = mantissa / 2^shift
    // mantissa < 2^53 and scale <= 1000, so the product fits 64 bits.
    const std::uint64_t scaled = std::uint64_t(mantissa) * std::uint64_t(scale);
    std::uint64_t rounded = 0;
    if (shift <= 0) {
        rounded = scaled;
    } else if (shift < 62) {
        rounded = scaled >> shift;
        const std::uint64_t remainder = scaled - (rounded << shift);
        const std::uint64_t half = std::uint64_t(1) << (shift - 1);
        if (remainder >= half) {
            ++rounded;
        }
    } // else the scaled value is below a quarter and rounds to zero

    // The digits, last first, at least one before the separator.
    char16_t reversed[24];
    int count = 0;
    std::uint64_t rest = rounded;
    do {
        reversed[count++] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0 || count <= decimals);
    QString text;
    text.reserve(count + point.size() + 1);
    if (negative && rounded != 0) {
        text += u'-';
    }
    for (int i = count - 1; i >= decimals; --i) {
        text += QChar(reversed[i]);
    }
    if (decimals > 0) {
        text += point;
        for (int i = decimals - 1; i >= 0; --i) {
            text += QChar(reversed[i]);
        }
    }
    return text;
}

namespace {
std::optional<QDateTime> readText(QStringView text, const LocaleForms &forms) {
    return Reader(text, forms).read();
}
} // namespace

std::optional<QDateTime> ParseDateTimeText(QStringView text, const QLocale &locale) {
    const QString simple = text.toString().simplified();
    if (simple.isEmpty()) {
        return std::nullopt;
    }
    const LocaleForms &forms = formsFor(locale);
    if (auto parsed = readText(simple, forms)) {
        return parsed;
    }
    if (!forms.needsFallback) {
        return std::nullopt;
    }
    // Whatever Lunex prints converts back in the locale that printed it, even
    // where the locale's formats carry literal words or digits the reader
    // above does not know.
    QDateTime printed = locale.toDateTime(simple, forms.dateTimeFormat);
    if (!printed.isValid()) {
        const QDate date = locale.toDate(simple, forms.dateFormat);
        if (date.isValid()) {
            printed = QDateTime(date, QTime(0, 0, 0));
        }
    }
    if (!printed.isValid() || printed.date().year() < MinYear || printed.date().year() > MaxYear) {
        return std::nullopt;
    }
    return MakeDateTime(printed.date(), printed.time());
}

} // namespace lunex
