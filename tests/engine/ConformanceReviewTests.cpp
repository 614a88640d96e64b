// Rows found by a line-by-line review of the engine against the required
// behaviour. Each row states what the calculation must give; a row that fails
// marks a place where the engine does something else.
#include "EngineTestSupport.h"

namespace EngineTests {
namespace {

std::u16string Repeat(std::u16string_view piece, std::size_t count)
{
    std::u16string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

class ConformanceReview : public EngineTest {};

// Nothing in the parser may depend on how long a statement is or how many
// nodes lie on one path of its tree: a plain chain of additions and a long
// literal are ordinary statements and must be computed.
TEST_F(ConformanceReview, LongAndDeepStatementsAreComputed)
{
    const std::vector<ValueCase> rows = {
        // 2,001 terms of one chain of "+" (2,000 nodes on one path).
        {u"1" + Repeat(u"+1", 2000), "2001"},
        // 2,001 nested calls of a function.
        {Repeat(u"abs(", 2001) + u"1" + Repeat(u")", 2001), "1"},
        // a literal of 40,001 digits.
        {Repeat(u"0", 40000) + u"1", "1"},
        // a memory cell name of 40,000 characters.
        {u"7->mem[" + Repeat(u"n", 40000) + u"]", "7"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

}  // namespace
}  // namespace EngineTests
