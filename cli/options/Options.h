// The command line of tevra: its options, their values and its runs.
#pragma once

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
    std::uint32_t Units = 0;  // 0 radians, 1 degrees, 2 grads
    std::optional<std::uint64_t> Seed;
    int Caret = -1;
    std::optional<std::string> LoadMemory;
    std::optional<std::string> SaveMemory;
    std::optional<double> TimeoutSeconds;  // a run taking longer is cancelled
};

inline constexpr double MaxTimeoutSeconds = 1e9;

// What the command line asks for: runs with options, or one of the two
// informational answers, or nothing because it is wrong.
struct ParsedCommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action Request = Action::Run;
    CliOptions Options;
    std::string Error;  // for UsageError: what was wrong, one line
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Every option as --help lists it: its name, the value it takes (empty for a
// flag) and what it does; the manual page is made from these too.
struct OptionSummary {
    std::string_view Name;
    std::string_view ValueName;
    std::string_view Help;
};
std::vector<OptionSummary> OptionSummaries();

// The full --help text, and the short reminder that ends the one line of a
// usage error.
std::string HelpText();
std::string UsageReminder();

inline constexpr const char* VersionText = "Calculator Tevra " TEVRA_VERSION_TEXT;

}  // namespace Tevra::Cli
