#include "cli/Output.h"

#include <cstdio>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/CalcSettings.h"
#include "document/Statistics.h"
#include "engine/Engine.h"
#include "engine/NumberFormat.h"
#include "memory/MemoryMap.h"
#include "memory/TextCodec.h"

namespace Tevra::Cli {

namespace {

// Keys stay in the order the JSON output documents them.
using Json = nlohmann::ordered_json;

std::string Number(double value)
{
    return NCalculatorText::FormatNumber(value, CalcSettings.NumberFormat());
}

std::string Dump(const Json& json)
{
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<std::string> StatisticsTexts()
{
    std::vector<double> values;
    values.reserve(MemoryMap.Count());
    for (const auto& [name, cell] : MemoryMap)
        values.push_back(cell.Value);
    const StatisticsResults results = ComputeStatistics(values);
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        texts.push_back(StatisticsDisplayText(results, row, CalcSettings.NumberFormat()));
    return texts;
}

}  // namespace

void CCliLog::Add(const NCalculatorText::LogRecord& record)
{
    Record copy{record.Status == 1, Utf16ToUtf8(record.Context), Utf16ToUtf8(record.Description),
                NCalculatorText::ReportedStatement};
    ++count_;
    if (printing_) {
        const std::string line = std::to_string(count_) + "\t" + (copy.Error ? "Error" : "Warning") + "\t" +
            copy.Context + "\t" + copy.Description + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return;
    }
    records_.push_back(std::move(copy));
}

void CCliLog::Clear()
{
    count_ = 0;
    records_.clear();
}

std::string PlainRunOutput(const RunOutcome& outcome)
{
    return Utf16ToUtf8(outcome.Text) + "\n";
}

std::string JsonRunOutput(const RunOutcome& outcome, const std::vector<CCliLog::Record>& log)
{
    Json records = Json::array();
    for (const auto& record : log) {
        const bool known = record.Statement.IsKnown();
        records.push_back(Json{{"status", record.Error ? "Error" : "Warning"},
                               {"context", record.Context},
                               {"description", record.Description},
                               {"start", known ? Json(record.Statement.Start) : Json(nullptr)},
                               {"length", known ? Json(record.Statement.Length) : Json(nullptr)}});
    }
    Json memory = Json::array();
    for (const auto& [name, cell] : MemoryMap)
        memory.push_back(Json{{"name", Utf16ToUtf8(name)}, {"value", Number(cell.Value)}, {"include", cell.Include}});
    const Json run{{"ok", outcome.Ok},          {"text", Utf16ToUtf8(outcome.Text)},
                   {"caret", outcome.Caret},    {"last_result", Number(NCalculatorText::LastResult)},
                   {"log", std::move(records)}, {"memory", std::move(memory)}};
    return Dump(run);
}

std::string PlainStatisticsOutput()
{
    const auto texts = StatisticsTexts();
    std::string output;
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        output += std::string(StatisticsLabels[row]) + "\t" + texts[row] + "\n";
    return output;
}

std::string JsonStatisticsOutput()
{
    const auto texts = StatisticsTexts();
    Json rows = Json::array();
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        rows.push_back(Json{{"label", std::string(StatisticsLabels[row])}, {"value", texts[row]}});
    return Dump(Json{{"statistics", std::move(rows)}});
}

}  // namespace Tevra::Cli
