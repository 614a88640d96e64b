#include "core/engine/Engine.h"
#include "core/engine/SheetRun.h"

#include "core/settings/CalcSettings.h"
#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Node.h"
#include "core/engine/NodesArithmetic.h"
#include "core/formats/NumberFormat.h"
#include "core/engine/Random.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/Scanner.h"
#include "core/engine/StatementText.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace NCalculatorText {

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

// The statement whose records may get hints, while it runs.
void BeginSubject(std::u16string_view expression, std::size_t start)
{
    ReportSubject& subject = State().Subject;
    subject.Expression = expression;
    subject.Start = static_cast<std::int64_t>(start);
    subject.UnsetCell = {};
    subject.Last = {};
}

void EndSubject()
{
    BeginSubject({}, 0);
    State().Subject.Start = -1;
}

// Walks a text outside its comments. A comment starts at the first "//" or
// "/*" met; "//" runs through the next line feed (or to the end), "/*"
// through the first "*/" found from its own "/" on, so "/*/" is a whole
// comment. from must lie outside a comment. Calls visit(first, last) for each
// comment met before limit, in order, and returns where the walk stopped:
// the first position at or after from, outside a comment, for which stop(i)
// holds, or limit. A "/*" that never closes stops the walk there with
// unclosed set to its position.
template <typename Stop, typename Visit>
std::size_t WalkOutsideComments(std::u16string_view text, std::size_t from, std::size_t limit, Stop stop, Visit visit,
                                std::size_t* unclosed = nullptr)
{
    std::size_t i = from;
    while (i < limit) {
        if (text[i] == u'/' && i + 1 < text.size() && (text[i + 1] == u'/' || text[i + 1] == u'*')) {
            std::size_t last = 0;
            if (text[i + 1] == u'/') {
                const std::size_t lineFeed = text.find(u'\n', i);
                last = lineFeed == npos ? text.size() - 1 : lineFeed;
            } else {
                const std::size_t close = text.find(u"*/", i);
                if (close == npos) {
                    if (unclosed != nullptr)
                        *unclosed = i;
                    return i;
                }
                last = close + 1;
            }
            visit(i, last);
            i = last + 1;
            continue;
        }
        if (stop(i))
            return i;
        ++i;
    }
    return limit;
}

// Where the first "/*" that never closes starts, or npos.
std::size_t FindUnclosedComment(std::u16string_view text)
{
    std::size_t unclosed = npos;
    WalkOutsideComments(
        text, 0, text.size(), [](std::size_t) { return false; }, [](std::size_t, std::size_t) {}, &unclosed);
    return unclosed;
}

// The statements of a text one after the other, as the working copy of the
// text (its comments blanked) splits them at ";": runs of separators count as
// one, so no statement is empty. Nothing beyond the statement at hand is
// copied, so a text of any size takes no memory of its own.
class CStatementScanner final {
public:
    // Text from end on is taken as blank (an unclosed comment). With
    // unclosed given, the scan starts at from, where a statement starts, and
    // a "/*" that never closes, met from there on, is written to it.
    CStatementScanner(std::u16string_view text, std::size_t end, std::size_t from = 0, std::size_t* unclosed = nullptr)
        : text_(text), end_(std::min(end, text.size())), position_(from), unclosed_(unclosed)
    {
    }

    // The next statement's start and length; false when there is none.
    bool Next(std::size_t& start, std::size_t& length)
    {
        std::size_t first = position_;
        while (first < end_ && text_[first] == u';')
            ++first;
        if (first >= end_) {
            // What follows an unclosed comment is blank: one more statement,
            // which the loop skips.
            position_ = text_.size();
            start = first;
            length = text_.size() - first;
            return first < text_.size();
        }
        std::size_t stop = WalkOutsideComments(
            text_, first, end_, [this](std::size_t i) { return text_[i] == u';'; }, [](std::size_t, std::size_t) {},
            unclosed_);
        if (stop >= end_)
            stop = text_.size();
        start = first;
        length = stop - first;
        position_ = stop;
        return true;
    }

    // The working copy of the statement at start: its comments (and anything
    // from the unclosed comment on) are blanks.
    std::u16string WorkingCopy(std::size_t start, std::size_t length) const
    {
        std::u16string work(text_.substr(start, length));
        const std::size_t limit = std::max(start, std::min(start + length, end_));
        WalkOutsideComments(
            text_, start, limit, [](std::size_t) { return false; },
            [&](std::size_t first, std::size_t last) {
                std::fill(work.begin() + static_cast<std::ptrdiff_t>(first - start),
                          work.begin() + static_cast<std::ptrdiff_t>(std::min(last + 1, start + length) - start), u' ');
            });
        if (limit < start + length)
            std::fill(work.begin() + static_cast<std::ptrdiff_t>(limit - start), work.end(), u' ');
        return work;
    }

    // Where the next statement starts, behind the separators at hand.
    std::size_t NextStart() const
    {
        std::size_t first = position_;
        while (first < end_ && text_[first] == u';')
            ++first;
        return first;
    }

private:
    std::u16string_view text_;
    std::size_t end_;
    std::size_t position_ = 0;
    std::size_t* unclosed_ = nullptr;
};

// Blanks the comments of text up to a "/*" that is never closed; returns
// where that one starts, or npos when every comment is closed.
std::size_t BlankComments(std::u16string& text)
{
    std::size_t unclosed = npos;
    std::u16string_view view(text);
    WalkOutsideComments(
        view, 0, text.size(), [](std::size_t) { return false; },
        [&](std::size_t first, std::size_t last) {
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(first),
                      text.begin() + static_cast<std::ptrdiff_t>(last) + 1, u' ');
        },
        &unclosed);
    return unclosed;
}

}  // namespace

bool StripComments(std::u16string& text)
{
    return BlankComments(text) == npos;
}

bool ParseStatement(CNode& root, std::u16string text)
{
    State().BracketTable.Clear();
    ResetParseDepth();
    if (!NormalizeStatement(text) || !State().BracketTable.Assign(std::move(text)))
        return false;
    root.Operands.assign(1, State().BracketTable.ReducedStatement());
    return root.Parse();
}

bool EvaluateStatement(const std::u16string& expression, double& out)
{
    CNode root;
    State().LogarithmDelivered = false;
    if (!ParseStatement(root, expression)) {
        State().BracketTable.Clear();
        // A parse cut short by a cancel has reported that instead.
        if (!State().CancelSeen)
            Report(SyntaxError, 0.0);
        return false;
    }
    State().BracketTable.Clear();
    if (root.Children.empty() || !root.Children.front()->Evaluate(out) || State().CancelSeen)
        return false;
    // Every node reports its own overflows; this is the last line of defence
    // against writing "inf" or "nan" into the text as if it were a result.
    if (!std::isfinite(out)) {
        Report(Overflow, out);
        return false;
    }
    State().LastResult = out;
    return true;
}

namespace {

// Collects the resulting text of ExecuteText.
class CStringSink final : public ITextSink {
public:
    explicit CStringSink(std::size_t expected) { text_.reserve(expected); }
    void Append(std::u16string_view piece) override { text_ += piece; }
    std::u16string& Text() { return text_; }

private:
    std::u16string text_;
};

// Hands the pieces on and counts the units handed, which places the caret.
class CCountingSink final {
public:
    explicit CCountingSink(ITextSink& out) : out_(out) {}
    void Append(std::u16string_view piece)
    {
        if (piece.empty())
            return;
        out_.Append(piece);
        count_ += piece.size();
    }
    std::size_t Count() const { return count_; }

private:
    ITextSink& out_;
    std::size_t count_ = 0;
};

// The statements are processed in text order and the resulting text is made
// in one pass: every change a statement makes lies inside its own span, so
// the text between statements is handed on once, unchanged.
bool ExecuteTextHere(std::u16string_view text, int& caret, ITextSink& sink, AfterFailure after)
{
    ResetEvaluationState();
    ResetCancelState();
    State().ReportedStatement = {};
    if (State().LogReceiver != nullptr)
        State().LogReceiver->Clear();
    const std::uint32_t units = NCalculatorText::State().CalcSettings.TrigonometricUnits;
    State().AngleUnit = (units == 1 || units == 2) ? static_cast<int>(units) : 0;

    const bool all = caret == -1;
    const bool goOn = all && after == AfterFailure::Continue;
    CCountingSink out(sink);
    const std::size_t unclosed = FindUnclosedComment(text);
    // The syntax error of a comment that never closes belongs to the comment.
    const auto reportUnclosed = [&] {
        State().ReportedStatement = {static_cast<std::int64_t>(unclosed),
                                     static_cast<std::int64_t>(text.size() - unclosed)};
        BeginSubject(text.substr(unclosed, 2), unclosed);
        Report(SyntaxError, 0.0);
        EndSubject();
        State().ReportedStatement = {};
    };
    if (unclosed != npos && !goOn) {
        // Without a statement to stop at, the text before a comment that
        // never closes still runs; the comment itself is the syntax error.
        reportUnclosed();
        out.Append(text);
        return false;
    }
    bool allOk = unclosed == npos;

    const std::size_t caretPosition = all ? 0 : static_cast<std::size_t>(std::max(caret, 0));
    const bool upper = NCalculatorText::State().CalcSettings.UpperCaseNumbers();
    const int digits = NCalculatorText::State().CalcSettings.ResultDigits();

    std::size_t copied = 0;  // text before this position has been handed on
    auto finish = [&] { out.Append(text.substr(copied)); };

    CStatementScanner scanner(text, unclosed);
    std::size_t start = 0;
    std::size_t length = 0;
    while (scanner.Next(start, length)) {
        if (!all && (caretPosition < start || caretPosition > start + length))
            continue;
        const std::u16string work = scanner.WorkingCopy(start, length);
        ResultPlace place{};
        if (!FindResultPlace(work, place))
            continue;
        if (CancelledNow()) {
            // Stopped between two statements: this one keeps its old result.
            finish();
            return false;
        }

        // Everything up to the end of the expression stays as it is.
        const std::size_t mark = start + place.ResultMark;
        out.Append(text.substr(copied, mark - copied));
        // Behind it keep what is blank in the working copy (blanks, line
        // breaks, comments) and drop the old "=" and result.
        std::u16string kept;
        for (std::size_t k = place.ResultMark; k < length; ++k) {
            if (IsBlank(work[k]))
                kept.push_back(text[start + k]);
        }
        copied = start + length;

        // The records of the statement name it as it stands in the text.
        const StatementRange trimmed = TrimmedStatement(work, {0, length});
        State().ReportedStatement = {static_cast<std::int64_t>(start + trimmed.Start),
                                     static_cast<std::int64_t>(trimmed.Length)};
        double value = 0.0;
        const std::u16string expression = work.substr(0, place.ResultMark);
        BeginSubject(expression, start);
        const bool evaluated = EvaluateStatement(expression, value);
        EndSubject();
        State().ReportedStatement = {};
        if (!evaluated) {
            out.Append(kept);
            if (goOn && !State().CancelSeen) {
                // The next statement starts afresh, as in a run of its own.
                allOk = false;
                ResetEvaluationState();
                continue;
            }
            finish();
            // The caret keeps its place, but the old result just removed may
            // have shortened the text under it.
            if (caret > static_cast<int>(out.Count()))
                caret = static_cast<int>(out.Count());
            return false;
        }
        const std::size_t blanksBeforeValue = place.ValueOffset - place.ResultMark - 1;
        out.Append(u"=");
        out.Append(std::u16string_view(kept).substr(0, blanksBeforeValue));
        out.Append(FormatNumberText(value, upper, digits));
        out.Append(std::u16string_view(kept).substr(blanksBeforeValue));

        if (!all) {
            // The caret moves to the start of the next statement.
            const bool hasSeparator = copied < text.size();
            const std::size_t newCaret = hasSeparator ? out.Count() + 1 : out.Count() + (text.size() - copied);
            finish();
            caret = static_cast<int>(newCaret);
            return true;
        }
    }
    finish();
    if (!allOk) {
        if (unclosed != npos)
            reportUnclosed();
        return false;
    }
    caret = static_cast<int>(out.Count());
    return true;
}

}  // namespace

namespace {

// The statement of the scanner's stretch at start, unless it is blank.
bool ScanStatement(const CStatementScanner& scanner, std::size_t start, std::size_t length, ScannedStatement& statement)
{
    const std::u16string work = scanner.WorkingCopy(start, length);
    ResultPlace place{};
    if (!FindResultPlace(work, place))
        return false;
    const StatementRange trimmed = TrimmedStatement(work, {0, length});
    statement.Start = start;
    statement.Length = length;
    statement.TrimmedStart = start + trimmed.Start;
    statement.TrimmedLength = trimmed.Length;
    statement.Expression = work.substr(0, place.ResultMark);
    if (place.ResultMark < length && work[place.ResultMark] == u'=') {
        const std::size_t end = trimmed.Start + trimmed.Length;
        statement.WrittenStart = start + place.ResultMark;
        statement.WrittenLength = end - place.ResultMark;
        if (place.ValueOffset < end)
            statement.Written = work.substr(place.ValueOffset, end - place.ValueOffset);
    }
    return true;
}

}  // namespace

std::vector<ScannedStatement> ScanStatements(std::u16string_view text)
{
    std::vector<ScannedStatement> statements;
    // One statement a separator, at most: the list is made without moving.
    statements.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), u';')) + 1);
    CStatementScanner scanner(text, FindUnclosedComment(text));
    std::size_t start = 0;
    std::size_t length = 0;
    ScannedStatement statement;
    while (scanner.Next(start, length)) {
        if (ScanStatement(scanner, start, length, statement))
            statements.push_back(std::exchange(statement, {}));
    }
    return statements;
}

bool ScanStatementsFrom(std::u16string_view text, std::size_t from, const std::function<bool(std::size_t)>& resume,
                        std::vector<ScannedStatement>& statements, std::size_t& resumeAt)
{
    std::size_t unclosed = npos;
    CStatementScanner scanner(text, text.size(), from, &unclosed);
    std::size_t start = 0;
    std::size_t length = 0;
    ScannedStatement statement;
    resumeAt = npos;
    for (;;) {
        const std::size_t next = scanner.NextStart();
        if (next < text.size() && resume(next)) {
            resumeAt = next;
            return true;
        }
        if (!scanner.Next(start, length))
            return true;
        if (unclosed != npos)
            return false;
        if (ScanStatement(scanner, start, length, statement))
            statements.push_back(std::exchange(statement, {}));
    }
}

bool ExecuteText(std::u16string& text, int& caret, AfterFailure after)
{
    CStringSink sink(text.size() + text.size() / 4 + 16);
    bool ok = false;
    auto run = [&] { ok = ExecuteTextHere(text, caret, sink, after); };
    RunWithEngineStack(run);
    text = std::move(sink.Text());
    return ok;
}

bool ExecuteTextInto(std::u16string_view text, int& caret, ITextSink& out, AfterFailure after)
{
    bool ok = false;
    auto run = [&] { ok = ExecuteTextHere(text, caret, out, after); };
    RunWithEngineStack(run);
    return ok;
}

void ResetProcessState()
{
    // The log keeps its receiver: the window or printer that shows it
    // outlives a reset.
    ILogReceiver* const receiver = State().LogReceiver;
    State() = {};
    State().LogReceiver = receiver;
}

}  // namespace NCalculatorText
