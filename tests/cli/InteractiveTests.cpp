// tevra at a terminal: a session driven through a real pseudo-terminal, key
// by key, as a user types.
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "TerminalSession.h"
#include "support/TevraProcess.h"

namespace {

using TevraTest::CTerminalSession;
using TevraTest::ScratchDirectory;

const std::string Up = "\x1b[A";
const std::string CtrlC = "\x03";
const std::string CtrlD = "\x04";
// A series of 10^16 terms: it would keep tevra busy for years.
const std::string Endless = "sum(i,0e17,1e17,10,i)";

std::vector<std::string> Environment(const ScratchDirectory& home, bool colour = false)
{
    std::vector<std::string> environment = {"HOME=" + home.Path().string(), "XDG_STATE_HOME=" + home / "state",
                                            "TERM=xterm", "LANG=C.UTF-8"};
    if (!colour)
        environment.push_back("NO_COLOR=1");
    return environment;
}

std::vector<std::string> Tevra(std::vector<std::string> arguments = {})
{
    arguments.insert(arguments.begin(), TEVRA_BINARY);
    return arguments;
}

std::string HistoryPath(const ScratchDirectory& home)
{
    return home / "state/tevra/history";
}

// Starts a session and waits for its first prompt.
struct Session {
    explicit Session(const ScratchDirectory& home, std::vector<std::string> arguments = {}, bool colour = false)
        : Terminal(Tevra(std::move(arguments)), Environment(home, colour))
    {
        EXPECT_TRUE(Terminal.WaitFor("> "));
    }
    // Types a line, waits for what it prints and for the prompt after it:
    // keys typed while a line is calculated reach a terminal that is not
    // yet editing (and Ctrl+C throws them away, as terminals do).
    void Expect(const std::string& line, const std::string& shown, const std::string& prompt = "> ")
    {
        Terminal.Type(line + "\r");
        EXPECT_TRUE(Terminal.WaitFor(shown)) << "typed " << line << "\nshown:\n" << Terminal.Shown();
        EXPECT_TRUE(Terminal.WaitFor(prompt)) << "typed " << line << "\nshown:\n" << Terminal.Shown();
    }
    int End()
    {
        EXPECT_TRUE(Terminal.WaitForLineEditing());
        Terminal.Type(CtrlD);
        return Terminal.Finish();
    }
    CTerminalSession Terminal;
};

TEST(TevraSession, CalculatesEachLineAndKeepsMemoryAndLastResultBetweenThem)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("2+3*4", "2+3*4=14\n");
    session.Expect("rslt*2", "rslt*2=28\n");
    session.Expect("7->Mem[a]; 1->Mem[b]", "7->Mem[a]=7; 1->Mem[b]=1\n");
    session.Expect("Mem[a]*Mem[a]", "Mem[a]*Mem[a]=49\n");
    session.Expect("1/0", "1\tError\tDivision\tOperation has singularity at 0\n");
    EXPECT_EQ(session.End(), 0);
}

TEST(TevraSession, UpFetchesTheLineBeforeToEditIt)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("6*7", "6*7=42\n");
    session.Expect("1+1", "1+1=2\n");
    session.Expect(Up + Up + "+1", "6*7+1=43\n");
    EXPECT_EQ(session.End(), 0);
}

struct CompletionRow {
    const char* Label;
    std::string Typed;  // behind the stored cells alpha and beta
    std::string Shown;
    // What the line shows once calculated, when Shown comes before the line
    // is complete (a listing is followed by the prompt and the line again).
    std::string Result = {};
};

void PrintTo(const CompletionRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraSessionCompletion : public testing::TestWithParam<CompletionRow> {};

TEST_P(TevraSessionCompletion, TabCompletesWhatTheEditorCompletes)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("1->Mem[alpha]; 2->Mem[beta]", "=2\n");
    session.Expect(GetParam().Typed, GetParam().Shown);
    if (!GetParam().Result.empty()) {
        EXPECT_TRUE(session.Terminal.WaitFor(GetParam().Result)) << session.Terminal.Shown();
        EXPECT_TRUE(session.Terminal.WaitFor("> ")) << session.Terminal.Shown();
    }
    EXPECT_EQ(session.End(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, TevraSessionCompletion,
                         testing::Values(CompletionRow{"FunctionWithItsBracket", "sq\t16)", "sqrt(16)=4\n"},
                                         CompletionRow{"ExistingCell", "Mem[al\t*3", "Mem[alpha]*3=3\n"},
                                         CompletionRow{"Keyword", "ran\t*0", "Rand*0=0\n"},
                                         CompletionRow{"SeveralAreListed", "si\tn(0)", "sign  sin   sinh\n",
                                                       "sin(0)=0\n"},
                                         CompletionRow{"SessionCommand", ":mem\t", "alpha\t1\nbeta\t2\n"}),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraSession, CtrlCCancelsARunawaySeriesAndTheSessionGoesOn)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("1+1", "1+1=2\n");
    session.Terminal.Type(Endless + "\r");
    // The line is read at once; processor time then means the series runs.
    ASSERT_TRUE(session.Terminal.WaitForMoreProcessorTime(200));
    session.Terminal.Type(CtrlC);
    EXPECT_TRUE(session.Terminal.WaitFor("1\tError\tNone\tCalculation cancelled\n" + Endless + "\n"));
    EXPECT_TRUE(session.Terminal.WaitFor("> "));
    session.Expect("2+2", "2+2=4\n");
    EXPECT_EQ(session.End(), 0);
}

TEST(TevraSession, CtrlCAbandonsTheLineBeingTyped)
{
    const ScratchDirectory home;
    Session session(home);
    session.Terminal.Type("1+*");
    EXPECT_TRUE(session.Terminal.WaitFor("1+*"));
    session.Terminal.Type(CtrlC);
    EXPECT_TRUE(session.Terminal.WaitFor("^C\n> ")) << session.Terminal.Shown();
    session.Expect("3", "3=3\n");
    EXPECT_EQ(session.End(), 0);
    EXPECT_EQ(session.Terminal.Shown().find("Error"), std::string::npos) << session.Terminal.Shown();
}

TEST(TevraSession, AnOpenBracketOrCommentGoesOnOnTheNextLine)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("(1+", "\n", ". ");
    session.Expect("2)*3 /* a", "\n", ". ");
    session.Expect("note */", "(1+\n2)*3=9 /* a\nnote */\n");
    EXPECT_EQ(session.End(), 0);
}

TEST(TevraSession, QuitEndsItAsCtrlDDoes)
{
    const ScratchDirectory home;
    Session session(home);
    session.Expect("2^10", "2^10=1024\n");
    session.Terminal.Type("quit\r");
    EXPECT_EQ(session.Terminal.Finish(), 0);
}

TEST(TevraSession, TheOptionsOfTheCommandLineApply)
{
    const ScratchDirectory home;
    home.Write("cells.vcm", "3->Mem[k]");
    const std::string saved = home / "saved.vcm";
    Session session(home,
                    {"--units", "deg", "--upper", "--load-memory", home / "cells.vcm", "--save-memory", saved, "-i",
                     "-e", "4->Mem[q]"});
    session.Expect("sin(90)", "sin(90)=1\n");
    session.Expect("1e21", "1e21=1E+021\n");
    session.Expect("Mem[k]+Mem[q]", "Mem[k]+Mem[q]=7\n");
    EXPECT_EQ(session.End(), 0);
    EXPECT_EQ(home.Read("saved.vcm"), TevraTest::ProgramFile(u"3->Mem[k];\r\n4->Mem[q];\r\n"));
}

TEST(TevraSession, TheSameSeedGivesTheSameRandomNumbers)
{
    std::vector<std::string> shown;
    for (int i = 0; i < 2; ++i) {
        const ScratchDirectory home;
        Session session(home, {"--seed", "17"});
        session.Expect("rand", "rand=");
        const std::string all = session.Terminal.Shown();
        shown.push_back(all.substr(all.find("rand=")));
        session.End();
    }
    EXPECT_EQ(shown[0], shown[1]);
}

TEST(TevraSession, SessionCommands)
{
    const ScratchDirectory home;
    home.Write("defs.vcl", "5->Mem[z]; 1/0; 6->Mem[y]");
    Session session(home);
    session.Expect(":help", ":save-memory FILE");
    session.Expect(":units grad", "\n");
    session.Expect(":units", "grad\n");
    session.Expect("sin(100)", "sin(100)=1\n");
    session.Expect(":units turns", "tevra: :units takes rad, deg or grad, not 'turns'\n");
    session.Expect(":memory", "no memory cells\n");
    session.Expect(":load " + home / "defs.vcl", "1\tError\tDivision\tOperation has singularity at 0\n");
    session.Expect(":memory", "y\t6\nz\t5\n");
    session.Expect(":stats", "Mean (average)\t5.5\n");
    session.Expect(":save-memory " + home / "m.vcm", "\n");
    session.Expect(":load " + home / "missing.vcm", "missing.vcm: Cannot open the file for reading\n");
    session.Expect(":bogus", "tevra: unknown command ':bogus'");
    session.Expect(":help me", "tevra: :help takes nothing\n");
    session.Terminal.Type(":quit\r");
    EXPECT_EQ(session.Terminal.Finish(), 0) << "a failed command is no failed run";
    EXPECT_EQ(home.Read("m.vcm"), TevraTest::ProgramFile(u"6->Mem[y];\r\n5->Mem[z];\r\n"));
}

TEST(TevraSession, ReportsAreColouredUnlessNoColorIsSet)
{
    for (const bool colour : {true, false}) {
        const ScratchDirectory home;
        Session session(home, {}, colour);
        session.Expect("sqrt(-1)", "Function is not defined for -1");
        session.End();
        EXPECT_EQ(session.Terminal.Raw().find("\x1b[31m") != std::string::npos, colour);
    }
}

TEST(TevraSession, TheHistoryIsKeptForTheUserOnlyAndUpFetchesTheLastSessionsLines)
{
    const ScratchDirectory home;
    {
        Session session(home);
        session.Expect("6*7", "6*7=42\n");
        session.Expect("  ", "\n");
        session.Expect(":units", "rad\n");
        EXPECT_EQ(session.End(), 0);
    }
    EXPECT_EQ(home.Read("state/tevra/history"), "6*7\n:units\n");
    struct stat file {};
    ASSERT_EQ(stat(HistoryPath(home).c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((home / "state/tevra").c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0700u);

    Session again(home);
    again.Expect(Up + Up, "6*7=42\n");
    EXPECT_EQ(again.End(), 0);
}

TEST(TevraSession, TheHistoryKeepsTheLatestTenThousandLines)
{
    const ScratchDirectory home;
    std::string lines;
    for (int i = 1; i <= 10005; ++i)
        lines += "1+" + std::to_string(i) + "\n";
    std::filesystem::create_directories(home.Path() / "state/tevra");
    home.Write("state/tevra/history", lines);
    std::filesystem::permissions(HistoryPath(home), std::filesystem::perms(0644));
    Session session(home);
    session.Expect(Up, "1+10005=10006\n");
    session.Expect("7*7", "7*7=49\n");
    EXPECT_EQ(session.End(), 0) << session.Terminal.Shown();
    const std::string kept = home.Read("state/tevra/history");
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 10000);
    EXPECT_TRUE(kept.starts_with("1+8\n")) << kept.substr(0, 20);
    EXPECT_TRUE(kept.ends_with("1+10005\n1+10005\n7*7\n") || kept.ends_with("1+10005\n7*7\n"));
    struct stat file {};
    ASSERT_EQ(stat(HistoryPath(home).c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
}

TEST(TevraSession, AHistoryThatCannotBeReadIsLeftAloneAndTheSessionRuns)
{
    const ScratchDirectory home;
    std::filesystem::create_directories(home.Path() / "state/tevra/history");
    Session session(home);
    session.Expect("2+2", "2+2=4\n");
    EXPECT_EQ(session.End(), 0);
    EXPECT_NE(session.Terminal.Shown().find("history: Cannot open the file for reading"), std::string::npos)
        << session.Terminal.Shown();
    EXPECT_TRUE(std::filesystem::is_directory(HistoryPath(home)));
}

TEST(TevraSession, WithoutAHomeFolderNoHistoryIsKeptAndNothingComplains)
{
    CTerminalSession terminal(Tevra(), {"TERM=xterm", "NO_COLOR=1"});
    ASSERT_TRUE(terminal.WaitFor("> "));
    terminal.Type("2*2\r");
    EXPECT_TRUE(terminal.WaitFor("2*2=4\n"));
    EXPECT_TRUE(terminal.WaitFor("> "));
    EXPECT_TRUE(terminal.WaitForLineEditing());
    terminal.Type(CtrlD);
    EXPECT_EQ(terminal.Finish(), 0);
    EXPECT_EQ(terminal.Shown().find("tevra:"), std::string::npos) << terminal.Shown();
}

// Without a terminal nothing changes: standard input is one run. With -i,
// its lines are a session's.
TEST(TevraSession, StandardInputThatIsNoTerminalIsOneRunUnlessAsked)
{
    const ScratchDirectory home;
    const auto piped = TevraTest::RunTevra({}, "(1+\n2); :units deg\n", home);
    EXPECT_EQ(piped.Out, "(1+\n2)=3; :units deg\n\n");
    const auto asked = TevraTest::RunTevra({"-i"}, "(1+\n2)\n:units deg\nsin(90)\nquit\n3\n", home);
    EXPECT_EQ(asked.Out, "(1+\n2)=3\nsin(90)=1\n");
    EXPECT_EQ(asked.Status, 0);
}

}  // namespace
