// The command line itself: help, version and every kind of usage error.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using TevraTest::RunTevra;

// A usage error is one line: the problem, then a reminder of the usage.
const std::string Reminder = " (usage: tevra [OPTIONS] [RUN ...]; try 'tevra --help')\n";

TEST(TevraInformation, VersionNamesTheProgram)
{
    const auto outcome = RunTevra({"--version"});
    EXPECT_EQ(outcome.Out, "Calculator Tevra 01.01.001\n");
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Status, 0);
}

TEST(TevraInformation, HelpListsEveryOptionOnStandardOutput)
{
    const auto outcome = RunTevra({"-e", "1", "--help"});
    EXPECT_TRUE(outcome.Out.starts_with("Usage: tevra [OPTIONS] [RUN ...]\n")) << outcome.Out;
    for (const char* option :
         {"-e TEXT", "--json", "--units UNIT", "--upper", "--seed N", "--caret N", "--load-memory FILE",
          "--save-memory FILE", "--in-place", "--stats", "--version", "--digits N"})
        EXPECT_NE(outcome.Out.find(option), std::string::npos) << option;
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Status, 0);
}

struct UsageRow {
    const char* Label;
    std::vector<std::string> Arguments;
    std::string Message;
};

void PrintTo(const UsageRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraUsageError : public testing::TestWithParam<UsageRow> {};

TEST_P(TevraUsageError, PrintsTheProblemAndTheUsageAndRunsNothing)
{
    const auto outcome = RunTevra(GetParam().Arguments, "1+1");
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: " + GetParam().Message + Reminder);
    EXPECT_EQ(outcome.Status, 2);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, TevraUsageError,
    testing::Values(
        UsageRow{"UnknownLongOption", {"--bogus"}, "unknown option '--bogus'"},
        UsageRow{"UnknownShortOption", {"-x", "-e", "1"}, "unknown option '-x'"},
        UsageRow{"NegativeNumberIsNotARun", {"-5"}, "unknown option '-5'"},
        UsageRow{"TextMissing", {"-e"}, "option '-e' needs a value TEXT"},
        UsageRow{"UnitsMissing", {"-e", "1", "--units"}, "option '--units' needs a value UNIT"},
        UsageRow{"UnitsUnknown", {"--units", "turns"}, "--units takes rad, deg or grad, not 'turns'"},
        UsageRow{"UnitsCaseMatters", {"--units=DEG"}, "--units takes rad, deg or grad, not 'DEG'"},
        UsageRow{
            "SeedNegative", {"--seed", "-1"}, "--seed takes a whole number from 0 to 18446744073709551615, not '-1'"},
        UsageRow{"SeedTooLarge",
                 {"--seed", "18446744073709551616"},
                 "--seed takes a whole number from 0 to 18446744073709551615, not '18446744073709551616'"},
        UsageRow{"SeedNotANumber",
                 {"--seed", "12ab"},
                 "--seed takes a whole number from 0 to 18446744073709551615, not '12ab'"},
        UsageRow{"CaretBelowMinusOne",
                 {"--caret", "-2"},
                 "--caret takes a position of 0 or more, or -1 for all statements, not '-2'"},
        UsageRow{"CaretFraction",
                 {"--caret=1.5"},
                 "--caret takes a position of 0 or more, or -1 for all statements, not '1.5'"},
        UsageRow{"CaretEmpty", {"--caret="}, "--caret takes a position of 0 or more, or -1 for all statements, not ''"},
        UsageRow{"LoadMemoryMissing", {"--load-memory"}, "option '--load-memory' needs a value FILE"},
        UsageRow{"SaveMemoryMissing", {"-e", "1", "--save-memory"}, "option '--save-memory' needs a value FILE"},
        UsageRow{"FlagWithValue", {"--json=yes"}, "option '--json' takes no value"},
        UsageRow{
            "DigitsZero", {"--digits", "0"}, "--digits takes a number of significant digits from 1 to 20, not '0'"},
        UsageRow{"DigitsAboveTwenty",
                 {"--digits=21", "-e", "1"},
                 "--digits takes a number of significant digits from 1 to 20, not '21'"},
        UsageRow{"DigitsNotANumber",
                 {"--digits", "15.0"},
                 "--digits takes a number of significant digits from 1 to 20, not '15.0'"},
        UsageRow{"DigitsMissing", {"-e", "1", "--digits"}, "option '--digits' needs a value N"},
        UsageRow{"DigitsWithJson",
                 {"--json", "--digits", "15", "-e", "1"},
                 "--digits shortens the text output; --json keeps every digit"}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraUsageErrors, WriteNoFileEvenWhenTheErrorComesLast)
{
    const TevraTest::ScratchDirectory directory;
    const auto outcome = RunTevra({"-e", "5->Mem[a]", "--save-memory", "m.vcm", "--bogus"}, "", directory);
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "m.vcm"));
}

TEST(TevraOptionValues, MayFollowAnEqualsSign)
{
    const auto outcome = RunTevra({"--units=deg", "--caret=0", "-e", "sin(90);sin(90)"});
    EXPECT_EQ(outcome.Out, "sin(90)=1;sin(90)\n");
    EXPECT_EQ(outcome.Status, 0);
}

TEST(TevraOptionValues, TextOfMinusEMayStartWithAMinus)
{
    const auto outcome = RunTevra({"-e", "-5+3"});
    EXPECT_EQ(outcome.Out, "-5+3=-2\n");
    EXPECT_EQ(outcome.Status, 0);
}

TEST(TevraOptionValues, DoubleDashMakesEveryLaterArgumentAFile)
{
    const auto outcome = RunTevra({"--", "-e"});
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: -e: Cannot open the file for reading\n");
    EXPECT_EQ(outcome.Status, 2);
}

}  // namespace
