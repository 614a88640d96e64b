// Rows found by a line-by-line review of the engine against the required
// behaviour, and the boundaries of the parser's guards against statements that
// would exhaust the stack or take quadratic time.
#include "support/EngineTestSupport.h"

namespace EngineTests {
namespace {

const std::string SyntaxErrorRecord = "Error|None|Syntax error";

class ConformanceReview : public EngineTest {};

// Long statements have no limit but memory, and nesting up to the guard is an
// ordinary statement.
TEST_F(ConformanceReview, StatementsUpToTheLimitsAreComputed)
{
    const std::vector<ValueCase> rows = {
        {u"1" + Repeat(u"+1", 1999), "2000"},
        // One term beyond the 2,000 nodes an older parser allowed.
        {u"1" + Repeat(u"+1", 2000), "2001"},
        {Repeat(u"abs(", NCalculatorText::MaxNestingDepth - 1) + u"1" +
             Repeat(u")", NCalculatorText::MaxNestingDepth - 1),
         "1"},
        // Literals of 32,768 characters and beyond; spaces do not count.
        {Repeat(u"0", 32767) + u"1", "1"},
        {Repeat(u"0 ", 32767) + u"1", "1"},
        {Repeat(u"0", 32768) + u"1", "1"},
        // A memory cell with a long name.
        {u"7->mem[" + Repeat(u"n", 30000) + u"]", "7"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

// One level beyond the nesting guard the statement is refused as a syntax error.
TEST_F(ConformanceReview, StatementsBeyondTheNestingGuardAreSyntaxErrors)
{
    const auto depth = static_cast<std::size_t>(NCalculatorText::MaxNestingDepth);
    const std::vector<std::u16string> rows = {
        Repeat(u"abs(", depth) + u"1" + Repeat(u")", depth),
        Repeat(u"1+(", depth) + u"1" + Repeat(u")", depth),
    };
    for (const std::u16string& row : rows)
        ExpectFailure(row, {SyntaxErrorRecord});
}

// The logarithm of a gamma value beyond every double is an overflow, never an
// infinite result written into the text.
TEST_F(ConformanceReview, LogarithmOfAnEnormousGammaValueOverflows)
{
    const std::vector<FailureCase> rows = {
        {u"ln(3e305!)", {"Error|Factorial|Operation resulted in overflow, too big positive number returned"}},
        {u"ln(gamma(3e305))",
         {"Error|Gamma function|Operation resulted in overflow, too big positive number returned"}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

}  // namespace
}  // namespace EngineTests
