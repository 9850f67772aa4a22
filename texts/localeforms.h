#pragma once

// What the date texts need of a locale, shared by the printing and the
// reading of dates; not for use outside texts/.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>
#include <utility>
#include <vector>

namespace lunex::detail {

inline constexpr int MinYear = 100;
inline constexpr int MaxYear = 9999;

// A clock reading as the reader finds it in a text, before any zone gives it
// an instant: carried in a QDateTime in Qt::UTC, where no gap or fold exists.
inline QDateTime Reading(const QDate &date, const QTime &time) {
    return QDateTime(date, time, Qt::UTC);
}

// Which of day, month and year comes first in the locale's short date.
enum class DateOrder { YearFirst, DayFirst, MonthFirst };

inline DateOrder ShortDateOrder(const QLocale &locale) {
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

// The locale's formats rewritten and its month names gathered, once per
// locale (see FormsFor).
struct LocaleForms {
    QLocale locale;
    DateOrder order = DateOrder::DayFirst;
    // Lower-case names and abbreviations without a final '.', each once, and
    // the longest's length.
    std::vector<std::pair<QString, int>> months;
    qsizetype longestMonth = 0;
    QString am, pm; // the locale's markers, lower case
    QString dateFormat, timeFormat, dateTimeFormat;
    // Whether the reader reads back what this locale prints; where it does
    // not (formats with literal words, native digits), the locale's own
    // formats are tried after it.
    bool needsFallback = true;

    explicit LocaleForms(const QLocale &l);
};

const LocaleForms &FormsFor(const QLocale &locale);

// The everyday forms of a date, optionally followed by a time, as a clock
// reading; the text is already simplified.
std::optional<QDateTime> ReadClockReading(QStringView text, const LocaleForms &forms);

} // namespace lunex::detail
