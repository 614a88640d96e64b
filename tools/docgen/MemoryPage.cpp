// The parts of the memory page made from the memory window's button table
// and the statistics bar's rows: one topic per button and per statistic,
// with the figures of an example computed by the program's own statistics.
#include "tools/docgen/HelpPages.h"

#include "desktop/services/CalcHelpTopics.h"
#include "core/files/Statistics.h"
#include "tools/docgen/Html.h"
#include "desktop/ui/memory/CCalcMemory.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace DocGen {

namespace {

// What each button of the memory window does, by its control id. Every row
// of the window's table needs one, and every text here needs its row.
struct ButtonText {
    int ControlId;
    std::string_view Description;
};
constexpr auto ButtonTexts = std::to_array<ButtonText>({
    {1068,
     "Frees the ticked cells, or every cell when none or all are ticked. It asks first when the confirmations of "
     "<a href=\"preferences.html#FreeConfirmation\">Preferences</a> say so."},
    {1085, "Saves the ticked cells, or all cells when none is ticked, as a memory file."},
    {1089,
     "Shows the statistics of the ticked cells in the statistics bar: of all cells when fewer than two are ticked "
     "(it asks first when only one is)."},
    {1097, "Ticks the unticked cells and unticks the others."},
    {1051, "Unticks every cell."},
});

// How each statistic is computed, in the order of the bar's rows; x1 ... xn
// are the values, m their mean.
constexpr auto StatisticTexts = std::to_array<std::string_view>({
    "the sum of the values divided by n",
    "the sample variance: the sum of (x - m)<sup>2</sup> divided by n - 1",
    "the square root of the variance",
    "the sum of |x - m| divided by n",
    "the sum of (x - m)<sup>3</sup> divided by n times the variance times the standard deviation; only when the "
    "variance is not 0",
    "the excess kurtosis: the sum of (x - m)<sup>4</sup> divided by n times the variance squared, less 3; only "
    "when the variance is not 0",
});
static_assert(StatisticTexts.size() == Tevra::StatisticsCount, "one text per statistics row");

// The values of the example, and how its figures are shown.
constexpr auto ExampleValues = std::to_array<double>({1, 2, 3, 4});
constexpr std::string_view ExampleFormat = "%.20g";

}  // namespace

std::string MemoryButtons(std::vector<std::string>& errors)
{
    std::string table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr><th>Button</th><th>What it "
                        "does</th><th>Enabled when the list holds</th></tr>\n";
    for (const CCalcMemory::ButtonInfo& button : CCalcMemory::ButtonTable()) {
        const auto text = std::find_if(ButtonTexts.begin(), ButtonTexts.end(),
                                       [&](const ButtonText& t) { return t.ControlId == button.ControlId; });
        if (text == ButtonTexts.end()) {
            errors.push_back("the memory window's button " + std::to_string(button.ControlId) + " has no description");
            continue;
        }
        const std::string rows = button.RowsNeeded == 1 ? "a cell" : std::to_string(button.RowsNeeded) + " cells";
        table += "<tr><td><a name=\"" + AnchorOf(CalcHelp::MemoryButtonTopic(button.ControlId)) + "\"></a><b>" +
            Escape(button.Word) + "</b></td><td>" + std::string(text->Description) + "</td><td>at least " + rows +
            "</td></tr>\n";
    }
    for (const ButtonText& text : ButtonTexts) {
        const auto buttons = CCalcMemory::ButtonTable();
        if (std::none_of(buttons.begin(), buttons.end(),
                         [&](const CCalcMemory::ButtonInfo& b) { return b.ControlId == text.ControlId; }))
            errors.push_back("the memory window has no button " + std::to_string(text.ControlId));
    }
    return table + "</table>\n";
}

std::string StatisticsList(std::vector<std::string>&)
{
    const Tevra::StatisticsResults example = Tevra::ComputeStatistics(ExampleValues);
    std::string values;
    for (const double value : ExampleValues)
        values += (values.empty() ? "" : ", ") + std::to_string(static_cast<int>(value));
    std::string table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr><th>Row</th><th>How it is "
                        "computed</th><th>For " +
        values + "</th></tr>\n";
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row) {
        table += "<tr><td><a name=\"" + AnchorOf(CalcHelp::StatisticTopic(static_cast<int>(row))) + "\"></a>" +
            Escape(Tevra::StatisticsLabels[row]) + "</td><td>" + std::string(StatisticTexts[row]) + "</td><td><code>" +
            Escape(Tevra::StatisticsDisplayText(example, row, ExampleFormat)) + "</code></td></tr>\n";
    }
    table += "</table>\n";

    // What a row shows instead of a number, in the bar's own words.
    struct Special {
        bool Computed;
        double Value;
        std::string_view Meaning;
    };
    const Special specials[] = {
        {false, 0.0, "the row cannot be computed: skewness and kurtosis when all values are the same"},
        {true, std::numeric_limits<double>::quiet_NaN(), "the result is not a number"},
        {true, std::numeric_limits<double>::infinity(), "the result is too big for a number"},
        {true, -std::numeric_limits<double>::infinity(), "the result is too big a negative number"},
    };
    table += "<p>Instead of a number a row may show:</p>\n<ul>\n";
    for (const Special& special : specials) {
        Tevra::StatisticsResults results;
        results.Computed[0] = special.Computed;
        results.Value[0] = special.Value;
        table += "<li><code>" + Escape(Tevra::StatisticsDisplayText(results, 0, ExampleFormat)) +
            "</code>: " + std::string(special.Meaning) + "</li>\n";
    }
    return table + "</ul>\n";
}

}  // namespace DocGen
