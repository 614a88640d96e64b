#include "core/files/CCalcRunReport.h"

#include "core/files/CCalcTextChange.h"
#include "core/engine/Mistakes.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/EngineState.h"

#include <algorithm>

namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The characters of a written result behind its "=".
bool IsResultCharacter(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

}  // namespace

CCalcRunRecorder::CCalcRunRecorder() : next_(NCalculatorText::State().LogReceiver)
{
    NCalculatorText::State().LogReceiver = this;
}

CCalcRunRecorder::~CCalcRunRecorder()
{
    if (NCalculatorText::State().LogReceiver == this)
        NCalculatorText::State().LogReceiver = next_;
}

void CCalcRunRecorder::Add(const NCalculatorText::LogRecord& record)
{
    const NCalculatorText::StatementSpan span = NCalculatorText::State().ReportedStatement;
    CCalcReportedStatement noted;
    noted.Status = record.Status;
    if (span.IsKnown()) {
        noted.Start = static_cast<int>(span.Start);
        noted.Length = static_cast<int>(span.Length);
    }
    if (record.Hint.IsKnown()) {
        noted.Hint = NCalculatorText::HintLine(record.Description, record.Hint);
        noted.HintStart = static_cast<int>(record.Hint.Start);
        noted.HintLength = static_cast<int>(record.Hint.Length);
    }
    noted_.push_back(noted);
    if (next_ != nullptr)
        next_->Add(record);
}

void CCalcRunRecorder::Clear()
{
    noted_.clear();
    if (next_ != nullptr)
        next_->Clear();
}

std::vector<CCalcReportedStatement> CCalcRunRecorder::statementsIn(std::u16string_view before,
                                                                   std::u16string_view after) const
{
    const CCalcTextChange change = CCalcTextChange::Between(before, after);
    std::vector<CCalcReportedStatement> moved = noted_;
    for (CCalcReportedStatement& statement : moved) {
        if (statement.Start < 0 || static_cast<std::size_t>(statement.Start) > before.size()) {
            statement.Start = -1;
            statement.Length = 0;
            statement.HintStart = -1;
            continue;
        }
        const auto start = static_cast<std::size_t>(statement.Start);
        const std::size_t end =
            std::min(before.size(), start + static_cast<std::size_t>(std::max(0, statement.Length)));
        std::size_t newStart = change.mapByStatement(before, after, start);
        std::size_t newEnd = std::max(newStart, change.mapByStatement(before, after, end));
        // A statement without an old "=" gets its result written right
        // behind it, which the move leaves outside.
        if (newEnd < after.size() && after[newEnd] == u'=' && (end >= before.size() || before[end] != u'=')) {
            ++newEnd;
            while (newEnd < after.size() && IsResultCharacter(after[newEnd]))
                ++newEnd;
        }
        // A failed statement lost its old result, and the blanks before it
        // may now end it.
        while (newEnd > newStart && IsBlank(after[newEnd - 1]))
            --newEnd;
        while (newStart < newEnd && IsBlank(after[newStart]))
            ++newStart;
        statement.Start = static_cast<int>(newStart);
        statement.Length = static_cast<int>(newEnd - newStart);
        if (statement.HintStart >= 0 && static_cast<std::size_t>(statement.HintStart) <= before.size()) {
            // The spot lies inside the statement's expression, which the run
            // leaves as it is.
            const auto spot = static_cast<std::size_t>(statement.HintStart);
            statement.HintStart = static_cast<int>(change.mapByStatement(before, after, spot));
        } else {
            statement.HintStart = -1;
        }
    }
    return moved;
}
