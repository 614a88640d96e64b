// Rows found by a line-by-line review of the engine against the required
// behaviour, and the boundaries of the parser's guards against statements that
// would exhaust the stack or take quadratic time.
#include "EngineTestSupport.h"

namespace EngineTests {
namespace {

const std::string SyntaxErrorRecord = "Error|None|Syntax error";

class ConformanceReview : public EngineTest {};

// Up to the limits a long or deep statement is an ordinary statement.
TEST_F(ConformanceReview, StatementsUpToTheLimitsAreComputed)
{
    const std::vector<ValueCase> rows = {
        // 2,000 terms of one chain of "+": 2,000 nodes on the deepest path.
        {u"1" + Repeat(u"+1", 1999), "2000"},
        // 1,999 nested calls of a function around a number.
        {Repeat(u"abs(", 1999) + u"1" + Repeat(u")", 1999), "1"},
        // A literal of 32,768 characters; spaces do not count.
        {Repeat(u"0", 32767) + u"1", "1"},
        {Repeat(u"0 ", 32767) + u"1", "1"},
        // A memory cell with a long name.
        {u"7->mem[" + Repeat(u"n", 30000) + u"]", "7"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

// One step beyond a limit the statement is refused as a syntax error.
TEST_F(ConformanceReview, StatementsBeyondTheLimitsAreSyntaxErrors)
{
    const std::vector<std::u16string> rows = {
        u"1" + Repeat(u"+1", 2000),
        Repeat(u"abs(", 2000) + u"1" + Repeat(u")", 2000),
        Repeat(u"0", 32768) + u"1",
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
