// The parts of the help made from the program's own tables: the menus and
// commands, the preferences dialog, the keywords, the statistics rows, the
// command-line options of both programs and the file messages.
#include "tools/docgen/HelpPages.h"

#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/app/CalcCommandLine.h"
#include "desktop/services/CalcCommands.h"
#include "core/settings/CalcSettings.h"
#include "cli/options/Options.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/files/Statistics.h"
#include "core/engine/Engine.h"
#include "core/files/MemoryFile.h"
#include "tools/docgen/Html.h"
#include "desktop/frame/CCalcPanelKeys.h"
#include "desktop/frame/CalcMenus.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace DocGen {

namespace {

// A menu text without its "&" marks and its shortcut column.
std::string MenuItemText(std::string_view menuText)
{
    std::string text;
    for (std::size_t i = 0; i < menuText.size() && menuText[i] != '\t'; ++i) {
        if (menuText[i] == '&' && i + 1 < menuText.size() && menuText[i + 1] != '&')
            continue;
        text += menuText[i];
        if (menuText[i] == '&')
            ++i;
    }
    return text;
}

std::string ShortcutsOf(const CalcCommand::Info& info)
{
    std::string keys;
    for (const std::string_view shortcut : info.Shortcuts) {
        if (!shortcut.empty())
            keys += (keys.empty() ? "" : ", ") + std::string(shortcut);
    }
    return keys;
}

// Names and descriptions for the commands whose table row has none (they
// have no menu item, tooltip or prompt of their own).
struct CommandText {
    CalcCommand::Id Command;
    std::string_view Name;
    std::string_view Description;
};
constexpr auto CommandTexts = std::to_array<CommandText>({
    {CalcCommand::Calculate, "Calculate", "Calculate the statement at the caret and move to the next one"},
});

const CommandText* ExtraText(int id)
{
    const auto found =
        std::find_if(CommandTexts.begin(), CommandTexts.end(), [id](const CommandText& t) { return t.Command == id; });
    return found == CommandTexts.end() ? nullptr : &*found;
}

// The command's name: its menu item, else its tooltip without the keys the
// tooltip ends with.
std::string NameOf(const CalcCommand::Info& info)
{
    if (!info.MenuText.empty())
        return MenuItemText(info.MenuText);
    std::string name(info.ToolTip);
    const std::string keys = " " + std::string(info.Shortcuts[0]);
    if (!info.Shortcuts[0].empty() && name.ends_with(keys))
        name.resize(name.size() - keys.size());
    if (name.empty())
        if (const CommandText* extra = ExtraText(info.Command))
            name = extra->Name;
    return name;
}

std::string DescriptionOf(const CalcCommand::Info& info)
{
    if (!info.Prompt.empty())
        return std::string(info.Prompt);
    const CommandText* extra = ExtraText(info.Command);
    return extra != nullptr ? std::string(extra->Description) : std::string();
}

std::string CommandRow(const CalcCommand::Info& info, const std::string& item)
{
    return "<tr><td><a name=\"" + AnchorOf(CalcHelp::CommandTopic(info.Command)) + "\"></a>" + Escape(item) +
        "</td><td>" + Escape(ShortcutsOf(info)) + "</td><td>" + Escape(DescriptionOf(info)) + "</td></tr>\n";
}

constexpr std::string_view CommandTableHead = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
                                              "<tr><th>Item</th><th>Keys</th><th>What it does</th></tr>\n";

// The menu path of a menu below the menu bar: "Keypad > Style".
std::string MenuPath(CalcMenu::Id id)
{
    std::string path;
    for (CalcMenu::Id menu = id; CalcMenu::Find(menu).Parent != CalcMenu::NoMenu; menu = CalcMenu::Find(menu).Parent) {
        std::string outer = MenuItemText(CalcMenu::Find(menu).Title);
        if (!path.empty())
            outer.append(" > ").append(path);
        path = std::move(outer);
    }
    return path;
}

CalcMenu::Id TopMenu(CalcMenu::Id id)
{
    while (CalcMenu::Find(id).Parent != CalcMenu::NoMenu)
        id = CalcMenu::Find(id).Parent;
    return id;
}

// What the help says of each preference, by the control's name.
const std::map<std::string_view, std::string_view>& PreferenceTexts()
{
    static const std::map<std::string_view, std::string_view> texts = {
        {"AppendFunction",
         "When set, a function button of the keypad inserts an opening bracket after the name, "
         "ready for the argument: \"tan(\" instead of \"tan\"."},
        {"AppendFunctionWith", "The bracket the keypad puts after a function name."},
        {"AppendIncludePower", "The power button \"^\" gets the bracket too."},
        {"AppendMemory",
         "When set, the keypad's Mem and -> buttons put a bracket after the memory keyword, "
         "ready for the cell's name."},
        {"AppendMemoryWith", "The bracket the keypad puts after the memory keyword."},
        {"FormatResult",
         "How the keypad spells the keyword of the last result, and how the status bar names it. "
         "Calculations read every spelling."},
        {"FormatMemory", "How the keypad spells the memory keyword. Calculations read every spelling."},
        {"FormatRandom", "How the keypad spells the random-number keyword. Calculations read every spelling."},
        {"Notation",
         "Which names the keypad shows and inserts: West (tan, sinh, log) or East (tg, sh, lg). "
         "Calculations take both at all times. Set > Notation switches it too."},
        {"NotationCase",
         "Lower or upper case for the function names the keypad inserts, and for the exponent "
         "letter of results: 1e+021 or 1E+021."},
        {"GammaFunction", "The keypad's factorial button inserts the gamma function \"\u0393(\" instead of \"!\"."},
        {"LogPopup", "The log shows itself when a run reports an error or a warning while it is hidden."},
        {"TrigonometricUnits",
         "The unit of angles for the trigonometric functions and their inverses. The units "
         "list of the toolbar and the units window change it too; the status bar shows it."},
        {"FreeConfirmation", "Free memory asks before it frees every cell."},
        {"PartialFreeConfirmation", "It asks as well when only the ticked cells are freed."},
        {"UseSSE2",
         "Whether the processor's SSE2 module computes the transcendental functions. It is kept and "
         "shown in the status bar; this build computes the same way either way."},
        {"DigitsInResults",
         "How many significant digits the results show: those written into the text behind \"=\", the "
         "results margin, the value at the caret, the status bar, the memory window and the statistics. 20 shows "
         "every digit of the number; fewer round it for reading, so that 0.1+0.2 shows 0.3 with 15 digits. "
         "Memory files, Copy Value and the values the program keeps always hold every digit."},
        {"KeepMemory",
         "When set, the memory cells and the last result are kept when the program ends and are there again at "
         "the next start. They are kept in a file of your own in the program's state folder "
         "(~/.local/state/Vossek/Calculator Tevra). A kept memory that cannot be read is set aside beside it, "
         "and the program starts with an empty memory."},
    };
    return texts;
}

}  // namespace

std::string CommandsPage(std::vector<std::string>& errors)
{
    std::string body = "<p>Every command of the menus, the toolbar and the keys. The text in the last column is "
                       "also what the status bar says while the pointer rests on the command.</p>\n";
    std::vector<int> described;
    for (const CalcMenu::Info& menu : CalcMenu::Menus()) {
        if (menu.Parent != CalcMenu::NoMenu)
            continue;
        body += "<h2>" + Escape(MenuItemText(menu.Title)) + " menu</h2>\n" + std::string(CommandTableHead);
        for (const CalcMenu::Entry& entry : CalcMenu::MenuLayout()) {
            if (entry.Command == CalcCommand::None || TopMenu(entry.Menu) != menu.Menu)
                continue;
            const CalcCommand::Info* info = CalcCommand::Find(entry.Command);
            if (info == nullptr) {
                errors.push_back("the menu layout names command " + std::to_string(entry.Command) +
                                 ", which the command table lacks");
                continue;
            }
            const std::string path = MenuPath(entry.Menu);
            body += CommandRow(*info, (path.empty() ? "" : path + " > ") + NameOf(*info));
            described.push_back(info->Command);
        }
        body += "</table>\n";
    }

    body += "<h2>Toolbar</h2>\n<p>The buttons of the toolbar, left to right:</p>\n<p>";
    for (const CalcCommand::Id id : CalcMenu::ToolBarLayout()) {
        if (id == CalcCommand::None) {
            body += " | ";
            continue;
        }
        if (const CalcCommand::Info* info = CalcCommand::Find(id))
            body += "<a href=\"#" + AnchorOf(CalcHelp::CommandTopic(id)) + "\">" + Escape(NameOf(*info)) + "</a> ";
    }
    body += "</p>\n";

    body += "<h2>Keys and buttons without a menu item</h2>\n" + std::string(CommandTableHead);
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        if (std::find(described.begin(), described.end(), info.Command) == described.end())
            body += CommandRow(info, NameOf(info));
    }
    body += "</table>\n";
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        if (NameOf(info).empty() || DescriptionOf(info).empty())
            errors.push_back("the commands page has no name or description for command " +
                             std::to_string(info.Command));
    }

    body +=
        "<h2>Keys in the bars</h2>\n<p>While a bar has the keyboard (the log, the keypad, the memory "
        "window), these keys still do what they do in the editor; Undo, Cut, Copy, Paste and the help keys act on the "
        "bar itself:</p>\n<p>";
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        if (!CCalcPanelKeys::PassesCommand(info.Command))
            continue;
        for (const std::string_view keys : info.Shortcuts) {
            if (!keys.empty())
                body += "<code>" + Escape(keys) + "</code>: <a href=\"#" +
                    AnchorOf(CalcHelp::CommandTopic(info.Command)) + "\">" + Escape(NameOf(info)) + "</a><br>\n";
        }
    }
    return body + "</p>\n";
}

std::string PreferencesPage(std::vector<std::string>& errors)
{
    std::string body = "<p>Set &gt; Preferences... opens the dialog. OK keeps the changes, Cancel forgets them and "
                       "Default puts every control back to the program's first setting (nothing is kept until "
                       "OK). The preferences are saved when the program ends. Press F1 on a control of the dialog "
                       "to come to its paragraph here.</p>\n";
    std::string group;
    std::string previousCaption;
    for (const CCalcPreferences::ControlText& control : CCalcPreferences::ControlTexts()) {
        if (control.Group != group) {
            group = control.Group;
            body += "<h2>" + Escape(group) + "</h2>\n";
        }
        const std::string caption =
            control.Caption.empty() ? "The list beside \"" + previousCaption + "\"" : std::string(control.Caption);
        if (!control.Caption.empty())
            previousCaption = control.Caption;
        body += "<a name=\"" + std::string(control.Name) + "\"></a><h3>" + Escape(caption) + "</h3>\n<p>";
        const auto text = PreferenceTexts().find(control.Name);
        if (text == PreferenceTexts().end())
            errors.push_back("the preferences page has no text for the control " + std::string(control.Name));
        else
            body += Escape(text->second);
        if (!control.Entries.empty()) {
            body += "<br>\nChoices: ";
            for (std::size_t i = 0; i < control.Entries.size(); ++i)
                body += (i == 0 ? "" : ", ") + std::string("<code>") + Escape(Utf8(control.Entries[i])) + "</code>";
        }
        body += "</p>\n";
    }
    for (const auto& [name, text] : PreferenceTexts()) {
        const auto controls = CCalcPreferences::ControlTexts();
        if (std::none_of(controls.begin(), controls.end(),
                         [name = name](const CCalcPreferences::ControlText& c) { return c.Name == name; }))
            errors.push_back("the preferences page describes " + std::string(name) + ", which is no control");
    }
    return body;
}

std::string KeywordList(std::vector<std::string>&)
{
    std::string list = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr><th>Keyword</th><th>Spellings"
                       "</th><th>Value</th></tr>\n";
    for (const NCalculatorText::NameGroup& group : NCalculatorText::KeywordNameGroups()) {
        std::string spellings;
        for (const std::u16string_view name : group)
            spellings += (spellings.empty() ? "" : ", ") + std::string("<code>") + Escape(Utf8(name)) + "</code>";
        const Example example = Calculate(Utf8(group.front()));
        list += "<tr><td>" + Escape(Utf8(group.front())) + "</td><td>" + spellings + "</td><td><code>" +
            Escape(example.Result) + "</code></td></tr>\n";
    }
    return list + "</table>\n";
}

std::string DesktopOptions(std::vector<std::string>&)
{
    std::string table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
                        "<tr><td><code>calculator-tevra</code></td><td>start with a new calculation</td></tr>\n"
                        "<tr><td><code>calculator-tevra FILE</code></td><td>open FILE, a calculation (.vcl) or a "
                        "memory file (.vcm)</td></tr>\n";
    for (const CalcCommandLine::Option& option : CalcCommandLine::Options()) {
        std::string form = "calculator-tevra " + std::string(option.Spelling);
        if (!option.Values.empty())
            form += " " + std::string(option.Values);
        table += "<tr><td><code>" + Escape(form) + "</code></td><td>" + Escape(option.Help) + "</td></tr>\n";
    }
    return table + "</table>\n";
}

std::string TevraOptions(std::vector<std::string>&)
{
    std::string table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    for (const Tevra::Cli::OptionSummary& option : Tevra::Cli::OptionSummaries()) {
        std::string form(option.Name);
        if (!option.ValueName.empty())
            form += " " + std::string(option.ValueName);
        table += "<tr><td><code>" + Escape(form) + "</code></td><td>" + Escape(option.Help) + "</td></tr>\n";
    }
    return table + "</table>\n";
}

std::string FileMessages(std::vector<std::string>&)
{
    std::string list = "<ul>\n";
    for (const std::string_view message :
         {Tevra::CannotOpenForReading, Tevra::CannotReadFile, Tevra::CannotOpenForWriting})
        list += "<li><code>" + Escape(message) + "</code></li>\n";
    list += "</ul>\n<p>The Open dialog offers: ";
    for (const QString& filter : {CalcFileFilters::Calculation, CalcFileFilters::Memory, CalcFileFilters::All})
        list += "<code>" + Escape(filter.toStdString()) + "</code> ";
    return list + "</p>\n";
}

}  // namespace DocGen
