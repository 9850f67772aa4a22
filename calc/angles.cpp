#include "calc/angles.h"

#include "texts/numbertext.h"

#include <cmath>

namespace lunex {

std::optional<double> ParseNumberText(QStringView text, const QLocale &locale) {
    // QLocale already reads the locale's separator, signs and exponent and
    // ignores white space around the number. Grouping is refused: in a six
    // character field "1,000" or "1.000" is more likely a decimal typed in
    // another locale's habit than a thousand, and reading it as a thousand
    // would silently print a wrong angle.
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    // QLocale accepts "inf" and "nan", which are no angles.
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> ConvertAngleText(AngleConversion conversion, QStringView text,
                                        const QLocale &locale) {
    const std::optional<double> value = ParseNumberText(text, locale);
    if (!value) {
        return std::nullopt;
    }
    const double result =
        conversion == AngleConversion::DegToMil ? DegToMil(*value) : MilToDeg(*value);
    if (!std::isfinite(result)) {
        return std::nullopt;
    }
    return u' ' + FormatPattern(result, 2, locale);
}

} // namespace lunex
