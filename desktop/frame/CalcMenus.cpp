#include "desktop/frame/CalcMenus.h"

#include <array>
#include <cassert>

namespace CalcMenu {

namespace {

using namespace CalcCommand;

constexpr auto MenuTable = std::to_array<Info>({
    {File, "&File", NoMenu},
    {Memory, "&Memory", NoMenu},
    {Edit, "&Edit", NoMenu},
    {View, "&View", NoMenu},
    {Set, "&Set", NoMenu},
    {Notation, "&Notation", Set},
    {Keypad, "&Keypad", Set},
    {KeypadStyle, "&Style", Keypad},
    {KeypadFont, "&Font", Keypad},
    {KeypadTextColor, "&Text Color", Keypad},
    {KeypadColor, "&Color", Keypad},
    {EditorFont, "&Editor Font", Set},
    {Help, "&Help", NoMenu},
});

constexpr bool MenusInIdOrder()
{
    for (std::size_t i = 0; i < MenuTable.size(); ++i) {
        if (MenuTable[i].Menu != static_cast<int>(i) || MenuTable[i].Parent >= static_cast<int>(i))
            return false;
    }
    return true;
}
static_assert(MenuTable.size() == MenuCount, "one title per menu id");
static_assert(MenusInIdOrder(), "menus stand in id order, each after the menu it opens from");

// clang-format off
constexpr Entry MenuEntries[] = {
    {File, FileNew}, {File, FileOpen}, {File, FileSave}, {File, FileSaveAs},
    {File, None}, {File, ExecuteFile},
    {File, None}, {File, FilePrint}, {File, FilePrintPreview}, {File, FilePageSetup},
    {File, None}, {File, RecentFile},
    {File, None}, {File, AppExit},
    {Memory, MemoryFree}, {Memory, MemoryLoad}, {Memory, MemorySave},
    {Edit, EditUndo}, {Edit, None}, {Edit, EditCut}, {Edit, EditCopy}, {Edit, EditPaste}, {Edit, CopyValue},
    {Edit, None}, {Edit, Calculate}, {Edit, CalculateAll},
    {View, ToggleToolBar}, {View, ToggleKeypad}, {View, ToggleLog}, {View, ToggleMemory},
    {View, ToggleStatistics}, {View, ToggleStatusBar},
    {View, None}, {View, LiveValue}, {View, Highlighting}, {View, ResultsMargin},
    {Set, Preferences},
    {Notation, NotationWest}, {Notation, NotationEast},
    {KeypadStyle, KeypadStyle2000}, {KeypadStyle, KeypadStyleVossek},
    {KeypadStyle, KeypadStyleXP}, {KeypadStyle, KeypadStyleVista},
    {KeypadFont, KeypadFontSelect}, {KeypadFont, KeypadFontSystem}, {KeypadFont, KeypadFontDefault},
    {KeypadTextColor, KeypadTextColorFunction}, {KeypadTextColor, KeypadTextColorDigit},
    {KeypadTextColor, KeypadTextColorService}, {KeypadTextColor, None},
    {KeypadTextColor, KeypadTextColorSystem}, {KeypadTextColor, KeypadTextColorDefault},
    {KeypadColor, KeypadColorFunction}, {KeypadColor, KeypadColorDigit},
    {KeypadColor, KeypadColorService}, {KeypadColor, None},
    {KeypadColor, KeypadColorSystem}, {KeypadColor, KeypadColorDefault},
    {EditorFont, EditorFontSelect}, {EditorFont, EditorFontDefault},
    {Help, HelpTopics}, {Help, None}, {Help, AppAbout},
};

constexpr CalcCommand::Id ToolBarTable[] = {
    FileNew, FileOpen, FileSave, None,
    ExecuteFile, None,
    MemoryLoad, MemorySave, None,
    FilePrint, None,
    EditCut, EditCopy, EditPaste, None,
    ToggleLog, ToggleKeypad, ToggleMemory, None,
    Preferences, TrigonometricUnits, CalculateAll, None,
    ContextHelp,
};
// clang-format on

}  // namespace

std::span<const Info> Menus()
{
    return MenuTable;
}

const Info& Find(Id id)
{
    assert(id >= 0 && id < MenuCount && "a menu id names a menu");
    return MenuTable[static_cast<std::size_t>(id)];
}

std::span<const Entry> MenuLayout()
{
    return MenuEntries;
}

std::span<const CalcCommand::Id> ToolBarLayout()
{
    return ToolBarTable;
}

}  // namespace CalcMenu
