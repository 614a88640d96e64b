#include "core/engine/Preview.h"

#include "core/settings/CalcSettings.h"
#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Mistakes.h"
#include "core/engine/NodesArithmetic.h"
#include "core/engine/Random.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/Scanner.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

namespace NCalculatorText {

namespace {

// Keeps the first record of the statement previewed.
class CFirstRecord final : public ILogReceiver {
public:
    void Add(const LogRecord& record) override
    {
        if (Kept)
            return;
        Kept = true;
        Status = record.Status;
        Context = record.Context;
        Description = record.Description;
        Hint = record.Hint;
    }
    void Clear() override {}

    bool Kept = false;
    std::int32_t Status = 0;
    std::u16string Context;
    std::u16string Description;
    StatementHint Hint;
};

// Everything a statement can change in the process-wide state, taken when the
// guard is made and put back when it goes, however the preview ends. The
// memory is copied only for a statement that can store: the preview then
// works on the copy while the cells themselves, which windows may be
// listing, stay untouched where they are.
class CEngineStateGuard final {
public:
    explicit CEngineStateGuard(bool canStore) : saved_(WithoutCells()), changed_(State().MemoryMap.Changed)
    {
        // A cancel asked of the last calculation is not the preview's.
        State().CancelRequested = false;
        ResetCancelState();
        if (canStore) {
            cells_.emplace(State().MemoryMap);
            std::swap(State().MemoryMap, *cells_);
        }
    }
    ~CEngineStateGuard()
    {
        if (cells_)
            std::swap(State().MemoryMap, *cells_);
        Tevra::CMemoryMap cells = std::move(State().MemoryMap);
        State() = std::move(saved_);
        State().MemoryMap = std::move(cells);
        State().MemoryMap.Changed = changed_;
        State().BracketTable.Clear();
    }
    CEngineStateGuard(const CEngineStateGuard&) = delete;
    CEngineStateGuard& operator=(const CEngineStateGuard&) = delete;

private:
    // A copy of the state whose cells are left where they are: they are
    // moved out while the rest is copied.
    static CEngineState WithoutCells()
    {
        Tevra::CMemoryMap cells = std::move(State().MemoryMap);
        CEngineState copy = State();
        State().MemoryMap = std::move(cells);
        return copy;
    }

    CEngineState saved_;
    bool changed_;
    // The real cells while the preview works on a copy.
    std::optional<Tevra::CMemoryMap> cells_;
};

// Only a store writes memory, and a store needs its arrow.
bool CanStore(std::u16string_view expression)
{
    return expression.find(u'>') != std::u16string_view::npos;
}

}  // namespace

PreviewOutcome PreviewStatement(std::u16string_view text, std::size_t caret, const PreviewLimits& limits)
{
    PreviewOutcome outcome;
    std::u16string work(text);
    const bool closed = StripComments(work);
    if (!closed) {
        // The comment that never closes reaches to the end of the text; the
        // statements are those before it.
        const std::size_t unclosed = work.find(u"/*");
        std::fill(work.begin() + static_cast<std::ptrdiff_t>(unclosed), work.end(), u' ');
    }
    StatementRange statement;
    if (!FindStatementAt(work, caret, statement))
        return outcome;
    const std::u16string_view statementText = std::u16string_view(work).substr(statement.Start, statement.Length);
    ResultPlace place;
    if (!FindResultPlace(statementText, place))
        return outcome;
    outcome.Statement = TrimmedStatement(work, statement);
    if (place.ResultMark > limits.LongestExpression) {
        outcome.Outcome = PreviewOutcome::Kind::TooLong;
        return outcome;
    }
    const std::u16string expression(statementText.substr(0, place.ResultMark));

    CFirstRecord first;
    bool ok = false;
    bool exhausted = false;
    double value = 0.0;
    try {
        const CEngineStateGuard guard(CanStore(expression));
        State().LogReceiver = &first;
        ResetEvaluationState();
        State().WorkLeft = limits.MostWork;
        State().WorkExhausted = false;
        const std::uint32_t units = NCalculatorText::State().CalcSettings.TrigonometricUnits;
        State().AngleUnit = (units == 1 || units == 2) ? static_cast<int>(units) : 0;
        if (closed) {
            State().Subject = {};
            State().Subject.Expression = expression;
            State().Subject.Start = static_cast<std::int64_t>(statement.Start);
            auto run = [&] { ok = EvaluateStatement(expression, value); };
            RunWithEngineStack(run);
        } else {
            Report(SyntaxError, 0.0);
        }
        exhausted = State().WorkExhausted;
    } catch (const std::exception&) {
        // Out of memory for a statement this size: not previewed.
        outcome.Outcome = PreviewOutcome::Kind::TooLong;
        return outcome;
    }
    if (exhausted) {
        outcome.Outcome = PreviewOutcome::Kind::TooLong;
        return outcome;
    }
    outcome.Outcome = ok ? PreviewOutcome::Kind::Value : PreviewOutcome::Kind::Failed;
    outcome.Value = ok ? value : 0.0;
    outcome.Reported = first.Kept;
    outcome.Status = first.Status;
    outcome.Context = std::move(first.Context);
    outcome.Description = std::move(first.Description);
    outcome.Hint = std::move(first.Hint);
    if (!ok && !first.Kept) {
        // A statement that fails without a report is a list.
        if (auto list = ExplainList(expression)) {
            outcome.Hint = std::move(*list);
            outcome.Hint.Start += static_cast<std::int64_t>(statement.Start);
        }
    }
    return outcome;
}

}  // namespace NCalculatorText
