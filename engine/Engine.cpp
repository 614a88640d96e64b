#include "engine/Engine.h"

#include "app/CalcSettings.h"
#include "engine/Diagnostics.h"
#include "engine/EvaluationBudget.h"
#include "engine/Node.h"
#include "engine/NodesArithmetic.h"
#include "engine/NumberFormat.h"
#include "engine/Random.h"
#include "engine/ReportedStatement.h"
#include "engine/Scanner.h"
#include "engine/StatementText.h"
#include "memory/MemoryMap.h"

#include <algorithm>
#include <cmath>

namespace NCalculatorText {

namespace {

// One statement of the working copy: its start and length.
struct Statement {
    std::size_t Start;
    std::size_t Length;
};

// Splits at ";": runs of separators count as one, so no statement is empty.
std::vector<Statement> SplitStatements(const std::u16string& work)
{
    std::vector<Statement> statements;
    std::size_t position = 0;
    while (position < work.size()) {
        if (work[position] == u';') {
            ++position;
            continue;
        }
        const std::size_t end = std::min(work.find(u';', position), work.size());
        statements.push_back({position, end - position});
        position = end;
    }
    return statements;
}

}  // namespace

namespace {

// Blanks the comments of text up to a "/*" that is never closed; returns
// where that one starts, or npos when every comment is closed.
std::size_t BlankComments(std::u16string& text)
{
    // The next "//" and "/*" are searched again only once the scan has passed
    // them, so a text with many comments of one kind is stripped in linear time.
    constexpr std::size_t npos = std::u16string::npos;
    std::size_t position = 0;
    std::size_t line = text.find(u"//");
    std::size_t block = text.find(u"/*");
    while (line != npos || block != npos) {
        std::size_t first = 0;  // the comment's first and last characters
        std::size_t last = 0;
        if (line < block) {
            const std::size_t lineFeed = text.find(u'\n', line);
            first = line;
            last = lineFeed == npos ? text.size() - 1 : lineFeed;
        } else {
            const std::size_t close = text.find(u"*/", block);
            if (close == npos)
                return block;
            first = block;
            last = close + 1;
        }
        std::fill(text.begin() + static_cast<std::ptrdiff_t>(first),
                  text.begin() + static_cast<std::ptrdiff_t>(last) + 1, u' ');
        position = last + 1;
        if (line != npos && line < position)
            line = text.find(u"//", position);
        if (block != npos && block < position)
            block = text.find(u"/*", position);
    }
    return npos;
}

}  // namespace

bool StripComments(std::u16string& text)
{
    return BlankComments(text) == std::u16string::npos;
}

bool ParseStatement(CNode& root, std::u16string text)
{
    BracketTable.Clear();
    ResetParseDepth();
    if (!NormalizeStatement(text) || !BracketTable.Assign(std::move(text)))
        return false;
    root.Operands.assign(1, BracketTable.ReducedStatement());
    return root.Parse();
}

bool EvaluateStatement(const std::u16string& expression, double& out)
{
    CNode root;
    LogarithmDelivered = false;
    if (!ParseStatement(root, expression)) {
        BracketTable.Clear();
        Report(SyntaxError, 0.0);
        return false;
    }
    BracketTable.Clear();
    if (root.Children.empty() || !root.Children.front()->Evaluate(out))
        return false;
    // Every node reports its own overflows; this is the last line of defence
    // against writing "inf" or "nan" into the text as if it were a result.
    if (!std::isfinite(out)) {
        Report(Overflow, out);
        return false;
    }
    LastResult = out;
    return true;
}

namespace {

// The statements are processed in text order and the resulting text is built
// in one pass: every change a statement makes lies inside its own span, so
// the text between statements is copied once and no insertion ever moves the
// rest of the document.
bool ExecuteTextHere(std::u16string& text, int& caret, AfterFailure after)
{
    ResetEvaluationState();
    ReportedStatement = {};
    if (LogReceiver != nullptr)
        LogReceiver->Clear();
    const std::uint32_t units = Tevra::CalcSettings.TrigonometricUnits;
    AngleUnit = (units == 1 || units == 2) ? static_cast<int>(units) : 0;

    const bool all = caret == -1;
    const bool goOn = all && after == AfterFailure::Continue;
    std::u16string work = text;
    const std::size_t unclosed = BlankComments(work);
    // The syntax error of a comment that never closes belongs to the comment.
    const StatementSpan unclosedComment{static_cast<std::int64_t>(unclosed),
                                        static_cast<std::int64_t>(text.size() - unclosed)};
    if (unclosed != std::u16string::npos) {
        // Without a statement to stop at, the text before a comment that
        // never closes still runs; the comment itself is the syntax error.
        if (!goOn) {
            ReportedStatement = unclosedComment;
            Report(SyntaxError, 0.0);
            ReportedStatement = {};
            return false;
        }
        std::fill(work.begin() + static_cast<std::ptrdiff_t>(unclosed), work.end(), u' ');
    }
    bool allOk = unclosed == std::u16string::npos;

    const std::size_t caretPosition = all ? 0 : static_cast<std::size_t>(std::max(caret, 0));
    const bool upper = Tevra::CalcSettings.UpperCaseNumbers();

    std::u16string result;
    result.reserve(text.size() + text.size() / 4 + 16);
    std::size_t copied = 0;  // text before this position is already in result
    auto finish = [&] {
        result.append(text, copied, std::u16string::npos);
        text = std::move(result);
    };

    for (const Statement& statement : SplitStatements(work)) {
        if (!all && (caretPosition < statement.Start || caretPosition > statement.Start + statement.Length))
            continue;
        const std::u16string_view workStatement = std::u16string_view(work).substr(statement.Start, statement.Length);
        ResultPlace place{};
        if (!FindResultPlace(workStatement, place))
            continue;

        // Everything up to the end of the expression stays as it is.
        const std::size_t mark = statement.Start + place.ResultMark;
        result.append(text, copied, mark - copied);
        // Behind it keep what is blank in the working copy (blanks, line
        // breaks, comments) and drop the old "=" and result.
        std::u16string kept;
        for (std::size_t k = mark; k < statement.Start + statement.Length; ++k) {
            if (IsBlank(work[k]))
                kept.push_back(text[k]);
        }
        copied = statement.Start + statement.Length;

        const StatementRange trimmed = TrimmedStatement(work, {statement.Start, statement.Length});
        ReportedStatement = {static_cast<std::int64_t>(trimmed.Start), static_cast<std::int64_t>(trimmed.Length)};
        double value = 0.0;
        const bool evaluated = EvaluateStatement(std::u16string(workStatement.substr(0, place.ResultMark)), value);
        ReportedStatement = {};
        if (!evaluated) {
            result += kept;
            if (goOn) {
                // The next statement starts afresh, as in a run of its own.
                allOk = false;
                ResetEvaluationState();
                continue;
            }
            finish();
            // The caret keeps its place, but the old result just removed may
            // have shortened the text under it.
            if (caret > static_cast<int>(text.size()))
                caret = static_cast<int>(text.size());
            return false;
        }
        const std::size_t blanksBeforeValue = place.ValueOffset - place.ResultMark - 1;
        result.push_back(u'=');
        result.append(kept, 0, blanksBeforeValue);
        result += FormatNumberText(value, upper);
        result.append(kept, blanksBeforeValue, std::u16string::npos);

        if (!all) {
            // The caret moves to the start of the next statement.
            const bool hasSeparator = copied < text.size();
            const std::size_t newCaret = hasSeparator ? result.size() + 1 : result.size() + (text.size() - copied);
            finish();
            caret = static_cast<int>(newCaret);
            return true;
        }
    }
    finish();
    if (!allOk) {
        if (unclosed != std::u16string::npos) {
            ReportedStatement = unclosedComment;
            Report(SyntaxError, 0.0);
            ReportedStatement = {};
        }
        return false;
    }
    caret = static_cast<int>(text.size());
    return true;
}

}  // namespace

bool ExecuteText(std::u16string& text, int& caret, AfterFailure after)
{
    bool ok = false;
    auto run = [&] { ok = ExecuteTextHere(text, caret, after); };
    RunWithEngineStack(run);
    return ok;
}

void ResetProcessState()
{
    LastResult = 0.0;
    AngleUnit = 0;
    ResetEvaluationState();
    PreviousOperation = OpNone;
    BracketTable.Clear();
    LogarithmDelivered = false;
    ReportedStatement = {};
    WorkLeft = UnlimitedWork;
    WorkExhausted = false;
    Tevra::MemoryMap.FreeAll();
    Tevra::MemoryChanged = false;
    Tevra::CalcSettings = Tevra::CCalcSettings{};
    RandomGenerator = CRandomGenerator{};
    Seeded = false;
}

}  // namespace NCalculatorText
