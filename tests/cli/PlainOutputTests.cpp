// Runs and their default output: texts on standard output, log records on
// standard error, the exit status.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using TevraTest::RunTevra;

struct PlainRow {
    const char* Label;
    std::vector<std::string> Arguments;
    std::string Input;
    std::string Out;
    std::string Err;
    int Status;
};

void PrintTo(const PlainRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraPlainOutput : public testing::TestWithParam<PlainRow> {};

TEST_P(TevraPlainOutput, PrintsEachResultingTextAndEachLogRecord)
{
    const auto& row = GetParam();
    const auto outcome = RunTevra(row.Arguments, row.Input);
    EXPECT_EQ(outcome.Out, row.Out);
    EXPECT_EQ(outcome.Err, row.Err);
    EXPECT_EQ(outcome.Status, row.Status);
}

const std::string UninitializedMemory = "Warning\tMemory\tUninitialized memory used, value forced to 0\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, TevraPlainOutput,
    testing::Values(
        PlainRow{"OneLineCalculation", {"-e", "2+3"}, "", "2+3=5\n", "", 0},
        PlainRow{"EveryStatementOfARun", {"-e", "1;2"}, "", "1=1;2=2\n", "", 0},
        PlainRow{"OldResultReplaced", {"-e", "2+3 =  7 // sum"}, "", "2+3 =  5 // sum\n", "", 0},
        PlainRow{"NonAsciiText", {"-e", "\xCE\x93(5) // \xC3\xA9"}, "", "\xCE\x93(5)=24 // \xC3\xA9\n", "", 0},
        PlainRow{"StandardInputWhenNoRun", {}, "2*3", "2*3=6\n", "", 0},
        PlainRow{"StandardInputKeepsItsLineEnd", {}, "2*3\n", "2*3=6\n\n", "", 0},
        PlainRow{"EmptyStandardInput", {}, "", "\n", "", 0},
        PlainRow{"DashAmongOtherRuns", {"-e", "1", "-", "-e", "2"}, "3", "1=1\n3=3\n2=2\n", "", 0},
        PlainRow{"SecondDashFindsInputAtItsEnd", {"-", "-"}, "4", "4=4\n\n", "", 0},
        PlainRow{"MemoryCarriesOverBetweenRuns",
                 {"-e", "5->Mem[x]", "-e", "Mem[x]*2", "-e", "rslt+1"},
                 "",
                 "5->Mem[x]=5\nMem[x]*2=10\nrslt+1=11\n",
                 "",
                 0},
        PlainRow{"LastResultSurvivesAFailingRun",
                 {"-e", "6", "-e", "ln(-1)", "-e", "rslt"},
                 "",
                 "6=6\nln(-1)\nrslt=6\n",
                 "1\tError\tNatural logarithm\tFunction is not defined for -1\n",
                 1},
        PlainRow{"FailureStopsItsRunOnly",
                 {"-e", "1/0=3;7", "-e", "2"},
                 "",
                 "1/0;7\n2=2\n",
                 "1\tError\tDivision\tOperation has singularity at 0\n",
                 1},
        PlainRow{"SyntaxErrorHasNoContext", {"-e", "2+"}, "", "2+\n", "1\tError\tNone\tSyntax error\n", 1},
        PlainRow{"LogNumbersStartAgainWithEachRun",
                 {"-e", "Mem[a]+Mem[b]", "-e", "Mem[c]"},
                 "",
                 "Mem[a]+Mem[b]=0\nMem[c]=0\n",
                 "1\t" + UninitializedMemory + "2\t" + UninitializedMemory + "1\t" + UninitializedMemory,
                 0},
        PlainRow{"WarningsDoNotFail",
                 {"-e", "1e-200*1e-200"},
                 "",
                 "1e-200*1e-200=0\n",
                 "1\tWarning\tMultiplication\tOperation resulted in underflow, result accepted as 0\n",
                 0},
        PlainRow{"LowerCaseNotationByDefault", {"-e", "1e20*10"}, "", "1e20*10=1e+021\n", "", 0},
        PlainRow{"UpperCaseNotation", {"--upper", "-e", "1e20*10"}, "", "1e20*10=1E+021\n", "", 0},
        PlainRow{"RadiansByDefault", {"-e", "sin(90)"}, "", "sin(90)=0.89399666360055785042\n", "", 0},
        PlainRow{"Degrees", {"--units", "deg", "-e", "sin(90)"}, "", "sin(90)=1\n", "", 0},
        PlainRow{"Grads", {"--units", "grad", "-e", "sin(100)"}, "", "sin(100)=1\n", "", 0},
        PlainRow{"CaretInSecondStatement", {"--caret", "2", "-e", "1;2"}, "", "1;2=2\n", "", 0},
        PlainRow{"CaretInFirstStatement", {"--caret", "0", "-e", "1;2"}, "", "1=1;2\n", "", 0},
        PlainRow{"CaretAppliesToEveryRun", {"--caret", "0", "-e", "1;2", "-e", "3;4"}, "", "1=1;2\n3=3;4\n", "", 0},
        PlainRow{"CaretBeyondTheText", {"--caret", "99", "-e", "1;2"}, "", "1;2\n", "", 0},
        PlainRow{"MalformedUtf8OnStandardInput", {}, "1+\xFF", "", "tevra: standard input: not valid UTF-8\n", 2},
        PlainRow{"MalformedUtf8InText", {"-e", "1", "-e", "\xC0\xAF"}, "", "", "tevra: -e: not valid UTF-8\n", 2},
        PlainRow{"FullDigitsByDefault", {"-e", "0.1+0.2"}, "", "0.1+0.2=0.30000000000000004441\n", "", 0},
        PlainRow{"TwentyDigitsAsByDefault",
                 {"--digits", "20", "-e", "0.1+0.2"},
                 "",
                 "0.1+0.2=0.30000000000000004441\n",
                 "",
                 0},
        PlainRow{"FifteenDigits", {"--digits", "15", "-e", "0.1+0.2"}, "", "0.1+0.2=0.3\n", "", 0},
        PlainRow{
            "FifteenDigitsInDegrees", {"--digits=15", "--units", "deg", "-e", "sin(30)"}, "", "sin(30)=0.5\n", "", 0},
        PlainRow{"AnyCountOfDigits", {"--digits", "3", "-e", "2/3;pi*1e6"}, "", "2/3=0.667;pi*1e6=3.14e+006\n", "", 0},
        PlainRow{"OneDigit", {"--digits", "1", "-e", "0.35"}, "", "0.35=0.3\n", "", 0},
        PlainRow{
            "DigitsWithUpperCase", {"--digits", "6", "--upper", "-e", "1e20/3"}, "", "1e20/3=3.33333E+019\n", "", 0},
        PlainRow{"DigitsKeepTheValueForTheNextRun",
                 {"--digits", "6", "-e", "0.1+0.2->Mem[x]", "-e", "(Mem[x]-0.3)*1e17"},
                 "",
                 "0.1+0.2->Mem[x]=0.3\n(Mem[x]-0.3)*1e17=5.55112\n",
                 "",
                 0}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraRandomNumbers, SameSeedGivesTheSameSequenceAcrossRuns)
{
    const std::vector<std::string> arguments = {"--seed", "42", "-e", "rand", "-e", "rand"};
    const auto first = RunTevra(arguments);
    const auto second = RunTevra(arguments);
    EXPECT_EQ(first.Status, 0);
    EXPECT_EQ(first.Out, second.Out);

    // The generator carries over: the second run draws the next number.
    const auto newline = first.Out.find('\n');
    ASSERT_NE(newline, std::string::npos);
    const std::string firstLine = first.Out.substr(0, newline + 1);
    const std::string secondLine = first.Out.substr(newline + 1);
    EXPECT_TRUE(firstLine.starts_with("rand=0.")) << first.Out;
    EXPECT_TRUE(secondLine.starts_with("rand=0.")) << first.Out;
    EXPECT_NE(firstLine, secondLine);
}

TEST(TevraRandomNumbers, OtherSeedGivesOtherNumbers)
{
    EXPECT_NE(RunTevra({"--seed", "1", "-e", "rand"}).Out, RunTevra({"--seed", "2", "-e", "rand"}).Out);
}

TEST(TevraStatistics, PlainRowsFollowTheRuns)
{
    const auto outcome = RunTevra({"--stats", "-e", "1->Mem[a];2->Mem[b];3->Mem[c];4->Mem[d]"});
    EXPECT_EQ(outcome.Out,
              "1->Mem[a]=1;2->Mem[b]=2;3->Mem[c]=3;4->Mem[d]=4\n"
              "Mean (average)\t2.5\n"
              "Variance\t1.6666666666666667407\n"
              "Standard deviation\t1.2909944487358055998\n"
              "Average deviation\t1\n"
              "Skewness\t0\n"
              "Kurtosis\t-2.0775000000000001243\n");
    EXPECT_EQ(outcome.Status, 0);
}

TEST(TevraStatistics, PlainRowsShowTheDigitsAskedFor)
{
    const auto outcome = RunTevra({"--stats", "--digits", "6", "-e", "1->Mem[a];2->Mem[b];3->Mem[c];4->Mem[d]"});
    EXPECT_EQ(outcome.Out,
              "1->Mem[a]=1;2->Mem[b]=2;3->Mem[c]=3;4->Mem[d]=4\n"
              "Mean (average)\t2.5\n"
              "Variance\t1.66667\n"
              "Standard deviation\t1.29099\n"
              "Average deviation\t1\n"
              "Skewness\t0\n"
              "Kurtosis\t-2.0775\n");
    EXPECT_EQ(outcome.Status, 0);
}

TEST(TevraDigits, TheSavedMemoryKeepsEveryDigit)
{
    const TevraTest::ScratchDirectory directory;
    const auto saved = RunTevra({"--digits", "6", "-e", "2/3->Mem[x]", "--save-memory", "m.vcm"}, "", directory);
    EXPECT_EQ(saved.Out, "2/3->Mem[x]=0.666667\n");
    const auto loaded = RunTevra({"--load-memory", "m.vcm", "-e", "Mem[x]"}, "", directory);
    EXPECT_EQ(loaded.Out, "Mem[x]=0.66666666666666662966\n");
}

TEST(TevraStatistics, EqualValuesCannotGiveSkewness)
{
    const auto outcome = RunTevra({"--stats", "--upper", "-e", "1e20->Mem[a];1e20->Mem[b]"});
    EXPECT_EQ(outcome.Out,
              "1e20->Mem[a]=1E+020;1e20->Mem[b]=1E+020\n"
              "Mean (average)\t1E+020\n"
              "Variance\t0\n"
              "Standard deviation\t0\n"
              "Average deviation\t0\n"
              "Skewness\tCannot be calculated\n"
              "Kurtosis\tCannot be calculated\n");
}

}  // namespace
