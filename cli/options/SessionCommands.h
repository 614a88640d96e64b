// The commands of a session at the terminal: lines that start with ":",
// which no calculation can, and the word "quit".
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace Tevra::Cli {

enum class SessionCommandId { Help, Memory, Stats, Units, SaveMemory, Load, Quit };

struct SessionCommand {
    SessionCommandId Id;
    std::string_view Name;      // ":help"
    std::string_view Argument;  // what it takes ("FILE"), empty for nothing
    std::string_view Help;
    bool ArgumentIsFile = false;
};

// Every session command, in the order :help lists them.
std::span<const SessionCommand> SessionCommands();

struct ParsedSessionCommand {
    const SessionCommand* Command = nullptr;  // null: Error says why
    std::string Argument;                     // the rest of the line, trimmed
    std::string Error;
};

// A line that starts with ":" (blanks before it allowed).
bool IsSessionCommandLine(std::string_view line);
// Whether a line asks to end the session: "quit", in any case, blanks
// around it allowed.
bool IsQuitLine(std::string_view line);

ParsedSessionCommand ParseSessionCommand(std::string_view line);

// The line a session at a terminal starts with.
std::string SessionGreeting();

// What :help prints: the language in brief, the keys and the commands.
std::string SessionHelpText();

// The first words of the session's prompts.
inline constexpr std::string_view SessionPrompt = "> ";
inline constexpr std::string_view ContinuationPrompt = ". ";

}  // namespace Tevra::Cli
