// What tevra prints: log records, the result of each run as plain text or
// JSON, and the statistics of the memory cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/ReportedStatement.h"
#include "core/files/FileAccess.h"
#include "core/formats/FileEncoding.h"

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
        // Why the statement failed or warned and how to write it; empty
        // when the text shows no known mistake.
        std::string Hint;
        std::int64_t HintStart = -1;
        std::int64_t HintLength = 0;
    };

    void SetPrinting(bool printing) { printing_ = printing; }
    // Printed records in colour (errors red, warnings yellow), for a
    // terminal that shows colour.
    void SetColoured(bool coloured) { coloured_ = coloured; }
    // Printing, the hint of a record follows it on a line of its own.
    void SetHints(bool hints) { hints_ = hints; }

    void Add(const NCalculatorText::LogRecord& record) override;
    void Clear() override;

    const std::vector<Record>& Records() const { return records_; }

private:
    bool printing_ = true;
    bool coloured_ = false;
    bool hints_ = false;
    int count_ = 0;
    std::vector<Record> records_;
};

// Where a run's resulting text goes while the engine makes it: standard
// output, as UTF-8 (plain) or kept JSON-escaped for the run's line (JSON), and,
// with --in-place, the run's file in its own encoding. Nothing holds the
// whole text but the JSON line.
class CRunTextSink final : public NCalculatorText::ITextSink {
public:
    CRunTextSink(bool json, CFileReplacement* file, FileEncoding fileEncoding);

    void Append(std::u16string_view piece) override;
    // Ends the text: what still waits goes out. false when the file could not
    // be written.
    bool Finish();
    // Whether the text made differs from original (the run's input), which
    // must outlive the sink; known once Finish() was called.
    void CompareWith(std::u16string_view original) { original_ = original; }
    bool TextChanged() const { return changed_; }
    // The text escaped for a JSON string, without its quotes, in pieces
    // (JSON only): a large text is never copied to make room as it grows.
    const std::vector<std::string>& EscapedText() const { return escaped_; }

private:
    void FlushStandardOutput(bool last);
    bool FlushFile();

    bool json_;
    CFileReplacement* file_;
    CFileTextEncoder fileEncoder_;
    std::string output_;  // UTF-8 not yet printed or escaped
    char16_t pending_ = 0;
    std::string fileBytes_;  // encoded, not yet written
    std::vector<std::string> escaped_;
    bool fileOk_ = true;
    std::u16string_view original_;
    std::size_t compared_ = 0;  // code units of original_ the text matched so far
    bool changed_ = false;
};

// One run's JSON line, on standard output: ok, text, caret, last_result, log
// and memory, with every number in the settings' number format.
void PrintJsonRun(bool ok, const std::vector<std::string>& escapedText, int caret,
                  const std::vector<CCliLog::Record>& log);

// Whether standard error is a terminal that shows colour and the user did
// not turn colour off (NO_COLOR).
bool StandardErrorShowsColour();

// Every memory cell as name<TAB>value lines, in key order.
std::string PlainMemoryOutput();

// The six statistics of all memory cells: label<TAB>value lines, or one line
// of JSON {"statistics":[{"label":...,"value":...},...]}.
std::string PlainStatisticsOutput();
std::string JsonStatisticsOutput();

}  // namespace Tevra::Cli
