#include "tools/docgen/ManPages.h"

#include "desktop/app/CalcCommandLine.h"
#include "cli/options/Options.h"
#include "cli/options/SessionCommands.h"
#include "tools/docgen/Html.h"
#include "tools/docgen/OutputFile.h"

#include <initializer_list>
#include <string_view>

namespace DocGen {

namespace {

// Text for roff: backslashes and hyphens escaped, and no line starting with
// a control character.
std::string Roff(std::string_view text)
{
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string Header(std::string_view name, std::string_view summary)
{
    std::string upper;
    for (const char c : name)
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return ".TH " + upper + " 1 \"\" \"Calculator Tevra " TEVRA_VERSION_TEXT "\" \"User Commands\"\n" + ".SH NAME\n" +
        Roff(name) + " \\- " + Roff(summary) + "\n";
}

// An option as a tagged paragraph: the form in bold, its values in italics.
std::string OptionItem(std::string_view form, std::string_view values, std::string_view help)
{
    std::string item = ".TP\n.B " + Roff(form);
    if (!values.empty())
        item += " \\fI" + Roff(values) + "\\fR";
    return item + "\n" + Roff(help) + "\n";
}

// An option's form: its one-letter spelling first, when it has one.
std::string OptionForm(const Tevra::Cli::OptionSummary& option)
{
    return option.ShortName.empty() ? std::string(option.Name)
                                    : std::string(option.ShortName) + ", " + std::string(option.Name);
}

// Lines typed in a session and what it prints for them.
std::string SessionExample(std::initializer_list<std::string_view> lines)
{
    std::string text = ".PP\n.nf\n.RS\n$ tevra\n" + Roff(Tevra::Cli::SessionGreeting());
    for (const std::string_view line : lines)
        text += Roff(std::string(Tevra::Cli::SessionPrompt) + std::string(line)) + "\n" + Roff(Calculate(line).Result) +
            "\n";
    return text + ".RE\n.fi\n";
}

// A calculation as the examples show it: the command and what it prints.
std::string ExampleItem(std::string_view statement)
{
    const Example example = Calculate(statement);
    return ".PP\n.nf\n.RS\n$ tevra \\-e \\(aq" + Roff(statement) + "\\(aq\n" + Roff(example.Result) + "\n.RE\n.fi\n";
}

}  // namespace

std::string DesktopManPage()
{
    std::string page = Header("calculator-tevra", "scientific calculator for the desktop");
    page += ".SH SYNOPSIS\n.B calculator\\-tevra\n[\\fIOPTION\\fR] [\\fIFILE\\fR]\n";
    page += ".SH DESCRIPTION\n" +
        Roff("Calculator Tevra is a scientific calculator whose calculations are text: statements separated "
             "by \";\", with \"//\" and \"/* */\" comments. Calculating a statement writes its result behind an "
             "\"=\". Errors and warnings are listed in the log window, named memory cells keep values with "
             "their statistics, and a keypad inserts functions and keywords.") +
        "\n.PP\n" +
        Roff("FILE is a calculation (.vcl) or a memory file (.vcm); without it the program starts with a new "
             "calculation. One window runs per user and display: a later start hands FILE to the running "
             "window, which opens it (asking to save unsaved work first) and comes to the front, and ends "
             "at once. Its Help menu and the F1 key open the full help.") +
        "\n";
    page += ".SH OPTIONS\n";
    for (const CalcCommandLine::Option& option : CalcCommandLine::Options())
        page += OptionItem(option.Spelling, option.Values, option.Help);
    page += ".SH FILES\n.TP\n.I ~/.config/Vossek/Calculator Tevra.conf\n" +
        Roff("the preferences, the window layout and the recent files") + "\n";
    page += ".SH EXIT STATUS\n" +
        Roff("0 when the program ran, answered, handed FILE over or printed it; 1 when FILE could not be "
             "opened or printed; 2 for a wrong command line.") +
        "\n";
    page += ".SH SEE ALSO\n.BR tevra (1)\n";
    return page;
}

std::string TevraManPage()
{
    std::string page = Header("tevra", "command-line calculator of Calculator Tevra");
    page += ".SH SYNOPSIS\n.B tevra\n[\\fIOPTIONS\\fR] [\\fIRUN\\fR ...]\n";
    page += ".SH DESCRIPTION\n" +
        Roff("tevra calculates calculation texts with the engine of the desktop program calculator-tevra and "
             "prints each resulting text, with every result written behind its \"=\". Runs happen in order "
             "in one process: memory cells, the last result and the random numbers carry over from one run to "
             "the next. With no RUN, standard input is the run.") +
        "\n";
    page += ".SH RUNS\n";
    for (const Tevra::Cli::OptionSummary& option : Tevra::Cli::OptionSummaries()) {
        if (option.Name == "-e")
            page += OptionItem(option.Name, option.ValueName, option.Help);
    }
    page += OptionItem("FILE", "",
                       "a calculation or memory file: UTF-16LE when it starts with the bytes FF FE, else UTF-8");
    page += OptionItem("-", "", "standard input, in UTF-8");
    page += ".SH OPTIONS\n";
    for (const Tevra::Cli::OptionSummary& option : Tevra::Cli::OptionSummaries()) {
        if (option.Name != "-e")
            page += OptionItem(OptionForm(option), option.ValueName, option.Help);
    }
    page += ".SH SESSION\n" +
        Roff("When standard input and output are terminals and no RUN is given, or with -i after the runs, "
             "tevra calculates each line typed as a run of its own and prints its resulting text at once; "
             "memory cells, the last result and the random numbers carry over. Up and Down fetch earlier lines, "
             "Ctrl+R searches them, Tab completes function names, keywords and the names of existing memory "
             "cells, Ctrl+C cancels the running calculation (or the line being typed) and the session goes on, "
             "and Ctrl+D or \"quit\" ends it. A line that ends inside an open bracket or \"/*\" goes on on the "
             "next line. --units, --upper, --seed and --load-memory apply to the session; --save-memory and "
             "--stats act when it ends. Reports are coloured on a terminal unless NO_COLOR is set. Lines that "
             "start with \":\" are commands; what they and the lines do leaves the exit status as the runs made it:") +
        "\n";
    for (const Tevra::Cli::SessionCommand& command : Tevra::Cli::SessionCommands())
        page += OptionItem(command.Name, command.Argument, command.Help);
    page += SessionExample({"sqrt(2)*10", "5! / 4"});
    page += ".SH OUTPUT\n" +
        Roff("The resulting text of each run goes to standard output. Each log record goes to standard error "
             "as N, Error or Warning, the context and the description, separated by tabs. With --json, one JSON "
             "object per run and line goes to standard output instead.") +
        "\n";
    page += ".SH FILES\n.TP\n.I $XDG_STATE_HOME/tevra/history\n" +
        Roff("the lines typed in sessions, the latest 10000, readable by the user only "
             "(~/.local/state/tevra/history when XDG_STATE_HOME is not set)") +
        "\n";
    page += ".SH EXIT STATUS\n" +
        Roff("0 when every run succeeded, 1 when a statement failed, 2 for a wrong command line or a file that "
             "cannot be read or written.") +
        "\n";
    page += ".SH EXAMPLES\n";
    for (const std::string_view statement : {"2+3*4", "sum(i, 1, 100, i^2)", "5! -> Mem[f]; Mem[f] / 4"})
        page += ExampleItem(statement);
    page += ".SH SEE ALSO\n.BR calculator\\-tevra (1)\n";
    return page;
}

bool WriteManPages(const std::string& outputFolder, std::vector<std::string>& errors)
{
    if (!WriteIfChanged(outputFolder + "/calculator-tevra.1", DesktopManPage()))
        errors.push_back("cannot write calculator-tevra.1 into " + outputFolder);
    if (!WriteIfChanged(outputFolder + "/tevra.1", TevraManPage()))
        errors.push_back("cannot write tevra.1 into " + outputFolder);
    return errors.empty();
}

}  // namespace DocGen
