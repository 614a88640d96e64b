// The program's commands: one id per command, shared by the menu, the
// toolbar and the accelerators, with the texts each of them shows. Where the
// frame places them is in CalcMenus.h.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace CalcCommand {

// The values are fixed: a command's number names the anchor of its entry on
// the help page of menus and commands ("commands#command-57600"), which the
// made help pages and outside links to them use, and its action's object name
// ("Command57600"), by which tests and assistive tools find it. A new command
// takes a number of its own; never renumber one.
enum Id : int {
    None = 0,  // separator in the layout tables
    ExecuteFile = 32771,
    MemoryFree = 32772,
    MemoryLoad = 32773,
    MemorySave = 32774,
    ToggleKeypad = 32775,
    ToggleLog = 32776,
    ToggleMemory = 32777,
    ToggleStatistics = 32778,
    Preferences = 32779,
    TrigonometricUnits = 32780,
    NotationEast = 32781,
    NotationWest = 32782,
    EditorFontSelect = 32783,
    EditorFontDefault = 32784,
    KeypadStyleXP = 32785,
    KeypadStyleVista = 32786,
    KeypadStyleVossek = 32787,
    KeypadStyle2000 = 32788,
    KeypadFontSelect = 32789,
    KeypadFontSystem = 32790,
    KeypadFontDefault = 32791,
    KeypadTextColorFunction = 32792,
    KeypadTextColorDigit = 32793,
    KeypadTextColorService = 32794,
    KeypadTextColorDefault = 32795,
    KeypadTextColorSystem = 32796,
    KeypadColorFunction = 32797,
    KeypadColorDigit = 32798,
    KeypadColorService = 32799,
    KeypadColorSystem = 32800,
    KeypadColorDefault = 32801,
    Calculate = 32802,
    CalculateAll = 32803,
    // The editor's aids: the value at the caret, and colours, marks and completion.
    LiveValue = 33101,
    Highlighting = 33102,
    ResultsMargin = 33103,
    CopyValue = 33104,
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePageSetup = 57605,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    RecentFile = 57616,
    EditCopy = 57634,
    EditCut = 57635,
    EditPaste = 57637,
    EditUndo = 57643,
    AppAbout = 57664,
    AppExit = 57665,
    HelpTopics = 57667,
    ContextHelp = 57669,
    Help = 57670,
    NextPane = 57680,
    PreviousPane = 57681,
    ToggleToolBar = 59392,
    ToggleStatusBar = 59393,
};

// One command: the texts of its menu item (with "&" and the "\t" shortcut
// column, empty for accelerator-only commands), its key sequences in Qt's
// portable notation, its status-bar prompt, its tooltip and its toolbar image.
// A command that changes the text, the memory or the settings a calculation
// reads waits for a running calculation: it is greyed until it is done.
// Table rows name their fields ({.Command = FileNew, .MenuText = ...}) and
// leave out the empty ones.
struct Info {
    Id Command;
    std::string_view MenuText = {};
    std::array<std::string_view, 3> Shortcuts = {};
    std::string_view Prompt = {};
    std::string_view ToolTip = {};
    std::string_view Icon = {};  // resource path, empty when the command has no image
    bool Checkable = false;
    bool WaitsForCalculation = false;
};

std::span<const Info> Commands();
// The entry of id, or null for an id outside the table.
const Info* Find(int id);

// The idle text of the status bar's first pane: how to calculate, briefly.
inline constexpr std::string_view IdlePrompt =
    "Ready \u2013 Ctrl+= or Ctrl+Return calculates the statement at the caret, Ctrl+Shift+= all";
// The grey hint of an empty editor, with an example of two lines.
inline constexpr std::string_view EmptyEditorHint =
    "Type a calculation, then press Ctrl+= (or Ctrl+Return) to calculate the statement at the caret, or "
    "Ctrl+Shift+= (or Ctrl+Shift+Return) to calculate them all. For example:\n"
    "    12*(3+4); 2^10\n"
    "becomes\n"
    "    12*(3+4)=84; 2^10=1024";

}  // namespace CalcCommand
