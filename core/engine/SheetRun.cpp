#include "core/engine/SheetRun.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Random.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <utility>

namespace NCalculatorText {

namespace {

// Keeps the first record of each statement.
class CFirstRecords final : public ILogReceiver {
public:
    void Add(const LogRecord& record) override
    {
        if (!Kept) {
            Kept = true;
            Description = record.Description;
        }
    }
    void Clear() override {}
    void Forget()
    {
        Kept = false;
        Description.clear();
    }

    bool Kept = false;
    std::u16string Description;
};

// Puts the sandbox into the process-wide state for its lifetime and the
// real state back when it goes, however the step ends; the real state is
// moved aside, never copied, so the real cells are the same cells after.
class CSandboxScope final {
public:
    CSandboxScope(CEngineState& sandbox, ILogReceiver* receiver) : sandbox_(sandbox), real_(std::move(State()))
    {
        State() = std::move(sandbox_);
        State().LogReceiver = receiver;
        State().CancelRequested = false;
    }
    ~CSandboxScope()
    {
        sandbox_ = std::move(State());
        sandbox_.LogReceiver = nullptr;
        State() = std::move(real_);
    }
    CSandboxScope(const CSandboxScope&) = delete;
    CSandboxScope& operator=(const CSandboxScope&) = delete;

private:
    CEngineState& sandbox_;
    CEngineState real_;
};

bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameCells(const Tevra::CMemoryMap& a, const Tevra::CMemoryMap& b)
{
    return a.Count() == b.Count() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.first == y.first && SameBits(x.second.Value, y.second.Value) &&
                   x.second.Include == y.second.Include;
           });
}

bool SameSettings(const Tevra::CCalcSettings& a, const Tevra::CCalcSettings& b)
{
    return std::all_of(Tevra::SettingFields.begin(), Tevra::SettingFields.end(),
                       [&](const Tevra::SettingField& field) { return a.*field.Field == b.*field.Field; });
}

}  // namespace

bool SameForLaterStatements(const CEngineState& a, const CEngineState& b)
{
    // Cheapest first: most sandboxes that differ differ in the last result.
    return SameBits(a.LastResult, b.LastResult) && a.AngleUnit == b.AngleUnit &&
        a.RandomGenerator.u == b.RandomGenerator.u && a.RandomGenerator.v == b.RandomGenerator.v &&
        a.RandomGenerator.w == b.RandomGenerator.w && a.Seeded == b.Seeded &&
        a.CurrentOperation == b.CurrentOperation && a.PreviousOperation == b.PreviousOperation &&
        a.CalculationOk == b.CalculationOk && a.LastReportCode == b.LastReportCode &&
        a.LogarithmDelivered == b.LogarithmDelivered && a.NestingLimit == b.NestingLimit &&
        a.ParseDepth == b.ParseDepth && a.WorkExhausted == b.WorkExhausted &&
        a.CancelRequested.load() == b.CancelRequested.load() && a.CancelSeen == b.CancelSeen &&
        SameSettings(a.CalcSettings, b.CalcSettings) && SameCells(a.MemoryMap, b.MemoryMap);
}

void CSheetRun::TakeBase()
{
    base_ = State();
    {
        // A run starts with the evaluation state reset, as Execute's does.
        const CSandboxScope scope(base_, nullptr);
        ResetEvaluationState();
        ResetCancelState();
        State().ReportedStatement = {};
        State().BracketTable.Clear();
        State().WorkLeft = UnlimitedWork;
        State().WorkExhausted = false;
        const std::uint32_t units = State().CalcSettings.TrigonometricUnits;
        State().AngleUnit = (units == 1 || units == 2) ? static_cast<int>(units) : 0;
        // A generator not seeded yet would be seeded from the clock at the
        // first "rand" of every run: seeded once here, the sandbox's random
        // values stay put from one edit to the next.
        if (!State().Seeded)
            SeedRandomGenerator(TickCount());
    }
    current_ = base_;
    checkpoints_.clear();
    reusable_.clear();
    nextReusable_ = 0;
    computed_ = 0;
    stopped_ = false;
    evaluated_ = 0;
    reused_ = 0;
}

void CSheetRun::SetText(std::u16string_view text)
{
    std::vector<ScannedStatement> next = ScanStatements(text);
    const std::size_t oldSize = statements_.size();
    const std::size_t newSize = next.size();
    const std::size_t common = std::min(newSize, oldSize);
    std::size_t same = 0;
    while (same < common && next[same].Expression == statements_[same].Expression)
        ++same;
    // The statements alike at the end, compared from there, not reaching
    // into the ones alike at the start.
    std::size_t tail = 0;
    while (same + tail < common && next[newSize - 1 - tail].Expression == statements_[oldSize - 1 - tail].Expression)
        ++tail;
    statements_ = std::move(next);
    Remember(same, tail, oldSize, newSize);

    std::size_t keep = std::min(same, computed_);
    if (stopped_ && same > computed_) {
        // The statement that took too long is unchanged: it still does.
    } else if (keep == computed_ && !stopped_) {
        // Everything calculated stands: go on from where the run is.
    } else {
        const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), keep,
                                            [](std::size_t at, const Checkpoint& c) { return at < c.Index; });
        if (after != checkpoints_.begin()) {
            checkpoints_.erase(after, checkpoints_.end());
            current_ = checkpoints_.back().Sandbox;
            keep = checkpoints_.back().Index;
        } else {
            current_ = base_;
            checkpoints_.clear();
            keep = 0;
        }
        stopped_ = false;
    }
    computed_ = keep;
    // Checkpoints the run has gone past are no use any more.
    while (nextReusable_ < reusable_.size() && reusable_[nextReusable_].Index < computed_)
        ++nextReusable_;
    for (std::size_t i = 0; i < statements_.size(); ++i) {
        values_[i].Start = statements_[i].TrimmedStart;
        values_[i].Length = statements_[i].TrimmedLength;
    }
}

void CSheetRun::Remember(std::size_t same, std::size_t tail, std::size_t oldSize, std::size_t newSize)
{
    // Earlier statement i is statement i + newSize - oldSize now when it lies
    // in the tail, from oldTail on.
    const std::size_t oldTail = oldSize - tail;
    const auto moved = [&](std::size_t i) { return i + newSize - oldSize; };
    std::vector<Checkpoint> reusable;
    // The run's own checkpoints in the tail (one before the statement that
    // took too long says it still does), and where it is now, unless that is
    // the statement that took too long: its sandbox is the one the statement
    // left, not the one before it.
    // Those behind the statement the new run starts from are dropped from
    // the run's own (SetText): moved rather than copied.
    const std::size_t restart = std::min(same, computed_);
    for (Checkpoint& checkpoint : checkpoints_) {
        if (checkpoint.Index >= oldTail &&
            (checkpoint.Index < computed_ || (stopped_ && checkpoint.Index == computed_))) {
            reusable.push_back({moved(checkpoint.Index),
                                checkpoint.Index > restart ? std::move(checkpoint.Sandbox) : checkpoint.Sandbox,
                                moved(computed_), stopped_});
        }
    }
    if (computed_ >= oldTail && !stopped_)
        reusable.push_back({moved(computed_), current_, moved(computed_), false});
    // Those of the texts before, further down.
    for (std::size_t k = nextReusable_; k < reusable_.size(); ++k) {
        Checkpoint& checkpoint = reusable_[k];
        if (checkpoint.Index >= oldTail && checkpoint.Index >= computed_) {
            checkpoint.Index = moved(checkpoint.Index);
            checkpoint.Until = moved(checkpoint.Until);
            reusable.push_back(std::move(checkpoint));
        }
    }
    reusable_ = std::move(reusable);
    nextReusable_ = 0;

    // The values of the statements alike at the start stay where they are;
    // those of the tail move with their statements.
    if (newSize > oldSize) {
        values_.resize(newSize);
        std::move_backward(values_.begin() + static_cast<std::ptrdiff_t>(oldTail),
                           values_.begin() + static_cast<std::ptrdiff_t>(oldSize), values_.end());
    } else if (newSize < oldSize) {
        std::move(values_.begin() + static_cast<std::ptrdiff_t>(oldTail), values_.end(),
                  values_.begin() + static_cast<std::ptrdiff_t>(moved(oldTail)));
        values_.resize(newSize);
    }
}

// The run has reached reusable_[nextReusable_] with the sandbox it holds:
// the earlier values up to its Until stand, and so do its later checkpoints.
void CSheetRun::TakeOver()
{
    const std::size_t until = reusable_[nextReusable_].Until;
    const bool stopped = reusable_[nextReusable_].Stopped;
    for (; nextReusable_ < reusable_.size() && reusable_[nextReusable_].Until == until; ++nextReusable_) {
        Checkpoint& checkpoint = reusable_[nextReusable_];
        if (checkpoint.Index == until) {
            // Where that run was: the sandbox to go on with.
            ILogReceiver* const receiver = State().LogReceiver;
            State() = std::move(checkpoint.Sandbox);
            State().LogReceiver = receiver;
        } else if (checkpoints_.empty() || checkpoints_.back().Index < checkpoint.Index) {
            checkpoints_.push_back(std::move(checkpoint));
        }
    }
    reused_ += until - computed_;
    computed_ = until;
    stopped_ = stopped;
}

bool CSheetRun::Run(const std::function<bool()>& goOn)
{
    if (Finished())
        return true;
    CFirstRecords records;
    const CSandboxScope scope(current_, &records);
    auto loop = [&] {
        while (computed_ < statements_.size() && !stopped_) {
            // A checkpoint of the text before an edit, reached with the
            // sandbox it had: the rest was calculated then.
            if (nextReusable_ < reusable_.size() && reusable_[nextReusable_].Index <= computed_) {
                if (reusable_[nextReusable_].Index == computed_ &&
                    SameForLaterStatements(State(), reusable_[nextReusable_].Sandbox))
                    TakeOver();
                else
                    ++nextReusable_;
                continue;
            }
            if (checkpoints_.empty() || computed_ - checkpoints_.back().Index >= CheckpointInterval) {
                checkpoints_.push_back({computed_, State(), 0, false});
                checkpoints_.back().Sandbox.LogReceiver = nullptr;
            }
            records.Forget();
            const ScannedStatement& statement = statements_[computed_];
            SheetValue& shown = values_[computed_];
            State().ReportedStatement = {static_cast<std::int64_t>(statement.TrimmedStart),
                                         static_cast<std::int64_t>(statement.TrimmedLength)};
            State().WorkLeft = MostWorkPerStatement;
            double value = 0.0;
            bool ok = false;
            // One statement at a time on a stack deep enough: where that is
            // the helper thread, its records reach the receiver when the
            // statement is over, before they are read below.
            auto evaluate = [&] { ok = EvaluateStatement(statement.Expression, value); };
            RunWithEngineStack(evaluate);
            ++evaluated_;
            State().ReportedStatement = {};
            State().WorkLeft = UnlimitedWork;
            if (State().WorkExhausted) {
                shown.Outcome = SheetValue::Kind::TooLong;
                stopped_ = true;
                break;
            }
            shown.Outcome = ok ? SheetValue::Kind::Value : SheetValue::Kind::Failed;
            shown.Value = ok ? value : 0.0;
            shown.Description = std::move(records.Description);
            // After a failure the next statement starts afresh, as in Execute.
            if (!ok)
                ResetEvaluationState();
            ++computed_;
            if (!goOn())
                break;
        }
    };
    try {
        loop();
    } catch (const std::exception&) {
        // Out of memory for a statement: the margin stops there.
        values_[computed_].Outcome = SheetValue::Kind::TooLong;
        stopped_ = true;
    }
    return Finished();
}

const SheetValue* CSheetRun::ValueAt(std::size_t pos) const
{
    const auto end = statements_.begin() + static_cast<std::ptrdiff_t>(computed_);
    const auto found = std::lower_bound(
        statements_.begin(), end, pos, [](const ScannedStatement& s, std::size_t p) { return s.Start + s.Length < p; });
    if (found == end || found->Start > pos)
        return nullptr;
    return &values_[static_cast<std::size_t>(found - statements_.begin())];
}

}  // namespace NCalculatorText
