// The desktop program's command line: one table of its forms, which drives
// the parsing, the --help text and the manual page. A form is a flag
// ("/dde", also written "-dde") or one of the informational options
// ("--help"); every other word is a file. A flag may take words right after
// it ("--print-to PRINTER") and words after the file ("/pt FILE PRINTER
// DRIVER PORT", as the desktop shell passes them).
#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

namespace CalcCommandLine {

enum class Form {
    Print,     // print the file and exit
    PrintTo,   // print the file on a named printer and exit
    WaitOpen,  // start with an empty calculation and wait for open requests
    Help,      // the usage text, then exit
    Version,   // the version, then exit
};

// One form of the command line. Spellings compare without regard to case.
struct Option {
    Form Kind;
    std::string_view Spelling;          // as --help shows it
    std::string_view Alternative = {};  // another spelling, or empty
    std::string_view Values = {};       // the words it takes, as --help shows them
    int LeadingWords = 0;               // words it takes right after itself
    int ExtraWords = 0;                 // words it takes after the file, all of them
    std::string_view Help;
};

// Every form, in the order --help lists them.
std::span<const Option> Options();

// What a command line asks for.
struct Request {
    enum class Action { Run, Help, Version };
    Action Answer = Action::Run;
    QString Path;        // a file to open; empty for a new calculation
    bool Print = false;  // "/p", "/pt", "--print", "--print-to": print the file and exit
    QString Printer;     // the printer to print on; empty for the default printer
    QString Driver;      // as "/pt" gives them
    QString Port;
    bool WaitOpen = false;  // "/dde"
    QString Error;          // non-empty when the arguments make no sense
};

// Parses the arguments (without the program name).
Request Parse(const QStringList& arguments);

// Help or Version when the arguments ask for either (before a "--"), looking
// at nothing else: the program answers these before its toolkit starts, and
// the toolkit's own options ("-style windows") are taken out only then.
Request::Action InformationAsked(const QStringList& arguments);

// The --help text and the --version line.
QString HelpText();
QString VersionText();

// The program's name on the command line.
inline constexpr std::string_view ProgramName = "calculator-tevra";

}  // namespace CalcCommandLine
