// One invocation of tevra: reads every input, carries out the runs in order
// in this process, prints and writes what they produce.
#pragma once

#include <string>
#include <vector>

#include "cli/Interactive.h"
#include "cli/options/Options.h"
#include "cli/Output.h"
#include "cli/RunText.h"
#include "core/engine/Engine.h"

namespace Tevra::Cli {

enum ExitStatus : int {
    AllSucceeded = 0,
    SomeRunFailed = 1,
    UsageOrFileError = 2,
    // 128 + the signal's number: 130 for SIGINT, 143 for SIGTERM.
    InterruptedBySignal = 128,
};

class CSession final : private ISessionRunner {
public:
    explicit CSession(CliOptions options);

    // Everything, from reading the inputs to the statistics; the exit status.
    int Run();

private:
    // The session at the terminal, after the runs. What its lines do counts
    // neither as a failed run nor as a file error in the exit status.
    void RunSession(CCliLog& log);
    void RunLine(const std::string& text) override;
    void LoadFile(const std::string& path) override;
    void SaveMemoryTo(const std::string& path) override;
    void PrintStatistics() override;

    struct PreparedRun {
        RunSource Source;
        RunText Input;
    };

    // Reads and decodes every input before anything runs, so that a missing
    // or malformed file stops tevra before any file is changed.
    int RunAll();
    bool PrepareInputs();
    // Reads and decodes one input; memoryFile for --load-memory's file.
    bool Prepare(const RunSource& source, PreparedRun& prepared, bool memoryFile);
    void ApplySettings() const;
    bool LoadMemory();
    void ExecuteRun(PreparedRun& run, const CCliLog& log);
    // Runs text with the time limit of --timeout, if one was given.
    bool Execute(std::u16string_view text, int& caret, NCalculatorText::ITextSink& out,
                 NCalculatorText::AfterFailure after);
    int InterruptedStatus() const;
    bool SaveMemory(const std::string& path);
    void ReportFileError(const std::string& name, const std::string& message);
    void Print(const std::string& text);

    CliOptions options_;
    std::vector<PreparedRun> runs_;
    PreparedRun memoryFile_;
    std::string working_;  // the input being read or calculated, for a message
    bool standardInputRead_ = false;
    bool someRunFailed_ = false;
    bool fileError_ = false;
    bool inSession_ = false;
    const CCliLog* log_ = nullptr;
};

}  // namespace Tevra::Cli
