#include "tools/docgen/HelpPages.h"

#include "tools/docgen/Html.h"
#include "tools/docgen/OutputFile.h"

#include <array>
#include <fstream>
#include <map>
#include <sstream>

namespace DocGen {

namespace {

constexpr auto PageTable = std::to_array<PageInfo>({
    {"contents.html", "Calculator Tevra Help", "Where to find what"},
    {"language.html", "The calculation language", "Statements, numbers, operators, results, memory cells, series"},
    {"functions.html", "Functions", "Every function with its names, its arguments and its units"},
    {"messages.html", "Messages of the log", "Every error and warning, what it means and what causes it"},
    {"memory.html", "Memory and statistics", "Memory cells, the memory window, memory files and statistics"},
    {"keypad.html", "The keypad", "What each button inserts or does"},
    {"commands.html", "Menus, toolbar and keys", "Every command with its menu, shortcut and toolbar button"},
    {"preferences.html", "Preferences", "Every setting of the Preferences dialog"},
    {"files.html", "Files, printing and the desktop", "Calculation and memory files, printing, the command line"},
    {"tevra.html", "tevra, the command-line calculator", "Calculating files and texts in a terminal"},
});

// The pages made whole from the program's tables.
const std::map<std::string_view, PageMaker>& GeneratedPages()
{
    static const std::map<std::string_view, PageMaker> pages = {
        {"functions.html", FunctionsPage},
        {"messages.html", MessagesPage},
        {"commands.html", CommandsPage},
        {"preferences.html", PreferencesPage},
    };
    return pages;
}

// The markers a fragment may hold, each replaced by a part made from a table.
const std::map<std::string_view, PageMaker>& Markers()
{
    static const std::map<std::string_view, PageMaker> markers = {
        {"<!--@keywords@-->", KeywordList},           {"<!--@statistics@-->", StatisticsList},
        {"<!--@desktop-options@-->", DesktopOptions}, {"<!--@tevra-options@-->", TevraOptions},
        {"<!--@file-messages@-->", FileMessages},     {"<!--@memory-buttons@-->", MemoryButtons},
        {"<!--@keypad-buttons@-->", KeypadButtons},
    };
    return markers;
}

bool ReadFragment(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

std::string ContentsBody(const std::string& introduction)
{
    std::string body = introduction + "<table border=\"0\" cellspacing=\"4\" cellpadding=\"2\">\n";
    for (const PageInfo& page : PageTable) {
        if (page.File == PageTable.front().File)
            continue;
        body += "<tr><td><a href=\"" + std::string(page.File) + "\">" + Escape(page.Title) + "</a></td><td>" +
            Escape(page.Summary) + "</td></tr>\n";
    }
    return body + "</table>\n";
}

}  // namespace

std::span<const PageInfo> Pages()
{
    return PageTable;
}

bool WriteHelpPages(const std::string& fragmentFolder, const std::string& outputFolder,
                    std::vector<std::string>& errors)
{
    std::string resources = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/help\">\n";
    for (const PageInfo& page : PageTable) {
        std::string body;
        if (const auto generated = GeneratedPages().find(page.File); generated != GeneratedPages().end()) {
            body = generated->second(errors);
        } else if (!ReadFragment(fragmentFolder + "/" + std::string(page.File), body)) {
            errors.push_back("no fragment for " + std::string(page.File) + " in " + fragmentFolder);
            continue;
        }
        for (const auto& [marker, make] : Markers()) {
            for (std::size_t at; (at = body.find(marker)) != std::string::npos;)
                body.replace(at, marker.size(), make(errors));
        }
        if (const std::size_t stray = body.find("<!--@"); stray != std::string::npos)
            errors.push_back(std::string(page.File) + ": unknown marker " + body.substr(stray, 40));
        body = ExpandExamples(body, errors);
        if (page.File == PageTable.front().File)
            body = ContentsBody(body);
        if (!WriteIfChanged(outputFolder + "/" + std::string(page.File), Page(page.File, page.Title, body)))
            errors.push_back("cannot write " + std::string(page.File) + " into " + outputFolder);
        resources += "    <file>" + std::string(page.File) + "</file>\n";
    }
    resources += "  </qresource>\n</RCC>\n";
    if (!WriteIfChanged(outputFolder + "/tevra_help.qrc", resources))
        errors.push_back("cannot write tevra_help.qrc into " + outputFolder);
    return errors.empty();
}

}  // namespace DocGen
