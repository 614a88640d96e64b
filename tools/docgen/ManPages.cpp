#include "tools/docgen/ManPages.h"

#include "desktop/app/CalcCommandLine.h"
#include "cli/options/Options.h"
#include "tools/docgen/Html.h"
#include "tools/docgen/OutputFile.h"

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
            page += OptionItem(option.Name, option.ValueName, option.Help);
    }
    page += ".SH OUTPUT\n" +
        Roff("The resulting text of each run goes to standard output. Each log record goes to standard error "
             "as N, Error or Warning, the context and the description, separated by tabs. With --json, one JSON "
             "object per run and line goes to standard output instead.") +
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
