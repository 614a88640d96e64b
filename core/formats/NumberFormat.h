// The one number-format function: every result, report, export and display of
// a number goes through it.
#pragma once

#include <string>
#include <string_view>

namespace NCalculatorText {

// The significant digits of a number in full: every double reads back as
// itself from its 20 digits. Fewer digits only shorten what is shown.
inline constexpr int FullDigits = 20;

// Formats value as C's "%.20g" (upper false) or "%.20G" (upper true), with the
// exponent written with at least three digits ("1e+021", "1E-007"). digits
// below 20 round to that many significant digits and drop the trailing zeros
// as "%g" does ("%.15g": 0.1+0.2 gives "0.3"); a count outside 1 to 20 gives
// the full 20. The output never depends on the C locale.
std::string FormatNumber(double value, bool upper = false, int digits = FullDigits);
std::u16string FormatNumberText(double value, bool upper = false, int digits = FullDigits);

// The same, the case selected by a printf-style format "%.20g" or "%.20G" as
// returned by CCalcSettings::NumberFormat().
std::string FormatNumber(double value, std::string_view numberFormat, int digits = FullDigits);

// Reads the longest leading decimal number of text, as the C library's
// string-to-double conversion does in the "C" locale: optional sign, digits
// with an optional ".", an optional exponent. Gives 0 when text does not start
// with a number, an infinity beyond the double range.
double ParseNumber(std::u16string_view text);

}  // namespace NCalculatorText
