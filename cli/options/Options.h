// The command line of tevra: its options, their values and its runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tevra::Cli {

// One run: a text given with -e, a file, or standard input ("-").
struct RunSource {
    enum class Kind { Text, File, StandardInput };
    Kind Origin = Kind::Text;
    std::string Value;  // the text of -e, or the file's path
};

struct CliOptions {
    std::vector<RunSource> Runs;  // in command-line order; none means standard input
    bool Json = false;
    bool Upper = false;
    bool Stats = false;
    bool InPlace = false;
    // A session at the terminal: asked for with -i, or chosen by tevra when
    // standard input and output are terminals and no RUN is given.
    bool Interactive = false;
    std::optional<std::string> CompletionShell;  // --completion: the script to print
    std::uint32_t Units = 0;                     // 0 radians, 1 degrees, 2 grads
    std::optional<std::uint64_t> Seed;
    int Caret = -1;
    std::optional<std::string> LoadMemory;
    std::optional<std::string> SaveMemory;
    std::optional<double> TimeoutSeconds;  // a run taking longer is cancelled
    // --digits: the significant digits of the numbers of the text output
    // (results, memory and statistics listings), 1 to MaxDigits.
    std::optional<int> Digits;
};

inline constexpr int MaxDigits = 20;

inline constexpr double MaxTimeoutSeconds = 1e9;

// The names of the trigonometric units, by their number in the settings.
inline constexpr std::array<std::string_view, 3> UnitNames = {"rad", "deg", "grad"};
std::optional<std::uint32_t> UnitsNamed(std::string_view name);

// The shells whose completion script --completion prints.
inline constexpr std::array<std::string_view, 2> CompletionShells = {"bash", "zsh"};

// What the command line asks for: runs with options, or one of the two
// informational answers, or nothing because it is wrong.
struct ParsedCommandLine {
    enum class Action { Run, Help, Version, Completion, UsageError };
    Action Request = Action::Run;
    CliOptions Options;
    std::string Error;  // for UsageError: what was wrong, one line
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What a shell can offer for an option's value.
enum class ValueCompletion { Nothing, Files, Units, Shells };

// Every option as --help lists it: its name (and its one-letter form, if it
// has one), the value it takes (empty for a flag), what it does and what a
// shell can offer for the value; the manual page and the shell completion
// scripts are made from these too.
struct OptionSummary {
    std::string_view Name;
    std::string_view ValueName;
    std::string_view Help;
    std::string_view ShortName = {};
    ValueCompletion Values = ValueCompletion::Nothing;
};
std::vector<OptionSummary> OptionSummaries();

// The full --help text, and the short reminder that ends the one line of a
// usage error.
std::string HelpText();
std::string UsageReminder();

inline constexpr const char* VersionText = "Calculator Tevra " TEVRA_VERSION_TEXT;

}  // namespace Tevra::Cli
