// Stopping tevra from outside: SIGINT and SIGTERM cancel the running
// statement and print what was calculated, --timeout cancels a run that
// takes too long, a kill at any moment leaves every file old or new and no
// temporary file behind, and a full disk is named as the cause.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <ostream>
#include <random>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using TevraTest::CRunningTevra;
using TevraTest::Repeated;
using TevraTest::RunTevra;
using TevraTest::ScratchDirectory;

// A series of 10^16 terms: it would keep tevra busy for years.
const std::string Endless = "sum(i,0e17,1e17,10,i)";
const std::string CancelRecord = "1\tError\tNone\tCalculation cancelled\n";

std::vector<std::string> FileNames(const ScratchDirectory& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Starts tevra and interrupts it once it is surely inside the endless series.
TevraTest::Outcome Interrupted(const std::vector<std::string>& arguments, const ScratchDirectory& directory, int signal)
{
    CRunningTevra tevra(arguments, directory);
    // Its handlers are installed first thing; from then on it reads its input
    // and runs the statements before the series, which take microseconds of
    // its processor time. Fifty milliseconds more of its own time (however
    // long the machine makes it wait for them) find it inside the series.
    EXPECT_TRUE(tevra.WaitUntilInterruptible());
    EXPECT_TRUE(tevra.WaitForMoreProcessorTime(50));
    tevra.Signal(signal);
    return tevra.Finish();
}

struct SignalRow {
    const char* Label;
    int Signal;
    int Status;
};

void PrintTo(const SignalRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraInterrupted : public testing::TestWithParam<SignalRow> {};

TEST_P(TevraInterrupted, CancelsTheStatementPrintsWhatWasCalculatedAndEnds)
{
    const ScratchDirectory directory;
    const auto outcome = Interrupted({"-e", "1+1; " + Endless + "; 3", "-e", "4"}, directory, GetParam().Signal);
    EXPECT_EQ(outcome.Status, GetParam().Status);
    EXPECT_EQ(outcome.Out, "1+1=2; " + Endless + "; 3\n") << "the later run does not start";
    EXPECT_EQ(outcome.Err, CancelRecord);
}

TEST_P(TevraInterrupted, LeavesTheFileAndTheMemoryFileAsTheyWereAndNothingElse)
{
    const ScratchDirectory directory;
    const std::string text = "1->Mem[a];\n" + Endless + " = 5;\n2+2 = 0\n";
    directory.Write("calc", text);
    directory.Write("m.vcm", "old");
    const auto outcome =
        Interrupted({"--in-place", "--save-memory", "m.vcm", "calc", "-e", "7"}, directory, GetParam().Signal);
    EXPECT_EQ(outcome.Status, GetParam().Status);
    // The cancelled statement has lost its old result, as a failing one does.
    EXPECT_EQ(outcome.Out, "1->Mem[a]=1;\n" + Endless + "  ;\n2+2 = 0\n\n");
    EXPECT_EQ(directory.Read("calc"), text);
    EXPECT_EQ(directory.Read("m.vcm"), "old");
    EXPECT_EQ(FileNames(directory), (std::vector<std::string>{"calc", "m.vcm"}));
}

TEST_P(TevraInterrupted, JsonPrintsTheCancelledRun)
{
    // The cancel's record names the statement it stopped.
    const ScratchDirectory directory;
    const auto outcome = Interrupted({"--json", "-e", "2*3; " + Endless}, directory, GetParam().Signal);
    EXPECT_EQ(outcome.Status, GetParam().Status);
    EXPECT_EQ(outcome.Out,
              "{\"ok\":false,\"text\":\"2*3=6; " + Endless +
                  "\",\"caret\":-1,\"last_result\":\"6\",\"log\":[{\"status\":\"Error\",\"context\":"
                  "\"None\",\"description\":\"Calculation cancelled\",\"start\":5,\"length\":" +
                  std::to_string(Endless.size()) +
                  ",\"hint\":null,\"hint_start\":null,\"hint_length\":null}],\"memory\":[]}\n");
    EXPECT_EQ(outcome.Err, "");
}

INSTANTIATE_TEST_SUITE_P(Signals, TevraInterrupted,
                         testing::Values(SignalRow{"Sigint", SIGINT, 130}, SignalRow{"Sigterm", SIGTERM, 143}),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraTimeout, CancelsARunThatTakesLongerAndGoesOnWithTheNext)
{
    const ScratchDirectory directory;
    directory.Write("calc", "1+1; " + Endless + "; 3");
    const auto outcome = RunTevra({"--timeout", "0.2", "--in-place", "calc", "-e", "2+2"}, "", directory);
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(outcome.Out, "1+1=2; " + Endless + "; 3\n2+2=4\n");
    EXPECT_EQ(outcome.Err, CancelRecord);
    // A run stopped by its time limit is a failing run: what it calculated
    // is written back, as after any failing statement.
    EXPECT_EQ(directory.Read("calc"), "1+1=2; " + Endless + "; 3");
}

TEST(TevraTimeout, AppliesToLoadingTheMemoryToo)
{
    const ScratchDirectory directory;
    directory.Write("m.vcm", "1->Mem[a]; " + Endless + "; 2->Mem[b]");
    const auto outcome = RunTevra({"--timeout", "0.2", "--load-memory", "m.vcm", "-e", "Mem[a]"}, "", directory);
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(outcome.Out, "Mem[a]=1\n");
    EXPECT_EQ(outcome.Err, CancelRecord);
}

TEST(TevraTimeout, RefusesWhatIsNotATime)
{
    for (const std::string value : {"0", "-1", "abc", "nan", "inf", "1e10", "", "2s"}) {
        SCOPED_TRACE("--timeout '" + value + "'");
        const auto outcome = RunTevra({"--timeout", value, "-e", "1"});
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Out, "");
        EXPECT_NE(outcome.Err.find("--timeout takes a number of seconds"), std::string::npos) << outcome.Err;
    }
}

// What a kill at a random moment may leave: the file old or new, and no
// other file. A SIGKILL between linking the finished temporary file under a
// hidden name and renaming it over the file (two system calls) leaves that
// hidden name, holding the complete new content, beside the old file.
struct KillCase {
    std::string Label;
    std::vector<std::string> Arguments;
    std::string Target;
    std::string Old;
};

void ExpectOldOrNew(const ScratchDirectory& directory, const KillCase& kill, const std::string& fresh, int signal,
                    int delayMicroseconds)
{
    SCOPED_TRACE(kill.Label + ", signal " + std::to_string(signal) + " after " + std::to_string(delayMicroseconds) +
                 " us");
    const std::string now = directory.Read(kill.Target);
    EXPECT_TRUE(now == kill.Old || now == fresh) << "the file is neither old nor new";
    std::vector<std::string> others;
    for (const std::string& name : FileNames(directory))
        if (name != kill.Target && name != "calc")
            others.push_back(name);
    if (signal == SIGKILL && others.size() == 1 && others[0].rfind(".tevra-", 0) == 0 && now == kill.Old) {
        EXPECT_TRUE(directory.Read(others[0]) == fresh) << "a hidden name holds only a finished file";
        return;
    }
    EXPECT_TRUE(others.empty()) << "left behind: " << others.front();
}

TEST(TevraKilled, AtAnyMomentLeavesTheFileOldOrNewAndNoTemporaryFile)
{
    // A few megabytes, so that writing takes a good part of each run.
    const std::string calculation = Repeated("12*34 = 0; 2^0.5 = 0;\n", 120000);
    std::string memoryRun;
    for (int cell = 0; cell < 40000; ++cell)
        memoryRun += std::to_string(cell) + "->Mem[c" + std::to_string(cell) + "];";
    const std::vector<KillCase> cases = {
        {"in place", {"--in-place", "calc"}, "calc", calculation},
        {"saving the memory", {"calc", "--save-memory", "m.vcm"}, "m.vcm", "old memory"},
    };
    std::mt19937 random(20240613);
    const int signals[] = {SIGTERM, SIGKILL, SIGINT};
    for (const KillCase& kill : cases) {
        const ScratchDirectory directory;
        const std::string input = kill.Target == "calc" ? calculation : memoryRun;
        directory.Write("calc", input);
        directory.Write(kill.Target, kill.Target == "calc" ? input : kill.Old);
        // One whole run gives the new content and how long a run takes.
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(RunTevra(kill.Arguments, "", directory).Status, 0);
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
        const std::string fresh = directory.Read(kill.Target);
        ASSERT_NE(fresh, kill.Old);
        // Mostly late in the run, where the file is written.
        std::uniform_int_distribution<int> moment(static_cast<int>(took.count() / 3),
                                                  static_cast<int>(took.count()) + 1);
        for (int trial = 0; trial < 12; ++trial) {
            directory.Write("calc", input);
            directory.Write(kill.Target, kill.Target == "calc" ? input : kill.Old);
            const int signal = signals[trial % 3];
            const int delay = moment(random);
            CRunningTevra tevra(kill.Arguments, directory);
            usleep(static_cast<useconds_t>(delay));
            tevra.Signal(signal);
            tevra.Finish();
            ExpectOldOrNew(directory, kill, fresh, signal, delay);
        }
    }
}

// A small file system of its own, in a mount namespace of its own, so that
// nothing outside sees it: the write fails for want of space and says so.
TEST(TevraFullDisk, NamesTheCauseAndLeavesTheFileAsItWas)
{
    std::string stores;
    for (int cell = 0; cell < 3000; ++cell)
        stores += "1->Mem[c" + std::to_string(cell) + "];";
    struct Row {
        const char* Label;
        std::string Input;  // 40 to 45 KB; what is written is twice as much or more
        std::string Command;
        std::string Target;
    };
    const std::vector<Row> rows = {
        {"in place", Repeated("1;", 20000), "--in-place calc", "calc"},
        {"saving the memory", stores, "calc --save-memory m.vcm", "m.vcm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        const ScratchDirectory directory;
        std::filesystem::create_directory(directory.Path() / "disk");
        directory.Write("orig", row.Input);
        const std::string script = "mount -t tmpfs -o size=96k tmpfs disk || exit 99; cp orig disk/calc; cd disk; '" +
            std::string(TEVRA_BINARY) + "' " + row.Command +
            " > /dev/null 2> ../err; echo \\$? > ../status; ls -A > ../list; cmp -s calc ../orig && echo same > "
            "../same";
        const int status = std::system(
            ("cd '" + directory.Path().string() + "' && unshare -m sh -c \"" + script + "\" > /dev/null 2>&1").c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) == 99 || !std::filesystem::exists(directory.Path() / "status"))
            GTEST_SKIP() << "no mount namespace or tmpfs to be had here";
        EXPECT_EQ(directory.Read("status"), "2\n");
        EXPECT_EQ(directory.Read("err"),
                  "tevra: " + row.Target + ": Cannot open the file for writing: No space left on device\n");
        EXPECT_EQ(directory.Read("list"), "calc\n") << "no temporary file and no partial file";
        EXPECT_TRUE(std::filesystem::exists(directory.Path() / "same")) << "the file keeps its bytes";
    }
}

}  // namespace
