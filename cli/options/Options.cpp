#include "cli/options/Options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string_view>

namespace Tevra::Cli {

namespace {

using Action = ParsedCommandLine::Action;

// Applies an option's value to the options; false with error set when the
// value is not acceptable.
using ApplyOption = bool (*)(CliOptions& options, std::string_view value, std::string& error);

struct OptionSpec {
    std::string_view Name;
    std::string_view ValueName;  // empty for a flag
    std::string_view Help;
    ApplyOption Apply;
    Action Request = Action::Run;  // Help, Version and Completion answer at once
    ValueCompletion Values = ValueCompletion::Nothing;
    std::string_view ShortName = {};
};

template <typename Number> std::optional<Number> ParseDecimal(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool ApplyUnits(CliOptions& options, std::string_view value, std::string& error)
{
    if (const auto units = UnitsNamed(value)) {
        options.Units = *units;
        return true;
    }
    error = "--units takes rad, deg or grad, not '" + std::string(value) + "'";
    return false;
}

bool ApplyShell(CliOptions& options, std::string_view value, std::string& error)
{
    if (std::find(CompletionShells.begin(), CompletionShells.end(), value) == CompletionShells.end()) {
        error = "--completion takes bash or zsh, not '" + std::string(value) + "'";
        return false;
    }
    options.CompletionShell = std::string(value);
    return true;
}

bool ApplySeed(CliOptions& options, std::string_view value, std::string& error)
{
    // from_chars would take a leading "-" for a signed type only; an unsigned
    // one refuses it, as it should.
    options.Seed = ParseDecimal<std::uint64_t>(value);
    if (!options.Seed)
        error = "--seed takes a whole number from 0 to 18446744073709551615, not '" + std::string(value) + "'";
    return options.Seed.has_value();
}

bool ApplyCaret(CliOptions& options, std::string_view value, std::string& error)
{
    const auto caret = ParseDecimal<int>(value);
    if (!caret || *caret < -1) {
        error = "--caret takes a position of 0 or more, or -1 for all statements, not '" + std::string(value) + "'";
        return false;
    }
    options.Caret = *caret;
    return true;
}

bool ApplyTimeout(CliOptions& options, std::string_view value, std::string& error)
{
    // Seconds, with a fraction if need be; from_chars reads no sign of its
    // own accord for "+", and the range check refuses "-", "nan" and "inf".
    double seconds = 0.0;
    const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (value.empty() || failure != std::errc{} || end != value.data() + value.size() || !(seconds > 0.0) ||
        seconds > MaxTimeoutSeconds) {
        error = "--timeout takes a number of seconds above 0 and at most 1000000000, not '" + std::string(value) + "'";
        return false;
    }
    options.TimeoutSeconds = seconds;
    return true;
}

bool ApplyDigits(CliOptions& options, std::string_view value, std::string& error)
{
    const auto digits = ParseDecimal<int>(value);
    if (!digits || *digits < 1 || *digits > MaxDigits) {
        error = "--digits takes a number of significant digits from 1 to 20, not '" + std::string(value) + "'";
        return false;
    }
    options.Digits = *digits;
    return true;
}

bool ApplyText(CliOptions& options, std::string_view value, std::string&)
{
    options.Runs.push_back({RunSource::Kind::Text, std::string(value)});
    return true;
}

bool ApplyNothing(CliOptions&, std::string_view, std::string&)
{
    return true;
}

// The column where --help starts an option's description, as the RUN lines
// above the options do.
constexpr std::size_t HelpColumn = 24;

// Every option, in the order --help lists them.
const std::array<OptionSpec, 17> OptionTable = {{
    {"-e", "TEXT", "calculate TEXT (a run; may be given several times)", ApplyText},
    {"--json", "", "print one JSON object per run instead of the text",
     [](CliOptions& o, std::string_view, std::string&) {
         o.Json = true;
         return true;
     }},
    {"--units", "UNIT", "trigonometric units: rad (default), deg or grad", ApplyUnits, Action::Run,
     ValueCompletion::Units},
    {"--upper", "", "upper-case number notation (1E+021)",
     [](CliOptions& o, std::string_view, std::string&) {
         o.Upper = true;
         return true;
     }},
    {"--digits", "N", "show numbers with N significant digits (1 to 20, default 20); not with --json", ApplyDigits},
    {"--seed", "N", "seed the random numbers with N instead of the clock", ApplySeed},
    {"--caret", "N", "calculate only the statement at UTF-16 position N", ApplyCaret},
    {"--load-memory", "FILE", "run the memory file FILE first, printing nothing for it",
     [](CliOptions& o, std::string_view v, std::string&) {
         o.LoadMemory = std::string(v);
         return true;
     },
     Action::Run, ValueCompletion::Files},
    {"--save-memory", "FILE", "after all runs, save every memory cell as the memory file FILE",
     [](CliOptions& o, std::string_view v, std::string&) {
         o.SaveMemory = std::string(v);
         return true;
     },
     Action::Run, ValueCompletion::Files},
    {"--in-place", "", "write each FILE run's resulting text back into FILE",
     [](CliOptions& o, std::string_view, std::string&) {
         o.InPlace = true;
         return true;
     }},
    {"--timeout", "SECONDS", "cancel a run that takes longer than SECONDS, as a failing statement", ApplyTimeout},
    {"--stats", "", "after the runs, print the statistics of all memory cells",
     [](CliOptions& o, std::string_view, std::string&) {
         o.Stats = true;
         return true;
     }},
    {"--interactive", "", "after the runs, calculate each line typed at the terminal",
     [](CliOptions& o, std::string_view, std::string&) {
         o.Interactive = true;
         return true;
     },
     Action::Run, ValueCompletion::Nothing, "-i"},
    {"--completion", "SHELL", "print the completion script of tevra for bash or zsh and exit", ApplyShell,
     Action::Completion, ValueCompletion::Shells},
    {"--help", "", "show this help and exit", ApplyNothing, Action::Help},
    {"--version", "", "show the version and exit", ApplyNothing, Action::Version},
    {"--", "", "take every later argument as a FILE", ApplyNothing},
}};

const OptionSpec* FindOption(std::string_view name)
{
    for (const auto& option : OptionTable)
        if (option.Name == name || (!option.ShortName.empty() && option.ShortName == name))
            return &option;
    return nullptr;
}

ParsedCommandLine UsageError(std::string message)
{
    ParsedCommandLine parsed;
    parsed.Request = Action::UsageError;
    parsed.Error = std::move(message);
    return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (onlyFiles || argument.empty() || argument[0] != '-') {
            parsed.Options.Runs.push_back({RunSource::Kind::File, std::string(argument)});
            continue;
        }
        if (argument == "-") {
            parsed.Options.Runs.push_back({RunSource::Kind::StandardInput, {}});
            continue;
        }
        if (argument == "--") {
            onlyFiles = true;
            continue;
        }

        // "--name=value" gives the value in the same argument.
        std::string_view name = argument;
        std::optional<std::string_view> inlineValue;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        const OptionSpec* option = FindOption(name);
        if (!option)
            return UsageError("unknown option '" + std::string(argument) + "'");
        if (option->Request != Action::Run && option->ValueName.empty()) {
            parsed.Request = option->Request;
            return parsed;
        }

        std::string_view value;
        if (!option->ValueName.empty()) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return UsageError("option '" + std::string(name) + "' needs a value " + std::string(option->ValueName));
            }
        } else if (inlineValue) {
            return UsageError("option '" + std::string(name) + "' takes no value");
        }
        std::string error;
        if (!option->Apply(parsed.Options, value, error))
            return UsageError(error);
        if (option->Request != Action::Run) {
            parsed.Request = option->Request;
            return parsed;
        }
    }
    if (parsed.Options.Json && parsed.Options.Digits)
        return UsageError("--digits shortens the text output; --json keeps every digit");
    return parsed;
}

std::vector<OptionSummary> OptionSummaries()
{
    std::vector<OptionSummary> summaries;
    summaries.reserve(OptionTable.size());
    for (const auto& option : OptionTable)
        summaries.push_back({option.Name, option.ValueName, option.Help, option.ShortName, option.Values});
    return summaries;
}

std::string HelpText()
{
    std::string text =
        "Usage: tevra [OPTIONS] [RUN ...]\n"
        "Calculates the statements of calculation texts and writes each result\n"
        "behind its \"=\".\n"
        "\n"
        "RUN:\n"
        "  -e TEXT               a calculation text given on the command line\n"
        "  FILE                  a calculation or memory file (UTF-16LE with FF FE, else UTF-8 or UTF-16LE)\n"
        "  -                     standard input (UTF-8); the run when no RUN is given, unless\n"
        "                        standard input and output are terminals: then tevra starts a\n"
        "                        session that calculates each line typed (as with -i)\n"
        "Runs happen in order in one process: memory cells, the last result and the\n"
        "random numbers carry over from one run to the next.\n"
        "\n"
        "Options:\n";
    for (const auto& option : OptionTable) {
        if (option.Name == "-e")
            continue;
        std::string left =
            "  " + (option.ShortName.empty() ? "" : std::string(option.ShortName) + ", ") + std::string(option.Name);
        if (!option.ValueName.empty())
            left += " " + std::string(option.ValueName);
        left.resize(std::max(left.size() + 1, HelpColumn), ' ');
        text += left + std::string(option.Help) + "\n";
    }
    text += "\n"
            "Output: the resulting text of each run on standard output, and each log\n"
            "record on standard error as N<TAB>Error|Warning<TAB>context<TAB>description.\n"
            "\n"
            "Exit status: 0 when every run succeeded, 1 when a statement failed (or a run\n"
            "took too long), 2 for a wrong command line or a file that cannot be read or\n"
            "written, 130 and 143 when interrupted (SIGINT, SIGTERM): the running statement\n"
            "is cancelled, what was calculated is printed, and its file is left as it was.\n";
    return text;
}

std::optional<std::uint32_t> UnitsNamed(std::string_view name)
{
    for (std::size_t i = 0; i < UnitNames.size(); ++i)
        if (name == UnitNames[i])
            return static_cast<std::uint32_t>(i);
    return std::nullopt;
}

std::string UsageReminder()
{
    return " (usage: tevra [OPTIONS] [RUN ...]; try 'tevra --help')";
}

}  // namespace Tevra::Cli
