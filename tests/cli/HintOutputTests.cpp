// The hints beside the reports: under each report when standard error is a
// terminal, in every --json log entry, and never in the reports a program
// reads from a pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TevraProcess.h"

namespace {

using namespace TevraTest;

// Runs tevra with standard error on a pseudo-terminal (standard output
// thrown away) and returns what the terminal showed, without the carriage
// returns the terminal adds.
std::string TerminalErrorOutput(const std::vector<std::string>& arguments)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return "<no pseudo-terminal>";
    const std::string slaveName = ptsname(master);
    const pid_t child = fork();
    if (child == 0) {
        const int slave = open(slaveName.c_str(), O_RDWR | O_NOCTTY);
        const int null = open("/dev/null", O_RDWR);
        if (slave < 0 || null < 0)
            _exit(127);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(slave, STDERR_FILENO);
        close(master);
        std::vector<char*> argv;
        std::string binary = TEVRA_BINARY;
        argv.push_back(binary.data());
        std::vector<std::string> copies = arguments;
        for (std::string& argument : copies)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got > 0) {
            shown.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        break;  // EIO: every copy of the terminal's other end is closed
    }
    close(master);
    int status = 0;
    waitpid(child, &status, 0);
    std::string plain;
    for (const char c : shown) {
        if (c != '\r')
            plain += c;
    }
    return plain;
}

TEST(TevraHints, FollowEachReportOnATerminal)
{
    EXPECT_EQ(TerminalErrorOutput({"-e", "2*-3"}),
              "1\tError\tNone\tSyntax error\n\thint: a sign cannot follow an operator; write 2*(-3)\n");
    EXPECT_EQ(TerminalErrorOutput({"-e", "5->Mem[rent]; Mem[rnet]*2"}),
              "1\tWarning\tMemory\tUninitialized memory used, value forced to 0\n"
              "\thint: Mem[rnet] has no value yet; did you mean Mem[rent]?\n");
    // A report without a known mistake has no hint line.
    EXPECT_EQ(TerminalErrorOutput({"-e", "1/0"}), "1\tError\tDivision\tOperation has singularity at 0\n");
}

TEST(TevraHints, StayOffTheReportsAProgramReads)
{
    const Outcome outcome = RunTevra({"-e", "2*-3; 2pi"});
    EXPECT_EQ(outcome.Err, "1\tError\tNone\tSyntax error\n");
    EXPECT_EQ(outcome.Status, 1);
}

struct JsonHintRow {
    std::string Text;
    std::string Entry;  // the hint's three fields in the log entry
};

TEST(TevraHints, StandInEveryJsonLogEntry)
{
    const std::vector<JsonHintRow> rows = {
        {"2*-3", R"x("hint":"a sign cannot follow an operator; write 2*(-3)","hint_start":2,"hint_length":1})x"},
        {"1; 2pi",
         R"("hint":"a number or bracket cannot stand right before a name or bracket; write 2*pi","hint_start":4,)"
         R"("hint_length":2})"},
        {"sin 30", R"x("hint":"sin needs its argument in brackets; write sin(30)","hint_start":0,"hint_length":3})x"},
        {"ln(-1)", R"("hint":null,"hint_start":null,"hint_length":null})"},
    };
    for (const JsonHintRow& row : rows) {
        SCOPED_TRACE(row.Text);
        const Outcome outcome = RunTevra({"--json", "-e", row.Text});
        EXPECT_NE(outcome.Out.find(row.Entry), std::string::npos) << outcome.Out;
        EXPECT_EQ(outcome.Err, "");
    }
}

}  // namespace
