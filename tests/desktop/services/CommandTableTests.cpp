// The command table and the other tables whose ids outside things rely on:
// each id has one row, the numbers stay what the help anchors, the stored
// layout and the object names were made with, and a row's left-out fields
// are empty.
#include "desktop/frame/CalcBars.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/memory/CCalcMemory.h"

#include <iterator>
#include <set>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

namespace {

TEST(CommandTable, EveryIdHasOneRowThatFindReturns)
{
    std::set<int> seen;
    for (const CalcCommand::Info& row : CalcCommand::Commands()) {
        EXPECT_NE(row.Command, CalcCommand::None) << "None stands for a separator, never a command";
        EXPECT_TRUE(seen.insert(row.Command).second) << "command " << row.Command << " has two rows";
        EXPECT_EQ(CalcCommand::Find(row.Command), &row) << row.Command;
    }
    EXPECT_EQ(CalcCommand::Find(CalcCommand::None), nullptr);
    EXPECT_EQ(CalcCommand::Find(12345), nullptr);
}

TEST(CommandTable, TheNumbersOthersRelyOnStayFixed)
{
    const std::pair<CalcCommand::Id, int> commands[] = {
        {CalcCommand::ExecuteFile, 32771},     {CalcCommand::ToggleStatistics, 32778},
        {CalcCommand::CalculateAll, 32803},    {CalcCommand::LiveValue, 33101},
        {CalcCommand::FileNew, 57600},         {CalcCommand::FilePrintPreview, 57609},
        {CalcCommand::ContextHelp, 57669},     {CalcCommand::ToggleToolBar, 59392},
        {CalcCommand::ToggleStatusBar, 59393},
    };
    for (const auto& [id, number] : commands)
        EXPECT_EQ(static_cast<int>(id), number);

    const std::pair<CalcBars::Id, int> bars[] = {
        {CalcBars::Keypad, 102}, {CalcBars::Log, 133}, {CalcBars::Memory, 136}, {CalcBars::Statistics, 140}};
    for (const auto& [id, number] : bars)
        EXPECT_EQ(static_cast<int>(id), number);

    const int memoryButtons[] = {1068, 1085, 1089, 1097, 1051};
    ASSERT_EQ(CCalcMemory::ButtonTable().size(), std::size(memoryButtons));
    for (std::size_t i = 0; i < std::size(memoryButtons); ++i)
        EXPECT_EQ(CCalcMemory::ButtonTable()[i].ControlId, memoryButtons[i]);
}

TEST(CommandTable, FieldsARowLeavesOutAreEmpty)
{
    const CalcCommand::Info* calculate = CalcCommand::Find(CalcCommand::Calculate);
    ASSERT_NE(calculate, nullptr);
    EXPECT_EQ(calculate->Shortcuts[0], std::string_view("Ctrl+="));
    EXPECT_EQ(calculate->Shortcuts[1], std::string_view("Ctrl+Return"));
    EXPECT_TRUE(calculate->Shortcuts[2].empty());
    EXPECT_TRUE(calculate->Prompt.empty());
    EXPECT_TRUE(calculate->ToolTip.empty());
    EXPECT_TRUE(calculate->Icon.empty());
    EXPECT_FALSE(calculate->Checkable);
    EXPECT_TRUE(calculate->WaitsForCalculation);

    const CalcCommand::Info* saveAs = CalcCommand::Find(CalcCommand::FileSaveAs);
    ASSERT_NE(saveAs, nullptr);
    EXPECT_EQ(saveAs->MenuText, std::string_view("Save &As..."));
    EXPECT_TRUE(saveAs->Shortcuts[0].empty());
    EXPECT_TRUE(saveAs->Icon.empty());
    EXPECT_FALSE(saveAs->Checkable);
    EXPECT_FALSE(saveAs->WaitsForCalculation);
}

TEST(CommandTable, EveryBarsToggleIsACheckableCommand)
{
    for (const CalcBars::Info& bar : CalcBars::Bars()) {
        const CalcCommand::Info* toggle = CalcCommand::Find(bar.Toggle);
        ASSERT_NE(toggle, nullptr) << bar.Title;
        EXPECT_TRUE(toggle->Checkable) << bar.Title;
        EXPECT_FALSE(toggle->WaitsForCalculation) << bar.Title;
    }
}

}  // namespace
