#include "cli/Interactive.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "cli/Continuation.h"
#include "cli/History.h"
#include "cli/Interrupts.h"
#include "cli/LineEditor.h"
#include "cli/options/Options.h"
#include "cli/Output.h"
#include "cli/options/SessionCommands.h"
#include "core/engine/EngineState.h"
#include "core/formats/TextCodec.h"

namespace Tevra::Cli {

namespace {

void Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void PrintError(const std::string& message)
{
    std::fflush(stdout);
    const std::string line = "tevra: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

bool IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

}  // namespace

std::string WithHomeFolder(const std::string& path)
{
    const char* home = std::getenv("HOME");
    if (path.starts_with("~/") && home != nullptr && home[0] != '\0')
        return std::string(home) + path.substr(1);
    return path;
}

void CInteractiveSession::Run()
{
    const bool terminal = isatty(STDIN_FILENO) == 1;
    CHistoryFile history(CHistoryFile::DefaultPath());
    CLineEditor editor(
        [this](std::u16string_view line, std::size_t caret) { return CompleteLine(pending_, line, caret); });
    for (const std::string& line : history.Load())
        editor.Remember(line);
    if (!history.Error().empty())
        PrintError(history.Path() + ": " + history.Error() + " (the lines typed are not kept)");
    if (terminal)
        Print(SessionGreeting());

    for (;;) {
        const CLineEditor::Input input = editor.Read(pending_.empty() ? SessionPrompt : ContinuationPrompt);
        if (input.What == CLineEditor::Input::Outcome::End) {
            if (terminal && ReceivedSignal() == 0)
                Print("\n");
            break;
        }
        if (input.What == CLineEditor::Input::Outcome::Interrupted) {
            pending_.clear();
            continue;
        }
        const std::string& line = input.Line;
        if (!IsBlank(line)) {
            editor.Remember(line);
            const bool kept = history.Error().empty();
            history.Append(line);
            if (kept && !history.Error().empty())
                PrintError(history.Path() + ": " + history.Error() + " (the lines typed are not kept)");
        }
        if (pending_.empty()) {
            if (IsQuitLine(line))
                break;
            if (IsSessionCommandLine(line)) {
                if (!Command(line))
                    break;
                continue;
            }
            if (IsBlank(line))
                continue;
        }
        pending_ += Utf8ToUtf16(line);
        if (ContinuesOnNextLine(pending_)) {
            pending_ += u'\n';
            continue;
        }
        SetSessionCalculating(true);
        runner_.RunLine(Utf16ToUtf8(pending_));
        SetSessionCalculating(false);
        pending_.clear();
        // A Ctrl+C that came while the line ran has cancelled it; the next
        // line starts afresh.
        TakeSessionInterrupt();
        if (ReceivedSignal() != 0)
            break;
    }
}

bool CInteractiveSession::Command(const std::string& line)
{
    const ParsedSessionCommand parsed = ParseSessionCommand(line);
    if (parsed.Command == nullptr) {
        PrintError(parsed.Error);
        return true;
    }
    auto& settings = NCalculatorText::State().CalcSettings;
    switch (parsed.Command->Id) {
    case SessionCommandId::Help:
        Print(SessionHelpText());
        break;
    case SessionCommandId::Memory:
        Print(NCalculatorText::State().MemoryMap.Count() == 0 ? std::string("no memory cells\n") : PlainMemoryOutput());
        break;
    case SessionCommandId::Stats:
        runner_.PrintStatistics();
        break;
    case SessionCommandId::Units:
        if (parsed.Argument.empty()) {
            Print(std::string(
                      UnitNames[settings.TrigonometricUnits < UnitNames.size() ? settings.TrigonometricUnits : 0]) +
                  "\n");
        } else if (const auto units = UnitsNamed(parsed.Argument)) {
            settings.TrigonometricUnits = *units;
        } else {
            PrintError(":units takes rad, deg or grad, not '" + parsed.Argument + "'");
        }
        break;
    case SessionCommandId::SaveMemory:
        runner_.SaveMemoryTo(WithHomeFolder(parsed.Argument));
        break;
    case SessionCommandId::Load:
        runner_.LoadFile(WithHomeFolder(parsed.Argument));
        break;
    case SessionCommandId::Quit:
        return false;
    }
    return true;
}

}  // namespace Tevra::Cli
