#include "texts/datetext.h"

#include "clock/civiltime.h"
#include "texts/localeforms.h"

#include <QRegularExpression>

#include <algorithm>
#include <deque>
#include <limits>

namespace lunex {
namespace detail {
namespace {

// Rewrites the format's unquoted runs of `letter`: Qt's formats quote literal
// text with apostrophes, and a literal must be left alone.
template <typename Fn> QString RewriteRuns(const QString &format, QChar letter, Fn replacement) {
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

} // namespace

LocaleForms::LocaleForms(const QLocale &l) : locale(l), order(ShortDateOrder(l)) {
    for (int m = 1; m <= 12; ++m) {
        for (const QString &name :
             {l.monthName(m, QLocale::LongFormat), l.monthName(m, QLocale::ShortFormat),
              l.standaloneMonthName(m, QLocale::LongFormat),
              l.standaloneMonthName(m, QLocale::ShortFormat)}) {
            QString key = name.toLower();
            if (key.endsWith(u'.')) {
                key.chop(1);
            }
            const auto same = [&](const auto &entry) { return entry.first == key; };
            if (!key.isEmpty() && std::none_of(months.begin(), months.end(), same)) {
                months.emplace_back(key, m);
                longestMonth = std::max(longestMonth, key.size());
            }
        }
    }
    am = l.amText().toLower();
    pm = l.pmText().toLower();
    dateFormat = RewriteRuns(l.dateFormat(QLocale::ShortFormat), u'y',
                             [] { return QStringLiteral("yyyy"); });
    // The zone is marked by a noncharacter, which no format holds, so that
    // brackets it stood in alone (Persian "H:mm:ss (t)") go with it.
    timeFormat =
        RewriteRuns(l.timeFormat(QLocale::LongFormat), u't', [] { return QString(QChar(0xFFFF)); })
            .remove(QStringLiteral("(\uFFFF)"))
            .remove(QChar(0xFFFF))
            .simplified();
    dateTimeFormat = dateFormat + u' ' + timeFormat;
}

namespace {

// Whether the reader reads back what the locale prints, a few sample moments
// of the day tried.
bool ReadsBackPrintedTexts(const LocaleForms &forms) {
    for (const QDateTime &sample :
         {Reading(QDate(2026, 11, 23), QTime(17, 30, 5)),
          Reading(QDate(2009, 2, 1), QTime(0, 0, 1)), Reading(QDate(1999, 12, 31), QTime(12, 0, 0)),
          Reading(QDate(2024, 7, 4), QTime(0, 0, 0))}) {
        const QString date = forms.locale.toString(sample.date(), forms.dateFormat);
        const QString text =
            sample.time() == QTime(0, 0)
                ? date
                : date + u' ' + forms.locale.toString(sample.time(), forms.timeFormat);
        if (ReadClockReading(text.simplified(), forms) != sample) {
            return false;
        }
    }
    return true;
}

} // namespace

const LocaleForms &FormsFor(const QLocale &locale) {
    // A few locales at once: a program may format in one and test in another.
    thread_local std::deque<LocaleForms> cache;
    for (const LocaleForms &forms : cache) {
        if (forms.locale == locale) {
            return forms;
        }
    }
    if (cache.size() == 4) {
        cache.pop_back();
    }
    LocaleForms &forms = cache.emplace_front(locale);
    forms.needsFallback = !ReadsBackPrintedTexts(forms);
    return forms;
}

} // namespace detail

using detail::FormsFor;
using detail::LocaleForms;
using detail::MaxYear;
using detail::MinYear;
using detail::ReadClockReading;
using detail::Reading;

QString ShortDateFormat(const QLocale &locale) {
    return FormsFor(locale).dateFormat;
}

QString LongTimeFormat(const QLocale &locale) {
    return FormsFor(locale).timeFormat;
}

QString ShortDateText(const QDate &date, const QLocale &locale) {
    return locale.toString(date, FormsFor(locale).dateFormat);
}

QString LongTimeText(const QTime &time, const QLocale &locale) {
    return locale.toString(time, FormsFor(locale).timeFormat);
}

QString GeneralDateText(const QDateTime &dateTime, const QLocale &locale) {
    QString text = ShortDateText(dateTime.date(), locale);
    if (dateTime.time() != QTime(0, 0, 0)) {
        text += u' ' + LongTimeText(dateTime.time(), locale);
    }
    return text;
}

QString ShortTimeText(const QTime &time, const QLocale &locale) {
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    return locale.toString(time, locale.timeFormat(QLocale::ShortFormat).remove(seconds));
}

QString MinuteText(const QDateTime &dateTime, const QLocale &locale) {
    return ShortDateText(dateTime.date(), locale) + u' ' + ShortTimeText(dateTime.time(), locale);
}

namespace {
// Whether QString::simplified would leave the text as it is: a list of new
// moons may hold millions, each copied for nothing.
bool IsSimplified(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace() &&
            (text[i] != u' ' || i == 0 || i + 1 == text.size() || text[i + 1] == u' ')) {
            return false;
        }
    }
    return true;
}

std::optional<QDateTime> ReadReading(QStringView text, const QLocale &locale) {
    QString simplified;
    if (!IsSimplified(text)) {
        simplified = text.toString().simplified();
    }
    const QStringView simple = simplified.isNull() ? text : QStringView(simplified);
    if (simple.isEmpty()) {
        return std::nullopt;
    }
    const LocaleForms &forms = FormsFor(locale);
    if (auto parsed = ReadClockReading(simple, forms)) {
        return parsed;
    }
    if (!forms.needsFallback) {
        return std::nullopt;
    }
    // Whatever Lunex prints converts back in the locale that printed it, even
    // where the locale's formats carry literal words or digits the reader
    // above does not know.
    QDateTime printed = locale.toDateTime(simple.toString(), forms.dateTimeFormat);
    if (!printed.isValid()) {
        const QDate date = locale.toDate(simple.toString(), forms.dateFormat);
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
    const std::optional<QDateTime> reading = ReadReading(text, locale);
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
        const auto reading = ReadReading(text, locale);
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
