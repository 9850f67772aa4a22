#pragma once

#include <QLocale>
#include <QString>

namespace lunex {

// The number patterns "0.0" and "0.00": at least one integer digit, exactly
// `decimals` decimals, the locale's decimal separator, no grouping, a leading
// minus. Rounded half away from zero on the value's decimal form with 15
// significant digits, as a person would round the printed number.
inline constexpr int MaxPatternDecimals = 15;
QString FormatPattern(double value, int decimals, const QLocale &locale);

} // namespace lunex
