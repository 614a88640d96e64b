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

TEST(NumberFormat, FewerDigitsRoundAndKeepTheExponentRule)
{
    struct Row {
        double Value;
        int Digits;
        std::string Lower;
        std::string Upper;
    };
    const std::vector<Row> rows = {
        {0.1 + 0.2, 20, "0.30000000000000004441", "0.30000000000000004441"},
        {0.1 + 0.2, 17, "0.30000000000000004", "0.30000000000000004"},
        {0.1 + 0.2, 15, "0.3", "0.3"},
        {0.1 + 0.2, 12, "0.3", "0.3"},
        {0.1 + 0.2, 6, "0.3", "0.3"},
        {2.0 / 3.0, 15, "0.666666666666667", "0.666666666666667"},
        {2.0 / 3.0, 12, "0.666666666667", "0.666666666667"},
        {2.0 / 3.0, 6, "0.666667", "0.666667"},
        {-2.0 / 3.0, 6, "-0.666667", "-0.666667"},
        {123456.789, 6, "123457", "123457"},
        {1234567.0, 6, "1.23457e+006", "1.23457E+006"},
        {1e21, 15, "1e+021", "1E+021"},
        {1e21, 6, "1e+021", "1E+021"},
        {1.5e-7, 6, "1.5e-007", "1.5E-007"},
        {1.7976931348623157e308, 12, "1.79769313486e+308", "1.79769313486E+308"},
        {1e-320, 6, "9.99989e-321", "9.99989E-321"},
        {0.0001, 15, "0.0001", "0.0001"},
        {0.00001, 15, "1e-005", "1E-005"},
        {999999.5, 6, "1e+006", "1E+006"},
        {100.0, 6, "100", "100"},
        {0.0, 6, "0", "0"},
        {-0.0, 12, "-0", "-0"},
        {std::numeric_limits<double>::infinity(), 6, "inf", "INF"},
        {std::nan(""), 15, "nan", "NAN"},
        // A count outside 1 to 20 is the full count.
        {0.1, 0, "0.10000000000000000555", "0.10000000000000000555"},
        {0.1, 21, "0.10000000000000000555", "0.10000000000000000555"},
        {0.1, -3, "0.10000000000000000555", "0.10000000000000000555"},
        {0.25, 1, "0.2", "0.2"},
        {0.35, 1, "0.3", "0.3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Lower + " with " + std::to_string(row.Digits) + " digits");
        EXPECT_EQ(FormatNumber(row.Value, false, row.Digits), row.Lower);
        EXPECT_EQ(FormatNumber(row.Value, true, row.Digits), row.Upper);
        EXPECT_EQ(FormatNumber(row.Value, std::string_view("%.20G"), row.Digits), row.Upper);
        EXPECT_EQ(FormatNumberText(row.Value, false, row.Digits), std::u16string(row.Lower.begin(), row.Lower.end()));
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

TEST(NumberFormat, TheDigitsSettingGivesItsCountOrTheFullOne)
{
    Tevra::CCalcSettings settings;
    EXPECT_EQ(settings.ResultDigits(), 20);
    for (const std::uint32_t digits : Tevra::DigitChoices) {
        settings.DigitsInResults = digits;
        EXPECT_EQ(settings.ResultDigits(), static_cast<int>(digits));
    }
    for (const std::uint32_t outside : {0u, 21u, 0xFFFFFFFFu}) {
        settings.DigitsInResults = outside;
        EXPECT_EQ(settings.ResultDigits(), 20) << outside;
    }
}

class ResultDigits : public EngineTest {};

TEST_F(ResultDigits, ShortenTheWrittenResultsAndKeepTheValues)
{
    struct Row {
        std::uint32_t Digits;
        std::uint32_t Units;
        std::u16string Input;
        std::string Written;
    };
    const std::vector<Row> rows = {
        {20, 0, u"0.1+0.2", "0.30000000000000004441"},
        {17, 0, u"0.1+0.2", "0.30000000000000004"},
        {15, 0, u"0.1+0.2", "0.3"},
        {15, 1, u"sin(30)", "0.5"},
        {20, 1, u"sin(30)", "0.49999999999999994449"},
        {12, 0, u"1/3", "0.333333333333"},
        {6, 0, u"pi", "3.14159"},
        {6, 0, u"1e30*3", "3e+030"},
    };
    for (const Row& row : rows) {
        NCalculatorText::State() = {};
        NCalculatorText::State().LogReceiver = &Log;
        NCalculatorText::State().CalcSettings.DigitsInResults = row.Digits;
        SetUnits(row.Units);
        SCOPED_TRACE(std::to_string(row.Digits) + " digits");
        ExpectValue(row.Input, row.Written);
    }
    // What is kept is the value itself, not its shortened text.
    NCalculatorText::State() = {};
    NCalculatorText::State().LogReceiver = &Log;
    NCalculatorText::State().CalcSettings.DigitsInResults = 6;
    ExpectValue(u"0.1+0.2->mem[x]", "0.3");
    EXPECT_EQ(NCalculatorText::State().LastResult, 0.1 + 0.2);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"x")->Value, 0.1 + 0.2);
    ExpectValue(u"rslt*10", "3");
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
