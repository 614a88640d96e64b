#include "BenchSupport.h"

#include <array>
#include <string_view>

namespace TevraBench {

namespace {

// Statement patterns; "#" stands for a number that changes from line to line.
constexpr std::array<std::u16string_view, 10> Patterns = {
    u"12.5*#+7/2",         u"sqrt(#)+ln(10) = 99", u"sin(0.5)^2+cos(0.5)^2 // identity",
    u"#->Mem[c#]",         u"Mem[c#]*2-rslt",      u"(1+2)*(3+4)/(5.5-#)",
    u"exp(-#/1000)*100",   u"tg(#)+ctg(# + 1)",    u"2^10-#! /* factorial */",
    u"abs(-#)+sign(#)*pi",
};

void AppendNumber(std::u16string& text, std::size_t number)
{
    const std::string digits = std::to_string(number);
    text.append(digits.begin(), digits.end());
}

}  // namespace

std::u16string GeneratedDocument(std::size_t count)
{
    std::u16string text;
    text.reserve(count * 28);
    for (std::size_t i = 0; i < count; ++i) {
        // Small numbers keep the factorial and the exponent in range.
        const std::size_t number = i % 97 + 1;
        for (const char16_t c : Patterns[i % Patterns.size()]) {
            if (c == u'#')
                AppendNumber(text, number);
            else
                text.push_back(c);
        }
        text += u";\r\n";
    }
    return text;
}

std::u16string DocumentOfSize(std::size_t count, std::size_t targetUnits)
{
    std::u16string text;
    text.reserve(targetUnits + count * 4);
    const std::size_t perStatement = targetUnits / count;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = text.size();
        text += u"1.25*";
        AppendNumber(text, i % 1000);
        text += u"+3";
        // Blanks and a comment pad every statement to the same length.
        const std::size_t used = text.size() - start + 3;
        if (perStatement > used + 3) {
            text += u" //";
            text.append(perStatement - used - 3, u'x');
        }
        text += u"\r\n;";
    }
    return text;
}

}  // namespace TevraBench
