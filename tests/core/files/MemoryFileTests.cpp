#include "core/files/MemoryFile.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/memory/MemoryMap.h"
#include "core/formats/TextCodec.h"
#include "core/engine/EngineState.h"

namespace {

using NCalculatorText::State;
using Tevra::ExecuteFileBytes;
using Tevra::FileExecution;

class MemoryFileLoading : public testing::Test {
protected:
    void SetUp() override { NCalculatorText::ResetProcessState(); }
    void TearDown() override { NCalculatorText::ResetProcessState(); }

    static double Cell(std::u16string_view name)
    {
        const auto* cell = State().MemoryMap.Find(name);
        return cell ? cell->Value : -12345.0;
    }
};

// UTF-16LE bytes of an ASCII text, after the mark FF FE.
std::string MarkedUtf16(const char* text)
{
    std::string bytes = "\xFF\xFE";
    for (const char* c = text; *c; ++c) {
        bytes.push_back(*c);
        bytes.push_back('\0');
    }
    return bytes;
}

TEST(MemoryFileBytes, AreTheStoreStatementsOfAllOrTheTickedCells)
{
    Tevra::CMemoryMap memory;
    memory.GetOrCreate(u"b") = 2;
    memory.GetOrCreate(u"a") = 0.5;
    memory.SetInclude(u"b", 1);
    struct Row {
        const char* name;
        const Tevra::CMemoryMap& memory;
        bool all;
        std::string expected;
    };
    const Tevra::CMemoryMap empty;
    const Row rows[] = {
        {"every cell, in key order", memory, true, MarkedUtf16("0.5->Mem[a];\r\n2->Mem[b];\r\n")},
        {"the ticked cells", memory, false, MarkedUtf16("2->Mem[b];\r\n")},
        {"an empty memory is the mark alone", empty, true, MarkedUtf16("")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Tevra::MemoryFileBytes(row.memory, row.all), row.expected) << row.name;
}

TEST(MemoryFileBytes, ALastResultEndsTheFileAsANumberAlone)
{
    Tevra::CMemoryMap memory;
    memory.GetOrCreate(u"a") = 0.5;
    struct Row {
        const char* name;
        std::optional<double> last;
        std::string expected;
    };
    const Row rows[] = {
        {"no last result", std::nullopt, MarkedUtf16("0.5->Mem[a];\r\n")},
        {"a last result in full", 0.1, MarkedUtf16("0.5->Mem[a];\r\n0.10000000000000000555;\r\n")},
        {"a negative one", -1.5e-7, MarkedUtf16("0.5->Mem[a];\r\n-1.4999999999999999321e-007;\r\n")},
        {"an infinite one is left out", HUGE_VAL, MarkedUtf16("0.5->Mem[a];\r\n")},
        {"not a number is left out", std::nan(""), MarkedUtf16("0.5->Mem[a];\r\n")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Tevra::MemoryFileBytes(memory, true, row.last), row.expected) << row.name;
}

TEST_F(MemoryFileLoading, ALastResultLineLoadsBackAsTheLastResult)
{
    State().MemoryMap.GetOrCreate(u"x") = 1.0 / 3.0;
    State().CalcSettings.DigitsInResults = 6;  // what is shown is no matter to the file
    const std::string bytes = Tevra::MemoryFileBytes(State().MemoryMap, true, 2.0 / 3.0);
    NCalculatorText::ResetProcessState();
    EXPECT_EQ(ExecuteFileBytes(bytes), FileExecution::Succeeded);
    EXPECT_EQ(Cell(u"x"), 1.0 / 3.0);
    EXPECT_EQ(State().LastResult, 2.0 / 3.0);
}

TEST_F(MemoryFileLoading, EmptyBytesCannotBeReadAndChangeNothing)
{
    State().MemoryMap.GetOrCreate(u"a") = 1;
    EXPECT_EQ(ExecuteFileBytes(""), FileExecution::CannotRead);
    EXPECT_EQ(State().MemoryMap.Count(), 1u);
    EXPECT_EQ(NCalculatorText::State().LastResult, 0.0);
}

TEST_F(MemoryFileLoading, ExportedMemoryLoadsBackExactly)
{
    State().MemoryMap.GetOrCreate(u"x") = 0.1;
    State().MemoryMap.GetOrCreate(u"1") = 2;
    State().MemoryMap.GetOrCreate(u"s") = -1.5e-7;
    State().MemoryMap.GetOrCreate(u"third") = 1.0 / 3.0;
    State().MemoryMap.GetOrCreate(u"tiny") = 4.9406564584124654e-324;
    State().MemoryMap.GetOrCreate(u"huge") = -1.7976931348623157e308;
    const std::u16string exported = State().MemoryMap.ExportMemory(true);
    const std::string bytes = Tevra::MemoryFileBytes(State().MemoryMap, true);

    NCalculatorText::ResetProcessState();
    EXPECT_EQ(ExecuteFileBytes(bytes), FileExecution::Succeeded);
    EXPECT_EQ(State().MemoryMap.ExportMemory(true), exported);
    EXPECT_EQ(Cell(u"third"), 1.0 / 3.0);
    EXPECT_EQ(Cell(u"tiny"), 4.9406564584124654e-324);
}

TEST_F(MemoryFileLoading, StoresReplaceValuesAndKeepFlagsWhileOtherCellsStay)
{
    State().MemoryMap.GetOrCreate(u"a") = 1;
    State().MemoryMap.SetInclude(u"a", 1);
    State().MemoryMap.GetOrCreate(u"keep") = 9;
    EXPECT_EQ(ExecuteFileBytes(Tevra::EncodeCalculationFile(u"5->Mem[a];\r\n6->Mem[b];\r\n")),
              FileExecution::Succeeded);
    EXPECT_EQ(Cell(u"a"), 5);
    EXPECT_EQ(State().MemoryMap.Find(u"a")->Include, 1);
    EXPECT_EQ(Cell(u"b"), 6);
    EXPECT_EQ(State().MemoryMap.Find(u"b")->Include, 0);
    EXPECT_EQ(Cell(u"keep"), 9);
}

TEST_F(MemoryFileLoading, MarksAnywhereAndTextAfterANulAreIgnored)
{
    using namespace std::string_literals;
    const std::string bytes = "\xFF\xFE"
                              "1\0-\0>\0\xFF\xFEM\0e\0m\0[\0a\0]\0\0\0"
                              "2\0"s;
    EXPECT_EQ(ExecuteFileBytes(bytes), FileExecution::Succeeded);
    EXPECT_EQ(Cell(u"a"), 1);
    EXPECT_EQ(NCalculatorText::State().LastResult, 1);
}

TEST_F(MemoryFileLoading, ExportedInfinityFailsToLoadInsteadOfStoringAnotherValue)
{
    for (const double value : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
        NCalculatorText::ResetProcessState();
        State().MemoryMap.GetOrCreate(u"x") = value;
        const std::string bytes = Tevra::MemoryFileBytes(State().MemoryMap, true);
        NCalculatorText::ResetProcessState();
        EXPECT_EQ(ExecuteFileBytes(bytes), FileExecution::Failed);
        EXPECT_EQ(State().MemoryMap.Find(u"x"), nullptr);
    }
}

// Collects the log of a load as one list.
class CollectingLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        Lines.push_back(std::string(record.Status == 1 ? "Error|" : "Warning|") +
                        std::string(record.Context.begin(), record.Context.end()) + "|" +
                        std::string(record.Description.begin(), record.Description.end()));
    }
    void Clear() override
    {
        Lines.clear();
        ++Clears;
    }
    std::vector<std::string> Lines;
    int Clears = 0;
};

// A partly bad file loads the cells of its good lines: every statement runs,
// whatever the ones before it did, and the log holds every report.
TEST_F(MemoryFileLoading, BadLinesAnywhereLeaveTheOtherCellsLoaded)
{
    const std::string singularity = "Error|Natural logarithm|Function has singularity at 0";
    const std::string syntax = "Error|None|Syntax error";
    struct Row {
        const char* Where;
        std::u16string Text;
        std::vector<std::string> Log;
    };
    const std::vector<Row> rows = {
        {"first", u"ln(0)->Mem[b];\r\n1->Mem[a];\r\n3->Mem[c];\r\n4->Mem[d];\r\n", {singularity}},
        {"middle", u"1->Mem[a];\r\nln(0)->Mem[b];\r\n3->Mem[c];\r\n4->Mem[d];\r\n", {singularity}},
        {"last", u"1->Mem[a];\r\n3->Mem[c];\r\n4->Mem[d];\r\nln(0)->Mem[b];\r\n", {singularity}},
        {"several",
         u"2*->Mem[b];\r\n1->Mem[a];\r\nMem[q]->Mem[b];\r\n3->Mem[c];\r\nln(0)->Mem[b];4->Mem[d]",
         {syntax, "Warning|Memory|Uninitialized memory used, value forced to 0", singularity}},
        {"unclosed comment", u"1->Mem[a];\r\n3->Mem[c];4->Mem[d] /* never closed\r\n5->Mem[b];", {syntax}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Where);
        NCalculatorText::ResetProcessState();
        CollectingLog log;
        NCalculatorText::State().LogReceiver = &log;
        const FileExecution outcome = ExecuteFileBytes(Tevra::EncodeCalculationFile(row.Text));
        NCalculatorText::State().LogReceiver = nullptr;
        EXPECT_EQ(outcome, FileExecution::Failed);
        EXPECT_EQ(Cell(u"a"), 1);
        EXPECT_EQ(Cell(u"c"), 3);
        EXPECT_EQ(Cell(u"d"), 4);
        EXPECT_EQ(log.Clears, 1);
        EXPECT_EQ(log.Lines, row.Log);
        if (row.Log.size() == 1) {
            EXPECT_EQ(State().MemoryMap.Find(u"b"), nullptr);
        }
    }
}

}  // namespace
