// The help pages: one row per page, and the makers of the pages that come
// from the program's tables. A page is either made whole from a table
// (functions, messages, keypad, commands, preferences) or written by hand as
// a fragment under resources/help and completed here: its <calc> examples
// are calculated, and its markers ("<!--@keywords@-->") are replaced by what
// the tables hold.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace DocGen {

struct PageInfo {
    std::string_view File;  // "language.html"
    std::string_view Title;
    std::string_view Summary;  // its line on the contents page
};

// Every page in the order of the contents, the contents first.
std::span<const PageInfo> Pages();

// A generated part of a page: a marker in a fragment, or a whole page.
// Errors collects what the program's tables and the help texts disagree on.
using PageMaker = std::function<std::string(std::vector<std::string>& errors)>;

std::string FunctionsPage(std::vector<std::string>& errors);
std::string MessagesPage(std::vector<std::string>& errors);
std::string CommandsPage(std::vector<std::string>& errors);
std::string PreferencesPage(std::vector<std::string>& errors);
std::string KeywordList(std::vector<std::string>& errors);
std::string StatisticsList(std::vector<std::string>& errors);
std::string MemoryButtons(std::vector<std::string>& errors);
std::string KeypadButtons(std::vector<std::string>& errors);
std::string DesktopOptions(std::vector<std::string>& errors);
std::string TevraOptions(std::vector<std::string>& errors);
std::string FileMessages(std::vector<std::string>& errors);

// Writes every page into outputFolder, reading the fragments from
// fragmentFolder; false (with errors) when a page cannot be made.
bool WriteHelpPages(const std::string& fragmentFolder, const std::string& outputFolder,
                    std::vector<std::string>& errors);

}  // namespace DocGen
