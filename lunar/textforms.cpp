#include "lunar/textforms.h"

#include "lunar/civiltime.h"

#include <QHash>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <string_view>

namespace lunex {
namespace {

inline constexpr int MinYear = 100;
inline constexpr int MaxYear = 9999;

// A clock reading as the reader finds it in a text, before any zone gives it
// an instant: carried in a QDateTime in Qt::UTC, where no gap or fold exists.
QDateTime Reading(const QDate &date, const QTime &time) {
    return QDateTime(date, time, Qt::UTC);
}

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
        for (const QDateTime &sample : {Reading(QDate(2026, 11, 23), QTime(17, 30, 5)),
                                        Reading(QDate(2009, 2, 1), QTime(0, 0, 1)),
                                        Reading(QDate(1999, 12, 31), QTime(12, 0, 0)),
                                        Reading(QDate(2024, 7, 4), QTime(0, 0, 0))}) {
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
    // Rounded as a person does the sum, half away from zero on the decimal
    // form with 15 significant digits (what a double holds reliably): 2.675
    // prints as 2.68 and 500 degrees (8333.335 mils) as 8333.34. printf and
    // Qt round the exact binary value (2.67499999...) and would print 2.67.
    Q_ASSERT(decimals >= 0 && decimals <= MaxPatternDecimals);
    if (!std::isfinite(value)) {
        return locale.toString(value);
    }
    // d.dddddddddddddde+X: the 15 significant digits and the power of ten of the first.
    char form[32];
    const auto converted = std::to_chars(form, form + sizeof form, std::fabs(value),
                                         std::chars_format::scientific, 14);
    const std::string_view text(form, std::size_t(converted.ptr - form));
    char digits[15];
    digits[0] = text[0];
    text.copy(digits + 1, 14, 2);
    int exponent = 0;
    const std::string_view exponentText = text.substr(text.find('e') + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+'),
                    exponentText.data() + exponentText.size(), exponent);

    // The value times 10^decimals, rounded to a whole number, as digits.
    const int keep = exponent + decimals + 1; // digits of `digits` before the rounding point
    QByteArray whole;
    if (keep <= 0) {
        whole = keep == 0 && digits[0] >= '5' ? "1" : "0";
    } else {
        whole = QByteArray(digits, std::min(keep, 15));
        whole.append(QByteArray(std::max(keep - 15, 0), '0'));
        if (keep < 15 && digits[std::size_t(keep)] >= '5') {
            qsizetype i = whole.size();
            while (i > 0 && whole[i - 1] == '9') {
                whole[--i] = '0';
            }
            if (i == 0) {
                whole.prepend('1');
            } else {
                ++whole[i - 1];
            }
        }
    }
    if (whole.size() < decimals + 1) {
        whole.prepend(QByteArray(decimals + 1 - whole.size(), '0'));
    }

    QString out;
    out.reserve(whole.size() + 2);
    if (std::signbit(value) && whole.count('0') != whole.size()) {
        out += u'-';
    }
    const qsizetype point = whole.size() - decimals;
    out += QLatin1StringView(whole.data(), point);
    if (decimals > 0) {
        out += locale.decimalPoint();
        out += QLatin1StringView(whole.data() + point, decimals);
    }
    return out;
}

namespace {
std::optional<QDateTime> readText(QStringView text, const LocaleForms &forms) {
    return Reader(text, forms).read();
}
} // namespace

namespace {
std::optional<QDateTime> readReading(QStringView text, const QLocale &locale) {
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
    return Reading(printed.date(), printed.time());
}
} // namespace

std::optional<QDateTime> ParseDateTimeText(QStringView text, const QLocale &locale,
                                           const QTimeZone &zone) {
    const std::optional<QDateTime> reading = readReading(text, locale);
    if (!reading) {
        return std::nullopt;
    }
    return LocalDateTime(reading->date(), reading->time(), zone);
}

namespace {
constexpr qint64 Unreadable = std::numeric_limits<qint64>::min();
}

ReadingIndex::ReadingIndex(const QStringList &texts, const QLocale &locale) {
    readings_.reserve(std::size_t(texts.size()));
    for (const QString &text : texts) {
        const auto reading = readReading(text, locale);
        readings_.push_back(reading ? reading->toSecsSinceEpoch() : Unreadable);
    }
}

int ReadingIndex::latestNotAfter(const QDateTime &now, const QTimeZone &zone) const {
    // Compared as clock readings, which needs no zone: a reading a day or
    // more before the present one is past on any clock, and only those close
    // to it, where a change of the clocks may decide, become instants.
    const qint64 present = now.toSecsSinceEpoch() + zone.offsetFromUtc(now);
    int best = -1;
    for (std::size_t i = 0; i < readings_.size(); ++i) {
        const qint64 r = readings_[i];
        if (r == Unreadable || r > present + 86400 ||
            (best >= 0 && r <= readings_[std::size_t(best)])) {
            continue;
        }
        if (r > present - 86400) {
            const QDateTime reading = QDateTime::fromSecsSinceEpoch(r, Qt::UTC);
            const auto instant = LocalDateTime(reading.date(), reading.time(), zone);
            if (!instant || *instant > now) {
                continue;
            }
        }
        best = int(i);
    }
    return best;
}

} // namespace lunex
