// The one number-format function: every result, report, export and display of
// a number goes through it.
#pragma once

#include <string>
#include <string_view>

namespace NCalculatorText {

// Formats value as C's "%.20g" (upper false) or "%.20G" (upper true), with the
// exponent written with at least three digits ("1e+021", "1E-007"). The output
// never depends on the C locale.
std::string FormatNumber(double value, bool upper = false);
std::u16string FormatNumberText(double value, bool upper = false);

// The same, selected by a printf-style format "%.20g" or "%.20G" as returned
// by CCalcSettings::NumberFormat().
std::string FormatNumber(double value, std::string_view numberFormat);

// Reads the longest leading decimal number of text, as the C library's
// string-to-double conversion does in the "C" locale: optional sign, digits
// with an optional ".", an optional exponent. Gives 0 when text does not start
// with a number, an infinity beyond the double range.
double ParseNumber(std::u16string_view text);

}  // namespace NCalculatorText
