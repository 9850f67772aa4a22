#include "texts/datetext.h"

#include "lunar/civiltime.h"
#include "texts/localeforms.h"

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

// The time format in pieces, or nothing where it holds anything but hours,
// minutes, seconds, the AM/PM marker and literal text.
std::optional<std::vector<TimePiece>> CompileTimeFormat(const QString &format) {
    std::vector<TimePiece> pieces;
    const auto literal = [&pieces](QChar c) {
        if (pieces.empty() || pieces.back().kind != TimePiece::Literal) {
            pieces.push_back({});
        }
        pieces.back().text += c;
    };
    bool marker = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') { // quoted text; '' is a quote itself
            const qsizetype end = format.indexOf(u'\'', i + 1);
            if (end == i + 1) {
                literal(c);
                i += 2;
                continue;
            }
            if (end < 0) {
                return std::nullopt;
            }
            for (qsizetype j = i + 1; j < end; ++j) {
                literal(format.at(j));
            }
            i = end + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c) {
            ++run;
        }
        if (c == u'H' || c == u'h' || c == u'm' || c == u's') {
            if (run > 2) {
                return std::nullopt;
            }
            const auto kind = c == u'H'   ? TimePiece::Hour24
                              : c == u'h' ? TimePiece::Hour12
                              : c == u'm' ? TimePiece::Minute
                                          : TimePiece::Second;
            pieces.push_back({kind, int(run), false, {}});
            i += run;
        } else if (c == u'A' || c == u'a') {
            const bool withP =
                i + 1 < format.size() && (format.at(i + 1) == u'P' || format.at(i + 1) == u'p');
            pieces.push_back({TimePiece::Marker, 1, c == u'A', {}});
            marker = true;
            i += withP ? 2 : 1;
        } else if (c.isLetter()) {
            return std::nullopt;
        } else {
            literal(c);
            ++i;
        }
    }
    if (!marker) { // h is the 24-hour clock without a marker
        for (TimePiece &piece : pieces) {
            if (piece.kind == TimePiece::Hour12) {
                piece.kind = TimePiece::Hour24;
            }
        }
    }
    return pieces;
}

} // namespace

QString FormatTime(const QTime &time, const LocaleForms &forms) {
    QString out;
    out.reserve(16);
    const auto number = [&](int value, int width) {
        if (width == 2 || value >= 10) {
            out += QChar(forms.zeroDigit.unicode() + value / 10);
        }
        out += QChar(forms.zeroDigit.unicode() + value % 10);
    };
    for (const TimePiece &piece : forms.timePieces) {
        switch (piece.kind) {
        case TimePiece::Literal:
            out += piece.text;
            break;
        case TimePiece::Hour24:
            number(time.hour(), piece.width);
            break;
        case TimePiece::Hour12:
            number(time.hour() % 12 == 0 ? 12 : time.hour() % 12, piece.width);
            break;
        case TimePiece::Minute:
            number(time.minute(), piece.width);
            break;
        case TimePiece::Second:
            number(time.second(), piece.width);
            break;
        case TimePiece::Marker: {
            const QString text = time.hour() < 12 ? forms.locale.amText() : forms.locale.pmText();
            out += piece.upper ? text.toUpper() : text.toLower();
            break;
        }
        }
    }
    return out;
}

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
            if (!key.isEmpty()) {
                months.insert(key, m);
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

    // Used only where it prints what Qt prints, every hour of the day.
    const QString zero = l.zeroDigit();
    if (auto pieces = CompileTimeFormat(timeFormat); pieces && zero.size() == 1) {
        timePieces = std::move(*pieces);
        zeroDigit = zero.at(0);
        timeCompiled = true;
        for (int hour = 0; hour < 24 && timeCompiled; ++hour) {
            for (const QTime time : {QTime(hour, 0, 0), QTime(hour, 7, 5), QTime(hour, 59, 59)}) {
                if (FormatTime(time, *this) != l.toString(time, timeFormat)) {
                    timeCompiled = false;
                    break;
                }
            }
        }
    }
}

LocaleForms &FormsFor(const QLocale &locale) {
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
            if (ReadClockReading(text.simplified(), forms) != sample) {
                forms.needsFallback = true;
                break;
            }
        }
    }
    return forms;
}

} // namespace detail

using detail::FormatTime;
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
    LocaleForms &forms = FormsFor(locale);
    if (date != forms.lastDate || forms.lastDateText.isNull()) {
        forms.lastDateText = locale.toString(date, forms.dateFormat);
        forms.lastDate = date;
    }
    return forms.lastDateText;
}

QString LongTimeText(const QTime &time, const QLocale &locale) {
    const LocaleForms &forms = FormsFor(locale);
    return forms.timeCompiled ? FormatTime(time, forms) : locale.toString(time, forms.timeFormat);
}

QString GeneralDateText(const QDateTime &dateTime, const QLocale &locale) {
    QString text = ShortDateText(dateTime.date(), locale);
    if (dateTime.time() != QTime(0, 0, 0)) {
        text += u' ' + LongTimeText(dateTime.time(), locale);
    }
    return text;
}

namespace {
std::optional<QDateTime> ReadReading(QStringView text, const QLocale &locale) {
    const QString simple = text.toString().simplified();
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
