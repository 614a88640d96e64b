// tevra: calculates calculation texts from the command line, files and
// standard input with the engine of the desktop program.
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/completion/ShellCompletion.h"
#include "cli/Interrupts.h"
#include "cli/options/Options.h"
#include "cli/Session.h"

namespace {

void Write(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace Tevra::Cli;
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    switch (parsed.Request) {
    case ParsedCommandLine::Action::UsageError:
        Write(stderr, "tevra: " + parsed.Error + UsageReminder() + "\n");
        return UsageOrFileError;
    case ParsedCommandLine::Action::Help:
        Write(stdout, HelpText());
        return AllSucceeded;
    case ParsedCommandLine::Action::Version:
        Write(stdout, std::string(VersionText) + "\n");
        return AllSucceeded;
    case ParsedCommandLine::Action::Completion:
        Write(stdout, CompletionScript(*parsed.Options.CompletionShell));
        return AllSucceeded;
    case ParsedCommandLine::Action::Run:
        break;
    }
    // At a terminal, with nothing to calculate, tevra asks for lines.
    if (parsed.Options.Runs.empty() && isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1)
        parsed.Options.Interactive = true;
    InstallInterruptHandlers();
    CSession session(std::move(parsed.Options));
    return session.Run();
}
