// The known mistakes of calculation text and the pass that finds them. The
// pass reads a statement that failed or warned and names the first place
// where its text stops making sense, with the likely cause and the text to
// write instead. It only reads: it never parses, evaluates or reports, so a
// hint changes nothing of what a calculation does or logs.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/LogRecord.h"
#include "core/engine/StatementHint.h"

namespace Tevra {
class CMemoryMap;
}

namespace NCalculatorText {

// One row per known mistake: the explanation and the suggested text, each
// with "{0}" and "{1}" standing for the pieces of the statement that the
// pass finds; and, for the help pages, a heading, an example of the mistake
// and a paragraph.
struct MistakeRow {
    Mistake Kind;
    std::u16string_view Topic;  // the help paragraph's anchor
    std::u16string_view Explanation;
    std::u16string_view Suggestion;  // empty when there is nothing to suggest
    std::u16string_view Heading;
    std::u16string_view Example;
    std::u16string_view Help;
};

std::span<const MistakeRow> MistakeTable();
const MistakeRow* FindMistake(Mistake kind);
const MistakeRow* FindMistakeByTopic(std::u16string_view topic);

// What the pass is asked about: the kind of report, and for a warning about
// an empty memory cell, the cell the read found empty (any cell named in the
// statement that memory does not hold when empty).
struct ExplainRequest {
    ReportCode Code = SyntaxError;
    bool MemoryRead = false;  // the warning is about memory, not an index
    std::u16string_view UnsetCell;
};

// The hint for a statement's expression (its comments blank); the spot
// counts from the expression's start. Nothing when the text shows no known
// mistake. Costs a pass over the expression.
std::optional<StatementHint> ExplainExpression(std::u16string_view expression, const ExplainRequest& request,
                                               const Tevra::CMemoryMap& memory);

// A statement that evaluates to a list has no single value: the hint for
// the value pane, with the number meant when the list reads like a decimal
// comma ("3,5*2" is 3.5*2). Nothing when the expression is no list.
std::optional<StatementHint> ExplainList(std::u16string_view expression);

// The cell of memory whose name is nearest to name by edit distance, when
// one is near enough to be a likely misspelling; empty otherwise.
std::u16string NearestCellName(std::u16string_view name, const Tevra::CMemoryMap& memory);

// The memory cells a text reads that neither memory holds nor a store
// earlier in the text fills: each reference (from its keyword to its closing
// bracket) with the "has no value yet" hint, spots counted from the text's
// start. Comments and written results are skipped. Costs a pass over the
// text.
std::vector<StatementHint> UnsetCellReferences(std::u16string_view text, const Tevra::CMemoryMap& memory);

// The hint for the report being made now, from the statement the engine is
// evaluating (State().Subject): called by Report only, never on a
// statement that succeeds without a report.
StatementHint HintForReport(ReportCode code);

// The text of a hint as the value pane shows it behind the record's
// description: "Syntax error: a sign cannot follow an operator; write 2*(-3)".
std::u16string HintLine(std::u16string_view description, const StatementHint& hint);

}  // namespace NCalculatorText
