// File runs, --in-place, memory files, and every way a file can be refused.
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using namespace std::string_literals;
using TevraTest::ProgramFile;
using TevraTest::RunTevra;
using TevraTest::RunTevraUnprivileged;
using TevraTest::ScratchDirectory;

struct InPlaceRow {
    const char* Label;
    std::string Before;
    std::string After;
    std::string Out;
    int Status;
};

void PrintTo(const InPlaceRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraInPlace : public testing::TestWithParam<InPlaceRow> {};

TEST_P(TevraInPlace, WritesTheResultingTextBackInTheFilesOwnEncoding)
{
    const auto& row = GetParam();
    const ScratchDirectory directory;
    directory.Write("calc", row.Before);
    const auto outcome = RunTevra({"--in-place", "calc"}, "", directory);
    EXPECT_EQ(outcome.Out, row.Out);
    EXPECT_EQ(outcome.Status, row.Status);
    EXPECT_EQ(directory.Read("calc"), row.After);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TevraInPlace,
    testing::Values(
        InPlaceRow{"ProgramFormat", ProgramFile(u"2+3;\r\n4*5 = 1"), ProgramFile(u"2+3=5;\r\n4*5 = 20"),
                   "2+3=5;\r\n4*5 = 20\n", 0},
        InPlaceRow{"ProgramFormatWithoutText", ProgramFile(u""), ProgramFile(u""), "\n", 0},
        // An empty file is an empty calculation, and stays empty.
        InPlaceRow{"EmptyFile", "", "", "\n", 0},
        InPlaceRow{"Utf16BigEndianIsWrittenBackBigEndian",
                   "\xFE\xFF\0"
                   "2\0*\x03\x93\0(\0"
                   "3\0)"s,
                   "\xFE\xFF\0"
                   "2\0*\x03\x93\0(\0"
                   "3\0)\0=\0"
                   "4"s,
                   "2*\xCE\x93(3)=4\n", 0},
        InPlaceRow{"ProgramFormatNonAscii", ProgramFile(u"\u0393(4) // \u00e9"), ProgramFile(u"\u0393(4)=6 // \u00e9"),
                   "\xCE\x93(4)=6 // \xC3\xA9\n", 0},
        InPlaceRow{"BytesBehindTheEndingNulAreKept", ProgramFile(u"1+1") + "\0\0junk"s,
                   ProgramFile(u"1+1=2") + "\0\0junk"s, "1+1=2\n", 0},
        InPlaceRow{"LastOddByteIsKept", ProgramFile(u"1+1") + "Z", ProgramFile(u"1+1=2") + "Z", "1+1=2\n", 0},
        InPlaceRow{"Utf8", "1+1 = 7 // old\n", "1+1 = 2 // old\n", "1+1 = 2 // old\n\n", 0},
        InPlaceRow{"Utf8WithMark",
                   "\xEF\xBB\xBF"
                   "6/3",
                   "\xEF\xBB\xBF"
                   "6/3=2",
                   "6/3=2\n", 0},
        InPlaceRow{"Utf8NonAscii", "\xCE\x93(3)", "\xCE\x93(3)=2", "\xCE\x93(3)=2\n", 0},
        InPlaceRow{"FailingRunLosesItsOldResultAsInTheEditor", "1=1;1/0=5;2", "1=1;1/0;2", "1=1;1/0;2\n", 1},
        // UTF-16 without its mark holds NUL bytes, so it is not taken for UTF-8.
        InPlaceRow{"Utf16WithoutMark",
                   "2\0*\0"
                   "3\0"s,
                   "2\0*\0"
                   "3\0=\0"
                   "6\0"s,
                   "2*3=6\n", 0}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraFileRuns, WithoutInPlaceTheFileIsOnlyRead)
{
    const ScratchDirectory directory;
    directory.Write("calc.vcl", ProgramFile(u"2+3"));
    const auto outcome = RunTevra({"calc.vcl"}, "", directory);
    EXPECT_EQ(outcome.Out, "2+3=5\n");
    EXPECT_EQ(directory.Read("calc.vcl"), ProgramFile(u"2+3"));
}

TEST(TevraFileRuns, Utf16MarkMeansNothingOnStandardInput)
{
    const auto outcome = RunTevra({}, ProgramFile(u"1"));
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: standard input: not valid UTF-8\n");
    EXPECT_EQ(outcome.Status, 2);
}

TEST(TevraInPlaceFiles, KeepTheirPermissions)
{
    const ScratchDirectory directory;
    directory.Write("calc", "1+1");
    ASSERT_EQ(chmod((directory / "calc").c_str(), 0604), 0);
    EXPECT_EQ(RunTevra({"--in-place", "calc"}, "", directory).Status, 0);
    struct stat status {};
    ASSERT_EQ(stat((directory / "calc").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_EQ(directory.Read("calc"), "1+1=2");
}

TEST(TevraInPlaceFiles, ReplaceTheFileBehindASymbolicLink)
{
    const ScratchDirectory directory;
    directory.Write("real", "2*2");
    std::filesystem::create_symlink("real", directory.Path() / "link");
    EXPECT_EQ(RunTevra({"--in-place", "link"}, "", directory).Status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(directory.Path() / "link"));
    EXPECT_EQ(directory.Read("real"), "2*2=4");
}

TEST(TevraInPlaceFiles, LeaveAnUnchangedFileAlone)
{
    const ScratchDirectory directory;
    directory.Write("calc", "1+1=2");
    struct stat before {};
    ASSERT_EQ(stat((directory / "calc").c_str(), &before), 0);
    EXPECT_EQ(RunTevra({"--in-place", "calc"}, "", directory).Status, 0);
    struct stat after {};
    ASSERT_EQ(stat((directory / "calc").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(TevraInPlaceFiles, LeaveNoTemporaryFileBehind)
{
    const ScratchDirectory directory;
    directory.Write("calc", "1+1");
    EXPECT_EQ(RunTevra({"--in-place", "calc", "-e", "3"}, "", directory).Status, 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"calc"});
}

TEST(TevraInPlaceFiles, UnwritableDirectoryLeavesTheFileUntouched)
{
    if (!TevraTest::UnprivilegedRunsPossible())
        GTEST_SKIP() << "the user nobody cannot execute the tevra binary where it was built";
    const ScratchDirectory directory;
    std::filesystem::create_directory(directory.Path() / "locked");
    directory.Write("locked/calc", "1+1");
    ASSERT_EQ(chmod((directory / "locked").c_str(), 0555), 0);
    const auto outcome = RunTevraUnprivileged({"--in-place", "locked/calc"}, "", directory);
    EXPECT_EQ(outcome.Out, "1+1=2\n");
    EXPECT_EQ(outcome.Err, "tevra: locked/calc: Cannot open the file for writing: Permission denied\n");
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_EQ(directory.Read("locked/calc"), "1+1");
}

struct ReadOnlyTargetRow {
    const char* Label;
    std::vector<std::string> Arguments;
    std::string Out;
    int Status;
};

void PrintTo(const ReadOnlyTargetRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraReadOnlyTarget : public testing::TestWithParam<ReadOnlyTargetRow> {};

// The directory would allow replacing the file, but the file itself may not
// be opened for writing: it keeps its bytes, its mode and its inode.
TEST_P(TevraReadOnlyTarget, IsRefusedAndLeftUntouched)
{
    if (!TevraTest::UnprivilegedRunsPossible())
        GTEST_SKIP() << "the user nobody cannot execute the tevra binary where it was built";
    const auto& row = GetParam();
    const ScratchDirectory directory;
    directory.Write("calc", "1+1");
    ASSERT_EQ(chmod((directory / "calc").c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(stat((directory / "calc").c_str(), &before), 0);

    const auto outcome = RunTevraUnprivileged(row.Arguments, "", directory);
    EXPECT_EQ(outcome.Out, row.Out);
    EXPECT_EQ(outcome.Err, "tevra: calc: Cannot open the file for writing: Permission denied\n");
    EXPECT_EQ(outcome.Status, row.Status);
    EXPECT_EQ(directory.Read("calc"), "1+1");
    struct stat after {};
    ASSERT_EQ(stat((directory / "calc").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0444u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"calc"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, TevraReadOnlyTarget,
    testing::Values(ReadOnlyTargetRow{"InPlace", {"--in-place", "calc"}, "1+1=2\n", 2},
                    ReadOnlyTargetRow{"SaveMemory", {"-e", "2->Mem[a]", "--save-memory", "calc"}, "2->Mem[a]=2\n", 2}),
    [](const auto& info) { return std::string(info.param.Label); });

struct RefusedRow {
    const char* Label;
    std::string Name;
    std::string Message;
};

void PrintTo(const RefusedRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraRefusedFile : public testing::TestWithParam<RefusedRow> {};

// Every refused file stops tevra before anything runs: the good file before
// it is not rewritten and no memory file is saved.
TEST_P(TevraRefusedFile, StopsEverythingWithOneLineNamingIt)
{
    const ScratchDirectory directory;
    directory.Write("good", "1+1");
    directory.Write("empty", "");
    directory.Write("latin1", "caf\xE9");
    // A mark inside the text would be dropped on the way back.
    directory.Write("marked", ProgramFile(u"1\uFEFF+1"));
    // Taken as UTF-16 for its NUL byte; its U+FEFF would be lost on the way back.
    directory.Write("binary",
                    "A\0\xFF\xFE"
                    "B\0"s);
    std::filesystem::create_directory(directory.Path() / "folder");
    ASSERT_EQ(mkfifo((directory / "pipe").c_str(), 0600), 0);

    const auto outcome =
        RunTevra({"--in-place", "--save-memory", "m.vcm", "-e", "1->Mem[a]", "good", GetParam().Name}, "", directory);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: " + GetParam().Name + ": " + GetParam().Message + "\n");
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_EQ(directory.Read("good"), "1+1");
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "m.vcm"));
    EXPECT_EQ(directory.Read("latin1"), "caf\xE9");
    EXPECT_EQ(directory.Read("marked"), ProgramFile(u"1\uFEFF+1"));
    EXPECT_EQ(directory.Read("binary"),
              "A\0\xFF\xFE"
              "B\0"s);
}

INSTANTIATE_TEST_SUITE_P(Files, TevraRefusedFile,
                         testing::Values(RefusedRow{"Missing", "missing.vcl", "Cannot open the file for reading"},
                                         RefusedRow{"NotWrittenBackAsRead", "binary",
                                                    "Cannot open the file for writing: its text would not be "
                                                    "written back byte for byte"},
                                         RefusedRow{"MarkInsideTheText", "marked",
                                                    "Cannot open the file for writing: its text would not be "
                                                    "written back byte for byte"},
                                         RefusedRow{"NotUtf8", "latin1", "Cannot read the file: not valid UTF-8"},
                                         RefusedRow{"Directory", "folder", "Cannot open the file for reading"},
                                         RefusedRow{"NamedPipe", "pipe", "Cannot open the file for reading"},
                                         RefusedRow{"Device", "/dev/null", "Cannot open the file for reading"}),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(TevraRefusedFiles, UnreadableFile)
{
    if (!TevraTest::UnprivilegedRunsPossible())
        GTEST_SKIP() << "the user nobody cannot execute the tevra binary where it was built";
    const ScratchDirectory directory;
    directory.Write("secret", "1");
    ASSERT_EQ(chmod((directory / "secret").c_str(), 0200), 0);
    const auto outcome = RunTevraUnprivileged({"secret"}, "", directory);
    EXPECT_EQ(outcome.Err, "tevra: secret: Cannot open the file for reading\n");
    EXPECT_EQ(outcome.Status, 2);
}

TEST(TevraMemoryFiles, SaveWritesEveryCellAsUtf16StoreStatements)
{
    const ScratchDirectory directory;
    const auto outcome = RunTevra(
        {"--upper", "-e", "2->Mem[1];0.1->Mem[x]", "-e", "-1.5e-7->Mem[s]", "--save-memory", "m.vcm"}, "", directory);
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(outcome.Err, "");
    // The file's numbers are always lower case, whatever --upper says.
    EXPECT_EQ(
        directory.Read("m.vcm"),
        ProgramFile(u"2->Mem[1];\r\n-1.4999999999999999321e-007->Mem[s];\r\n0.10000000000000000555->Mem[x];\r\n"));
}

TEST(TevraMemoryFiles, SaveOfAnEmptyMemoryIsTheMarkAlone)
{
    const ScratchDirectory directory;
    EXPECT_EQ(RunTevra({"-e", "1", "--save-memory", "m.vcm"}, "", directory).Status, 0);
    EXPECT_EQ(directory.Read("m.vcm"), "\xFF\xFE");
}

TEST(TevraMemoryFiles, SaveReplacesAnOlderFile)
{
    const ScratchDirectory directory;
    directory.Write("m.vcm", ProgramFile(u"1->Mem[old];\r\n1->Mem[older];\r\n"));
    EXPECT_EQ(RunTevra({"-e", "3->Mem[new]", "--save-memory", "m.vcm"}, "", directory).Status, 0);
    EXPECT_EQ(directory.Read("m.vcm"), ProgramFile(u"3->Mem[new];\r\n"));
}

TEST(TevraMemoryFiles, LoadRunsFirstAndPrintsNothing)
{
    const ScratchDirectory directory;
    directory.Write("m.vcm", ProgramFile(u"5->Mem[a];\r\n\uFEFF7->Mem[b];\r\n"));
    const auto outcome = RunTevra({"-e", "Mem[a]*Mem[b]", "--load-memory", "m.vcm"}, "", directory);
    EXPECT_EQ(outcome.Out, "Mem[a]*Mem[b]=35\n");
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(directory.Read("m.vcm"), ProgramFile(u"5->Mem[a];\r\n\uFEFF7->Mem[b];\r\n"));
}

TEST(TevraMemoryFiles, SavedMemoryLoadsBackToTheSameValues)
{
    const ScratchDirectory directory;
    ASSERT_EQ(RunTevra({"-e", "1/3->Mem[third];2^0.5->Mem[root]", "--save-memory", "m.vcm"}, "", directory).Status, 0);
    const auto outcome =
        RunTevra({"--load-memory", "m.vcm", "--save-memory", "again.vcm", "-e", "Mem[third]*3"}, "", directory);
    EXPECT_EQ(outcome.Out, "Mem[third]*3=1\n");
    EXPECT_EQ(directory.Read("again.vcm"), directory.Read("m.vcm"));
}

TEST(TevraMemoryFiles, LoadWithAFailingStatementLogsItAndFails)
{
    const ScratchDirectory directory;
    directory.Write("m.vcm", ProgramFile(u"1->Mem[a];\r\nln(0)->Mem[b];\r\n"));
    const auto outcome = RunTevra({"--load-memory", "m.vcm", "--json", "-e", "Mem[a]"}, "", directory);
    EXPECT_EQ(outcome.Out,
              R"({"ok":true,"text":"Mem[a]=1","caret":8,"last_result":"1","log":[],)"
              R"("memory":[{"name":"a","value":"1","include":0}]})"
              "\n");
    EXPECT_EQ(outcome.Err, "1\tError\tNatural logarithm\tFunction has singularity at 0\n");
    EXPECT_EQ(outcome.Status, 1);
}

// Bad lines first, in the middle and last: every other cell is loaded, the
// reports form one numbered list, and the exit status says that one failed;
// a file run (the editor's Calculate all) still stops at the first failure.
TEST(TevraMemoryFiles, LoadGoesOnAfterBadLinesWhileAFileRunStops)
{
    const ScratchDirectory directory;
    const std::u16string text = u"ln(0)->Mem[z];\r\n1->Mem[a];\r\n2*->Mem[y];\r\n3->Mem[c];\r\n1/0->Mem[x];\r\n";
    directory.Write("m.vcm", ProgramFile(text));
    const auto load = RunTevra({"--load-memory", "m.vcm", "-e", "Mem[a]+Mem[c]"}, "", directory);
    EXPECT_EQ(load.Out, "Mem[a]+Mem[c]=4\n");
    EXPECT_EQ(load.Err,
              "1\tError\tNatural logarithm\tFunction has singularity at 0\n"
              "2\tError\tNone\tSyntax error\n"
              "3\tError\tDivision\tOperation has singularity at 0\n");
    EXPECT_EQ(load.Status, 1);

    const auto run = RunTevra({"m.vcm", "-e", "Mem[a]"}, "", directory);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "1\tError\tNatural logarithm\tFunction has singularity at 0\n"
              "1\tWarning\tMemory\tUninitialized memory used, value forced to 0\n");
}

TEST(TevraMemoryFiles, EmptyMemoryFileIsRefused)
{
    const ScratchDirectory directory;
    directory.Write("m.vcm", "");
    const auto outcome = RunTevra({"--load-memory", "m.vcm", "-e", "1"}, "", directory);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: m.vcm: Cannot read the file\n");
    EXPECT_EQ(outcome.Status, 2);
}

TEST(TevraMemoryFiles, UnwritableSaveTargetFailsAfterTheRuns)
{
    const ScratchDirectory directory;
    std::filesystem::create_directory(directory.Path() / "folder");
    // The message names the system's cause.
    const std::vector<std::pair<std::string, std::string>> rows = {{"no/such/dir/m.vcm", "No such file or directory"},
                                                                   {"folder", "Is a directory"}};
    for (const auto& [target, cause] : rows) {
        const auto outcome = RunTevra({"-e", "1->Mem[a]", "--save-memory", target}, "", directory);
        EXPECT_EQ(outcome.Out, "1->Mem[a]=1\n");
        EXPECT_EQ(outcome.Err, "tevra: " + target + ": Cannot open the file for writing: " + cause + "\n");
        EXPECT_EQ(outcome.Status, 2);
    }
    EXPECT_TRUE(std::filesystem::is_directory(directory.Path() / "folder"));
}

}  // namespace
