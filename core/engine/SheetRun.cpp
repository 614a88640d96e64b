#include "core/engine/SheetRun.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Random.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <iterator>
#include <span>
#include <tuple>
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

// How many statements are alike (the same expression) at the start of a
// and b, and then at their end without reaching into those at the start.
std::pair<std::size_t, std::size_t> AlikeAtEnds(std::span<const ScannedStatement> a,
                                                std::span<const ScannedStatement> b)
{
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t start = 0;
    while (start < common && a[start].Expression == b[start].Expression)
        ++start;
    std::size_t end = 0;
    while (start + end < common && a[a.size() - 1 - end].Expression == b[b.size() - 1 - end].Expression)
        ++end;
    return {start, end};
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
    const std::size_t oldSize = statements_.size();
    std::size_t same = 0;
    std::size_t tail = 0;
    if (!Rescan(text, same, tail)) {
        std::vector<ScannedStatement> next;
        std::size_t resumeAt = 0;
        rescannable_ = ScanStatementsFrom(
            text, 0, [](std::size_t) { return false; }, next, resumeAt);
        if (!rescannable_)
            next = ScanStatements(text);
        std::tie(same, tail) = AlikeAtEnds(next, statements_);
        statements_ = std::move(next);
    }
    text_.assign(text);
    Remember(same, tail, oldSize, statements_.size());

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

bool CSheetRun::Rescan(std::u16string_view text, std::size_t& same, std::size_t& tail)
{
    if (!rescannable_)
        return false;
    // The stretch that changed: from the first character that differs to the
    // last, counted from the end.
    const std::u16string_view old = text_;
    const std::size_t shorter = std::min(old.size(), text.size());
    const std::size_t first = static_cast<std::size_t>(
        std::mismatch(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(shorter), text.begin()).first -
        old.begin());
    const std::size_t suffix = static_cast<std::size_t>(
        std::mismatch(old.rbegin(), old.rbegin() + static_cast<std::ptrdiff_t>(shorter - first), text.rbegin()).first -
        old.rbegin());
    const std::size_t oldEnd = old.size() - suffix;
    const std::size_t newEnd = text.size() - suffix;
    const auto begin = statements_.begin();
    // The statements that end, separator and all, before the change stand;
    // the scan goes on from behind the last of them.
    const auto kept = std::partition_point(begin, statements_.end(),
                                           [first](const ScannedStatement& s) { return s.Start + s.Length < first; });
    const std::size_t from = kept == begin ? 0 : std::prev(kept)->Start + std::prev(kept)->Length;
    // A statement that starts in the unchanged end where one started before
    // is where the earlier scan takes over again: from there on the text and
    // everything the scan carries along are the same.
    const auto resumable =
        std::partition_point(kept, statements_.end(), [oldEnd](const ScannedStatement& s) { return s.Start < oldEnd; });
    const auto earlierAt = [&](std::size_t at) {
        return std::partition_point(resumable, statements_.end(),
                                    [was = at - newEnd + oldEnd](const ScannedStatement& s) { return s.Start < was; });
    };
    const auto resume = [&](std::size_t at) {
        if (at < newEnd)
            return false;
        const auto found = earlierAt(at);
        return found != statements_.end() && found->Start == at - newEnd + oldEnd;
    };
    std::vector<ScannedStatement> middle;
    std::size_t resumeAt = 0;
    if (!ScanStatementsFrom(text, from, resume, middle, resumeAt))
        return false;
    const auto resumed = resumeAt == std::u16string_view::npos ? statements_.end() : earlierAt(resumeAt);

    // Which statements are alike: those kept and those resumed, and any of
    // the ones scanned again that read as they did.
    const auto k = static_cast<std::size_t>(kept - begin);
    const auto j = static_cast<std::size_t>(resumed - begin);
    const std::size_t oldSize = statements_.size();
    const std::size_t oldMiddle = j - k;
    const auto [m, t] = AlikeAtEnds(middle, std::span(statements_).subspan(k, oldMiddle));
    same = k + m;
    tail = oldSize - j + t;

    // The resumed statements move with the text behind the change.
    for (std::size_t i = j; i < oldSize; ++i) {
        ScannedStatement& statement = statements_[i];
        statement.Start = statement.Start - oldEnd + newEnd;
        statement.TrimmedStart = statement.TrimmedStart - oldEnd + newEnd;
        if (statement.WrittenStart != std::u16string_view::npos)
            statement.WrittenStart = statement.WrittenStart - oldEnd + newEnd;
    }
    const auto at = begin + static_cast<std::ptrdiff_t>(k);
    if (middle.size() == oldMiddle) {
        std::move(middle.begin(), middle.end(), at);
    } else {
        statements_.erase(at, begin + static_cast<std::ptrdiff_t>(j));
        statements_.insert(statements_.begin() + static_cast<std::ptrdiff_t>(k),
                           std::make_move_iterator(middle.begin()), std::make_move_iterator(middle.end()));
    }
    return true;
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
