// The desktop program's command line: its table of forms, --help and
// --version (which answer without a display), and what a wrong command line
// does to the exit status.
#include "desktop/app/CalcCommandLine.h"
#include "desktop/services/QtText.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

using CalcCommandLine::Request;

TEST(DesktopCommandLine, FormsParseByTheTable)
{
    struct Row {
        QStringList Arguments;
        Request::Action Answer;
        const char* Path;
        bool Print;
        const char* Printer;
        bool WaitOpen;
        bool Error;
    };
    const Row rows[] = {
        {{}, Request::Action::Run, "", false, "", false, false},
        {{"a.vcm"}, Request::Action::Run, "a.vcm", false, "", false, false},
        {{"/home/me/a.vcl"}, Request::Action::Run, "/home/me/a.vcl", false, "", false, false},
        {{"/DDE"}, Request::Action::Run, "", false, "", true, false},
        {{"-dde"}, Request::Action::Run, "", false, "", true, false},
        {{"/dde", "a.vcl"}, Request::Action::Run, "a.vcl", false, "", true, true},
        {{"a.vcl", "/p"}, Request::Action::Run, "a.vcl", true, "", false, false},
        {{"/pt", "a.vcl", "printer", "driver", "port"}, Request::Action::Run, "a.vcl", true, "printer", false, false},
        {{"/pt", "a.vcl", "printer", "driver", "port", "more"}, Request::Action::Run, "a.vcl", true, "", false, true},
        {{"/p", "a.vcl", "printer"}, Request::Action::Run, "a.vcl", true, "", false, true},
        {{"/pt", "a.vcl", "printer", "driver"}, Request::Action::Run, "", true, "", false, true},
        {{"--print-to", "office", "a.vcl"}, Request::Action::Run, "a.vcl", true, "office", false, false},
        {{"--print-to"}, Request::Action::Run, "", true, "", false, true},
        {{"--print", "a.vcl"}, Request::Action::Run, "a.vcl", true, "", false, false},
        {{"/p", "a.vcl", "--print", "b.vcl"}, Request::Action::Run, "", true, "", false, true},
        {{"--help"}, Request::Action::Help, "", false, "", false, false},
        {{"a.vcl", "-h"}, Request::Action::Help, "", false, "", false, false},
        {{"--version", "--help"}, Request::Action::Version, "", false, "", false, false},
        {{"--bogus"}, Request::Action::Run, "", false, "", false, true},
        {{"-x"}, Request::Action::Run, "", false, "", false, true},
        {{"--", "-x.vcl"}, Request::Action::Run, "-x.vcl", false, "", false, false},
        {{"--", "--help"}, Request::Action::Run, "--help", false, "", false, false},
        {{"-"}, Request::Action::Run, "-", false, "", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Arguments.join(' ').toStdString());
        const Request request = CalcCommandLine::Parse(row.Arguments);
        EXPECT_EQ(!request.Error.isEmpty(), row.Error) << request.Error.toStdString();
        if (row.Error)
            continue;
        EXPECT_EQ(request.Answer, row.Answer);
        if (row.Answer != Request::Action::Run)
            continue;
        EXPECT_EQ(request.Path, QString::fromUtf8(row.Path));
        EXPECT_EQ(request.Print, row.Print);
        EXPECT_EQ(request.Printer, QString::fromUtf8(row.Printer));
        EXPECT_EQ(request.WaitOpen, row.WaitOpen);
    }
}

TEST(DesktopCommandLine, InformationIsFoundBeforeTheToolkitsOwnOptions)
{
    EXPECT_EQ(CalcCommandLine::InformationAsked({"-style", "windows", "--version"}), Request::Action::Version);
    EXPECT_EQ(CalcCommandLine::InformationAsked({"-style", "windows", "a.vcl"}), Request::Action::Run);
    EXPECT_EQ(CalcCommandLine::InformationAsked({"--", "--help"}), Request::Action::Run);
}

TEST(DesktopCommandLine, HelpListsEveryForm)
{
    const QString help = CalcCommandLine::HelpText();
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: calculator-tevra")));
    for (const CalcCommandLine::Option& option : CalcCommandLine::Options()) {
        SCOPED_TRACE(std::string(option.Spelling));
        EXPECT_TRUE(help.contains(Tevra::ToQString(option.Spelling)));
        // Wrapped onto lines of their own, the words are all there.
        EXPECT_TRUE(help.simplified().contains(Tevra::ToQString(option.Help)));
    }
    for (const QString& line : help.split(QLatin1Char('\n')))
        EXPECT_LE(line.size(), 80) << line.toStdString();
    EXPECT_EQ(CalcCommandLine::VersionText(), QStringLiteral("Calculator Tevra 01.01.001"));
}

// The built program, without a display.
struct ProgramRun {
    int ExitCode;
    QString Output;
    QString Errors;
};

ProgramRun RunProgram(const QStringList& arguments, bool offscreen)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (offscreen)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TEVRA_DESKTOP_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(DesktopCommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    const ProgramRun version = RunProgram({QStringLiteral("--version")}, false);
    EXPECT_EQ(version.ExitCode, 0) << version.Errors.toStdString();
    EXPECT_EQ(version.Output, CalcCommandLine::VersionText() + QLatin1Char('\n'));
    const ProgramRun help = RunProgram({QStringLiteral("--help")}, false);
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Output, CalcCommandLine::HelpText());
}

TEST(DesktopCommandLine, AWrongCommandLineEndsWithStatusTwoAndSaysWhy)
{
    const ProgramRun wrong = RunProgram({QStringLiteral("--bogus")}, true);
    EXPECT_EQ(wrong.ExitCode, 2);
    EXPECT_TRUE(wrong.Errors.contains(QStringLiteral("Unknown option: --bogus"))) << wrong.Errors.toStdString();
    EXPECT_TRUE(wrong.Output.isEmpty());
}

}  // namespace
