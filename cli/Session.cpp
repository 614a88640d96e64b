#include "cli/Session.h"

#include <cstdio>
#include <new>
#include <utility>

#include "app/CalcSettings.h"
#include "cli/FileIo.h"
#include "cli/Output.h"
#include "engine/Engine.h"
#include "engine/Random.h"
#include "memory/MemoryFile.h"
#include "memory/MemoryMap.h"

namespace Tevra::Cli {

namespace {

std::string SourceName(const RunSource& source)
{
    switch (source.Origin) {
    case RunSource::Kind::Text:
        return "-e";
    case RunSource::Kind::StandardInput:
        return "standard input";
    case RunSource::Kind::File:
        return source.Value;
    }
    return source.Value;
}

}  // namespace

CSession::CSession(CliOptions options) : options_(std::move(options))
{
    if (options_.Runs.empty())
        options_.Runs.push_back({RunSource::Kind::StandardInput, {}});
}

int CSession::Run()
{
    // A text too large for the memory there is stops tevra with one line
    // naming the input it was working on, not with an abort.
    try {
        return RunAll();
    } catch (const std::bad_alloc&) {
        runs_.clear();
        memoryFile_ = {};
        const std::string line =
            "tevra: " + (working_.empty() ? std::string() : working_ + ": ") + "not enough memory\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return UsageOrFileError;
    }
}

int CSession::RunAll()
{
    if (!PrepareInputs())
        return UsageOrFileError;

    ApplySettings();
    CCliLog log;
    const NCalculatorText::LogReceiverScope logScope(log);

    if (options_.LoadMemory) {
        log.SetPrinting(true);
        working_ = *options_.LoadMemory;
        someRunFailed_ = !LoadMemory();
    }
    log.SetPrinting(!options_.Json);
    for (auto& run : runs_) {
        working_ = SourceName(run.Source);
        int caret = options_.Caret;
        const bool ok = NCalculatorText::ExecuteText(run.Input.Text, caret);
        someRunFailed_ = someRunFailed_ || !ok;
        const RunOutcome outcome{ok, run.Input.Text, caret};
        Print(options_.Json ? JsonRunOutput(outcome, log.Records()) : PlainRunOutput(outcome));
        if (options_.InPlace && run.Source.Origin == RunSource::Kind::File) {
            const std::string bytes = EncodeRun(run.Input);
            if (bytes != run.OriginalBytes) {
                if (const std::string error = WriteFileAtomically(run.Source.Value, bytes); !error.empty())
                    ReportFileError(run.Source.Value, error);
            }
        }
    }

    working_.clear();
    if (options_.SaveMemory)
        SaveMemory();
    if (options_.Stats)
        Print(options_.Json ? JsonStatisticsOutput() : PlainStatisticsOutput());

    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        ReportFileError("standard output", std::string(CannotOpenForWriting));
    if (fileError_)
        return UsageOrFileError;
    return someRunFailed_ ? SomeRunFailed : AllSucceeded;
}

bool CSession::PrepareInputs()
{
    if (options_.LoadMemory && !Prepare({RunSource::Kind::File, *options_.LoadMemory}, memoryFile_))
        return false;
    runs_.resize(options_.Runs.size());
    for (std::size_t i = 0; i < options_.Runs.size(); ++i)
        if (!Prepare(options_.Runs[i], runs_[i]))
            return false;
    return true;
}

bool CSession::Prepare(const RunSource& source, PreparedRun& prepared)
{
    prepared.Source = source;
    working_ = SourceName(source);
    FileBytes input{true, {}, {}};
    switch (source.Origin) {
    case RunSource::Kind::Text:
        input.Bytes = source.Value;
        break;
    case RunSource::Kind::File:
        input = ReadRegularFile(source.Value);
        break;
    case RunSource::Kind::StandardInput:
        // A second "-" finds standard input at its end, as reading it again would.
        if (!standardInputRead_)
            input = ReadStandardInput();
        standardInputRead_ = true;
        break;
    }
    if (!input.Ok) {
        ReportFileError(SourceName(source), input.Error);
        return false;
    }
    DecodedRun decoded = DecodeRun(source.Origin, input.Bytes);
    if (!decoded.Ok) {
        ReportFileError(SourceName(source), decoded.Error);
        return false;
    }
    prepared.Input = std::move(decoded.Run);
    if (source.Origin == RunSource::Kind::File)
        prepared.OriginalBytes = std::move(input.Bytes);
    return true;
}

void CSession::ApplySettings() const
{
    CalcSettings.TrigonometricUnits = options_.Units;
    CalcSettings.NotationCase = options_.Upper ? 1 : 0;
    if (options_.Seed)
        NCalculatorText::SeedRandomGenerator(*options_.Seed);
}

bool CSession::LoadMemory()
{
    // As Load memory does: every statement runs, also after one that fails,
    // and the text is thrown away.
    int caret = -1;
    return NCalculatorText::ExecuteText(memoryFile_.Input.Text, caret, NCalculatorText::AfterFailure::Continue);
}

void CSession::SaveMemory()
{
    const std::string bytes = MemoryFileBytes(MemoryMap, true);
    if (const std::string error = WriteFileAtomically(*options_.SaveMemory, bytes); !error.empty())
        ReportFileError(*options_.SaveMemory, error);
}

void CSession::ReportFileError(const std::string& name, const std::string& message)
{
    fileError_ = true;
    const std::string line = "tevra: " + name + ": " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void CSession::Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace Tevra::Cli
