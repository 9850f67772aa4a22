#include "texts/numbertext.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

namespace lunex {
namespace {

// A finite value's decimal form with 15 significant digits, rounded half away
// from zero on its exact value: the digits, and the power of ten of the first.
struct FifteenDigits {
    char digits[15];
    int exponent;
};

FifteenDigits DecimalForm(double value) {
    // Qt's correctly rounded conversion, which takes an exact tie away from
    // zero (printf would take it to even).
    const QByteArray form = QByteArray::number(value, 'e', 14);
    FifteenDigits out{};
    out.digits[0] = form.at(0);
    std::copy_n(form.constData() + 2, 14, out.digits + 1);
    out.exponent = form.mid(form.indexOf('e') + 1).toInt();
    return out;
}

} // namespace

QString FormatPattern(double value, int decimals, const QLocale &locale) {
    // Rounded as a person does the sum, half away from zero on the decimal
    // form with 15 significant digits (what a double holds reliably): 2.675
    // prints as 2.68 and 500 degrees (8333.335 mils) as 8333.34. printf and
    // Qt round the exact binary value (2.67499999...) and would print 2.67.
    Q_ASSERT(decimals >= 0 && decimals <= MaxPatternDecimals);
    if (!std::isfinite(value)) {
        return locale.toString(value);
    }
    const FifteenDigits form = DecimalForm(std::fabs(value));
    // The value times 10^decimals as a whole number: the digits before the
    // rounding point, then one more if the first digit cut is 5 or above.
    const int keep = form.exponent + decimals + 1;
    QByteArray whole = QByteArray(form.digits, 15).left(std::max(keep, 0));
    whole = whole.leftJustified(std::max(keep, 0), '0');
    if (keep >= 0 && keep < 15 && form.digits[keep] >= '5') {
        qsizetype i = whole.size() - 1;
        while (i >= 0 && whole[i] == '9') {
            whole[i--] = '0';
        }
        if (i < 0) {
            whole.prepend('1');
        } else {
            ++whole[i];
        }
    }
    // At least one digit before the point, and no leading zero beyond it.
    whole = whole.rightJustified(decimals + 1, '0');
    while (whole.size() > decimals + 1 && whole.startsWith('0')) {
        whole.remove(0, 1);
    }
    QString out = QString::fromLatin1(whole);
    if (decimals > 0) {
        out.insert(out.size() - decimals, locale.decimalPoint());
    }
    // A value that rounds to zero prints without its sign.
    if (std::signbit(value) && whole.count('0') != whole.size()) {
        out.prepend(u'-');
    }
    return out;
}

} // namespace lunex
