#include "core/engine/SheetRun.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Random.h"

#include <algorithm>
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

}  // namespace

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
    computed_ = 0;
    stopped_ = false;
}

void CSheetRun::SetText(std::u16string_view text)
{
    std::vector<ScannedStatement> next = ScanStatements(text);
    std::size_t same = 0;
    const std::size_t common = std::min(next.size(), statements_.size());
    while (same < common && next[same].Expression == statements_[same].Expression)
        ++same;
    statements_ = std::move(next);

    std::size_t keep = std::min(same, computed_);
    if (stopped_ && same > computed_) {
        // The statement that took too long is unchanged: it still does.
    } else if (keep == computed_ && !stopped_) {
        // Everything calculated stands: go on from where the run is.
    } else {
        const std::size_t checkpoint = keep / CheckpointInterval;
        if (checkpoint < checkpoints_.size()) {
            current_ = checkpoints_[checkpoint];
            checkpoints_.resize(checkpoint + 1);
            keep = checkpoint * CheckpointInterval;
        } else {
            current_ = base_;
            checkpoints_.clear();
            keep = 0;
        }
        stopped_ = false;
    }
    computed_ = keep;
    values_.resize(statements_.size());
    for (std::size_t i = 0; i < statements_.size(); ++i) {
        values_[i].Start = statements_[i].TrimmedStart;
        values_[i].Length = statements_[i].TrimmedLength;
    }
}

bool CSheetRun::Run(const std::function<bool()>& goOn)
{
    if (Finished())
        return true;
    CFirstRecords records;
    const CSandboxScope scope(current_, &records);
    auto loop = [&] {
        while (computed_ < statements_.size() && !stopped_) {
            if (computed_ % CheckpointInterval == 0 && checkpoints_.size() == computed_ / CheckpointInterval) {
                checkpoints_.push_back(State());
                checkpoints_.back().LogReceiver = nullptr;
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
