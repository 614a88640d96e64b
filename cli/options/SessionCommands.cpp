#include "cli/options/SessionCommands.h"

#include <algorithm>
#include <array>

#include "cli/options/Options.h"

namespace Tevra::Cli {

namespace {

constexpr std::array<SessionCommand, 7> CommandTable = {{
    {SessionCommandId::Help, ":help", "", "the language in brief, the keys and these commands"},
    {SessionCommandId::Memory, ":memory", "", "every memory cell and its value"},
    {SessionCommandId::Stats, ":stats", "", "the statistics of all memory cells"},
    {SessionCommandId::Units, ":units", "rad|deg|grad", "show or set the trigonometric units"},
    {SessionCommandId::SaveMemory, ":save-memory", "FILE", "save every memory cell as the memory file FILE", true},
    {SessionCommandId::Load, ":load", "FILE", "run the memory or calculation file FILE, printing only its reports",
     true},
    {SessionCommandId::Quit, ":quit", "", "end the session (as \"quit\" and Ctrl+D do)"},
}};

constexpr std::string_view Blanks = " \t\r\n";

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

}  // namespace

std::span<const SessionCommand> SessionCommands()
{
    return CommandTable;
}

bool IsSessionCommandLine(std::string_view line)
{
    return Trimmed(line).starts_with(':');
}

bool IsQuitLine(std::string_view line)
{
    const std::string_view word = Trimmed(line);
    if (word.size() != 4)
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != "quit"[i])
            return false;
    }
    return true;
}

ParsedSessionCommand ParseSessionCommand(std::string_view line)
{
    ParsedSessionCommand parsed;
    const std::string_view text = Trimmed(line);
    const std::size_t end = std::min(text.find_first_of(Blanks), text.size());
    const std::string_view name = text.substr(0, end);
    parsed.Argument = std::string(Trimmed(text.substr(end)));
    for (const SessionCommand& command : CommandTable) {
        if (command.Name != name)
            continue;
        if (command.Argument.empty() && !parsed.Argument.empty()) {
            parsed.Error = std::string(name) + " takes nothing";
            return parsed;
        }
        if (command.ArgumentIsFile && parsed.Argument.empty()) {
            parsed.Error = std::string(name) + " needs a FILE";
            return parsed;
        }
        parsed.Command = &command;
        return parsed;
    }
    parsed.Error = "unknown command '" + std::string(name) + "' (:help lists the commands)";
    return parsed;
}

std::string SessionGreeting()
{
    return std::string(VersionText) + ": type a calculation, :help for help, Ctrl+D to end\n";
}

std::string SessionHelpText()
{
    std::string text = "Type a calculation and press Enter: tevra writes each result behind its \"=\".\n"
                       "  statements     separated by \";\", e.g. 2+3; sqrt(2)*10^3; 5!\n"
                       "  comments       // to the end of the line, /* ... */ anywhere\n"
                       "  operators      + - * / ^ and postfix !, brackets ( ) [ ] { }\n"
                       "  functions      sin cos tan cot ..., asin ..., sinh ..., ln lg exp sqrt abs sign\n"
                       "                 gamma, the Bessel functions j and y; Tab lists them\n"
                       "  series         sum(i, 1, 10, i^2) and prod(i, 1, 5, i) over an index\n"
                       "  memory         3 -> Mem[x] stores, Mem[x] reads a memory cell\n"
                       "  also           pi, e, rslt (the last result), rand (a random number)\n"
                       "A line that ends inside an open bracket or \"/*\" goes on on the next line.\n"
                       "\n"
                       "Keys: Up and Down fetch earlier lines, Tab completes a name, Ctrl+R searches\n"
                       "the history, Ctrl+C cancels the calculation or the line, Ctrl+D ends.\n"
                       "\n"
                       "Commands:\n";
    for (const SessionCommand& command : CommandTable) {
        std::string left = "  " + std::string(command.Name);
        if (!command.Argument.empty())
            left += " " + std::string(command.Argument);
        left.resize(std::max<std::size_t>(left.size() + 1, 22), ' ');
        text += left + std::string(command.Help) + "\n";
    }
    return text;
}

}  // namespace Tevra::Cli
