// Large inputs: documents of many megabytes and very long lines finish with
// their results, and an input too large for the memory there is ends with one
// line naming it instead of an abort.
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using TevraTest::Repeated;
using TevraTest::RunTevra;
using TevraTest::RunTevraWithAddressSpace;
using TevraTest::ScratchDirectory;

TEST(TevraLargeInputs, TwentyMegabyteDocumentIsCalculatedInPlace)
{
    const ScratchDirectory directory;
    const std::string line = "12*34+sin(0) = 0;\r\n";
    const std::size_t lines = 20u * 1024 * 1024 / line.size() + 1;
    directory.Write("big", Repeated(line, lines) + "rslt");
    const auto outcome = RunTevra({"--in-place", "big"}, "", directory);
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(outcome.Err, "");
    const std::string expected = Repeated("12*34+sin(0) = 408;\r\n", lines) + "rslt=408";
    EXPECT_EQ(outcome.Out.size(), expected.size() + 1);
    EXPECT_TRUE(outcome.Out == expected + "\n");
    EXPECT_TRUE(directory.Read("big") == expected);
}

// A memory file of a million cells, written as tevra saves one (UTF-16 with
// its mark, the cells in name order, CR LF), loads back to the same cells:
// saved again, it is the same file.
TEST(TevraLargeInputs, AMillionCellsComeBackAsTheyWereSaved)
{
    const ScratchDirectory directory;
    constexpr int Cells = 1'000'000;
    std::string file = "\xFF\xFE";
    for (int i = 0; i < Cells; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 7 - name.size(), '0');
        for (const char c : std::to_string(i % 977) + "->Mem[c" + name + "];\r\n") {
            file.push_back(c);
            file.push_back('\0');
        }
    }
    ASSERT_GT(file.size(), 16u * 1024 * 1024);
    directory.Write("saved.vcm", file);
    const auto again = RunTevra({"--load-memory", "saved.vcm", "--save-memory", "again.vcm", "-e", ""}, "", directory);
    ASSERT_EQ(again.Status, 0) << again.Err;
    EXPECT_EQ(again.Err, "");
    EXPECT_TRUE(directory.Read("again.vcm") == file);
}

TEST(TevraLargeInputs, MegabyteLineOfStatementsIsCalculated)
{
    const auto outcome = RunTevra({"-"}, Repeated("1+2;", 250000));
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_TRUE(outcome.Out == Repeated("1+2=3;", 250000) + "\n");
}

TEST(TevraLargeInputs, MegabyteAndTenMegabyteStatementsAreCalculated)
{
    const std::string statement = "1" + Repeated("+1", 500000);
    const auto outcome = RunTevra({}, statement);
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(outcome.Err, "");
    EXPECT_TRUE(outcome.Out == statement + "=500001\n");

    // 10 MB: 2.5 million terms of one sum.
    const ScratchDirectory directory;
    const std::string big = "1.5" + Repeated("+1.5", 2499999);
    directory.Write("sum.txt", big);
    const auto sum = RunTevra({"sum.txt"}, "", directory);
    EXPECT_EQ(sum.Status, 0);
    EXPECT_EQ(sum.Err, "");
    EXPECT_TRUE(sum.Out == big + "=3750000\n");
}

struct OutOfMemoryRow {
    const char* Label;
    std::vector<std::string> Arguments;
};

void PrintTo(const OutOfMemoryRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraOutOfMemory : public testing::TestWithParam<OutOfMemoryRow> {};

TEST_P(TevraOutOfMemory, EndsWithOneLineNamingTheInput)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    // 24 MB: its text alone (two bytes a character) passes the limit.
    const ScratchDirectory directory;
    const std::string text = Repeated("1;", 12u * 1024 * 1024);
    directory.Write("big", text);
    const auto outcome = RunTevraWithAddressSpace(GetParam().Arguments, "", directory, 48u << 20);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "tevra: big: not enough memory\n");
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_TRUE(directory.Read("big") == text);
}

INSTANTIATE_TEST_SUITE_P(
    LargeInputs, TevraOutOfMemory,
    testing::Values(OutOfMemoryRow{"FileRun", {"--in-place", "big"}}, OutOfMemoryRow{"JsonFileRun", {"--json", "big"}},
                    OutOfMemoryRow{"LoadMemory", {"--load-memory", "big", "--save-memory", "m.vcm", "-e", "1"}}),
    [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
