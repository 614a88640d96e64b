#include "core/formats/NumberFormat.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace NCalculatorText {

std::string FormatNumber(double value, bool upper, int digits)
{
    if (digits < 1 || digits > FullDigits)
        digits = FullDigits;
    if (std::isnan(value))
        return std::signbit(value) ? (upper ? "-NAN" : "-nan") : (upper ? "NAN" : "nan");
    if (std::isinf(value))
        return value < 0 ? (upper ? "-INF" : "-inf") : (upper ? "INF" : "inf");

    std::array<char, 64> buffer{};
    auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, digits);
    (void)ec;  // 64 characters always hold 20 significant digits and an exponent
    std::string text(buffer.data(), end);

    // Widen the exponent to three digits and set the letter's case.
    const auto e = text.find('e');
    if (e == std::string::npos)
        return text;
    if (upper)
        text[e] = 'E';
    const std::size_t digitsStart = e + 2;  // behind the exponent's sign
    const std::size_t digitCount = text.size() - digitsStart;
    if (digitCount < 3)
        text.insert(digitsStart, 3 - digitCount, '0');
    return text;
}

std::u16string FormatNumberText(double value, bool upper, int digits)
{
    const std::string narrow = FormatNumber(value, upper, digits);
    return std::u16string(narrow.begin(), narrow.end());
}

std::string FormatNumber(double value, std::string_view numberFormat, int digits)
{
    return FormatNumber(value, !numberFormat.empty() && numberFormat.back() == 'G', digits);
}

namespace {

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

double ParseNumber(std::u16string_view text)
{
    // Only the characters of a decimal number matter; anything else ends it.
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'\0' || c > 0x7F)
            break;
        narrow.push_back(static_cast<char>(c));
    }
    // Hexadecimal, "inf" and "nan" forms are not numbers of the calculation
    // language; stop the conversion before them.
    std::size_t length = 0;
    while (length < narrow.size()) {
        const char c = narrow[length];
        const bool numeric = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        if (!numeric)
            break;
        ++length;
    }
    narrow.resize(length);
    return strtod_l(narrow.c_str(), nullptr, CLocale());
}

}  // namespace NCalculatorText
