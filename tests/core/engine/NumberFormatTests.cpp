// The one number format of results, reports and exports: twenty significant
// digits, at least three exponent digits, independent of the C locale.
#include "support/EngineTestSupport.h"

#include <clocale>
#include <cmath>
#include <limits>

#include "core/formats/NumberFormat.h"

namespace EngineTests {
namespace {

using NCalculatorText::FormatNumber;
using NCalculatorText::FormatNumberText;
using NCalculatorText::ParseNumber;

struct FormatCase {
    double Value;
    std::string Lower;
    std::string Upper;
};

TEST(NumberFormat, TwentyDigitsAndThreeDigitExponents)
{
    const std::vector<FormatCase> rows = {
        {0.0, "0", "0"},
        {-0.0, "-0", "-0"},
        {1.0, "1", "1"},
        {100.0, "100", "100"},
        {1e15, "1000000000000000", "1000000000000000"},
        {1e19, "10000000000000000000", "10000000000000000000"},
        {1e20, "1e+020", "1E+020"},
        {1e21, "1e+021", "1E+021"},
        {1124000727777607680000.0, "1.12400072777760768e+021", "1.12400072777760768E+021"},
        {0.1, "0.10000000000000000555", "0.10000000000000000555"},
        {0.0001, "0.00010000000000000000479", "0.00010000000000000000479"},
        {1e-5, "1.0000000000000000818e-005", "1.0000000000000000818E-005"},
        {1e-7, "9.9999999999999995475e-008", "9.9999999999999995475E-008"},
        {-1.5e-7, "-1.4999999999999999321e-007", "-1.4999999999999999321E-007"},
        {123.456, "123.45600000000000307", "123.45600000000000307"},
        {-0.001, "-0.0010000000000000000208", "-0.0010000000000000000208"},
        {2.0 / 3.0, "0.66666666666666662966", "0.66666666666666662966"},
        {1e100, "1.0000000000000000159e+100", "1.0000000000000000159E+100"},
        {1.7976931348623157e308, "1.7976931348623157081e+308", "1.7976931348623157081E+308"},
        {5e-324, "4.9406564584124654418e-324", "4.9406564584124654418E-324"},
        {2.585201673888498e22, "2.5852016738884978213e+022", "2.5852016738884978213E+022"},
    };
    for (const FormatCase& row : rows) {
        SCOPED_TRACE(row.Lower);
        EXPECT_EQ(FormatNumber(row.Value), row.Lower);
        EXPECT_EQ(FormatNumber(row.Value, true), row.Upper);
        EXPECT_EQ(FormatNumber(row.Value, std::string_view("%.20g")), row.Lower);
        EXPECT_EQ(FormatNumber(row.Value, std::string_view("%.20G")), row.Upper);
        EXPECT_EQ(FormatNumberText(row.Value), std::u16string(row.Lower.begin(), row.Lower.end()));
    }
}

TEST(NumberFormat, SettingsSelectTheCaseOfTheExponentLetter)
{
    Tevra::CCalcSettings settings;
    EXPECT_EQ(settings.NumberFormat(), "%.20g");
    settings.NotationCase = 1;
    EXPECT_EQ(settings.NumberFormat(), "%.20G");
    EXPECT_EQ(FormatNumber(1e21, settings.NumberFormat()), "1E+021");
}

TEST(NumberFormat, DoesNotFollowTheCLocale)
{
    const char* const candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "C.UTF-8"};
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char* name : candidates) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            commaLocale = true;
            break;
        }
    }
    const std::string formatted = FormatNumber(0.5);
    const double parsed = ParseNumber(u"2.5");
    std::setlocale(LC_ALL, saved.c_str());
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(formatted, "0.5");
    EXPECT_EQ(parsed, 2.5);
}

TEST(NumberFormat, ParseReadsTheLongestLeadingNumber)
{
    struct Row {
        std::u16string Text;
        double Value;
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<Row> rows = {
        {u"1.5e-3", 0.0015},    {u"+5", 5.0},     {u"-2.5", -2.5},  {u"1.", 1.0},
        {u".5", 0.5},           {u"e5", 0.0},     {u".e5", 0.0},    {u"1e999", infinity},
        {u"-1e999", -infinity}, {u"1e-400", 0.0}, {u"12abc", 12.0}, {u"1e5e5", 100000.0},
        {u"0x10", 0.0},         {u"inf", 0.0},    {u"nan", 0.0},    {u"", 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Readable(row.Text));
        EXPECT_EQ(ParseNumber(row.Text), row.Value);
    }
}

}  // namespace
}  // namespace EngineTests
