// The messages page: one section per report kind of the engine's wording
// table, with every text it can take, what it means, and statements that
// produce it (run through the engine here, so the rows shown are real); then
// the contexts of the operation-name table.
#include "tools/docgen/HelpPages.h"

#include "desktop/services/CalcHelpTopics.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Mistakes.h"
#include "tools/docgen/Html.h"

#include <algorithm>
#include <array>

namespace DocGen {

namespace {

using namespace NCalculatorText;

struct MessageText {
    ReportCode Code;
    std::string_view Title;
    std::string_view Meaning;
    std::array<std::string_view, 3> Examples;  // statements that report it; empty for none
};

constexpr auto MessageTexts = std::to_array<MessageText>({
    {SyntaxError,
     "Syntax error",
     "The statement is not a calculation of the language: an operator lacks an operand (a sign directly behind "
     "another operator, as in 2*-3, must be written 2*(-3)), a bracket is not closed, a name is not a function, "
     "or a store does not go into a memory cell. The statement is not calculated and the run stops there. "
     "The context is None when the statement was refused before any part of it ran.",
     {"2*-3", "sin(30", "5->x"}},
    {Uninitialized,
     "Uninitialized memory or index",
     "A memory cell was read before anything was stored in it, or an index name was used outside the series "
     "that gives it values. The value 0 is used instead and the calculation goes on; check the cell's name "
     "(names are read in lower case) or the series' brackets.",
     {"Mem[q] + 1", "i * 2", ""}},
    {Overflow,
     "Overflow",
     "The result is too large for a double precision number (about 1.8e+308). The sign says which way it "
     "overflowed; an overflow whose result is not a number at all also says negative. The run stops.",
     {"1e308 * 10", "(-1e308) * 10", "exp(1000)"}},
    {Underflow,
     "Underflow",
     "The result is too small to tell from 0 (below about 2.2e-308) and is taken as the value shown. The "
     "calculation goes on with it.",
     {"1e-200 * 1e-200", "exp(-1000)", ""}},
    {Domain,
     "Not defined",
     "A function was given an argument outside its domain, for instance the logarithm of a negative number or "
     "the arcsine of a number greater than 1. The value quoted is the argument. The run stops.",
     {"ln(-1)", "sqrt(-4)", "arcsin(2)"}},
    {Singularity,
     "Singularity",
     "A division by zero (\"Operation\"), or a function at a point where it has a pole (\"Function\"), such as "
     "the logarithm of 0 or the cotangent of 0. The value quoted is the argument. The run stops.",
     {"5 / 0", "ln(0)", "coth(0)"}},
    {PartialLoss,
     "Partial loss of precision",
     "The math library computed the result with fewer correct digits than usual, typically a trigonometric "
     "function of a very large argument; the result is accepted as quoted. The math library of this build "
     "never reports it, so no statement produces it here.",
     {"", "", ""}},
    {TotalLoss,
     "Total loss of precision",
     "The math library could not compute a meaningful result, typically a trigonometric function of an "
     "argument too large for its argument reduction; the result is accepted as quoted. The math library of "
     "this build never reports it, so no statement produces it here.",
     {"", "", ""}},
    {Cancelled,
     "Calculation cancelled",
     "The calculation was stopped before it finished: with the Cancel button of the bar that shows while a "
     "long calculation runs, or with Esc. The context is always None. No statement produces it by itself.",
     {"", "", ""}},
});

// The texts a wording can take, with "x" for the value.
std::vector<std::string> TextsOf(const ReportWording& wording)
{
    std::vector<std::string> texts;
    const std::size_t words = wording.Words[0].empty() ? 1 : wording.Words.size();
    for (std::size_t word = 0; word < words; ++word)
        texts.push_back(Utf8(FormatReportText(wording, word, u"x")));
    return texts;
}

// True when description is the text of wording's word with some value.
bool IsTextOf(const ReportWording& wording, std::size_t word, const std::string& description)
{
    const std::string text = Utf8(FormatReportText(wording, word, u"\x1f"));
    const std::size_t hole = text.find('\x1f');
    if (hole == std::string::npos)
        return description == text;
    const std::string before = text.substr(0, hole);
    const std::string after = text.substr(hole + 1);
    return description.size() > before.size() + after.size() && description.starts_with(before) &&
        description.ends_with(after);
}

std::string ContextsTable()
{
    std::string table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
                        "<tr><th>Context</th><th>Where it comes from</th></tr>\n";
    table += "<tr><td>" + Escape(Utf8(OperationName(OpNone))) +
        "</td><td>the statement as a whole, before any operation ran (syntax errors)</td></tr>\n";
    for (int code = OpNone + 1; code <= OpGammaFunction; ++code) {
        const std::string name = Utf8(OperationName(code));
        table += "<tr><td>" + Escape(name) + "</td><td>";
        if (code == OpNumber)
            table += "a number written in the statement";
        else if (code == OpMemory)
            table += "reading or storing a memory cell";
        else if (code == OpIndex)
            table += "an index name of a series";
        else if (code <= OpSubtraction || code == OpPower || code == OpFactorial)
            table += "the operation";
        else
            table += "the function";
        table += "</td></tr>\n";
    }
    table += "<tr><td>" + Escape(Utf8(OperationName(OpSign))) +
        "</td><td>the functions abs and sign and a leading minus, which have no name of their own</td></tr>\n";
    return table + "</table>\n";
}

// The known mistakes behind syntax errors and empty cells: one paragraph per
// row of the mistake table, each with its example run through the engine so
// that the hint shown is the one the program gives.
std::string HintsSection(std::vector<std::string>& errors)
{
    std::string body = "<a name=\"hints\"></a><h2>Hints</h2>\n<p>When a statement fails or warns because of a "
                       "known mistake, the log row's tooltip, the wavy line under the statement and the status bar "
                       "say what went wrong and how to write it, and a short mark under the statement shows the "
                       "spot. The log's texts stay as they are. F1 on such a row opens its paragraph here.</p>\n";
    for (const MistakeRow& row : MistakeTable()) {
        const QString topic = CalcHelp::MistakeTopic(QString::fromStdU16String(std::u16string(row.Topic)));
        body += "<a name=\"" + AnchorOf(topic) + "\"></a><h3>" + Utf8(row.Heading) + "</h3>\n<p>" +
            Escape(Utf8(row.Help)) + "</p>\n";
        if (row.Kind == Mistake::ListWithoutValue || row.Kind == Mistake::DecimalComma) {
            // A list reports nothing: only the status bar says so.
            body += "<p>The status bar shows: <code>" + Escape(Utf8(ExplainList(row.Example)->Text)) + "</code></p>\n";
            continue;
        }
        const Example example = Calculate(Utf8(row.Example));
        body += ExampleHtml(example);
        const bool hinted = std::any_of(example.Log.begin(), example.Log.end(),
                                        [&row](const ExampleRow& shown) { return shown.Mistake == row.Kind; });
        if (!hinted)
            errors.push_back("the example \"" + Utf8(row.Example) + "\" gets no hint for " + Utf8(row.Heading));
    }
    return body;
}

}  // namespace

std::string MessagesPage(std::vector<std::string>& errors)
{
    std::string body =
        "<p>The log lists the errors and warnings of the latest run, numbered from 1, errors in red and "
        "warnings in blue. Each row has four columns: <b>N</b>, the number of the row; <b>Status</b>, Error "
        "or Warning; <b>Context</b>, the operation or function that found the problem "
        "(<a href=\"#contexts\">all contexts</a>); and <b>Description</b>, one of the texts below. An error "
        "stops the calculation at its statement; a warning lets it go on with the value it quotes. Every new "
        "run clears the log first. Press F1 on a row of the log to come to its message here. With "
        "\"Pop-up on new message if hidden\" set in <a href=\"preferences.html\">Preferences</a> the log "
        "shows itself when a message arrives.</p>\n<p>";
    for (const ReportWording& wording : ReportWordings()) {
        const auto text = std::find_if(MessageTexts.begin(), MessageTexts.end(),
                                       [&wording](const MessageText& t) { return t.Code == wording.Code; });
        if (text != MessageTexts.end())
            body += "<a href=\"#" + AnchorOf(CalcHelp::MessageTopic(wording.Code)) + "\">" + Escape(text->Title) +
                "</a><br>\n";
    }
    body += "</p>\n";

    for (const ReportWording& wording : ReportWordings()) {
        const auto text = std::find_if(MessageTexts.begin(), MessageTexts.end(),
                                       [&wording](const MessageText& t) { return t.Code == wording.Code; });
        if (text == MessageTexts.end()) {
            errors.push_back("the messages page has no text for report kind " + std::to_string(wording.Code));
            continue;
        }
        body += "<a name=\"" + AnchorOf(CalcHelp::MessageTopic(wording.Code)) + "\"></a><h2>" + Escape(text->Title) +
            "</h2>\n";
        body += std::string("<p><b>") + (wording.Status == 1 ? "Error" : "Warning") +
            "</b>: " + (wording.StopsCalculation ? "the run stops at this statement." : "the calculation goes on.") +
            "</p>\n";
        body += "<p>Text in the log:";
        for (const std::string& variant : TextsOf(wording))
            body += "<br>\n<code>" + Escape(variant) + "</code>";
        body += "</p>\n<p>" + Escape(text->Meaning) + "</p>\n";

        // The examples, and the check that they produce every text.
        const std::size_t words = wording.Words[0].empty() ? 1 : wording.Words.size();
        std::vector<bool> produced(words, false);
        bool anyExample = false;
        for (const std::string_view statement : text->Examples) {
            if (statement.empty())
                continue;
            if (!anyExample)
                body += "<p>For example:</p>\n";
            anyExample = true;
            const Example example = Calculate(statement);
            body += ExampleHtml(example);
            bool reports = false;
            for (const ExampleRow& row : example.Log) {
                if (row.Code != wording.Code)
                    continue;
                for (std::size_t word = 0; word < words; ++word) {
                    if (IsTextOf(wording, word, row.Description)) {
                        produced[word] = true;
                        reports = true;
                    }
                }
            }
            if (!reports)
                errors.push_back("the example \"" + std::string(statement) + "\" does not report " +
                                 std::string(text->Title));
        }
        const bool unproduced = wording.Code == PartialLoss || wording.Code == TotalLoss || wording.Code == Cancelled;
        for (std::size_t word = 0; word < words && !unproduced; ++word) {
            if (!produced[word])
                errors.push_back("no example produces \"" + TextsOf(wording)[word] + "\"");
        }
        if (unproduced && anyExample)
            errors.push_back("an example claims to produce " + std::string(text->Title));
    }

    body += HintsSection(errors);
    body += "<a name=\"contexts\"></a><h2>Contexts</h2>\n<p>The Context column names the operation that was "
            "being calculated when the message came.</p>\n" +
        ContextsTable();
    return body;
}

}  // namespace DocGen
