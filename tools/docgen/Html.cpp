#include "tools/docgen/Html.h"

#include "core/settings/CalcSettings.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/Random.h"
#include "tools/docgen/HelpPages.h"
#include "core/engine/EngineState.h"

#include <QString>

namespace DocGen {

namespace {

// Collects the log of an example.
class ExampleLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        rows.push_back({record.Status, record.Code, Utf8(record.Context), Utf8(record.Description),
                        Utf8(record.Hint.Text), record.Hint.Kind});
    }
    void Clear() override { rows.clear(); }

    std::vector<ExampleRow> rows;
};

std::u16string Wide(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

const std::string_view Styles = "<style>\n"
                                "body { font-family: sans-serif; }\n"
                                "h1 { font-size: x-large; }\n"
                                "h2 { font-size: large; margin-top: 18px; }\n"
                                "h3 { font-size: medium; margin-top: 12px; }\n"
                                "code, pre { font-family: monospace; }\n"
                                "pre.example { background-color: #f1f4f7; }\n"
                                "td.error { color: #c00000; }\n"
                                "td.warning { color: #0000c0; }\n"
                                "p.nav { font-size: small; }\n"
                                "</style>\n";

}  // namespace

std::string Escape(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string AnchorOf(const QString& topic)
{
    return topic.mid(topic.indexOf(QLatin1Char('#')) + 1).toStdString();
}

std::string Utf8(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

Example Calculate(std::string_view statement, int units)
{
    NCalculatorText::ResetProcessState();
    NCalculatorText::State().CalcSettings.TrigonometricUnits = static_cast<std::uint32_t>(units);
    // Random examples come out the same in every build.
    NCalculatorText::SeedRandomGenerator(1);
    ExampleLog log;
    const NCalculatorText::LogReceiverScope scope(log);
    std::u16string text = Wide(statement);
    int caret = -1;
    Example example;
    example.Statement = std::string(statement);
    example.Ok = NCalculatorText::ExecuteText(text, caret);
    example.Result = Utf8(text);
    example.Log = log.rows;
    NCalculatorText::ResetProcessState();
    return example;
}

std::string ExampleHtml(const Example& example)
{
    std::string html = "<pre class=\"example\">" + Escape(example.Result) + "</pre>\n";
    if (example.Log.empty())
        return html;
    html += "<table border=\"0\" cellspacing=\"2\" cellpadding=\"2\">\n";
    int number = 1;
    for (const ExampleRow& row : example.Log) {
        const char* kind = row.Status == 1 ? "error" : "warning";
        html += "<tr><td class=\"" + std::string(kind) + "\">" + std::to_string(number++) + "</td><td class=\"" + kind +
            "\">" + (row.Status == 1 ? "Error" : "Warning") + "</td><td class=\"" + kind + "\">" + Escape(row.Context) +
            "</td><td class=\"" + kind + "\">" + Escape(row.Description) + "</td></tr>\n";
        if (!row.Hint.empty())
            html += "<tr><td></td><td colspan=\"3\"><i>Hint: " + Escape(row.Hint) + "</i></td></tr>\n";
    }
    return html + "</table>\n";
}

std::string ExpandExamples(std::string html, std::vector<std::string>& errors)
{
    constexpr std::string_view Open = "<calc";
    constexpr std::string_view Close = "</calc>";
    std::size_t at = 0;
    while ((at = html.find(Open, at)) != std::string::npos) {
        const std::size_t tagEnd = html.find('>', at);
        const std::size_t close = tagEnd == std::string::npos ? std::string::npos : html.find(Close, tagEnd);
        if (close == std::string::npos) {
            errors.push_back("a <calc> block without its end: " + html.substr(at, 40));
            return html;
        }
        const std::string attributes = html.substr(at + Open.size(), tagEnd - at - Open.size());
        int units = 0;
        if (attributes.find("units=\"deg\"") != std::string::npos)
            units = 1;
        else if (attributes.find("units=\"grad\"") != std::string::npos)
            units = 2;
        std::string statement = html.substr(tagEnd + 1, close - tagEnd - 1);
        // The fragments write "&lt;" and "&amp;" as HTML does.
        for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
            for (std::size_t p; (p = statement.find(entity)) != std::string::npos;)
                statement.replace(p, std::string_view(entity).size(), character);
        }
        const std::string replacement = ExampleHtml(Calculate(statement, units));
        html.replace(at, close + Close.size() - at, replacement);
        at += replacement.size();
    }
    return html;
}

std::string Navigation(std::string_view currentPage)
{
    std::string line = "<p class=\"nav\">";
    bool first = true;
    for (const PageInfo& page : Pages()) {
        if (!first)
            line += " | ";
        first = false;
        if (page.File == currentPage)
            line += "<b>" + Escape(page.Title) + "</b>";
        else
            line += "<a href=\"" + std::string(page.File) + "\">" + Escape(page.Title) + "</a>";
    }
    return line + "</p>\n";
}

std::string Page(std::string_view fileName, std::string_view title, std::string_view body)
{
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + Escape(title) + "</title>\n" +
        std::string(Styles) + "</head>\n<body>\n" + Navigation(fileName) + "<h1>" + Escape(title) + "</h1>\n" +
        std::string(body) + "<hr>\n" + Navigation(fileName) + "</body>\n</html>\n";
}

}  // namespace DocGen
