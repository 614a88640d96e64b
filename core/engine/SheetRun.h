// The value of every statement of a text, worked out while the user types and
// without leaving a trace: the statements run in order as Execute runs them
// (a failing one keeps its first report and the next ones go on), but on a
// sandbox, a copy of the process-wide state taken when the text was last
// calculated (memory cells, last result, random generator), so that no real
// cell changes and random values stay put from one edit to the next.
//
// The run is incremental: every CheckpointInterval statements the sandbox is
// kept, and a new text is calculated again from the last checkpoint before
// the first statement it changed. The checkpoints and values behind the
// change (the statements from there to the end are the earlier text's) are
// kept too: when the new run reaches one of those checkpoints with the
// sandbox as it was there (SameForLaterStatements), the earlier values from
// there on stand and the run jumps over them, so that an edit whose effect
// dies out within a few statements costs a few statements. It runs in steps the caller paces (Run
// stops when asked to between two statements), and each step swaps the
// sandbox into the process-wide state and back out, so, like any
// calculation, a step must not run while another calculation does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Engine.h"
#include "core/engine/EngineState.h"

namespace NCalculatorText {

// One statement the statement loop would run: its stretch of the text (Start,
// Length: from just behind the separator before it to the next separator),
// the stretch without its blanks and comments (Trimmed, positions of the
// text), and its expression, the working copy before its "=".
struct ScannedStatement {
    std::size_t Start = 0;
    std::size_t Length = 0;
    std::size_t TrimmedStart = 0;
    std::size_t TrimmedLength = 0;
    std::u16string Expression;
    // The "=" written behind the expression and the result behind it, up to
    // the statement's trailing blanks: where it starts in the text (npos
    // when there is none), its length, and the result's own text.
    std::size_t WrittenStart = std::u16string_view::npos;
    std::size_t WrittenLength = 0;
    std::u16string Written;
};
// The statements of text that the statement loop would run, in text order;
// blank ones are left out, and so is everything from a "/*" that never closes.
// Made by the statement loop's own scanner (Engine.cpp).
std::vector<ScannedStatement> ScanStatements(std::u16string_view text);
// The statements of text from position from on, as ScanStatements finds
// them, where from is the start of the text or a separator outside comments;
// appended to statements. The scan stops at the first statement start at or
// behind from for which resume holds (resumeAt: there, or npos at the end).
// False when a "/*" that never closes was met: the statements behind it are
// not the ones of a scan from the start, which blanks it all.
bool ScanStatementsFrom(std::u16string_view text, std::size_t from, const std::function<bool(std::size_t)>& resume,
                        std::vector<ScannedStatement>& statements, std::size_t& resumeAt);

struct SheetValue {
    enum class Kind {
        Value,    // the statement succeeds with Value
        Failed,   // it fails; Description is its first report, or empty
        TooLong,  // it would take more work than a step allows: the run stops there
    };
    Kind Outcome = Kind::Value;
    double Value = 0.0;
    std::u16string Description;
    // The statement without its blanks and comments, positions of the text.
    std::size_t Start = 0;
    std::size_t Length = 0;
};

class CSheetRun final {
public:
    static constexpr std::size_t CheckpointInterval = 256;
    // The most work (EvaluationBudget.h) one statement may take.
    static constexpr std::uint64_t MostWorkPerStatement = 4000000;

    // Takes the sandbox's starting point from the process-wide state now:
    // its cells, last result and random generator. Everything calculated is
    // dropped.
    void TakeBase();
    // The text to calculate; keeps what it can of the last one's values.
    void SetText(std::u16string_view text);
    // Calculates statements in order until every one has its value (true),
    // or until goOn, asked between two statements, says no (false).
    bool Run(const std::function<bool()>& goOn);
    bool Finished() const { return computed_ == statements_.size() || stopped_; }

    // The statements of the text and the values worked out so far: the
    // first Computed() statements have one.
    const std::vector<ScannedStatement>& Statements() const { return statements_; }
    const std::vector<SheetValue>& Values() const { return values_; }
    std::size_t Computed() const { return computed_; }
    // How many statements the runs since TakeBase calculated, and how many
    // they took over from the text before an edit instead.
    std::size_t Evaluated() const { return evaluated_; }
    std::size_t Reused() const { return reused_; }
    // The value of the statement at position pos of the text, when it is
    // worked out.
    const SheetValue* ValueAt(std::size_t pos) const;

private:
    // The sandbox before statement Index. For a checkpoint of an earlier
    // text (reusable_), the values of the statements from Index up to Until
    // are that text's, and the one at Until took too long when Stopped;
    // unless Stopped, the same list holds the sandbox at Until as well.
    struct Checkpoint {
        std::size_t Index = 0;
        CEngineState Sandbox;
        std::size_t Until = 0;
        bool Stopped = false;
    };
    // Scans only the statements of text that an edit of the last text can
    // have changed, and tells how many statements are alike at its start
    // and end; false when the whole text must be scanned.
    bool Rescan(std::u16string_view text, std::size_t& same, std::size_t& tail);
    void Remember(std::size_t same, std::size_t tail, std::size_t oldSize, std::size_t newSize);
    void TakeOver();

    CEngineState base_;
    // The sandbox after the first computed_ statements.
    CEngineState current_;
    // Of the values computed, by Index, about CheckpointInterval apart; the
    // first at statement 0.
    std::vector<Checkpoint> checkpoints_;
    // Of the earlier texts, behind computed_, by Index: the next one to
    // compare with is reusable_[nextReusable_].
    std::vector<Checkpoint> reusable_;
    std::size_t nextReusable_ = 0;
    // The text last set, its statements, and whether it may be scanned
    // again in part (it holds no "/*" that never closes).
    std::u16string text_;
    bool rescannable_ = false;
    std::vector<ScannedStatement> statements_;
    std::vector<SheetValue> values_;
    std::size_t computed_ = 0;
    bool stopped_ = false;  // a statement took too long
    std::size_t evaluated_ = 0;
    std::size_t reused_ = 0;
};

// Whether every statement calculated from a gives what it gives from b: the
// same last result, angle unit, random generator, memory cells (with their
// ticks) and evaluation state carried from one statement to the next. What
// only describes a single statement's evaluation (its span, budget, bracket
// table, hint subject) is set afresh for each and is not compared.
bool SameForLaterStatements(const CEngineState& a, const CEngineState& b);

}  // namespace NCalculatorText
