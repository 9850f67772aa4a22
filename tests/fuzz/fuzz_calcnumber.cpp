// The calculator's number conversion. Input: one selector byte for the
// locale, then the field's text (read as UTF-8, as typed).

#include "calc/angles.h"
#include "fuzzsupport.h"

#include <cmath>

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto input = SplitSelector(data, size);
    if (!input) {
        return 0;
    }
    const QLocale &locale = input->locale;
    const QString text = QString::fromUtf8(input->text);

    const std::optional<double> value = ParseNumberText(text, locale);
    Check(!value || std::isfinite(*value), "finite value", text);
    for (const AngleConversion conversion :
         {AngleConversion::DegToMil, AngleConversion::MilToDeg}) {
        const std::optional<QString> printed = ConvertAngleText(conversion, text, locale);
        Check(printed.has_value() <= value.has_value(), "a result only for a number", text);
        if (!printed) {
            continue;
        }
        Check(printed->startsWith(u' '), "result after one blank", *printed);
        // The printed result is itself a number of the locale, with two decimals.
        const std::optional<double> back = ParseNumberText(*printed, locale);
        Check(back.has_value(), "printed result reads back",
              text + QStringLiteral(" -> ") + *printed);
        const qsizetype point = printed->lastIndexOf(locale.decimalPoint());
        Check(point == printed->size() - 3, "two decimals", *printed);
    }
    return 0;
}
