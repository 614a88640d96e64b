// Series sums and products: the shape of their argument list, the direction
// and step of the index, the index variable before, during and after the
// series, and the reports of the accumulating steps.
#include "support/EngineTestSupport.h"

namespace EngineTests {
namespace {

class Series : public EngineTest {};

TEST_F(Series, SumsAndProductsOverTheRange)
{
    const std::vector<ValueCase> rows = {
        {u"sum(i,1,100,i)", "5050"},
        {u"prod(i,1,5,i)", "120"},
        {u"sum(i,1,1,i)", "1"},
        {u"sum(k,1,4,k^2)", "30"},
        {u"prod(i,0.5,2.5,0.5,i)", "3.75"},
        {u"sum(i,1,3,2)", "6"},
        {u"sum(i,0,1,0.1,i)", "5.5"},
        // A step of 0.1 reaches 0.9999999999999999 before it passes 1: 11 terms.
        {u"sum(i,0,1,0.1,1)", "11"},
        {u"sum(i , 1 , 3 , i)", "6"},
        {u"sum(i,1,3,i)*2", "12"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Series, RangeRunsFromStartTowardsEndWhateverTheStepSign)
{
    const std::vector<ValueCase> rows = {
        {u"sum(i,1,10,-1,i)", "55"},
        {u"sum(i,10,1,i)", "55"},
        {u"sum(i,10,1,-1,i)", "55"},
        {u"sum(i,1,0,i)", "1"},
        {u"sum(i,1,0,1)", "2"},
        {u"sum(i,1,0,0.25,i)", "2.5"},
        {u"prod(i,5,1,i)", "120"},
        {u"sum(i,3,1,0.5,i)", "10"},
        // Equal bounds give one term.
        {u"sum(i,2,2,-5,i)", "2"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Series, ShapeErrorsAreSyntaxErrorsOfTheSeries)
{
    const std::vector<FailureCase> rows = {
        {u"sum(i,1,10)", {SyntaxErrorRecord("Series sum")}},
        {u"sum(i,1,10,1,i,5)", {SyntaxErrorRecord("Series sum")}},
        {u"sum(i,1)", {SyntaxErrorRecord("Series sum")}},
        {u"sum(5)", {SyntaxErrorRecord("Series sum")}},
        {u"prod(i,1,2)", {SyntaxErrorRecord("Series product")}},
        {u"prod(i,1,2,3,4,5)", {SyntaxErrorRecord("Series product")}},
        {u"\u2211(i,1,2)", {SyntaxErrorRecord("Series sum")}},
        // The index must be a name.
        {u"sum(1,1,10,1)", {SyntaxErrorRecord("Series sum")}},
        {u"sum(2*i,1,10,i)", {SyntaxErrorRecord("Series sum")}},
        // A step of zero never moves.
        {u"sum(i,1,10,0,i)", {SyntaxErrorRecord("Series sum")}},
        {u"prod(i,1,10,1-1,i)", {SyntaxErrorRecord("Series product")}},
        {u"sum(i,5,5,0,i)", {SyntaxErrorRecord("Series sum")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(Series, AnIndexThatStopsAdvancingEndsWithASyntaxError)
{
    const std::vector<FailureCase> rows = {
        {u"sum(i,1e17,1e17+10,i)", {SyntaxErrorRecord("Series sum")}},
        {u"prod(i,1e17,1e17+10,1,1)", {SyntaxErrorRecord("Series product")}},
        {u"sum(i,1,2,1e-300,i)", {SyntaxErrorRecord("Series sum")}},
        {u"sum(i,-1e17,-1e17-10,1)", {SyntaxErrorRecord("Series sum")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(Series, IndexIsUnsetOutsideItsSeries)
{
    const std::vector<ValueCase> rows = {
        // Bounds are evaluated before the index has a value.
        {u"sum(i,i,3,i)", "6", {UnsetIndexRecord()}},
        {u"sum(i,1,i+2,i)", "3", {UnsetIndexRecord()}},
        // After the inner series its index reads as unset again.
        {u"sum(j,1,1,sum(i,1,3,i)+i)", "6", {UnsetIndexRecord()}},
        // A name outside the series' list is a different variable.
        {u"sum(i,1,3,i)+i", "6", {UnsetIndexRecord()}},
        // Two series with the same index name.
        {u"sum(i,1,2,i)+sum(i,1,3,i)", "9"},
        {u"sum(i,1,3,sum(j,1,i,j))", "10"},
        {u"sum(i,1,2,sum(j,1,3,i*j))", "18"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Series, AccumulationOverflowAndUnderflow)
{
    ExpectFailure(u"prod(i,1,200,i)", {PositiveOverflow("Series product")});
    ExpectFailure(u"sum(i,1,2,1e308)", {PositiveOverflow("Series sum")});
    ExpectFailure(u"sum(i,1,2,-1e308)", {NegativeOverflow("Series sum")});
    ExpectValue(u"prod(i,1,2,1e-200)", "0", {UnderflowToZero("Series product")});
}

TEST_F(Series, AFailingTermStopsTheSeries)
{
    ExpectFailure(u"sum(i,-1,1,1/i)", {Error("Division", "Operation has singularity at 0")});
    ExpectFailure(u"sum(i,1,3,ln(i-2))", {Error("Natural logarithm", "Function is not defined for -1")});
    ExpectFailure(u"sum(i,1/0,3,i)", {Error("Division", "Operation has singularity at 0")});
    // A list as the body is no value and fails without a report.
    ExpectFailure(u"sum(i,1,2,(1,2))", {});
}

TEST_F(Series, EveryTermReadsMemoryAgain)
{
    ExpectValue(u"0->mem[s]", "0");
    ExpectValue(u"sum(i,1,4,mem[s]+i->mem[s])", "20");
    ExpectValue(u"mem[s]", "10");
}

}  // namespace
}  // namespace EngineTests
