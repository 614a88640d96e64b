#include "desktop/app/CalcCommandLine.h"

#include "desktop/services/QtText.h"

#include <algorithm>
#include <array>

namespace CalcCommandLine {

namespace {

// clang-format off
constexpr auto OptionTable = std::to_array<Option>({
    {.Kind = Form::Print, .Spelling = "/p", .Alternative = "-p", .Values = "FILE",
     .Help = "print FILE on the default printer and exit"},
    {.Kind = Form::PrintTo, .Spelling = "/pt", .Alternative = "-pt", .Values = "FILE PRINTER DRIVER PORT",
     .ExtraWords = 3, .Help = "print FILE on PRINTER and exit (DRIVER and PORT are taken as given)"},
    {.Kind = Form::Print, .Spelling = "--print", .Values = "FILE",
     .Help = "the same as /p"},
    {.Kind = Form::PrintTo, .Spelling = "--print-to", .Values = "PRINTER FILE", .LeadingWords = 1,
     .Help = "print FILE on PRINTER and exit"},
    {.Kind = Form::WaitOpen, .Spelling = "/dde", .Alternative = "-dde",
     .Help = "start with an empty calculation and wait for files to open; "
             "when the program is already running, end at once"},
    {.Kind = Form::Help, .Spelling = "--help", .Alternative = "-h",
     .Help = "show this help and exit"},
    {.Kind = Form::Version, .Spelling = "--version",
     .Help = "show the version and exit"},
});
// clang-format on

const Option* FindOption(const QString& word)
{
    const QString lower = word.toLower();
    for (const Option& option : OptionTable) {
        if (lower == Tevra::ToQString(option.Spelling) ||
            (!option.Alternative.empty() && lower == Tevra::ToQString(option.Alternative)))
            return &option;
    }
    return nullptr;
}

}  // namespace

std::span<const Option> Options()
{
    return OptionTable;
}

Request Parse(const QStringList& arguments)
{
    Request request;
    QStringList words;
    QStringList leading;
    const Option* extraFrom = nullptr;
    bool onlyFiles = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (onlyFiles) {
            words.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        const Option* option = FindOption(argument);
        if (option == nullptr) {
            // A word that looks like an option of ours but is none is a
            // mistake; "/" starts a path, so only "-" words are checked.
            if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
                request.Error = QStringLiteral("Unknown option: %1").arg(argument);
                return request;
            }
            words.append(argument);
            continue;
        }
        switch (option->Kind) {
        case Form::Help:
            request.Answer = Request::Action::Help;
            return request;
        case Form::Version:
            request.Answer = Request::Action::Version;
            return request;
        case Form::Print:
        case Form::PrintTo:
            if (request.Print) {
                request.Error = QStringLiteral("Unexpected argument: %1").arg(argument);
                return request;
            }
            request.Print = true;
            break;
        case Form::WaitOpen:
            request.WaitOpen = true;
            break;
        }
        if (option->LeadingWords > 0) {
            leading = arguments.mid(i + 1, option->LeadingWords);
            if (leading.size() < option->LeadingWords) {
                request.Error = QStringLiteral("%1 needs %2").arg(argument, Tevra::ToQString(option->Values));
                return request;
            }
            i += option->LeadingWords;
        }
        if (option->ExtraWords > 0)
            extraFrom = option;
    }

    if (!words.isEmpty())
        request.Path = words.takeFirst();
    const int extraWords = extraFrom != nullptr ? extraFrom->ExtraWords : 0;
    if (words.size() > extraWords) {
        request.Error = QStringLiteral("Unexpected argument: %1").arg(words[extraWords]);
        return request;
    }
    if (extraFrom != nullptr && words.size() < extraWords) {
        request.Error = QStringLiteral("%1 needs %2")
                            .arg(Tevra::ToQString(extraFrom->Spelling), Tevra::ToQString(extraFrom->Values));
        return request;
    }
    // "/pt": printer, driver and port; "--print-to": the printer.
    if (!words.isEmpty()) {
        request.Printer = words.value(0);
        request.Driver = words.value(1);
        request.Port = words.value(2);
    } else if (!leading.isEmpty()) {
        request.Printer = leading.front();
    }
    if (request.Print && request.Path.isEmpty())
        request.Error = QStringLiteral("No file to print was given");
    else if (request.WaitOpen && !request.Path.isEmpty())
        request.Error = QStringLiteral("/dde takes no file: %1").arg(request.Path);
    return request;
}

Request::Action InformationAsked(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (const Option* option = FindOption(argument); option != nullptr) {
            if (option->Kind == Form::Help)
                return Request::Action::Help;
            if (option->Kind == Form::Version)
                return Request::Action::Version;
        }
    }
    return Request::Action::Run;
}

QString HelpText()
{
    QString text = QStringLiteral("Usage: calculator-tevra [OPTION] [FILE]\n"
                                  "A scientific calculator for the desktop: calculations are written as text\n"
                                  "and each result goes behind its \"=\".\n"
                                  "\n"
                                  "  FILE                  open FILE, a calculation (.vcl) or a memory file (.vcm);\n"
                                  "                        without FILE the program starts with a new calculation\n");
    for (const Option& option : OptionTable) {
        QString left = QStringLiteral("  ") + Tevra::ToQString(option.Spelling);
        if (!option.Values.empty())
            left += QLatin1Char(' ') + Tevra::ToQString(option.Values);
        if (left.size() >= 24)
            left += QStringLiteral("\n") + QString(24, QLatin1Char(' '));
        else
            left = left.leftJustified(24);
        // The description wraps at the 80th column, under itself.
        QString line = left;
        bool first = true;
        for (const QString& word : Tevra::ToQString(option.Help).split(QLatin1Char(' '))) {
            const qsizetype column = line.size() - (line.lastIndexOf(QLatin1Char('\n')) + 1);
            if (!first && column + 1 + word.size() > 80) {
                text += line + QLatin1Char('\n');
                line = QString(24, QLatin1Char(' '));
            } else if (!first) {
                line += QLatin1Char(' ');
            }
            line += word;
            first = false;
        }
        text += line + QLatin1Char('\n');
    }
    text += QStringLiteral("\n"
                           "One window runs per user and display: when the program is already running,\n"
                           "a new start hands FILE to the running window, which opens it, and ends.\n"
                           "\n"
                           "Exit status: 0 when the program ran, handed over or printed, 1 when FILE\n"
                           "could not be opened or printed, 2 for a wrong command line.\n");
    return text;
}

QString VersionText()
{
    return QStringLiteral("Calculator Tevra " TEVRA_VERSION_TEXT);
}

}  // namespace CalcCommandLine
