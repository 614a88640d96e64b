// What tevra prints: log records, the result of each run as plain text or
// JSON, and the statistics of the memory cells.
#pragma once

#include <string>
#include <vector>

#include "engine/Diagnostics.h"
#include "engine/ReportedStatement.h"

namespace Tevra::Cli {

// Receives the engine's log records. Printing, each record goes to standard
// error at once as N<TAB>Error|Warning<TAB>context<TAB>description, numbered
// from 1 after every Clear; otherwise the records of the latest run are kept
// for the JSON output.
class CCliLog final : public NCalculatorText::ILogReceiver {
public:
    struct Record {
        bool Error = false;
        std::string Context;
        std::string Description;
        // The statement the record comes from, in the run's text.
        NCalculatorText::StatementSpan Statement;
    };

    void SetPrinting(bool printing) { printing_ = printing; }

    void Add(const NCalculatorText::LogRecord& record) override;
    void Clear() override;

    const std::vector<Record>& Records() const { return records_; }

private:
    bool printing_ = true;
    int count_ = 0;
    std::vector<Record> records_;
};

// One run's outcome as it is printed.
struct RunOutcome {
    bool Ok = false;
    std::u16string Text;
    int Caret = -1;
};

// The resulting text and a newline.
std::string PlainRunOutput(const RunOutcome& outcome);

// One line of JSON: ok, text, caret, last_result, log and memory, with every
// number in the settings' number format.
std::string JsonRunOutput(const RunOutcome& outcome, const std::vector<CCliLog::Record>& log);

// The six statistics of all memory cells: label<TAB>value lines, or one line
// of JSON {"statistics":[{"label":...,"value":...},...]}.
std::string PlainStatisticsOutput();
std::string JsonStatisticsOutput();

}  // namespace Tevra::Cli
