#include "lunar/numbertext.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace lunex {

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

} // namespace lunex
