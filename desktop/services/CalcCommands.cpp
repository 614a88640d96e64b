#include "desktop/services/CalcCommands.h"

#include <algorithm>

namespace CalcCommand {

namespace {

// clang-format off
constexpr Info CommandTable[] = {
    // File
    {FileNew, "&New\tCtrl+N", {"Ctrl+N"}, "Create a new document", "New Ctrl+N", ":/icons/new.svg", false, true},
    {FileOpen, "&Open...\tCtrl+O", {"Ctrl+O"}, "Open an existing document", "Open Ctrl+O", ":/icons/open.svg", false, true},
    {FileSave, "&Save\tCtrl+S", {"Ctrl+S"}, "Save the active document", "Save Ctrl+S", ":/icons/save.svg"},
    {FileSaveAs, "Save &As...", {}, "Save the active document with a new name", "Save As", ""},
    {ExecuteFile, "&Execute...\tCtrl+E", {"Ctrl+E"}, "Execute file", "Execute Ctrl+E", ":/icons/execute.svg", false, true},
    {FilePrint, "&Print...\tCtrl+P", {"Ctrl+P"}, "Print the active document", "Print Ctrl+P", ":/icons/print.svg"},
    {FilePrintPreview, "Print Pre&view", {}, "Display full pages", "Print Preview", ""},
    {FilePageSetup, "Pa&ge Setup...", {}, "Change the printing options", "Page Setup", ""},
    {RecentFile, "Recent File", {}, "Open this document", "", "", false, true},
    {AppExit, "E&xit", {}, "Quit the application; prompts to save documents", "Exit", ""},
    // Memory
    {MemoryFree, "&Free", {}, "Free memory", "Free", "", false, true},
    {MemoryLoad, "&Load...", {}, "Load memory from file", "Load memory", ":/icons/memory-load.svg", false, true},
    {MemorySave, "&Save...", {}, "Save memory as file", "Save memory", ":/icons/memory-save.svg", false, true},
    // Edit
    {EditUndo, "&Undo\tCtrl+Z", {"Ctrl+Z", "Alt+Backspace"}, "Undo the last action", "Undo Ctrl+Z", "", false, true},
    {EditCut, "Cu&t\tCtrl+X", {"Ctrl+X", "Shift+Del"}, "Cut the selection and put it on the Clipboard", "Cut Ctrl+X", ":/icons/cut.svg", false, true},
    {EditCopy, "&Copy\tCtrl+C", {"Ctrl+C", "Ctrl+Ins"}, "Copy the selection and put it on the Clipboard", "Copy Ctrl+C", ":/icons/copy.svg"},
    {EditPaste, "&Paste\tCtrl+V", {"Ctrl+V", "Shift+Ins"}, "Insert Clipboard contents", "Paste Ctrl+V", ":/icons/paste.svg", false, true},
    // View
    {ToggleToolBar, "&Toolbar", {}, "Show or hide the toolbar", "Toggle toolbar", "", true},
    {ToggleKeypad, "&Keypad\tCtrl+K", {"Ctrl+K"}, "Show or hide keypad", "Toggle keypad Ctrl+K", ":/icons/keypad.svg", true},
    {ToggleLog, "&Log\tCtrl+L", {"Ctrl+L"}, "Show or hide log", "Toggle log Ctrl+L", ":/icons/log.svg", true},
    {ToggleMemory, "&Memory\tCtrl+M", {"Ctrl+M"}, "Show or hide memory", "Toggle memory Ctrl+M", ":/icons/memory.svg", true},
    {ToggleStatistics, "St&atistics", {}, "Show or hide statistics", "Toggle statistics", "", true},
    {ToggleStatusBar, "&Status Bar", {}, "Show or hide the status bar", "Toggle status bar", "", true},
    {LiveValue, "Live &value", {}, "Show the value of the statement at the caret while typing", "Live value", "", true},
    {Highlighting, "&Highlighting and completion", {}, "Colour the text, underline the statements that failed and offer names while typing", "Highlighting and completion", "", true},
    // Set
    {Preferences, "&Preferences...", {}, "Set preferences", "Preferences", ":/icons/preferences.svg", false, true},
    {TrigonometricUnits, "", {}, "Set units for trigonometric functions", "Trigonometric units", ":/icons/units.svg", true},
    {NotationWest, "&West", {}, "Set West function notation", "West notation", "", true, true},
    {NotationEast, "&East", {}, "Set East function notation", "East notation", "", true, true},
    {KeypadStyle2000, "&2000", {}, "Set 2000 keypad style", "2000 style", "", true},
    {KeypadStyleVossek, "&Vossek", {}, "Set Vossek keypad style", "Vossek style", "", true},
    {KeypadStyleXP, "&XP", {}, "Set XP keypad style", "XP style", "", true},
    {KeypadStyleVista, "&Vista", {}, "Set Vista keypad style", "Vista style", "", true},
    {KeypadFontSelect, "&Select...", {}, "Select keypad font", "Select font", ""},
    {KeypadFontSystem, "S&ystem", {}, "Set system keypad font", "System font", "", true},
    {KeypadFontDefault, "&Default", {}, "Set default keypad font", "Default font", "", true},
    {KeypadTextColorFunction, "&Function...", {}, "Set function keypad text color", "Function text color", ""},
    {KeypadTextColorDigit, "&Digit...", {}, "Set digit keypad text color", "Digit text color", ""},
    {KeypadTextColorService, "&Service...", {}, "Set service keypad text color", "Service text color", ""},
    {KeypadTextColorSystem, "S&ystem", {}, "Set system keypad text color", "System text color", "", true},
    {KeypadTextColorDefault, "D&efault", {}, "Set default keypad text color", "Default text color", "", true},
    {KeypadColorFunction, "&Function...", {}, "Set function keypad color", "Function color", ""},
    {KeypadColorDigit, "&Digit...", {}, "Set digit keypad color", "Digit color", ""},
    {KeypadColorService, "&Service...", {}, "Set service keypad color", "Service color", ""},
    {KeypadColorSystem, "S&ystem", {}, "Set system keypad color", "System color", "", true},
    {KeypadColorDefault, "D&efault", {}, "Set default keypad color", "Default color", "", true},
    {EditorFontSelect, "&Select...", {}, "Select editor font", "Select font", ""},
    {EditorFontDefault, "&Default", {}, "Set default editor font", "Default font", "", true},
    // Help
    {HelpTopics, "&Help Topics", {}, "List Help topics", "Help Topics", ""},
    {AppAbout, "&About Calculator...", {}, "Display program information, version number and copyright", "About", ""},
    // Accelerators without a menu item. On a US keyboard Shift turns "=" into
    // "+", so calculate all is also listed the ways Qt may deliver that key.
    {Calculate, "", {"Ctrl+="}, "", "", "", false, true},
    {CalculateAll, "", {"Ctrl+Shift+=", "Ctrl+Shift++", "Ctrl++"}, "Callculate all", "Calculate all Ctrl+Shift+=", ":/icons/calculate-all.svg", false, true},
    {ContextHelp, "", {"Shift+F1"}, "Display help for clicked on buttons, menus and windows", "Help", ":/icons/context-help.svg"},
    {Help, "", {"F1"}, "Display help for current task or command", "Help", ""},
    {NextPane, "", {"F6"}, "Switch to the next window pane", "Next Pane", ""},
    {PreviousPane, "", {"Shift+F6"}, "Switch back to the previous window pane", "Previous Pane", ""},
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
