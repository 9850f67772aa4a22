#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace lunex {

// The artillery circle has 6000 mils. The factor is the five-decimal value the
// calculator has always used, not 6000 / 360: 360 degrees give 6000.0012 mils.
inline constexpr double MilsPerDegree = 16.66667;

constexpr double DegToMil(double degrees) {
    return degrees * MilsPerDegree;
}
constexpr double MilToDeg(double mils) {
    return mils / MilsPerDegree;
}

// A field's whole text as a real number in the locale's notation: its decimal
// separator, an optional sign and exponent, white space around ignored. Empty
// for anything else, for digit grouping and for values that are not finite.
std::optional<double> ParseNumberText(QStringView text, const QLocale &locale);

enum class AngleConversion { DegToMil, MilToDeg };

// What the calculator prints for a field's text: one blank and the converted
// angle with two decimals. Empty when the text is not a number or the result
// does not fit a double.
std::optional<QString> ConvertAngleText(AngleConversion conversion, QStringView text,
                                        const QLocale &locale);

} // namespace lunex
