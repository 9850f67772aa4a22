#include "texts/numbertext.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace lunex {
namespace {

// The decimal separator of the locale used last: every evaluation prints two
// numbers, and asking the locale builds a new string each time.
const QString &DecimalPoint(const QLocale &locale) {
    thread_local QLocale last;
    thread_local QString point = last.decimalPoint();
    if (!(locale == last)) {
        last = locale;
        point = locale.decimalPoint();
    }
    return point;
}

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t Pow10(int n) {
    std::uint64_t p = 1;
    while (n-- > 0) {
        p *= 10;
    }
    return p;
}

// The general way: Qt's correctly rounded conversion, which, like the fast
// way below, takes an exact tie away from zero (printf would take it to even).
FifteenDigits ByConversion(double value) {
    const QByteArray form = QByteArray::number(value, 'e', 14);
    const std::string_view text(form.constData(), std::size_t(form.size()));
    FifteenDigits out{};
    out.digits[0] = text[0];
    text.copy(out.digits + 1, 14, 2);
    const std::string_view exponentText = text.substr(text.find('e') + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+'),
                    exponentText.data() + exponentText.size(), out.exponent);
    return out;
}

} // namespace

FifteenDigits DecimalForm(double value) {
    // The values Lunex prints (ages, percentages, angles) lie between 1e-5
    // and 1e15, where the exact binary value times a power of ten fits 128
    // bits: rounded exactly here at a tenth of the library's cost.
    if (!(value >= 1e-5 && value < 1e15)) {
        return ByConversion(value);
    }
    int binaryExponent = 0;
    const double fraction = std::frexp(value, &binaryExponent);
    const auto mantissa = std::uint64_t(std::ldexp(fraction, 53)); // value = mantissa / 2^shift
    const int shift = 53 - binaryExponent;                         // 4 to 70 in this range
    int exponent = int(std::floor(std::log10(value)));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = 14 - exponent; // 0 to 19 in this range
        if (scale < 0 || scale > 19) {
            break;
        }
        const Uint128 scaled = Uint128(mantissa) * Pow10(scale);
        const Uint128 whole = scaled >> shift;
        // log10 may miss by one at a power of ten.
        if (whole < Pow10(14)) {
            --exponent;
            continue;
        }
        if (whole >= Pow10(15)) {
            ++exponent;
            continue;
        }
        const Uint128 rest = scaled - (whole << shift);
        const Uint128 half = Uint128(1) << (shift - 1);
        std::uint64_t n = std::uint64_t(whole) + (rest >= half);
        if (n == Pow10(15)) {
            n /= 10;
            ++exponent;
        }
        FifteenDigits out{};
        for (int i = 14; i >= 0; --i) {
            out.digits[i] = char('0' + n % 10);
            n /= 10;
        }
        out.exponent = exponent;
        return out;
    }
    return ByConversion(value);
}

QString FormatPattern(double value, int decimals, const QLocale &locale) {
    // Rounded as a person does the sum, half away from zero on the decimal
    // form with 15 significant digits (what a double holds reliably): 2.675
    // prints as 2.68 and 500 degrees (8333.335 mils) as 8333.34. printf and
    // Qt round the exact binary value (2.67499999...) and would print 2.67.
    // Written out by hand, on the stack, because an evaluation prints two
    // numbers and the benchmarks print millions.
    Q_ASSERT(decimals >= 0 && decimals <= MaxPatternDecimals);
    if (!std::isfinite(value)) {
        return locale.toString(value);
    }
    const FifteenDigits form = DecimalForm(std::fabs(value));
    const char *const digits = form.digits;
    const int exponent = form.exponent;

    // The value times 10^decimals, rounded to a whole number, as digits: at
    // most 309 before the point, MaxPatternDecimals after it, and a carry.
    std::array<char, 309 + MaxPatternDecimals + 2> whole;
    const int keep = exponent + decimals + 1; // digits of `digits` before the rounding point
    int length = 0;
    if (keep <= 0) {
        whole[length++] = keep == 0 && digits[0] >= '5' ? '1' : '0';
    } else {
        // A leading zero makes room for a carry; it is dropped below if unused.
        whole[length++] = '0';
        for (int i = 0; i < keep; ++i) {
            whole[length++] = i < 15 ? digits[i] : '0';
        }
        if (keep < 15 && digits[keep] >= '5') {
            int i = length - 1;
            while (whole[std::size_t(i)] == '9') {
                whole[std::size_t(i--)] = '0';
            }
            ++whole[std::size_t(i)];
        }
    }
    // At least one digit before the point: drop leading zeros beyond that,
    // or add them.
    int first = 0;
    while (first < length - decimals - 1 && whole[std::size_t(first)] == '0') {
        ++first;
    }
    const int shown = length - first;
    const int padding = std::max(0, decimals + 1 - shown);

    const QString &point = DecimalPoint(locale);
    const bool negative =
        std::signbit(value) &&
        std::any_of(whole.begin() + first, whole.begin() + length, [](char c) { return c != '0'; });
    QString out(qsizetype(negative) + padding + shown + (decimals > 0 ? point.size() : 0),
                Qt::Uninitialized);
    QChar *at = out.data();
    if (negative) {
        *at++ = u'-';
    }
    // The digits, the zeros of the padding first, with the point before the
    // last `decimals` of them.
    const int count = padding + shown;
    for (int i = 0; i < count; ++i) {
        if (i == count - decimals) {
            for (const QChar c : point) {
                *at++ = c;
            }
        }
        *at++ = QLatin1Char(i < padding ? '0' : whole[std::size_t(first + i - padding)]);
    }
    return out;
}

} // namespace lunex
