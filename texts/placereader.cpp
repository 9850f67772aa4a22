#include "texts/placereader.h"

#include "lunar/places.h"
#include "texts/placetext.h"

#include <QRegularExpression>

#include <cmath>

namespace lunex {
namespace {

// The decimal separators a user of the locale may type. A '.' that groups
// thousands there ("1.200" in German) would turn 1200 metres into 1.2.
QString DecimalSeparators(const QLocale &locale) {
    QString separators = locale.decimalPoint();
    if (locale.groupSeparator() != u"." && !separators.contains(u'.')) {
        separators += u'.';
    }
    return separators;
}

// A run of ASCII digits with at most one decimal part, as a capture.
QString NumberPattern(const QLocale &locale) {
    return QStringLiteral("([0-9]+(?:[%1][0-9]+)?)")
        .arg(QRegularExpression::escape(DecimalSeparators(locale)));
}

double NumberOf(QString text, const QLocale &locale) {
    return text.replace(locale.decimalPoint(), QStringLiteral(".")).toDouble();
}

// The text without a leading sign, and the sign's factor; 0 for no sign.
int TakeSign(QString &text) {
    if (text.startsWith(u'+')) {
        text = text.mid(1).trimmed();
        return 1;
    }
    if (text.startsWith(u'-') || text.startsWith(u'\u2212')) {
        text = text.mid(1).trimmed();
        return -1;
    }
    return 0;
}

// The text without the hemisphere's letter at its start or end, and the
// letter's factor; 0 for no letter.
int TakeHemisphere(QString &text, Axis axis) {
    struct Letter {
        QStringView letter;
        int factor;
    };
    static constexpr Letter Latitude[] = {{u"é", 1}, {u"d", -1}};
    static constexpr Letter Longitude[] = {{u"ny", -1}, {u"k", 1}};
    const QString lower = text.toLower();
    for (const Letter &l : axis == Axis::Latitude ? Latitude : Longitude) {
        if (lower.endsWith(l.letter)) {
            text = text.chopped(l.letter.size()).trimmed();
            return l.factor;
        }
        if (lower.startsWith(l.letter)) {
            text = text.mid(l.letter.size()).trimmed();
            return l.factor;
        }
    }
    return 0;
}

// Degrees, degrees and minutes, or degrees, minutes and seconds, unsigned.
std::optional<double> ReadDegrees(const QString &text, const QLocale &locale) {
    const QString n = NumberPattern(locale);
    const QString whole = QStringLiteral("([0-9]+)");
    const QString afterDegrees = QStringLiteral("(?:\\s*[°º]\\s*|\\s+)");
    const QString afterMinutes = QStringLiteral("(?:\\s*['′’]\\s*|\\s+)");
    const QString minuteMark = QStringLiteral("(?:\\s*['′’])?");
    const QString secondMark = QStringLiteral("(?:\\s*(?:″|\"|''|′′|’’))?");
    const QRegularExpression forms[] = {
        QRegularExpression(u'^' + n + QStringLiteral("(?:\\s*[°º])?$")),
        QRegularExpression(u'^' + whole + afterDegrees + n + minuteMark + u'$'),
        QRegularExpression(u'^' + whole + afterDegrees + whole + afterMinutes + n + secondMark +
                           u'$'),
    };
    for (const QRegularExpression &form : forms) {
        const QRegularExpressionMatch m = form.match(text);
        if (!m.hasMatch()) {
            continue;
        }
        double degrees = 0;
        for (int part = m.lastCapturedIndex(); part >= 1; --part) {
            const double value = NumberOf(m.captured(part), locale);
            if (part > 1 && value >= 60) {
                return std::nullopt;
            }
            degrees = degrees / 60 + value;
        }
        return degrees;
    }
    return std::nullopt;
}

// The text with trailing zeros of its decimals left off, in the locale's form.
QString TrimmedDecimals(double value, int decimals, const QLocale &locale) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    if (text == u"-0") {
        text = QStringLiteral("0");
    }
    return text.replace(u'.', locale.decimalPoint());
}

} // namespace

std::optional<double> ReadCoordinate(QStringView typed, Axis axis, const QLocale &locale) {
    QString text = typed.toString().normalized(QString::NormalizationForm_C).simplified();
    const int hemisphere = TakeHemisphere(text, axis);
    const int sign = TakeSign(text);
    // "-47 D" says south twice, or means north: neither is taken for a guess.
    if (hemisphere != 0 && sign != 0) {
        return std::nullopt;
    }
    const std::optional<double> degrees = ReadDegrees(text, locale);
    const double limit = axis == Axis::Latitude ? 90 : 180;
    if (!degrees || *degrees > limit) {
        return std::nullopt;
    }
    return (hemisphere != 0 ? hemisphere : sign != 0 ? sign : 1) * *degrees;
}

std::optional<double> ReadElevation(QStringView typed, const QLocale &locale) {
    QString text = typed.toString().simplified();
    if (text.endsWith(u'm', Qt::CaseInsensitive)) {
        text = text.chopped(1).trimmed();
    }
    const int sign = TakeSign(text);
    const QRegularExpression form(u'^' + NumberPattern(locale) + u'$');
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const double metres = (sign != 0 ? sign : 1) * NumberOf(m.captured(1), locale);
    if (metres < LowestElevation || metres > HighestElevation) {
        return std::nullopt;
    }
    return metres;
}

QString CoordinateText(double degrees, Axis axis, const QLocale &locale) {
    return QStringLiteral("%1° %2").arg(TrimmedDecimals(std::abs(degrees), 6, locale),
                                        axis == Axis::Latitude ? LatitudeLetter(degrees)
                                                               : LongitudeLetter(degrees));
}

QString ElevationText(double metres, const QLocale &locale) {
    return TrimmedDecimals(metres, 1, locale);
}

} // namespace lunex
