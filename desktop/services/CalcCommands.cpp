#include "desktop/services/CalcCommands.h"

#include <algorithm>

namespace CalcCommand {

namespace {

// clang-format off
constexpr Info CommandTable[] = {
    // File
    {.Command = FileNew, .MenuText = "&New\tCtrl+N", .Shortcuts = {"Ctrl+N"},
     .Prompt = "Create a new document", .ToolTip = "New Ctrl+N", .Icon = ":/icons/new.svg",
     .WaitsForCalculation = true},
    {.Command = FileOpen, .MenuText = "&Open...\tCtrl+O", .Shortcuts = {"Ctrl+O"},
     .Prompt = "Open an existing document", .ToolTip = "Open Ctrl+O", .Icon = ":/icons/open.svg",
     .WaitsForCalculation = true},
    {.Command = FileSave, .MenuText = "&Save\tCtrl+S", .Shortcuts = {"Ctrl+S"},
     .Prompt = "Save the active document", .ToolTip = "Save Ctrl+S", .Icon = ":/icons/save.svg"},
    {.Command = FileSaveAs, .MenuText = "Save &As...",
     .Prompt = "Save the active document with a new name", .ToolTip = "Save As"},
    {.Command = ExecuteFile, .MenuText = "&Execute...\tCtrl+E", .Shortcuts = {"Ctrl+E"},
     .Prompt = "Execute file", .ToolTip = "Execute Ctrl+E", .Icon = ":/icons/execute.svg", .WaitsForCalculation = true},
    {.Command = FilePrint, .MenuText = "&Print...\tCtrl+P", .Shortcuts = {"Ctrl+P"},
     .Prompt = "Print the active document", .ToolTip = "Print Ctrl+P", .Icon = ":/icons/print.svg"},
    {.Command = FilePrintPreview, .MenuText = "Print Pre&view",
     .Prompt = "Display full pages", .ToolTip = "Print Preview"},
    {.Command = FilePageSetup, .MenuText = "Pa&ge Setup...",
     .Prompt = "Change the printing options", .ToolTip = "Page Setup"},
    {.Command = RecentFile, .MenuText = "Recent File",
     .Prompt = "Open this document", .WaitsForCalculation = true},
    {.Command = AppExit, .MenuText = "E&xit",
     .Prompt = "Quit the application; prompts to save documents", .ToolTip = "Exit"},
    // Memory
    {.Command = MemoryFree, .MenuText = "&Free",
     .Prompt = "Free memory", .ToolTip = "Free", .WaitsForCalculation = true},
    {.Command = MemoryLoad, .MenuText = "&Load...",
     .Prompt = "Load memory from file", .ToolTip = "Load memory", .Icon = ":/icons/memory-load.svg",
     .WaitsForCalculation = true},
    {.Command = MemorySave, .MenuText = "&Save...",
     .Prompt = "Save memory as file", .ToolTip = "Save memory", .Icon = ":/icons/memory-save.svg",
     .WaitsForCalculation = true},
    // Edit
    {.Command = EditUndo, .MenuText = "&Undo\tCtrl+Z", .Shortcuts = {"Ctrl+Z", "Alt+Backspace"},
     .Prompt = "Undo the last action", .ToolTip = "Undo Ctrl+Z", .WaitsForCalculation = true},
    {.Command = EditCut, .MenuText = "Cu&t\tCtrl+X", .Shortcuts = {"Ctrl+X", "Shift+Del"},
     .Prompt = "Cut the selection and put it on the Clipboard", .ToolTip = "Cut Ctrl+X", .Icon = ":/icons/cut.svg",
     .WaitsForCalculation = true},
    {.Command = EditCopy, .MenuText = "&Copy\tCtrl+C", .Shortcuts = {"Ctrl+C", "Ctrl+Ins"},
     .Prompt = "Copy the selection and put it on the Clipboard", .ToolTip = "Copy Ctrl+C", .Icon = ":/icons/copy.svg"},
    {.Command = CopyValue, .MenuText = "Copy &Value\tCtrl+Shift+C", .Shortcuts = {"Ctrl+Shift+C"},
     .Prompt = "Copy the value of the statement at the caret, at full precision, to the Clipboard",
     .ToolTip = "Copy Value Ctrl+Shift+C", .WaitsForCalculation = true},
    {.Command = EditPaste, .MenuText = "&Paste\tCtrl+V", .Shortcuts = {"Ctrl+V", "Shift+Ins"},
     .Prompt = "Insert Clipboard contents", .ToolTip = "Paste Ctrl+V", .Icon = ":/icons/paste.svg",
     .WaitsForCalculation = true},
    // View
    {.Command = ToggleToolBar, .MenuText = "&Toolbar",
     .Prompt = "Show or hide the toolbar", .ToolTip = "Toggle toolbar", .Checkable = true},
    {.Command = ToggleKeypad, .MenuText = "&Keypad\tCtrl+K", .Shortcuts = {"Ctrl+K"},
     .Prompt = "Show or hide keypad", .ToolTip = "Toggle keypad Ctrl+K", .Icon = ":/icons/keypad.svg",
     .Checkable = true},
    {.Command = ToggleLog, .MenuText = "&Log\tCtrl+L", .Shortcuts = {"Ctrl+L"},
     .Prompt = "Show or hide log", .ToolTip = "Toggle log Ctrl+L", .Icon = ":/icons/log.svg", .Checkable = true},
    {.Command = ToggleMemory, .MenuText = "&Memory\tCtrl+M", .Shortcuts = {"Ctrl+M"},
     .Prompt = "Show or hide memory", .ToolTip = "Toggle memory Ctrl+M", .Icon = ":/icons/memory.svg",
     .Checkable = true},
    {.Command = ToggleStatistics, .MenuText = "St&atistics",
     .Prompt = "Show or hide statistics", .ToolTip = "Toggle statistics", .Checkable = true},
    {.Command = ToggleStatusBar, .MenuText = "&Status Bar",
     .Prompt = "Show or hide the status bar", .ToolTip = "Toggle status bar", .Checkable = true},
    {.Command = LiveValue, .MenuText = "Live &value",
     .Prompt = "Show the value of the statement at the caret while typing", .ToolTip = "Live value", .Checkable = true},
    {.Command = Highlighting, .MenuText = "&Highlighting and completion",
     .Prompt = "Colour the text, underline the statements that failed and offer names while typing",
     .ToolTip = "Highlighting and completion", .Checkable = true},
    {.Command = ResultsMargin, .MenuText = "&Results margin",
     .Prompt = "Show the value of every statement beside it while typing", .ToolTip = "Results margin",
     .Checkable = true},
    // Set
    {.Command = Preferences, .MenuText = "&Preferences...",
     .Prompt = "Set preferences", .ToolTip = "Preferences", .Icon = ":/icons/preferences.svg",
     .WaitsForCalculation = true},
    {.Command = TrigonometricUnits,
     .Prompt = "Set units for trigonometric functions", .ToolTip = "Trigonometric units", .Icon = ":/icons/units.svg",
     .Checkable = true},
    {.Command = NotationWest, .MenuText = "&West",
     .Prompt = "Set West function notation", .ToolTip = "West notation", .Checkable = true,
     .WaitsForCalculation = true},
    {.Command = NotationEast, .MenuText = "&East",
     .Prompt = "Set East function notation", .ToolTip = "East notation", .Checkable = true,
     .WaitsForCalculation = true},
    {.Command = KeypadStyle2000, .MenuText = "&2000",
     .Prompt = "Set 2000 keypad style", .ToolTip = "2000 style", .Checkable = true},
    {.Command = KeypadStyleVossek, .MenuText = "&Vossek",
     .Prompt = "Set Vossek keypad style", .ToolTip = "Vossek style", .Checkable = true},
    {.Command = KeypadStyleXP, .MenuText = "&XP",
     .Prompt = "Set XP keypad style", .ToolTip = "XP style", .Checkable = true},
    {.Command = KeypadStyleVista, .MenuText = "&Vista",
     .Prompt = "Set Vista keypad style", .ToolTip = "Vista style", .Checkable = true},
    {.Command = KeypadFontSelect, .MenuText = "&Select...",
     .Prompt = "Select keypad font", .ToolTip = "Select font"},
    {.Command = KeypadFontSystem, .MenuText = "S&ystem",
     .Prompt = "Set system keypad font", .ToolTip = "System font", .Checkable = true},
    {.Command = KeypadFontDefault, .MenuText = "&Default",
     .Prompt = "Set default keypad font", .ToolTip = "Default font", .Checkable = true},
    {.Command = KeypadTextColorFunction, .MenuText = "&Function...",
     .Prompt = "Set function keypad text color", .ToolTip = "Function text color"},
    {.Command = KeypadTextColorDigit, .MenuText = "&Digit...",
     .Prompt = "Set digit keypad text color", .ToolTip = "Digit text color"},
    {.Command = KeypadTextColorService, .MenuText = "&Service...",
     .Prompt = "Set service keypad text color", .ToolTip = "Service text color"},
    {.Command = KeypadTextColorSystem, .MenuText = "S&ystem",
     .Prompt = "Set system keypad text color", .ToolTip = "System text color", .Checkable = true},
    {.Command = KeypadTextColorDefault, .MenuText = "D&efault",
     .Prompt = "Set default keypad text color", .ToolTip = "Default text color", .Checkable = true},
    {.Command = KeypadColorFunction, .MenuText = "&Function...",
     .Prompt = "Set function keypad color", .ToolTip = "Function color"},
    {.Command = KeypadColorDigit, .MenuText = "&Digit...",
     .Prompt = "Set digit keypad color", .ToolTip = "Digit color"},
    {.Command = KeypadColorService, .MenuText = "&Service...",
     .Prompt = "Set service keypad color", .ToolTip = "Service color"},
    {.Command = KeypadColorSystem, .MenuText = "S&ystem",
     .Prompt = "Set system keypad color", .ToolTip = "System color", .Checkable = true},
    {.Command = KeypadColorDefault, .MenuText = "D&efault",
     .Prompt = "Set default keypad color", .ToolTip = "Default color", .Checkable = true},
    {.Command = EditorFontSelect, .MenuText = "&Select...",
     .Prompt = "Select editor font", .ToolTip = "Select font"},
    {.Command = EditorFontDefault, .MenuText = "&Default",
     .Prompt = "Set default editor font", .ToolTip = "Default font", .Checkable = true},
    // Help
    {.Command = HelpTopics, .MenuText = "&Help Topics",
     .Prompt = "List Help topics", .ToolTip = "Help Topics"},
    {.Command = AppAbout, .MenuText = "&About Calculator...",
     .Prompt = "Display program information, version number and copyright", .ToolTip = "About"},
    // The calculate commands, in the Edit menu with both their keys: Ctrl+=
    // and Ctrl+Shift+= by their characters, and Ctrl+Return for keyboards
    // where "=" needs Shift. On a US keyboard Shift turns "=" into "+", so
    // calculate all is also listed as Ctrl++.
    {.Command = Calculate, .MenuText = "Ca&lculate\tCtrl+=, Ctrl+Return", .Shortcuts = {"Ctrl+=", "Ctrl+Return"},
     .WaitsForCalculation = true},
    {.Command = CalculateAll, .MenuText = "Calculate &All\tCtrl+Shift+=, Ctrl+Shift+Return",
     .Shortcuts = {"Ctrl+Shift+=", "Ctrl++", "Ctrl+Shift+Return"}, .Prompt = "Callculate all", .ToolTip = "Calculate all Ctrl+Shift+=", .Icon = ":/icons/calculate-all.svg",
     .WaitsForCalculation = true},
    {.Command = ContextHelp, .Shortcuts = {"Shift+F1"},
     .Prompt = "Display help for clicked on buttons, menus and windows", .ToolTip = "Help",
     .Icon = ":/icons/context-help.svg"},
    {.Command = Help, .Shortcuts = {"F1"},
     .Prompt = "Display help for current task or command", .ToolTip = "Help"},
    {.Command = NextPane, .Shortcuts = {"F6"},
     .Prompt = "Switch to the next window pane", .ToolTip = "Next Pane"},
    {.Command = PreviousPane, .Shortcuts = {"Shift+F6"},
     .Prompt = "Switch back to the previous window pane", .ToolTip = "Previous Pane"},
};
// clang-format on

}  // namespace

std::span<const Info> Commands()
{
    return CommandTable;
}

const Info* Find(int id)
{
    const auto* found = std::find_if(std::begin(CommandTable), std::end(CommandTable),
                                     [id](const Info& info) { return info.Command == id; });
    return found == std::end(CommandTable) ? nullptr : found;
}

}  // namespace CalcCommand
