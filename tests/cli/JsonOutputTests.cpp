// --json: one object per run with fixed keys, and the statistics line.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TevraProcess.h"

namespace {

using TevraTest::RunTevra;

struct JsonRow {
    const char* Label;
    std::vector<std::string> Arguments;
    std::string Out;
    int Status;
};

void PrintTo(const JsonRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraJsonOutput : public testing::TestWithParam<JsonRow> {};

TEST_P(TevraJsonOutput, WritesOneObjectPerRunAndNothingOnStandardError)
{
    const auto& row = GetParam();
    std::vector<std::string> arguments = {"--json"};
    arguments.insert(arguments.end(), row.Arguments.begin(), row.Arguments.end());
    const auto outcome = RunTevra(arguments);
    EXPECT_EQ(outcome.Out, row.Out);
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Status, row.Status);
}

const std::string CellX = R"({"name":"x","value":"0.10000000000000000555","include":0})";

INSTANTIATE_TEST_SUITE_P(
    Runs, TevraJsonOutput,
    testing::Values(
        JsonRow{"Success",
                {"-e", "2+3"},
                R"({"ok":true,"text":"2+3=5","caret":5,"last_result":"5","log":[],"memory":[]})"
                "\n",
                0},
        JsonRow{
            "MemoryAfterEachRunAndItsLog",
            {"-e", "0.1->Mem[x]", "-e", "Mem[y]"},
            R"({"ok":true,"text":"0.1->Mem[x]=0.10000000000000000555","caret":34,)"
            R"("last_result":"0.10000000000000000555","log":[],"memory":[)" +
                CellX + "]}\n" +
                R"({"ok":true,"text":"Mem[y]=0","caret":8,"last_result":"0","log":[{"status":"Warning",)"
                R"("context":"Memory","description":"Uninitialized memory used, value forced to 0",)"
                R"("start":0,"length":6,"hint":"Mem[y] has no value yet","hint_start":0,"hint_length":6}],"memory":[)" +
                CellX + "]}\n",
            0},
        JsonRow{
            "FailureKeepsTheCaret",
            {"-e", "1/0"},
            R"({"ok":false,"text":"1/0","caret":-1,"last_result":"0","log":[{"status":"Error",)"
            R"("context":"Division","description":"Operation has singularity at 0","start":0,"length":3,"hint":null,"hint_start":null,"hint_length":null}],)"
            R"("memory":[]})"
            "\n",
            1},
        JsonRow{
            "EachLogEntryNamesItsStatementInTheGivenText",
            {"-e", "Mem[a];\n  /* note */ 1/0 // why\n;3"},
            R"({"ok":false,"text":"Mem[a]=0;\n  /* note */ 1/0 // why\n;3","caret":-1,"last_result":"0","log":[)"
            R"({"status":"Warning","context":"Memory","description":"Uninitialized memory used, value forced to 0",)"
            R"("start":0,"length":6,"hint":"Mem[a] has no value yet","hint_start":0,"hint_length":6},)"
            R"({"status":"Error","context":"Division",)"
            R"("description":"Operation has singularity at 0","start":21,"length":3,"hint":null,"hint_start":null,"hint_length":null}],"memory":[]})"
            "\n",
            1},
        JsonRow{
            "AnUnclosedCommentIsItsOwnStatement",
            {"-e", "1; /* open"},
            R"({"ok":false,"text":"1; /* open","caret":-1,"last_result":"0","log":[{"status":"Error",)"
            R"("context":"None","description":"Syntax error","start":3,"length":7,)"
            R"("hint":"the comment opened here is never closed; end it with “*/”","hint_start":3,"hint_length":2}],)"
            R"("memory":[]})"
            "\n",
            1},
        JsonRow{"CaretMovesToTheNextStatement",
                {"--caret", "0", "-e", "1;2"},
                R"({"ok":true,"text":"1=1;2","caret":4,"last_result":"1","log":[],"memory":[]})"
                "\n",
                0},
        JsonRow{"UpperCaseNumbersEverywhere",
                {"--upper", "-e", "1e21->Mem[Big]"},
                R"({"ok":true,"text":"1e21->Mem[Big]=1E+021","caret":21,"last_result":"1E+021","log":[],)"
                R"("memory":[{"name":"big","value":"1E+021","include":0}]})"
                "\n",
                0},
        JsonRow{"TextWithQuotesLineBreaksAndNonAscii",
                {"-e", "\xCE\x93(5)\r\n// \"\\"},
                R"({"ok":true,"text":"Γ(5)=24\r\n// \"\\","caret":14,"last_result":"24","log":[],"memory":[]})"
                "\n",
                0},
        JsonRow{"CellsInCodeUnitOrder",
                {"-e", "1->Mem[a];2->Mem[10];3->Mem[2]"},
                R"({"ok":true,"text":"1->Mem[a]=1;2->Mem[10]=2;3->Mem[2]=3","caret":36,"last_result":"3","log":[],)"
                R"("memory":[{"name":"10","value":"2","include":0},{"name":"2","value":"3","include":0},)"
                R"({"name":"a","value":"1","include":0}]})"
                "\n",
                0},
        JsonRow{"StatisticsLineAfterTheRuns",
                {"--stats", "-e", "1->Mem[a];2->Mem[b]", "-e", "3->Mem[c];4->Mem[d]"},
                R"({"ok":true,"text":"1->Mem[a]=1;2->Mem[b]=2","caret":23,"last_result":"2","log":[],"memory":[)"
                R"({"name":"a","value":"1","include":0},{"name":"b","value":"2","include":0}]})"
                "\n"
                R"({"ok":true,"text":"3->Mem[c]=3;4->Mem[d]=4","caret":23,"last_result":"4","log":[],"memory":[)"
                R"({"name":"a","value":"1","include":0},{"name":"b","value":"2","include":0},)"
                R"({"name":"c","value":"3","include":0},{"name":"d","value":"4","include":0}]})"
                "\n"
                R"j({"statistics":[{"label":"Mean (average)","value":"2.5"},)j"
                R"({"label":"Variance","value":"1.6666666666666667407"},)"
                R"({"label":"Standard deviation","value":"1.2909944487358055998"},)"
                R"({"label":"Average deviation","value":"1"},{"label":"Skewness","value":"0"},)"
                R"({"label":"Kurtosis","value":"-2.0775000000000001243"}]})"
                "\n",
                0},
        JsonRow{"StatisticsOfAnEmptyMemory",
                {"--stats", "-e", "1"},
                R"({"ok":true,"text":"1=1","caret":3,"last_result":"1","log":[],"memory":[]})"
                "\n"
                R"j({"statistics":[{"label":"Mean (average)","value":"Undefined"},)j"
                R"({"label":"Variance","value":"Undefined"},{"label":"Standard deviation","value":"Undefined"},)"
                R"({"label":"Average deviation","value":"Undefined"},{"label":"Skewness","value":"Undefined"},)"
                R"({"label":"Kurtosis","value":"Undefined"}]})"
                "\n",
                0}),
    [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
