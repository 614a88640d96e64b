// The value the statement at the caret would get, worked out without leaving
// a trace: a preview stores no memory cell, draws no number from the random
// sequence, makes no log record, and leaves the last result, the evaluation
// state and the memory's change flag as they were. It runs the statement as
// Calculate would, on the same process-wide state, and puts every piece of
// that state back afterwards; so, like any calculation, it must not run while
// another one does. A cancel asked of the last calculation does not stop it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/engine/StatementHint.h"
#include "core/engine/StatementText.h"

namespace NCalculatorText {

// What a preview may cost at most; beyond it the statement is not previewed.
struct PreviewLimits {
    // The longest expression previewed, in UTF-16 code units: parsing costs
    // about a tenth of a microsecond per character.
    std::size_t LongestExpression = 20000;
    // Steps of work (series terms, Bessel orders, see EvaluationBudget.h).
    std::uint64_t MostWork = 1000000;
};

struct PreviewOutcome {
    enum class Kind {
        NoStatement,  // the caret stands in no statement, or in a blank one
        Value,        // the statement would succeed with Value
        Failed,       // it would fail
        TooLong,      // it would take longer than the limits allow: not previewed
    };
    Kind Outcome = Kind::NoStatement;
    double Value = 0.0;
    // The first record the statement would log: on failure why, on success
    // the first warning. Reported is false when there is none.
    bool Reported = false;
    std::int32_t Status = 0;
    std::u16string Context;
    std::u16string Description;
    // Why it would fail or warn and how to write it, when the text shows a
    // known mistake; for a list, which fails without a record, that it has
    // no single value.
    StatementHint Hint;
    // The statement previewed without its surrounding blanks and comments.
    StatementRange Statement;
};

// Previews the statement that Calculate would run for a caret at position
// caret of text. The trigonometric units are those of the settings now, as
// the next calculation would take them. Costs a pass over the whole text to
// find the comments, and then what the statement costs.
PreviewOutcome PreviewStatement(std::u16string_view text, std::size_t caret, const PreviewLimits& limits = {});

}  // namespace NCalculatorText
