// The keypad's buttons on its help page, block by block, from the keypad's
// own table: one topic per button (what F1 over the button opens), with its
// captions in both notations, what it inserts or does, and for a function
// name a link to the function.
#include "tools/docgen/HelpPages.h"

#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/QtText.h"
#include "tools/docgen/Html.h"
#include "desktop/ui/keypad/KeypadButtons.h"

#include <array>
#include <cstdio>
#include <set>
#include <string>

namespace DocGen {

namespace {

struct BlockText {
    Keypad::Block Place;
    std::string_view Heading;
};
constexpr auto BlockTexts = std::to_array<BlockText>({
    {Keypad::Block::Functions, "Functions"},
    {Keypad::Block::Second, "Constants, brackets and comments"},
    {Keypad::Block::Digits, "Digits and operators"},
    {Keypad::Block::Equals, "Calculating"},
    {Keypad::Block::Services, "Editing, results and memory"},
});

// The captions of a button: West, then East when it differs, then the
// gamma sign of the factorial button.
std::string Captions(const Keypad::Button& button)
{
    const std::string west = Utf8(Keypad::Caption(button, {0, false, false}));
    const std::string east = Utf8(Keypad::Caption(button, {1, false, false}));
    const std::string gamma = Utf8(Keypad::Caption(button, {0, false, true}));
    std::string captions = "<b>" + Escape(west) + "</b>";
    if (east != west)
        captions += " or <b>" + Escape(east) + "</b>";
    if (gamma != west)
        captions += " or <b>" + Escape(gamma) + "</b>";
    return captions;
}

std::string ContextNumber(int id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(Keypad::HelpContext(id)));
    return text;
}

// For a button that inserts a function name, a link to that function.
std::string FunctionLink(const Keypad::Button& button, std::vector<std::string>& errors)
{
    const auto row = Keypad::FunctionRow(button.Id);
    if (button.Kind != Keypad::Sends::Name || !row)
        return {};
    const Keypad::FunctionName& name = Keypad::FunctionNames()[static_cast<std::size_t>(*row)];
    const QString topic = CalcHelp::FunctionTopic(Tevra::ToQString(name.West));
    if (topic.isEmpty()) {
        errors.push_back("the keypad's function " + Utf8(name.West) + " has no topic");
        return {};
    }
    return " <a href=\"" + topic.section(QLatin1Char('#'), 0, 0).toStdString() + ".html#" + AnchorOf(topic) +
        "\">About " + Escape(Utf8(name.West)) + "</a>";
}

}  // namespace

std::string KeypadButtons(std::vector<std::string>& errors)
{
    std::string html;
    std::set<int> listed;
    for (const BlockText& block : BlockTexts) {
        html += "<h3>" + Escape(block.Heading) +
            "</h3>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
            "<tr><th>Button</th><th>What it does</th><th>Help context</th></tr>\n";
        for (const Keypad::Button& button : Keypad::Buttons()) {
            if (button.Place != block.Place)
                continue;
            listed.insert(button.Id);
            html += "<tr><td><a name=\"" + AnchorOf(CalcHelp::KeypadButtonTopic(button.Id)) + "\"></a>" +
                Captions(button) + "</td><td>" + Escape(Keypad::Description(button)) + FunctionLink(button, errors) +
                "</td><td>" + ContextNumber(button.Id) + "</td></tr>\n";
        }
        html += "</table>\n";
    }
    if (listed.size() != Keypad::Buttons().size())
        errors.push_back("a block of the keypad has no heading on its help page");
    return html;
}

}  // namespace DocGen
