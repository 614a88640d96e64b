#include "cli/Session.h"

#include <unistd.h>

#include <cstdio>
#include <new>
#include <optional>
#include <utility>

#include "core/settings/CalcSettings.h"
#include "cli/FileIo.h"
#include "cli/Interrupts.h"
#include "cli/Output.h"
#include "core/engine/Engine.h"
#include "core/engine/Random.h"
#include "core/files/FileAccess.h"
#include "core/files/MemoryFile.h"
#include "core/formats/TextCodec.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

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
    if (options_.Runs.empty() && !options_.Interactive)
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
        return ReceivedSignal() != 0 ? InterruptedStatus() : UsageOrFileError;

    ApplySettings();
    CCliLog log;
    const NCalculatorText::LogReceiverScope logScope(log);
    // A person reading the reports gets the hint under each; a program
    // reading standard error gets the reports alone, as always.
    log.SetHints(isatty(STDERR_FILENO) != 0);

    if (options_.LoadMemory) {
        log.SetPrinting(true);
        working_ = *options_.LoadMemory;
        someRunFailed_ = !LoadMemory();
        memoryFile_ = {};
    }
    log.SetPrinting(!options_.Json);
    for (auto& run : runs_) {
        if (ReceivedSignal() != 0)
            break;
        working_ = SourceName(run.Source);
        ExecuteRun(run, log);
        run.Input = {};  // done with: its memory goes back before the next run
    }
    if (options_.Interactive && ReceivedSignal() == 0)
        RunSession(log);
    if (ReceivedSignal() != 0) {
        std::fflush(stdout);
        return InterruptedStatus();
    }

    working_.clear();
    if (options_.SaveMemory)
        SaveMemory(*options_.SaveMemory);
    if (options_.Stats)
        PrintStatistics();

    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        ReportFileError("standard output", std::string(CannotOpenForWriting));
    if (ReceivedSignal() != 0)
        return InterruptedStatus();
    if (fileError_)
        return UsageOrFileError;
    return someRunFailed_ ? SomeRunFailed : AllSucceeded;
}

int CSession::InterruptedStatus() const
{
    return InterruptedBySignal + ReceivedSignal();
}

bool CSession::Execute(std::u16string_view text, int& caret, NCalculatorText::ITextSink& out,
                       NCalculatorText::AfterFailure after)
{
    std::optional<CRunTimeLimit> limit;
    if (options_.TimeoutSeconds)
        limit.emplace(*options_.TimeoutSeconds);
    return NCalculatorText::ExecuteTextInto(text, caret, out, after);
}

void CSession::ExecuteRun(PreparedRun& run, const CCliLog& log)
{
    // The text goes to standard output and, with --in-place, into the file's
    // replacement as the engine makes it; the file is replaced only when the
    // run was not interrupted and changed its text, and left alone when its
    // bytes stay the same.
    const std::string& path = run.Source.Value;
    CFileReplacement replacement;
    bool inPlace = options_.InPlace && run.Source.Origin == RunSource::Kind::File;
    if (inPlace && !replacement.Begin(path, true)) {
        ReportFileError(path, replacement.Error());
        inPlace = false;
    }
    CRunTextSink sink(options_.Json, inPlace ? &replacement : nullptr, run.Input.Encoding);
    sink.CompareWith(run.Input.Text);
    int caret = options_.Caret;
    const bool ok = Execute(run.Input.Text, caret, sink, NCalculatorText::AfterFailure::Stop);
    someRunFailed_ = someRunFailed_ || !ok;
    bool written = sink.Finish();
    if (options_.Json)
        PrintJsonRun(ok, sink.EscapedText(), caret, log.Records());
    if (!inPlace)
        return;
    if (ReceivedSignal() != 0 || (written && !sink.TextChanged())) {
        replacement.Abandon();
        return;
    }
    written = written && replacement.Write(run.Input.Tail) && replacement.Commit();
    if (!written)
        ReportFileError(path, replacement.Error());
}

bool CSession::PrepareInputs()
{
    if (options_.LoadMemory && !Prepare({RunSource::Kind::File, *options_.LoadMemory}, memoryFile_, true))
        return false;
    runs_.resize(options_.Runs.size());
    for (std::size_t i = 0; i < options_.Runs.size(); ++i)
        if (!Prepare(options_.Runs[i], runs_[i], false))
            return false;
    return true;
}

bool CSession::Prepare(const RunSource& source, PreparedRun& prepared, bool memoryFile)
{
    prepared.Source = source;
    working_ = SourceName(source);
    FileBytes input{true, {}, {}};
    switch (source.Origin) {
    case RunSource::Kind::Text:
        input.Bytes = source.Value;
        break;
    case RunSource::Kind::File:
        // An empty calculation file is an empty calculation; an empty memory
        // file holds no cells and cannot be read.
        input = ReadRegularFile(source.Value, !memoryFile);
        break;
    case RunSource::Kind::StandardInput:
        // A second "-" finds standard input at its end, as reading it again would.
        if (!standardInputRead_)
            input = ReadStandardInput();
        standardInputRead_ = true;
        break;
    }
    if (!input.Ok) {
        if (ReceivedSignal() == 0)
            ReportFileError(SourceName(source), input.Error);
        return false;
    }
    DecodedRun decoded = DecodeRun(source.Origin, input.Bytes);
    if (!decoded.Ok) {
        ReportFileError(SourceName(source), decoded.Error);
        return false;
    }
    if (options_.InPlace && !memoryFile && source.Origin == RunSource::Kind::File &&
        !WritesBackUnchanged(decoded.Run, input.Bytes)) {
        ReportFileError(SourceName(source),
                        std::string(CannotOpenForWriting) + ": " + std::string(NotWrittenBackAsRead));
        return false;
    }
    input.Bytes = std::string();
    prepared.Input = std::move(decoded.Run);
    return true;
}

void CSession::ApplySettings() const
{
    State().CalcSettings.TrigonometricUnits = options_.Units;
    State().CalcSettings.NotationCase = options_.Upper ? 1 : 0;
    State().CalcSettings.DigitsInResults = static_cast<std::uint32_t>(options_.Digits.value_or(MaxDigits));
    if (options_.Seed)
        NCalculatorText::SeedRandomGenerator(*options_.Seed);
}

bool CSession::LoadMemory()
{
    // As Load memory does: every statement runs, also after one that fails,
    // and the text is thrown away.
    int caret = -1;
    NCalculatorText::CDiscardedText discarded;
    return Execute(memoryFile_.Input.Text, caret, discarded, NCalculatorText::AfterFailure::Continue);
}

bool CSession::SaveMemory(const std::string& path)
{
    const std::string bytes = MemoryFileBytes(State().MemoryMap, true);
    CFileReplacement replacement;
    if (!replacement.Begin(path) || !replacement.Write(bytes)) {
        ReportFileError(path, replacement.Error());
        return false;
    }
    // Interrupted meanwhile: the file stays as it was.
    if (ReceivedSignal() != 0)
        return false;
    if (!replacement.Commit()) {
        ReportFileError(path, replacement.Error());
        return false;
    }
    return true;
}

void CSession::RunSession(CCliLog& log)
{
    std::fflush(stdout);
    InstallSessionHandlers();
    log.SetColoured(!options_.Json && StandardErrorShowsColour());
    log_ = &log;
    inSession_ = true;
    working_ = "session";
    CInteractiveSession(*this).Run();
    inSession_ = false;
    log.SetColoured(false);
}

void CSession::RunLine(const std::string& text)
{
    PreparedRun run;
    run.Source = {RunSource::Kind::Text, {}};
    run.Input.Text = Utf8ToUtf16(text);
    const bool failedBefore = someRunFailed_;
    ExecuteRun(run, *log_);
    someRunFailed_ = failedBefore;
    std::fflush(stdout);
}

void CSession::LoadFile(const std::string& path)
{
    PreparedRun file;
    if (Prepare({RunSource::Kind::File, path}, file, true)) {
        int caret = -1;
        NCalculatorText::CDiscardedText discarded;
        Execute(file.Input.Text, caret, discarded, NCalculatorText::AfterFailure::Continue);
    }
    working_ = "session";
}

void CSession::SaveMemoryTo(const std::string& path)
{
    SaveMemory(path);
}

void CSession::PrintStatistics()
{
    Print(options_.Json ? JsonStatisticsOutput() : PlainStatisticsOutput());
    std::fflush(stdout);
}

void CSession::ReportFileError(const std::string& name, const std::string& message)
{
    std::fflush(stdout);
    fileError_ = fileError_ || !inSession_;
    const std::string line = "tevra: " + name + ": " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void CSession::Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace Tevra::Cli
